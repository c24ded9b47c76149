#include "common/configlocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quendra {

ConfigLocation configLocation(const QString& programFolder)
{
    const QDir data(QDir(programFolder).filePath(QStringLiteral(QUENDRA_DATA_FROM_BIN)));
    if (!QFileInfo(data.filePath(ConfigDbName)).isFile())
        return {QDir(programFolder).filePath(ConfigDbName), QString()};
    // The window and the batch runner share the folder whatever their program names
    // are: it is the application folder of "quendra".
    const QDir user(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                    QStringLiteral("/quendra"));
    return {user.filePath(ConfigDbName), data.absolutePath()};
}

ConfigLocation programConfigLocation()
{
    return configLocation(QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                       : QDir::currentPath());
}

} // namespace quendra
