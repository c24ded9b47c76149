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

namespace {
qint64 modifiedNs(const struct stat& info)
{
    return qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}
} // namespace

FileFingerprint::FileFingerprint(const QString& path, bool readAhead) : m_wanted(readAhead)
{
    // Not blocking: a pipe (no identity) must not wait here for a writer.
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        m_taking = false;
        m_done.store(true, std::memory_order_release);
        return;
    }
    m_size = info.st_size;
    m_modifiedNs = modifiedNs(info);
    m_identity.modified = QDateTime::fromMSecsSinceEpoch(m_modifiedNs / 1000000, Qt::UTC);
    if (readAhead)
        ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    m_thread = std::thread([this] { run(); });
}

FileFingerprint::~FileFingerprint()
{
    if (m_thread.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    if (m_fd >= 0)
        ::close(m_fd);
}

void FileFingerprint::take(long long offset, const char* bytes, std::size_t size, bool last)
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [&] { return !m_block; });
    if (!m_taking)
        return;
    m_block = Block{offset, bytes, size, last};
    lock.unlock();
    m_wake.notify_all();
}

void FileFingerprint::release()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [&] { return !m_block; });
}

void FileFingerprint::run()
{
    // Made here, so that loading the library that hashes does not hold up the run.
    const auto sha = std::make_unique<Sha256>();
    qint64 hashed = 0;
    bool whole = false;
    std::unique_lock lock(m_mutex);
    while (!whole) {
        m_wake.wait(lock, [&] { return m_block || m_wanted || m_quit; });
        if (!m_block)
            break;
        const Block block = *m_block;
        lock.unlock();
        // A block the reader reads again after rewinding is hashed already; one beyond
        // what was handed leaves a gap, which the thread reads itself.
        const qint64 end = block.offset + qint64(block.size);
        if (block.offset <= hashed && end > hashed) {
            sha->add(block.bytes + (hashed - block.offset), std::size_t(end - hashed));
            hashed = end;
        }
        whole = block.last && end == hashed;
        lock.lock();
        m_block.reset();
        m_wake.notify_all();
    }
    m_taking = false;
    const bool quit = m_quit;
    lock.unlock();
    if (quit)
        return;
    // A file that cannot be read to its end has no identity; the run that reads it meets
    // the same fault and reports it.
    if (whole || readRest(*sha, hashed)) {
        m_identity.size = hashed;
        if (hashed == m_size && unchanged())
            m_identity.sha256 = sha->hexResult();
    }
    m_done.store(true, std::memory_order_release);
}

bool FileFingerprint::readRest(Sha256& sha, qint64& offset)
{
    std::vector<char> block(HashBlock);
    for (;;) {
        if (const std::lock_guard lock(m_mutex); m_quit)
            return false;
        const ssize_t got = ::pread(m_fd, block.data(), block.size(), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        sha.add(block.data(), std::size_t(got));
        offset += got;
    }
}

const SourceIdentity& FileFingerprint::result()
{
    if (m_thread.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_wanted = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    return m_identity;
}

bool FileFingerprint::unchanged() const
{
    struct stat info {};
    return m_fd >= 0 && ::fstat(m_fd, &info) == 0 && info.st_size == m_size &&
           modifiedNs(info) == m_modifiedNs;
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
