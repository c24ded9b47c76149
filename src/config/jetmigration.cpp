#include "config/jetmigration.h"

#include "common/error.h"
#include "common/fileidentity.h"
#include "common/replacementfile.h"
#include "common/stoprequest.h"
#include "config/configconnection.h"
#include "config/configschema.h"
#include "config/configsql.h"
#include "config/jetconfigreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <sys/stat.h>
#include <unistd.h>

namespace quendra {

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The columns of a table of the schema (dbversion's too).
qsizetype definitionTableWidth(const QString& name)
{
    for (const LayoutTable& t : schemaTables()) {
        if (t.name == name)
            return t.columns.size();
    }
    return 0;
}

[[noreturn]] void refuse(const QString& text)
{
    throw Error(errnum::PathFileAccess, {}, text);
}

// A stop asked for from outside (SIGTERM, SIGINT) ends the migration; the caller undoes
// what was begun.
void stopIfAsked(const QString& target)
{
    if (stopRequested())
        throw Error(errnum::UserInterrupt, {},
                    QStringLiteral("Die Übernahme wurde%1 abgebrochen; an %2 wurde nichts "
                                   "geändert.")
                        .arg(stoppedBySignal(), native(target)));
}

void exec(QSqlQuery& query, const QString& sql)
{
    if (!query.exec(sql))
        throw sqlError(query.lastError());
}

// Whether the configuration has a row in one of the definition tables.
bool holdsDefinitions(const QSqlDatabase& db)
{
    const QStringList present = db.tables();
    for (const LayoutTable& t : definitionTables()) {
        if (!present.contains(t.name, Qt::CaseInsensitive))
            continue;
        QSqlQuery query(db);
        exec(query, QStringLiteral("select 1 from %1 limit 1").arg(t.name));
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

void insertRows(const QSqlDatabase& db, const OldTable& table, const QString& target)
{
    const LayoutTable& layout = table.layout;
    QSqlQuery insert(db);
    const QStringList marks(layout.columns.size(), QStringLiteral("?"));
    if (!insert.prepare(QStringLiteral("insert into %1 (%2) values (%3)")
                            .arg(layout.name, layout.selectList(), marks.join(u", "))))
        throw sqlError(insert.lastError());
    const bool version = layout.name == u"dbversion";
    for (QVector<QVariant> values : table.rows) {
        stopIfAsked(target);
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

// The schema and the rows, in the transaction the caller holds.
void fill(const QSqlDatabase& db, const QVector<OldTable>& tables, const QString& target)
{
    QSqlQuery query(db);
    for (const QString& statement : schemaStatements())
        exec(query, statement);
    for (const OldTable& table : tables) {
        for (qsizetype i = definitionTableWidth(table.layout.name); i < table.layout.columns.size();
             ++i)
            exec(query, QStringLiteral("alter table %1 add column %2 varchar(255)")
                            .arg(table.layout.name, sqlColumnName(table.layout.columns[i].name)));
    }
    exec(query, QStringLiteral("delete from dbversion"));
    for (const OldTable& table : tables)
        insertRows(db, table, target);
}

// The written configuration as the program will read it: sound, and every table holds
// the rows that were read.
void check(const QSqlDatabase& db, const QVector<OldTable>& tables, const QString& target)
{
    QSqlQuery query(db);
    exec(query, QStringLiteral("pragma integrity_check"));
    if (!query.next() || query.value(0).toString() != u"ok")
        refuse(QStringLiteral("Die neue Konfigurationsdatenbank %1 ist nach dem Schreiben "
                              "beschädigt.")
                   .arg(native(target)));
    for (const OldTable& table : tables) {
        exec(query, QStringLiteral("select count(*) from %1").arg(table.layout.name));
        const qint64 expected = qMax<qint64>(table.rows.size(), table.layout.name == u"dbversion");
        if (!query.next() || query.value(0).toLongLong() != expected)
            refuse(QStringLiteral("Die neue Konfigurationsdatenbank %1 enthält in der Tabelle %2 "
                                  "nicht die %3 gelesenen Zeilen.")
                       .arg(native(target), table.layout.name)
                       .arg(table.rows.size()));
    }
}

// Every table and view of the file (their indexes and triggers go with them).
void dropEverything(const QSqlDatabase& db)
{
    QSqlQuery list(db);
    exec(list, QStringLiteral("select type, name from sqlite_master where type in ('table', "
                              "'view') and name not like 'sqlite%'"));
    QStringList drops;
    while (list.next())
        drops << QStringLiteral("drop %1 if exists %2")
                     .arg(list.value(0).toString(),
                          db.driver()->escapeIdentifier(list.value(1).toString(),
                                                        QSqlDriver::TableName));
    list.finish();
    for (const QString& drop : drops)
        exec(list, drop);
}

// A configuration that exists is replaced in place, within one write transaction: other
// programs' transactions end before it begins (or the lock is reported), whatever they
// write later goes into the new content of the same file, and mode, owner and links stay.
// A failure or a stop leaves the file as it was.
void replaceInPlace(const QString& target, const QVector<OldTable>& tables, bool replace)
{
    const ConfigConnection connection(target);
    const QSqlDatabase db = connection.database();
    execStatement(db, QStringLiteral("begin immediate"));
    try {
        if (!replace && holdsDefinitions(db))
            refuse(QStringLiteral("Die Konfigurationsdatenbank %1 enthält schon Definitionen. "
                                  "Sie wird nur ersetzt, wenn das gewählt ist (quendra-run: "
                                  "--replace).")
                       .arg(native(target)));
        dropEverything(db);
        fill(db, tables, target);
        check(db, tables, target);
        stopIfAsked(target);
        execStatement(db, QStringLiteral("commit"));
    } catch (...) {
        QSqlQuery(db).exec(QStringLiteral("rollback"));
        throw;
    }
}

// A new configuration, or one that takes the place of the old Jet file (kept beside it as
// kept), is written as a new file and renamed into place when it is complete.
void writeBeside(const QString& target, const QVector<OldTable>& tables, const QString& jet,
                 const QString& kept)
{
    if (!QDir().mkpath(QFileInfo(linkedFile(target)).absolutePath()))
        refuse(QStringLiteral("Der Ordner von %1 kann nicht angelegt werden.").arg(native(target)));
    ReplacementFile file(target);
    {
        const NewDatabase made(file.name());
        const QSqlDatabase db = made.db();
        execStatement(db, QStringLiteral("begin"));
        fill(db, tables, target);
        execStatement(db, QStringLiteral("commit"));
    }
    {
        const ConfigConnection written(file.name());
        check(written.database(), tables, target);
    }
    if (!jet.isEmpty() && !QFile::copy(jet, kept))
        refuse(QStringLiteral("Die alte Konfiguration kann nicht als %1 aufbewahrt werden.")
                   .arg(native(kept)));
    try {
        stopIfAsked(target);
        file.commit();
    } catch (...) {
        if (!jet.isEmpty())
            QFile::remove(kept);
        throw;
    }
}

// A file the user has protected against writing is not replaced, not even by root.
void refuseWriteProtected(const QString& target)
{
    const QByteArray file = QFile::encodeName(linkedFile(target));
    struct stat info {};
    if (::stat(file.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    if ((info.st_mode & 0222) == 0 || ::access(file.constData(), W_OK) != 0)
        refuse(QStringLiteral("Die Konfigurationsdatenbank %1 ist schreibgeschützt und wird "
                              "nicht ersetzt. Bitte zuerst den Schreibschutz aufheben.")
                   .arg(native(target)));
}

} // namespace

QString keptJetPath(const QString& configPath)
{
    return configPath + QStringLiteral(".access");
}

QStringList migrateJetConfiguration(const QString& oldPath, const QString& targetPath, bool replace)
{
    const auto target = fileIdentity(targetPath);
    const bool inPlace = target && target == fileIdentity(oldPath);
    const QString kept = keptJetPath(targetPath);
    if (inPlace && QFileInfo::exists(kept))
        refuse(QStringLiteral("Die Datei %1 gibt es schon; die alte Konfiguration wird nicht "
                              "darüber gelegt. Bitte sie zuerst umbenennen.")
                   .arg(native(kept)));
    refuseWriteProtected(targetPath);
    const OldConfiguration old = readJetConfiguration(oldPath);
    const QVector<OldTable>& tables = old.tables;
    try {
        stopIfAsked(targetPath);
        if (target && !inPlace)
            replaceInPlace(targetPath, tables, replace);
        else
            writeBeside(targetPath, tables, inPlace ? oldPath : QString(), kept);
    } catch (const Error& e) {
        throw explainedSqlError(e, QStringLiteral("Die alte Konfiguration kann nicht in %1 "
                                                  "übernommen werden.")
                                       .arg(native(targetPath)));
    }
    QStringList lines;
    for (const OldTable& table : tables)
        lines << QStringLiteral("%1: %2 %3 übernommen")
                     .arg(table.layout.name)
                     .arg(table.rows.size())
                     .arg(table.rows.size() == 1 ? u"Zeile"_qs : u"Zeilen"_qs);
    for (const OldTable& table : tables) {
        QStringList further;
        for (qsizetype i = definitionTableWidth(table.layout.name); i < table.layout.columns.size();
             ++i)
            further << table.layout.columns[i].name;
        if (!further.isEmpty())
            lines << QStringLiteral("%1: weitere Spalten als Text übernommen: %2")
                         .arg(table.layout.name, further.join(QStringLiteral(", ")));
    }
    for (const QString& other : old.otherTables)
        lines << QStringLiteral("%1: nicht übernommen, keine Tabelle der Konfiguration").arg(other);
    return lines;
}

} // namespace quendra
