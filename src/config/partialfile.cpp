#include "config/partialfile.h"

#include <QCoreApplication>
#include <QFile>

namespace quendra {

QString freshPartialPath(const QString& path)
{
    const QString partial =
        QStringLiteral("%1.%2.neu").arg(path).arg(QCoreApplication::applicationPid());
    QFile::remove(partial);
    return partial;
}

} // namespace quendra
