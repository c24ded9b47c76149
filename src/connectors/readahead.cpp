#include "connectors/readahead.h"

#include "connectors/clsfsconnect_io.h"
#include "connectors/codepage.h"

#include <algorithm>
#include <csignal>
#include <pthread.h>

namespace quendra {

ReadAhead::ReadAhead(LineReader& reader, const FieldSplit& split, const CodePages& cp)
    : m_reader(reader), m_split(split), m_cp(cp)
{
    for (Batch& b : m_batches) {
        b.text.resize(BatchChars);
        m_free.push_back(&b);
    }
    m_thread = std::thread([this] { run(); });
}

ReadAhead::~ReadAhead()
{
    finishThread();
}

void ReadAhead::finishThread() noexcept
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

ReadAhead::Batch* ReadAhead::takeFree()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_stop || !m_free.empty(); });
    if (m_stop)
        return nullptr;
    Batch* b = m_free.back();
    m_free.pop_back();
    return b;
}

void ReadAhead::run()
{
    // Stop requests by signal belong to the thread that converts.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    for (;;) {
        Batch* b = takeFree();
        if (!b)
            return;
        b->used = b->fieldCount = b->lineCount = 0;
        b->failure = nullptr;
        try {
            b->last = !fill(*b);
        } catch (...) {
            b->failure = std::current_exception();
            b->last = true;
        }
        {
            std::lock_guard lock(m_mutex);
            m_ready.push_back(b);
        }
        m_changed.notify_all();
        if (b->last)
            return;
    }
}

// Fills the batch with the next lines; false when the file has no more.
bool ReadAhead::fill(Batch& b)
{
    while (b.lineCount < BatchLines) {
        if (!m_carry && !m_reader.next())
            return false;
        m_carry = false;
        const std::string_view raw = m_reader.line();
        if (b.used + raw.size() > b.text.size()) {
            if (b.lineCount > 0) {
                m_carry = true; // the line opens the next batch
                return true;
            }
            b.text.resize(raw.size()); // no field points into the text yet
        }
        char16_t* text = b.text.data() + b.used;
        m_cp.fromAnsi(raw.data(), raw.size(), text);
        const std::size_t first = b.fieldCount;
        b.fieldCount = m_split.split(raw, reinterpret_cast<const QChar*>(text), b.fields, first);
        if (b.lineCount == b.lines.size())
            b.lines.resize(b.lines.size() + 256);
        b.lines[b.lineCount++] = Line{b.used, raw.size(), first, b.fieldCount - first};
        b.used += raw.size();
    }
    return true;
}

bool ReadAhead::next(QStringView& line, std::span<const QStringView>& fields)
{
    while (!m_current || m_taken == m_current->lineCount) {
        if (m_ended)
            return false;
        std::unique_lock lock(m_mutex);
        if (m_current && m_current->last) {
            // The end: the last batch stays, so that its last line remains valid.
            m_ended = true;
            const std::exception_ptr failure = m_current->failure;
            lock.unlock();
            finishThread();
            if (failure)
                std::rethrow_exception(failure);
            return false;
        }
        if (m_current) {
            // A batch of megabyte lines would keep its memory for the rest of the file.
            if (m_current->text.size() > BatchChars)
                std::vector<char16_t>(BatchChars).swap(m_current->text);
            m_free.push_back(m_current);
            m_changed.notify_all();
        }
        m_changed.wait(lock, [&] { return !m_ready.empty(); });
        m_current = m_ready.front();
        m_ready.erase(m_ready.begin());
        m_taken = 0;
    }
    const Line& l = m_current->lines[m_taken++];
    line = QStringView(m_current->text.data() + l.text, qsizetype(l.length));
    fields = std::span<const QStringView>(m_current->fields).subspan(l.field, l.fields);
    return true;
}

} // namespace quendra
