#include "config/jetmigration.h"

#include "common/error.h"
#include "common/fileidentity.h"
#include "common/leftoverfiles.h"
#include "config/configconnection.h"
#include "config/configschema.h"
#include "config/configsql.h"
#include "config/jetconfigreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quendra {

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void refuse(const QString& text)
{
    throw Error(errnum::PathFileAccess, {}, text);
}

// Whether the SQLite configuration at path has a row in one of the definition tables.
bool holdsDefinitions(const QString& path)
{
    if (QFileInfo(path).size() == 0)
        return false;
    const ConfigConnection connection(path);
    const QSqlDatabase db = connection.database();
    const QStringList present = db.tables();
    for (const LayoutTable& t : definitionTables()) {
        if (!present.contains(t.name, Qt::CaseInsensitive))
            continue;
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("select 1 from %1 limit 1").arg(t.name)))
            throw sqlError(query.lastError());
        if (query.next())
            return true;
    }
    return false;
}

// A connection of its own to a new SQLite file, closed and removed with the object.
class NewDatabase {
public:
    explicit NewDatabase(const QString& path)
        : m_name(QStringLiteral("quendra-migration-%1").arg(quintptr(this)))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        if (!db.open())
            throw sqlError(db.lastError());
    }
    ~NewDatabase()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    NewDatabase(const NewDatabase&) = delete;
    NewDatabase& operator=(const NewDatabase&) = delete;
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

void exec(QSqlQuery& query, const QString& sql)
{
    if (!query.exec(sql))
        throw sqlError(query.lastError());
}

void insertRows(const QSqlDatabase& db, const OldTable& table)
{
    const LayoutTable& layout = *table.layout;
    QSqlQuery insert(db);
    const QStringList marks(layout.columns.size(), QStringLiteral("?"));
    if (!insert.prepare(QStringLiteral("insert into %1 (%2) values (%3)")
                            .arg(layout.name, layout.selectList(), marks.join(u", "))))
        throw sqlError(insert.lastError());
    const bool version = layout.name == u"dbversion";
    for (QVector<QVariant> values : table.rows) {
        if (version)
            values[0] = CurrentDbVersion;
        for (const QVariant& value : values)
            insert.addBindValue(value);
        if (!insert.exec())
            throw sqlError(insert.lastError());
    }
    if (version && table.rows.isEmpty()) {
        QSqlQuery add(db);
        exec(add,
             QStringLiteral("insert into dbversion (version) values (%1)").arg(CurrentDbVersion));
    }
}

void writeNew(const QString& path, const QVector<OldTable>& tables)
{
    const NewDatabase file(path);
    QSqlDatabase db = file.db();
    if (!db.transaction())
        throw sqlError(db.lastError());
    QSqlQuery query(db);
    for (const QString& statement : schemaStatements())
        exec(query, statement);
    exec(query, QStringLiteral("delete from dbversion"));
    for (const OldTable& table : tables)
        insertRows(db, table);
    if (!db.commit())
        throw sqlError(db.lastError());
}

// The new file as the program will open it: every table holds the rows that were read.
void checkNew(const QString& path, const QVector<OldTable>& tables)
{
    const ConfigConnection connection(path);
    QSqlQuery query(connection.database());
    exec(query, QStringLiteral("pragma integrity_check"));
    if (!query.next() || query.value(0).toString() != u"ok")
        refuse(QStringLiteral("Die neue Konfigurationsdatenbank %1 ist nach dem Schreiben "
                              "beschädigt.")
                   .arg(native(path)));
    for (const OldTable& table : tables) {
        exec(query, QStringLiteral("select count(*) from %1").arg(table.layout->name));
        const qint64 expected = qMax<qint64>(table.rows.size(), table.layout->name == u"dbversion");
        if (!query.next() || query.value(0).toLongLong() != expected)
            refuse(QStringLiteral("Die neue Konfigurationsdatenbank %1 enthält in der Tabelle %2 "
                                  "nicht die %3 gelesenen Zeilen.")
                       .arg(native(path), table.layout->name)
                       .arg(table.rows.size()));
    }
}

// Checks what the target is before anything is read or written; true when the target is
// the old file itself.
bool checkTarget(const QString& oldPath, const QString& targetPath, bool replace)
{
    const auto target = fileIdentity(targetPath);
    if (!target)
        return false;
    if (target == fileIdentity(oldPath)) {
        if (QFileInfo::exists(keptJetPath(targetPath)))
            refuse(QStringLiteral("Die Datei %1 gibt es schon; die alte Konfiguration wird "
                                  "nicht darüber gelegt. Bitte sie zuerst umbenennen.")
                       .arg(native(keptJetPath(targetPath))));
        return true;
    }
    if (holdsDefinitions(targetPath) && !replace)
        refuse(QStringLiteral("Die Konfigurationsdatenbank %1 enthält schon Definitionen. Sie "
                              "wird nur ersetzt, wenn das gewählt ist (quendra-run: --replace).")
                   .arg(native(targetPath)));
    return false;
}

} // namespace

QString keptJetPath(const QString& configPath)
{
    return configPath + QStringLiteral(".access");
}

QStringList migrateJetConfiguration(const QString& oldPath, const QString& targetPath, bool replace)
{
    const bool inPlace = checkTarget(oldPath, targetPath, replace);
    const OldConfiguration old = readJetConfiguration(oldPath);
    const QVector<OldTable>& tables = old.tables;
    if (!QDir().mkpath(QFileInfo(targetPath).absolutePath()))
        refuse(QStringLiteral("Der Ordner von %1 kann nicht angelegt werden.")
                   .arg(native(targetPath)));
    const QString partial = freshPartialPath(targetPath);
    const QString kept = keptJetPath(targetPath);
    try {
        writeNew(partial, tables);
        checkNew(partial, tables);
        if (inPlace && !QFile::copy(oldPath, kept))
            refuse(QStringLiteral("Die alte Konfiguration kann nicht als %1 aufbewahrt werden.")
                       .arg(native(kept)));
        if (std::rename(QFile::encodeName(partial).constData(),
                        QFile::encodeName(targetPath).constData()) != 0) {
            if (inPlace)
                QFile::remove(kept);
            refuse(QStringLiteral("Die neue Konfigurationsdatenbank kann nicht als %1 "
                                  "gespeichert werden: %2")
                       .arg(native(targetPath), QString::fromLocal8Bit(std::strerror(errno))));
        }
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    QStringList lines;
    for (const OldTable& table : tables)
        lines << QStringLiteral("%1: %2 %3 übernommen")
                     .arg(table.layout->name)
                     .arg(table.rows.size())
                     .arg(table.rows.size() == 1 ? u"Zeile"_qs : u"Zeilen"_qs);
    for (const QString& other : old.otherTables)
        lines << QStringLiteral("%1: nicht übernommen, keine Tabelle der Konfiguration").arg(other);
    return lines;
}

} // namespace quendra
