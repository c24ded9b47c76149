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

    // One record, one value per target field, copied.
    void add(std::span<const QString> values);
    // One line of its own (the check lines), copied.
    void addLine(const QString& line);
    // Writes everything added, ends the thread and throws the first error it met.
    void finish();
    // The same without throwing: for a run that already failed, so that every complete
    // record composed before the failure still reaches the file.
    void finishQuietly() noexcept;

    // A batch goes to the writing thread when it holds this many records or characters.
    static constexpr std::size_t BatchRecords = 2048;
    static constexpr std::size_t BatchChars = std::size_t(1) << 17;

private:
    // The values of a batch side by side in one buffer of its own, so that the thread
    // that fills a batch and the one that writes the other never touch the same memory.
    // Value k is the text from ends[k - 1] (0 for the first) to ends[k]. Records have one
    // value per field; lines of their own come after the records.
    struct Batch {
        std::vector<char16_t> text;
        std::size_t used = 0; // characters of text in use
        std::vector<std::size_t> ends;
        std::size_t values = 0; // entries of ends in use
        std::size_t records = 0;
        std::size_t lines = 0;
        bool empty() const { return values == 0; }
        void clear() { used = values = records = lines = 0; }
        void append(std::span<const QString> record);
        void grow(std::size_t count, std::size_t chars); // room for more values
        QStringView value(std::size_t k) const
        {
            const std::size_t begin = k == 0 ? 0 : ends[k - 1];
            return QStringView(text.data() + begin, qsizetype(ends[k] - begin));
        }
    };

    void writeBatch(Batch& batch); // on whichever thread owns the file
    void handOver();
    bool startThread(); // false when the system refuses a thread
    void waitIdle(std::unique_lock<std::mutex>& lock);
    void rethrowFailure();
    void stopThread() noexcept;
    void run();

    clsFSConnect& m_file;
    std::vector<QStringView> m_qualifiers;
    std::vector<QStringView> m_record; // one record's values, on the writing thread
    // The batch being filled and the one being written lie in cache lines of their own:
    // the two threads write them at the same time.
    alignas(64) Batch m_filling;

    alignas(64) std::mutex m_mutex;
    std::condition_variable m_changed;
    alignas(64) Batch m_queued; // with the writing thread while m_busy
    bool m_busy = false;        // the writing thread holds m_queued
    bool m_stop = false;        // the writing thread ends once idle
    bool m_failed = false;      // m_failure holds the writing thread's error
    std::exception_ptr m_failure;
    std::thread m_thread;
    bool m_noThread = false;
};

} // namespace quendra
