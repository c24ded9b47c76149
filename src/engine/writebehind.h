#pragma once

#include <QString>
#include <QStringView>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace quendra {

class clsFSConnect;

// Writes the records of a text target on a thread of its own, so that encoding and
// writing the records composed so far overlap with composing the next ones. Records
// are collected in a batch; a full batch goes to the writing thread while the next one
// fills. A run that ends before its first batch is full writes on the calling thread
// and starts no thread at all.
//
// The file belongs to the writing thread between hand-overs and to the caller again
// after finish(). Records and lines reach the file in the order they were added. An
// error of the writing thread (a full disk) is thrown to the caller at the next
// hand-over or at finish(); nothing added after the failing block is written, so the
// file never has a gap.
class WriteBehind {
public:
    // file: opened for writing; qualifiers: the text qualifier per target field.
    WriteBehind(clsFSConnect& file, std::span<const QStringView> qualifiers);
    ~WriteBehind(); // finishQuietly()
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Takes one record, one value per target field. The values move into the batch
    // without being copied; values gets the buffers of an earlier record back, as many
    // as it had, whose content is of no use but whose capacity is.
    void add(std::vector<QString>& values);
    // One line of its own (the check lines), copied.
    void addLine(const QString& line);
    // Writes everything added, ends the thread and throws the first error it met.
    void finish();
    // The same without throwing: for a run that already failed, so that every complete
    // record composed before the failure still reaches the file.
    void finishQuietly() noexcept;

    // Records per batch.
    static constexpr std::size_t BatchRecords = 2048;
    // A buffer of more characters is not handed back but freed.
    static constexpr qsizetype LargeValue = 4096;

private:
    // Records have one value per field; lines of their own come after the records.
    struct Batch {
        std::vector<std::vector<QString>> rows; // the records, reused batch after batch
        std::vector<QString> lines;
        std::size_t records = 0;
        std::size_t lineCount = 0;
        bool empty() const { return records == 0 && lineCount == 0; }
        void clear() { records = lineCount = 0; }
    };

    void writeBatch(Batch& batch); // on whichever thread owns the file
    void handOver();
    void waitIdle(std::unique_lock<std::mutex>& lock);
    void rethrowFailure();
    void stopThread() noexcept;
    void run();

    clsFSConnect& m_file;
    std::vector<QStringView> m_qualifiers;
    Batch m_filling;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    Batch m_queued;        // with the writing thread while m_busy
    bool m_busy = false;   // the writing thread holds m_queued
    bool m_stop = false;   // the writing thread ends once idle
    bool m_failed = false; // m_failure holds the writing thread's error
    std::exception_ptr m_failure;
    std::thread m_thread;
};

} // namespace quendra
