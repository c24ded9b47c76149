#include "common/fileidentity.h"

#include <QFile>
#include <sys/stat.h>

namespace quendra {

std::optional<FileIdentity> fileIdentity(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino)};
}

} // namespace quendra
