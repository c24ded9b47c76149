#include "engine/writebehind.h"

#include "connectors/clsfsconnect.h"
#include "engine/valuebuffer.h"

#include <algorithm>
#include <csignal>
#include <pthread.h>
#include <system_error>

namespace quendra {

WriteBehind::WriteBehind(clsFSConnect& file, std::span<const QStringView> qualifiers)
    : m_file(file), m_qualifiers(qualifiers.begin(), qualifiers.end())
{
}

WriteBehind::~WriteBehind()
{
    finishQuietly();
}

void WriteBehind::Batch::grow(std::size_t count, std::size_t chars)
{
    text.resize(std::max(2 * text.size(), used + chars));
    ends.resize(std::max(2 * ends.size(), values + count));
}

void WriteBehind::Batch::append(std::span<const QString> record)
{
    std::size_t chars = 0;
    for (const QString& v : record)
        chars += std::size_t(v.size());
    if (used + chars > text.size() || values + record.size() > ends.size())
        grow(record.size(), chars);
    auto* out = reinterpret_cast<QChar*>(text.data());
    std::size_t at = used;
    std::size_t* end = ends.data() + values;
    for (const QString& v : record) {
        copyChars(out + at, v.constData(), v.size());
        at += std::size_t(v.size());
        *end++ = at;
    }
    used = at;
    values += record.size();
}

void WriteBehind::add(std::span<const QString> values)
{
    Batch& b = m_filling;
    if (b.lines > 0)
        handOver(); // a line of its own stays behind the records added before it
    b.append(values);
    ++b.records;
    if (b.records == BatchRecords || b.used >= BatchChars)
        handOver();
}

void WriteBehind::addLine(const QString& line)
{
    m_filling.append(std::span<const QString>(&line, 1));
    ++m_filling.lines;
}

void WriteBehind::writeBatch(Batch& batch)
{
    const std::size_t fields = m_qualifiers.size();
    m_record.resize(fields);
    std::size_t k = 0;
    const char16_t* text = batch.text.data();
    const std::size_t* ends = batch.ends.data();
    for (std::size_t r = 0; r < batch.records; ++r) {
        for (QStringView& v : m_record) {
            const std::size_t begin = k == 0 ? 0 : ends[k - 1];
            v = QStringView(text + begin, qsizetype(ends[k] - begin));
            ++k;
        }
        m_file.setValues(std::span<const QStringView>(m_record), m_qualifiers);
        m_file.update();
    }
    for (std::size_t l = 0; l < batch.lines; ++l) {
        m_file.setValue(batch.value(k++));
        m_file.update();
    }
    batch.clear();
    // A value of megabytes would otherwise keep its memory for the rest of the run.
    if (batch.text.size() > 4 * BatchChars)
        std::vector<char16_t>().swap(batch.text);
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
    if (!m_thread.joinable() && !startThread()) {
        writeBatch(m_filling); // no thread to be had: written here, as it comes
        return;
    }
    std::unique_lock lock(m_mutex);
    waitIdle(lock);
    rethrowFailure();
    std::swap(m_filling, m_queued);
    m_busy = true;
    lock.unlock();
    m_changed.notify_all();
}

bool WriteBehind::startThread()
{
    if (m_noThread)
        return false;
    try {
        m_thread = std::thread([this] { run(); });
        return true;
    } catch (const std::system_error&) {
        m_noThread = true; // the system has no thread left for us
        return false;
    }
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
