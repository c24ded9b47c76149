#include "connectors/clsfsconnect_io.h"

#include "common/error.h"
#include "common/replacementfile.h"
#include "connectors/textencoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quendra {

namespace {

constexpr std::size_t ReadBlock = std::size_t(1) << 20;
constexpr std::size_t NotFound = std::size_t(-1); // no such byte up to the buffer's end

} // namespace

LineReader::LineReader() = default;
LineReader::~LineReader()
{
    close();
}

void LineReader::open(const QString& path)
{
    close();
    const QByteArray native = QFile::encodeName(path);
    if (path.isEmpty() || QFileInfo(path).isDir())
        throw standardError(path.isEmpty() ? errnum::FileNotFound : errnum::PathFileAccess, path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw fileSystemError(errno, path);
    m_fd = fd;
    m_path = path;
    struct stat info {};
    m_sizeAtOpen = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? info.st_size : -1;
    if (!m_buf) {
        m_cap = ReadBlock;
        m_buf = std::make_unique_for_overwrite<char[]>(m_cap);
    }
    startOver(); // a pipe cannot seek, but it is at its start anyway
}

void LineReader::close()
{
    handBlocks(nullptr);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void LineReader::handBlocks(ReadBlocks* blocks)
{
    if (m_blocks)
        m_blocks->release();
    m_blocks = m_fd >= 0 && m_sizeAtOpen >= 0 ? blocks : nullptr;
    if (m_blocks)
        m_blocks->take(m_consumed - (long long)m_end, m_buf.get(), m_end, m_drained);
}

void LineReader::rewind()
{
    if (m_fd >= 0 && ::lseek(m_fd, 0, SEEK_SET) < 0)
        throw fileSystemError(errno, m_path);
    startOver();
}

void LineReader::startOver()
{
    m_end = m_pos = m_lineStart = m_lineLen = 0;
    m_drained = false;
    m_consumed = 0;
}

template <class Look> void LineReader::readBeside(long long offset, Look look) const
{
    constexpr std::size_t Block = std::size_t(1) << 16;
    const auto buf = std::make_unique_for_overwrite<char[]>(Block);
    for (;;) {
        ssize_t got;
        do {
            got = ::pread(m_fd, buf.get(), Block, offset);
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            throw fileSystemError(errno, m_path);
        const std::size_t took =
            look(buf.get(), std::size_t(got), offset, std::size_t(got) < Block);
        if (took == 0 || got == 0)
            return;
        offset += (long long)took;
    }
}

long long LineReader::utf8Start() const
{
    if (m_fd < 0 || m_sizeAtOpen < 0)
        return -1;
    Utf8Evidence evidence;
    readBeside(0, [&](const char* p, std::size_t n, long long offset, bool last) {
        const std::size_t took = evidence.feed(p, n, offset, last);
        return evidence.refuted() || last ? std::size_t(0) : took;
    });
    return evidence.found() ? evidence.firstSequence() : -1;
}

long long LineReader::lineAt(long long offset) const
{
    long long line = 1;
    bool afterCr = false;
    readBeside(0, [&](const char* p, std::size_t n, long long at, bool) {
        const std::size_t end = std::size_t(std::min<long long>((long long)n, offset - at));
        for (std::size_t i = 0; i < end; ++i) {
            // CR LF is one line end; a lone CR or LF is one too.
            line += p[i] == '\r' || (p[i] == '\n' && !afterCr) ? 1 : 0;
            afterCr = p[i] == '\r';
        }
        return at + (long long)n >= offset ? std::size_t(0) : n;
    });
    return line;
}

// Position of the first CR or LF at or after m_pos, or NotFound: one pass for both bytes,
// with SSE2 sixteen at a time, the rest (and everything without SSE2) byte by byte.
std::size_t LineReader::findLineEnd()
{
    const char* b = m_buf.get();
    std::size_t i = m_pos;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; i + 16 <= m_end; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const auto hits =
            unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
        if (hits != 0)
            return i + std::size_t(std::countr_zero(hits));
    }
#endif
    for (; i < m_end; ++i) {
        if (b[i] == '\n' || b[i] == '\r')
            return i;
    }
    return NotFound;
}

bool LineReader::next()
{
    if (m_fd < 0)
        return false;
    for (;;) {
        const std::size_t e = findLineEnd();
        if (e != NotFound) {
            const bool cr = m_buf[e] == '\r';
            if (cr && e + 1 == m_end && !m_drained) {
                refill(); // a LF may follow in the next block
                continue;
            }
            m_lineStart = m_pos;
            m_lineLen = e - m_pos;
            m_pos = e + 1 + (cr && e + 1 < m_end && m_buf[e + 1] == '\n' ? 1 : 0);
            return true;
        }
        if (!m_drained) {
            refill();
            continue;
        }
        if (m_pos == m_end)
            return false;
        m_lineStart = m_pos; // the last line has no line end
        m_lineLen = m_end - m_pos;
        m_pos = m_end;
        return true;
    }
}

// Moves the current line and the unread rest to the front (growing the buffer when a
// line is longer than it) and reads the next block behind them.
void LineReader::refill()
{
    if (m_blocks)
        m_blocks->release();
    const std::size_t keep = m_end - m_lineStart;
    if (m_lineStart > 0) {
        std::memmove(m_buf.get(), m_buf.get() + m_lineStart, keep);
        m_pos -= m_lineStart;
        m_lineStart = 0;
        m_end = keep;
    }
    if (m_cap - m_end < ReadBlock / 2) {
        const std::size_t cap = m_cap * 2;
        auto bigger = std::make_unique_for_overwrite<char[]>(cap);
        std::memcpy(bigger.get(), m_buf.get(), m_end);
        m_buf = std::move(bigger);
        m_cap = cap;
    }
    ssize_t got;
    do {
        got = ::read(m_fd, m_buf.get() + m_end, m_cap - m_end);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        throw fileSystemError(errno, m_path);
    if (got == 0)
        m_drained = true;
    if (m_blocks)
        m_blocks->take(m_consumed, m_buf.get() + m_end, std::size_t(got), m_drained);
    m_end += std::size_t(got);
    m_consumed += got;
}

LineWriter::LineWriter() = default;
LineWriter::~LineWriter()
{
    closeSilently();
}

namespace {
// The file at path, created or truncated for writing.
int createFile(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = path.isEmpty()
                       ? -1
                       : ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int code = path.isEmpty() ? ENOENT : errno;
        if (code == ENOENT || code == ENOTDIR)
            throw standardError(errnum::PathNotFound, path);
        throw fileSystemError(code, path);
    }
    return fd;
}
} // namespace

void LineWriter::open(const QString& path, LineTarget target)
{
    closeSilently();
    m_memory = target == LineTarget::Memory;
    m_held = target == LineTarget::Held;
    if (target == LineTarget::Replace) {
        m_replacement = std::make_unique<ReplacementFile>(path);
        m_fd = m_replacement->descriptor();
    } else if (target == LineTarget::Held && replaceableWholly(path)) {
        try {
            m_replacement = std::make_unique<ReplacementFile>(path);
            m_fd = m_replacement->descriptor();
        } catch (const Error&) {
            // The lines wait in the buffer; release() meets what refused the new file.
        }
    } else if (target == LineTarget::Truncate) {
        m_fd = createFile(path);
    }
    m_path = path;
    m_size = m_complete = 0;
    m_lineEnds.clear();
    m_written = m_linesWritten = 0;
    if (!m_buf) {
        m_cap = FlushBlock + FlushBlock / 4;
        m_buf = std::make_unique_for_overwrite<char[]>(m_cap);
    }
}

void LineWriter::release()
{
    if (!m_held)
        return;
    if (m_replacement) {
        // The lines are in the new file already; it goes on taking them in its new place.
        m_held = false;
        const std::unique_ptr<ReplacementFile> replacement = std::move(m_replacement);
        m_fd = -1;
        m_fd = replacement->putInPlaceOpen();
        return;
    }
    m_fd = createFile(m_path);
    m_held = false;
    if (m_complete >= FlushBlock)
        writeOut();
}

void LineWriter::discardReplacement() noexcept
{
    if (m_replacement)
        m_replacement->discard();
    m_replacement.reset();
    m_fd = -1;
}

std::string LineWriter::takeLines()
{
    std::string lines(m_buf.get(), m_complete);
    m_lineEnds.clear();
    std::memmove(m_buf.get(), m_buf.get() + m_complete, m_size - m_complete);
    m_size -= m_complete;
    m_complete = 0;
    return lines;
}

void LineWriter::grow(std::size_t n)
{
    const std::size_t cap = std::max(m_cap * 2, m_size + n);
    auto bigger = std::make_unique_for_overwrite<char[]>(cap);
    if (m_size > 0)
        std::memcpy(bigger.get(), m_buf.get(), m_size);
    m_buf = std::move(bigger);
    m_cap = cap;
}

// Writes the complete lines; the line being built moves to the front.
void LineWriter::writeOut()
{
    std::size_t done = 0;
    while (done < m_complete) {
        const ssize_t n = ::write(m_fd, m_buf.get() + done, m_complete - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            failWrite(n < 0 ? errno : ENOSPC, done);
        done += std::size_t(n);
    }
    m_written += static_cast<long long>(m_complete);
    m_linesWritten += static_cast<long long>(m_lineEnds.size());
    m_lineEnds.clear();
    std::memmove(m_buf.get(), m_buf.get() + m_complete, m_size - m_complete);
    m_size -= m_complete;
    m_complete = 0;
}

// The file took only done bytes of the block: cuts it back to the last complete line
// among them, drops the block (so that the error is reported once) and throws.
void LineWriter::failWrite(int code, std::size_t done)
{
    const auto kept = std::upper_bound(m_lineEnds.begin(), m_lineEnds.end(), done);
    const std::size_t keep = kept == m_lineEnds.begin() ? 0 : *(kept - 1);
    m_linesWritten += kept - m_lineEnds.begin();
    m_written += static_cast<long long>(keep);
    const bool whole = keep == done || ::ftruncate(m_fd, m_written) == 0;
    m_lineEnds.clear();
    std::memmove(m_buf.get(), m_buf.get() + m_complete, m_size - m_complete);
    m_size -= m_complete;
    m_complete = 0;
    const Error failure = fileSystemError(code, m_path);
    // A new file that was to replace the target as a whole is dropped: the run says that
    // the target is unchanged. One that holds lines back takes its place with them.
    const QString state =
        m_replacement && !m_held ? QString()
        : whole ? QStringLiteral(" Die Datei enthält die ersten %1 Zeilen vollständig und endet "
                                 "mit der letzten vollständigen Zeile.")
                      .arg(m_linesWritten)
                : QStringLiteral(" Die letzte Zeile der Datei ist unvollständig.");
    throw Error(failure.number(), failure.source(), failure.description() + state);
}

void LineWriter::close()
{
    if (m_memory || m_held) {
        m_memory = m_held = false;
        m_size = m_complete = 0;
        m_lineEnds.clear();
        discardReplacement();
        return;
    }
    if (m_fd < 0)
        return;
    try {
        writeOut();
    } catch (...) {
        if (!m_replacement)
            ::close(m_fd);
        m_fd = -1;
        discardReplacement();
        throw;
    }
    m_size = 0;
    if (m_replacement) {
        m_fd = -1;
        const std::unique_ptr<ReplacementFile> replacement = std::move(m_replacement);
        replacement->commit();
        return;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw fileSystemError(errno, m_path);
}

void LineWriter::closeSilently() noexcept
{
    if (m_replacement) {
        // Whatever went wrong, the old file stays as it was.
        m_size = m_complete = 0;
        m_lineEnds.clear();
        discardReplacement();
        return;
    }
    try {
        close();
    } catch (...) {
        // The owner is going away; there is nobody left to report to.
    }
}

} // namespace quendra
