#pragma once

#include "connectors/clsfsconnect_io.h"
#include <QByteArray>
#include <QDateTime>

#include <QString>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace quendra {

class RecordReader;
class Sha256;

// What makes a run's source the same as another's: for a file its size, the time it was
// last changed and the SHA-256 of its bytes; for a database source the rows read and a
// SHA-256 over the values read (per record the count of its values up to the last that is
// not empty, then each value's length and its UTF-16 text).
struct SourceIdentity {
    qint64 size = -1;   // a file's bytes; -1 for a database source
    QDateTime modified; // a file's; invalid for a database source
    qint64 rows = -1;   // a database source's rows; -1 for a file
    QByteArray sha256;  // 64 hexadecimal digits
};

// The identity of a text file, taken on a thread of its own. The run's reader hands it
// the blocks it reads (take, release), so that the file is read once; what they lack
// when the identity is wanted (the run stopped early, or wants it before it has read the
// file) the thread reads itself. A file that changed since it was opened has none: its
// bytes are no longer the ones hashed.
class FileFingerprint final : public ReadBlocks {
public:
    // Opens path. A file that cannot be opened, or that is no regular file (a pipe cannot
    // be read twice), has no identity; the run reads it and reports it. readAhead: the
    // thread reads the whole file at once, for a run that wants the identity before it
    // has read the file.
    FileFingerprint(const QString& path, bool readAhead);
    ~FileFingerprint() override; // waits for the thread
    FileFingerprint(const FileFingerprint&) = delete;
    FileFingerprint& operator=(const FileFingerprint&) = delete;

    void take(long long offset, const char* bytes, std::size_t size, bool last) override;
    void release() override;
    // Whether the file is hashed (or found to have no identity): result() will not wait.
    bool ready() const { return m_done.load(std::memory_order_acquire); }
    // The identity, reading what the blocks handed lack and waiting for the thread; empty
    // sha256 when the file has none.
    const SourceIdentity& result();
    // Whether the file is still as it was when opened (size and time of its last change).
    bool unchanged() const;

private:
    void run();
    // Hashes the file from offset on to its end; false when it cannot be read.
    bool readRest(Sha256& sha, qint64& offset);

    int m_fd = -1;
    qint64 m_size = -1;
    qint64 m_modifiedNs = 0;
    SourceIdentity m_identity;
    std::atomic<bool> m_done{false};
    std::mutex m_mutex; // guards the members below
    std::condition_variable m_wake;
    struct Block {
        long long offset = 0;
        const char* bytes = nullptr;
        std::size_t size = 0;
        bool last = false;
    };
    std::optional<Block> m_block; // handed, not yet hashed
    bool m_taking = true;         // blocks handed are hashed
    bool m_wanted = false;        // result() waits: the thread reads what it lacks
    bool m_quit = false;          // no result: the thread stops
    std::thread m_thread;
};

// The identity of a database source, taken over the values of its records as they are
// read.
class ValueFingerprint {
public:
    ValueFingerprint();
    ~ValueFingerprint();
    ValueFingerprint(const ValueFingerprint&) = delete;
    ValueFingerprint& operator=(const ValueFingerprint&) = delete;

    // Adds the current record of reader: its fieldCount values, those empty at the end left
    // out.
    void addRecord(const RecordReader& reader, int fieldCount);
    // The identity of the records added; the object is spent.
    SourceIdentity result();

private:
    void flush();

    std::unique_ptr<Sha256> m_sha;
    QByteArray m_block; // values gathered for one call of the hash
    qint64 m_rows = 0;
};

} // namespace quendra
