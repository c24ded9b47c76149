#include "common/streamoutput.h"

namespace quendra {

QByteArray StreamMessageSink::format(const MessageBoxData& box)
{
    QString text = box.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return (box.title + QLatin1Char('\n') + text + QStringLiteral("\n\n")).toUtf8();
}

void StreamMessageSink::show(const MessageBoxData& box)
{
    if (box.style == StyleCritical)
        ++m_errors;
    if (m_progress)
        m_progress->clearLine();
    const QByteArray bytes = format(box);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_out);
    std::fflush(m_out);
}

void TerminalProgress::open()
{
    m_counter = ProgressCounter();
    m_sinceDraw.invalidate();
}

void TerminalProgress::setCount(qint64 count, qint64 maxCount)
{
    m_counter.setCount(count, maxCount);
    const bool last = m_counter.total() > 0 && m_counter.count() >= m_counter.total();
    if (!m_sinceDraw.isValid() || m_sinceDraw.elapsed() >= 100 || last)
        draw();
}

void TerminalProgress::draw()
{
    const QByteArray line = m_counter.text().toUtf8();
    std::fputc('\r', m_out);
    std::fwrite(line.constData(), 1, size_t(line.size()), m_out);
    // Blanks over the rest of a longer line drawn before.
    for (int i = int(line.size()); i < m_drawnWidth; ++i)
        std::fputc(' ', m_out);
    m_drawnWidth = std::max(m_drawnWidth, int(line.size()));
    std::fflush(m_out);
    m_sinceDraw.start();
}

void TerminalProgress::clearLine()
{
    if (m_drawnWidth == 0)
        return;
    std::fputc('\r', m_out);
    for (int i = 0; i < m_drawnWidth; ++i)
        std::fputc(' ', m_out);
    std::fputc('\r', m_out);
    std::fflush(m_out);
    m_drawnWidth = 0;
}

void TerminalProgress::close()
{
    clearLine();
}

} // namespace quendra
