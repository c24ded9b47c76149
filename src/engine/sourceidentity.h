#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <atomic>
#include <memory>
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

// The identity of a text file, taken on a thread of its own while the run converts: the
// file is read a second time, from the page cache as a rule, and hashed in large blocks.
class FileFingerprint {
public:
    // Starts reading path. A file that cannot be opened, or that is no regular file (a
    // pipe cannot be read twice), has no identity; the run reads it and reports it.
    explicit FileFingerprint(const QString& path);
    ~FileFingerprint(); // waits for the thread
    FileFingerprint(const FileFingerprint&) = delete;
    FileFingerprint& operator=(const FileFingerprint&) = delete;

    // Whether the file is hashed (or found to have no identity): result() will not wait.
    bool ready() const { return m_done.load(std::memory_order_acquire); }
    // The identity, waiting for the thread; empty sha256 when the file has none.
    const SourceIdentity& result();

private:
    void hash(int fd);

    SourceIdentity m_identity;
    std::atomic<bool> m_done{false};
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
