#include "common/streamoutput.h"

#include "common/error.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace quendra {

namespace {

bool g_outputClosed = false; // standard output was closed when the program started
int g_outputError = 0;       // the system's code of the first failed write to it

void put(FILE* out, const QByteArray& bytes)
{
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out) == size_t(bytes.size());
    if (out != stdout || g_outputError != 0)
        return;
    if (g_outputClosed && !bytes.isEmpty())
        g_outputError = EBADF;
    else if (!written)
        g_outputError = errno != 0 ? errno : EIO;
}

} // namespace

void writeStandardOutput(const QByteArray& bytes)
{
    put(stdout, bytes);
}

void checkStandardOutput()
{
    if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && g_outputError == 0)
        g_outputError = errno != 0 ? errno : EIO;
    if (g_outputError == 0)
        return;
    if (g_outputError == EBADF)
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Die Standardausgabe ist geschlossen; was auf ihr erscheinen "
                                   "sollte, ging verloren."));
    const QString target = QFile::symLinkTarget(QStringLiteral("/proc/self/fd/1"));
    throw fileSystemError(g_outputError, target.isEmpty()
                                             ? QStringLiteral("Standardausgabe")
                                             : QStringLiteral("Standardausgabe (%1)").arg(target));
}

void guardStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
            continue;
        const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
        if (fd == 1)
            g_outputClosed = true;
    }
}

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
    put(m_out, format(box));
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
