#include "config/userconfig.h"

#include "common/configlocation.h"
#include "common/globals.h"
#include "common/leftoverfiles.h"
#include "common/medium.h"
#include "common/messagehandler.h"
#include "config/configconnection.h"
#include "config/configsql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace quendra {

namespace {

// Points the text-file paths of every definition in head (srchead or trghead) into folder.
void moveTextFiles(const QSqlDatabase& db, const QString& head, const QDir& folder)
{
    QSqlQuery rows(db);
    if (!rows.exec(QStringLiteral("select rowid, path from %1 where frommedium = %2")
                       .arg(head)
                       .arg(qint16(Medium::TextFile))))
        throw sqlError(rows.lastError());
    QSqlQuery update(db);
    update.prepare(QStringLiteral("update %1 set path = ? where rowid = ?").arg(head));
    while (rows.next()) {
        update.addBindValue(folder.filePath(QFileInfo(rows.value(1).toString()).fileName()));
        update.addBindValue(rows.value(0));
        if (!update.exec())
            throw sqlError(update.lastError());
    }
}

void placeDemo(const QString& path, const ConfigLocation& location)
{
    ConfigConnection connection(path);
    const QSqlDatabase db = connection.database();
    moveTextFiles(db, QStringLiteral("srchead"), QDir(location.dataFolder));
    moveTextFiles(db, QStringLiteral("trghead"), QFileInfo(location.dbPath).absoluteDir());
}

Error notMade(const ConfigLocation& location, const QString& detail)
{
    return Error(errnum::PathFileAccess, {},
                 QStringLiteral("Die Konfigurationsdatenbank %1 kann nicht angelegt werden: %2")
                     .arg(QDir::toNativeSeparators(location.dbPath), detail));
}

} // namespace

void provideUserConfig(const ConfigLocation& location)
{
    if (location.dataFolder.isEmpty() || location.dbPath != globals().configDbPath ||
        QFileInfo::exists(location.dbPath))
        return;
    if (!QDir().mkpath(QFileInfo(location.dbPath).absolutePath()))
        throw notMade(location, QStringLiteral("Der Ordner kann nicht angelegt werden."));
    const QString partial = freshPartialPath(location.dbPath);
    QFile demo(QDir(location.dataFolder).filePath(ConfigDbName));
    if (!demo.copy(partial))
        throw notMade(location, demo.errorString());
    try {
        QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                           QFile::WriteUser);
        placeDemo(partial, location);
    } catch (const Error& e) {
        QFile::remove(partial);
        // What is wrong is the shipped demo; its copy's name would mean nothing to the user.
        QString text = e.description();
        text.replace(QDir::toNativeSeparators(partial), QDir::toNativeSeparators(demo.fileName()));
        throw notMade(location, text);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    QFile made(partial);
    if (!made.rename(location.dbPath)) {
        const QString reason = made.errorString();
        QFile::remove(partial);
        if (!QFileInfo::exists(location.dbPath)) // else another start made it first
            throw notMade(location, reason);
    }
}

void prepareConfiguration(const QString& where, bool provideDemo)
{
    const ConfigLocation location = programConfigLocation();
    if (location.dbPath == globals().configDbPath) {
        for (const QString& warning : location.warnings)
            showError(nullptr, StyleWarning, where, warning);
    }
    for (const QString& removed : removeLeftovers(globals().configDbPath))
        showError(nullptr, StyleWarning, where, removed);
    if (provideDemo)
        provideUserConfig(location);
}

} // namespace quendra
