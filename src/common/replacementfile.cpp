#include "common/replacementfile.h"

#include "common/error.h"
#include "common/leftoverfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

namespace quendra {

namespace {

// Gives the new file fd the old file's owner, group and permissions, or (no old file) the
// permissions a new file gets. Owner and group first: changing them may clear the
// set-user and set-group bits.
void keepOwnerAndMode(int fd, const QString& path, bool existed, const struct stat& old)
{
    mode_t mode = old.st_mode & 07777;
    if (existed) {
        struct stat made {};
        const bool same =
            ::fstat(fd, &made) == 0 && made.st_uid == old.st_uid && made.st_gid == old.st_gid;
        if (!same && ::fchown(fd, old.st_uid, old.st_gid) != 0)
            throw Error(errnum::PathFileAccess, {},
                        QStringLiteral("%1 gehört Benutzer %2 und Gruppe %3; eine neue Datei an "
                                       "ihrer Stelle kann Eigentümer und Gruppe nicht behalten, "
                                       "daher wird sie nicht ersetzt.")
                            .arg(QDir::toNativeSeparators(path))
                            .arg(old.st_uid)
                            .arg(old.st_gid));
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0)
        throw fileSystemError(errno, path);
}

} // namespace

QString linkedFile(const QString& path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    for (int links = 0; links < 40; ++links) {
        const QFileInfo info(current);
        if (!info.isSymbolicLink())
            break;
        current = info.symLinkTarget();
    }
    return current;
}

ReplacementFile::ReplacementFile(const QString& path) : m_path(path)
{
    if (path.isEmpty())
        throw standardError(errnum::PathNotFound, path);
    m_target = linkedFile(path);
    if (!QFileInfo(m_target).dir().exists())
        throw standardError(errnum::PathNotFound, path);
    struct stat old {};
    const bool existed = ::stat(QFile::encodeName(m_target).constData(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode))
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("%1 ist keine gewöhnliche Datei und kann nicht als Ganzes "
                                   "ersetzt werden.")
                        .arg(QDir::toNativeSeparators(path)));
    QByteArray name = replacementPattern(m_target);
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Der Ordner %1 ist schreibgeschützt: dort kann keine neue "
                                   "Datei an die Stelle von %2 treten.")
                        .arg(QDir::toNativeSeparators(QFileInfo(m_target).absolutePath()),
                             QDir::toNativeSeparators(path)));
    if (m_fd < 0)
        throw fileSystemError(errno, path);
    m_name = QFile::decodeName(name);
    try {
        keepOwnerAndMode(m_fd, path, existed, old);
    } catch (...) {
        discard();
        throw;
    }
}

ReplacementFile::~ReplacementFile()
{
    discard();
}

void ReplacementFile::commit()
{
    int code = 0;
    if (::fsync(m_fd) != 0)
        code = errno;
    if (::close(m_fd) != 0 && code == 0 && errno != EINTR)
        code = errno;
    m_fd = -1;
    if (code == 0 && ::rename(QFile::encodeName(m_name).constData(),
                              QFile::encodeName(m_target).constData()) != 0)
        code = errno;
    if (code != 0) {
        discard();
        throw fileSystemError(code, m_path);
    }
    m_name.clear();
}

int ReplacementFile::putInPlaceOpen()
{
    if (::rename(QFile::encodeName(m_name).constData(), QFile::encodeName(m_target).constData()) !=
        0) {
        const int code = errno;
        discard();
        throw fileSystemError(code, m_path);
    }
    m_name.clear();
    return std::exchange(m_fd, -1);
}

void ReplacementFile::discard() noexcept
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_name.isEmpty())
        ::unlink(QFile::encodeName(m_name).constData());
    m_name.clear();
}

bool replaceableWholly(const QString& path)
{
    const QByteArray name = QFile::encodeName(linkedFile(path));
    struct stat old {};
    if (::stat(name.constData(), &old) != 0)
        return errno == ENOENT;
    if (!S_ISREG(old.st_mode) || old.st_nlink != 1 || old.st_uid != ::geteuid() ||
        old.st_gid != ::getegid())
        return false;
    const ssize_t attributes = ::listxattr(name.constData(), nullptr, 0);
    return attributes == 0 || (attributes < 0 && errno == ENOTSUP);
}

void writeWholeFile(const QString& path, const QByteArray& bytes)
{
    ReplacementFile file(path);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(file.descriptor(), bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw fileSystemError(n < 0 ? errno : ENOSPC, path);
        done += n;
    }
    file.commit();
}

} // namespace quendra
