#include "engine/writebehind.h"

#include "connectors/clsfsconnect.h"

#include <csignal>
#include <pthread.h>

namespace quendra {

WriteBehind::WriteBehind(clsFSConnect& file, std::span<const QStringView> qualifiers)
    : m_file(file), m_qualifiers(qualifiers.begin(), qualifiers.end())
{
}

WriteBehind::~WriteBehind()
{
    finishQuietly();
}

void WriteBehind::add(std::vector<QString>& values)
{
    Batch& b = m_filling;
    if (b.lineCount > 0)
        handOver(); // a line of its own stays behind the records added before it
    if (b.records == b.rows.size())
        b.rows.emplace_back();
    std::vector<QString>& row = b.rows[b.records++];
    row.resize(values.size()); // a row used before has the size already
    row.swap(values);
    if (b.records == BatchRecords)
        handOver();
}

void WriteBehind::addLine(const QString& line)
{
    Batch& b = m_filling;
    if (b.lines.size() == b.lineCount)
        b.lines.emplace_back();
    b.lines[b.lineCount++] = line;
}

void WriteBehind::writeBatch(Batch& batch)
{
    for (std::size_t r = 0; r < batch.records; ++r) {
        std::vector<QString>& row = batch.rows[r];
        m_file.setValues(row, m_qualifiers);
        m_file.update();
        // The row goes back to the run for a later record; a buffer that held a value
        // of megabytes would keep its memory for the rest of the run.
        for (QString& v : row) {
            if (v.capacity() > LargeValue)
                QString().swap(v);
        }
    }
    for (std::size_t k = 0; k < batch.lineCount; ++k) {
        m_file.setValue(batch.lines[k]);
        m_file.update();
    }
    batch.clear();
}

void WriteBehind::waitIdle(std::unique_lock<std::mutex>& lock)
{
    m_changed.wait(lock, [&] { return !m_busy; });
}

void WriteBehind::rethrowFailure()
{
    if (m_failed)
        std::rethrow_exception(m_failure);
}

// Gives the full batch to the writing thread, started at the first hand-over, and
// takes back the batch it wrote last.
void WriteBehind::handOver()
{
    if (m_filling.empty())
        return;
    std::unique_lock lock(m_mutex);
    waitIdle(lock);
    rethrowFailure();
    std::swap(m_filling, m_queued);
    m_busy = true;
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    lock.unlock();
    m_changed.notify_all();
}

void WriteBehind::run()
{
    // Stop requests by signal belong to the thread that reads the source.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return m_busy || m_stop; });
        if (!m_busy)
            return;
        lock.unlock();
        std::exception_ptr failure;
        try {
            writeBatch(m_queued);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure && !m_failed) {
            m_failed = true;
            m_failure = failure;
        }
        if (m_failed)
            m_queued.clear();
        m_busy = false;
        m_changed.notify_all();
    }
}

void WriteBehind::stopThread() noexcept
{
    if (!m_thread.joinable())
        return;
    {
        std::unique_lock lock(m_mutex);
        waitIdle(lock);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void WriteBehind::finish()
{
    stopThread();
    rethrowFailure();
    // The rest is written here: the file is the caller's again.
    writeBatch(m_filling);
}

void WriteBehind::finishQuietly() noexcept
{
    stopThread();
    if (m_failed) {
        m_filling.clear();
        return;
    }
    try {
        writeBatch(m_filling);
    } catch (...) {
        // The run has failed already; the file keeps what it could take.
        m_filling.clear();
    }
}

} // namespace quendra
