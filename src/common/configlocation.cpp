#include "common/configlocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <pwd.h>
#include <unistd.h>

namespace quendra {

namespace {

// An absolute path from the environment variable name; nothing (and a warning) when it
// holds a relative one.
QString absoluteFromEnvironment(const char* name, QStringList& warnings)
{
    const QString value = qEnvironmentVariable(name);
    if (value.isEmpty() || QDir::isAbsolutePath(value))
        return value;
    warnings << QStringLiteral("Die Umgebungsvariable %1 enthält keinen absoluten Pfad („%2“) "
                               "und wird nicht beachtet.")
                    .arg(QLatin1StringView(name), value);
    return {};
}

QString userConfigFolder(QStringList& warnings)
{
    const QString xdg = absoluteFromEnvironment("XDG_CONFIG_HOME", warnings);
    if (!xdg.isEmpty())
        return xdg;
    QString home = absoluteFromEnvironment("HOME", warnings);
    if (home.isEmpty()) {
        const passwd* user = ::getpwuid(::getuid());
        if (user && user->pw_dir)
            home = QFile::decodeName(user->pw_dir);
    }
    return home + QStringLiteral("/.config");
}

} // namespace

ConfigLocation configLocation(const QString& programFolder)
{
    const QDir data(QDir(programFolder).filePath(QStringLiteral(QUENDRA_DATA_FROM_BIN)));
    if (!QFileInfo(data.filePath(ConfigDbName)).isFile())
        return {QDir(programFolder).filePath(ConfigDbName), QString(), {}};
    // The window and the batch runner share the folder whatever their program names
    // are: it is the application folder of "quendra".
    QStringList warnings;
    const QDir user(userConfigFolder(warnings) + QStringLiteral("/quendra"));
    const QString dbPath = user.filePath(ConfigDbName);
    if (!warnings.isEmpty())
        warnings.last() += QStringLiteral(" Die Konfiguration ist %1.").arg(dbPath);
    return {dbPath, data.absolutePath(), warnings};
}

ConfigLocation programConfigLocation()
{
    return configLocation(QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                       : QDir::currentPath());
}

} // namespace quendra
