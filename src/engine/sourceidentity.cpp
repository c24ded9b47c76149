#include "engine/sourceidentity.h"

#include "connectors/backends/sha256.h"
#include "connectors/recordaccess.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quendra {

namespace {
constexpr std::size_t HashBlock = std::size_t(1) << 20;
constexpr qsizetype ValueBlock = 64 * 1024;
} // namespace

FileFingerprint::FileFingerprint(const QString& path)
{
    // Not blocking: a pipe (no identity) must not wait here for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        m_done.store(true, std::memory_order_release);
        return;
    }
    m_identity.modified = QDateTime::fromMSecsSinceEpoch(
        qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000, Qt::UTC);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    m_thread = std::thread([this, fd] { hash(fd); });
}

FileFingerprint::~FileFingerprint()
{
    if (m_thread.joinable())
        m_thread.join();
}

void FileFingerprint::hash(int fd)
{
    // Made here, so that loading the library that hashes does not hold up the run.
    const auto sha = std::make_unique<Sha256>();
    std::vector<char> block(HashBlock);
    qint64 size = 0;
    for (;;) {
        const ssize_t got = ::read(fd, block.data(), block.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            // A file that cannot be read to its end has no identity; the run that reads
            // it meets the same fault and reports it.
            if (got == 0) {
                m_identity.size = size;
                m_identity.sha256 = sha->hexResult();
            }
            break;
        }
        sha->add(block.data(), std::size_t(got));
        size += got;
    }
    ::close(fd);
    m_done.store(true, std::memory_order_release);
}

const SourceIdentity& FileFingerprint::result()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_identity;
}

ValueFingerprint::ValueFingerprint() : m_sha(std::make_unique<Sha256>())
{
    m_block.reserve(ValueBlock + 4096);
}

ValueFingerprint::~ValueFingerprint() = default;

void ValueFingerprint::addRecord(const RecordReader& reader, int fieldCount)
{
    // Up to the last value that is not empty: a record is the same whether a source gives
    // its empty fields at the end or leaves them out.
    int count = std::min(fieldCount, reader.valueCount());
    while (count > 0 && reader.getField(count - 1).isEmpty())
        --count;
    const auto values = qint64(count);
    m_block.append(reinterpret_cast<const char*>(&values), sizeof values);
    for (int i = 0; i < count; ++i) {
        const QStringView value = reader.getField(i);
        const auto length = qint64(value.size());
        m_block.append(reinterpret_cast<const char*>(&length), sizeof length);
        m_block.append(reinterpret_cast<const char*>(value.data()),
                       value.size() * qsizetype(sizeof(QChar)));
    }
    ++m_rows;
    if (m_block.size() >= ValueBlock)
        flush();
}

void ValueFingerprint::flush()
{
    m_sha->add(m_block.constData(), std::size_t(m_block.size()));
    m_block.clear();
}

SourceIdentity ValueFingerprint::result()
{
    flush();
    SourceIdentity identity;
    identity.rows = m_rows;
    identity.sha256 = m_sha->hexResult();
    return identity;
}

} // namespace quendra
