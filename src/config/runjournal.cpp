#include "config/runjournal.h"

#include "common/error.h"
#include "common/globals.h"
#include "common/processmark.h"
#include "config/configconnection.h"
#include "config/configsql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSysInfo>
#include <QVariant>

namespace quendra {

namespace {

const QString Table = QStringLiteral("quendraJournal");
const QString Settings = QStringLiteral("quendraSetting");
const QString RowsSetting = QStringLiteral("journalrows");

// The columns after id, in the order of JournalEntry.
const char* const Columns[] = {"transid",    "program",      "started",     "ended",
                               "username",   "host",         "pid",         "procmark",
                               "source",     "srcsize",      "srcmodified", "srcrows",
                               "srcsha256",  "target",       "recordsread", "recordswritten",
                               "checklines", "allornothing", "status",      "message"};

// The connection of the calling thread to init.mdb, held while a function works on it.
std::shared_ptr<ConfigConnection> connection()
{
    return ConfigConnection::shared(globals().configDbPath);
}

QSqlQuery run(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {})
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw sqlError(query.lastError());
    for (const QVariant& v : values)
        query.addBindValue(v);
    if (!query.exec())
        throw sqlError(query.lastError());
    return query;
}

bool tableExists(const QSqlDatabase& db, const QString& table)
{
    return db.tables().contains(table, Qt::CaseInsensitive);
}

void ensureTables(const QSqlDatabase& db)
{
    if (!tableExists(db, Table)) {
        run(db, QStringLiteral(
                    "create table if not exists quendraJournal (id integer primary key "
                    "autoincrement, transid varchar(20), program varchar(20), started "
                    "varchar(30), ended varchar(30), username varchar(100), host varchar(255), "
                    "pid integer, procmark varchar(100), source varchar(255), srcsize integer, "
                    "srcmodified varchar(30), srcrows integer, srcsha256 varchar(64), target "
                    "varchar(255), recordsread integer, recordswritten integer, checklines memo, "
                    "allornothing integer, status varchar(20), message memo)"));
        run(db, QStringLiteral("create index if not exists id_quendrajournal_sha on "
                               "quendraJournal (srcsha256)"));
    }
}

// Times are stored in UTC with milliseconds, so that their text sorts as they do.
QVariant timeValue(const QDateTime& t)
{
    return t.isValid() ? QVariant(t.toUTC().toString(Qt::ISODateWithMs)) : QVariant();
}

QDateTime timeOf(const QVariant& v)
{
    return QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
}

QVariant numberValue(qint64 n)
{
    return n >= 0 ? QVariant(n) : QVariant();
}

qint64 numberOf(const QVariant& v)
{
    return v.isNull() ? -1 : v.toLongLong();
}

QVariantList valuesOf(const JournalEntry& e)
{
    return {e.transId,
            e.program,
            timeValue(e.started),
            timeValue(e.ended),
            e.user,
            e.host,
            e.pid,
            e.processMark,
            e.source,
            numberValue(e.sourceSize),
            timeValue(e.sourceModified),
            numberValue(e.sourceRows),
            e.sourceSha256.isEmpty() ? QVariant() : QVariant(QString::fromLatin1(e.sourceSha256)),
            e.target,
            numberValue(e.recordsRead),
            numberValue(e.recordsWritten),
            e.checkLines,
            e.allOrNothing ? -1 : 0,
            e.status,
            e.message};
}

JournalEntry entryOf(const QSqlQuery& q)
{
    JournalEntry e;
    int i = 0;
    const auto next = [&] { return q.value(i++); };
    e.id = next().toLongLong();
    e.transId = next().toString();
    e.program = next().toString();
    e.started = timeOf(next());
    e.ended = timeOf(next());
    e.user = next().toString();
    e.host = next().toString();
    e.pid = next().toLongLong();
    e.processMark = next().toString();
    e.source = next().toString();
    e.sourceSize = numberOf(next());
    e.sourceModified = timeOf(next());
    e.sourceRows = numberOf(next());
    e.sourceSha256 = next().toString().toLatin1();
    e.target = next().toString();
    e.recordsRead = numberOf(next());
    e.recordsWritten = numberOf(next());
    e.checkLines = next().toString();
    e.allOrNothing = next().toInt() != 0;
    e.status = next().toString();
    e.message = next().toString();
    return e;
}

QString columnList()
{
    QStringList names;
    for (const char* c : Columns)
        names << QString::fromLatin1(c);
    return names.join(QStringLiteral(", "));
}

QString selectAll()
{
    return QStringLiteral("select id, %1 from quendraJournal").arg(columnList());
}

} // namespace

namespace {

// Inserts the whole row in one statement; returns its id.
qint64 insertRow(const JournalEntry& entry)
{
    const auto held = connection();
    const QSqlDatabase db = held->database();
    ensureTables(db);
    QStringList marks;
    for (qsizetype i = 0; i < qsizetype(std::size(Columns)); ++i)
        marks << QStringLiteral("?");
    const QSqlQuery insert = run(db,
                                 QStringLiteral("insert into quendraJournal (%1) values (%2)")
                                     .arg(columnList(), marks.join(QStringLiteral(", "))),
                                 valuesOf(entry));
    return insert.lastInsertId().toLongLong();
}

} // namespace

int journalRowsKept()
{
    const auto held = connection();
    const QSqlDatabase db = held->database();
    if (!tableExists(db, Settings))
        return DefaultJournalRows;
    QSqlQuery q =
        run(db, QStringLiteral("select value from quendraSetting where name = ?"), {RowsSetting});
    bool ok = false;
    const int rows = q.next() ? q.value(0).toInt(&ok) : 0;
    return ok && rows >= 0 ? rows : DefaultJournalRows;
}

void setJournalRowsKept(int rows)
{
    const auto held = connection();
    const QSqlDatabase db = held->database();
    run(db, QStringLiteral("create table if not exists quendraSetting (name varchar(50) primary "
                           "key, value varchar(255))"));
    run(db, QStringLiteral("insert or replace into quendraSetting (name, value) values (?, ?)"),
        {RowsSetting, QString::number(rows)});
}

qint64 journalStart(const JournalEntry& entry)
{
    JournalEntry row = entry;
    row.status = journalstatus::running();
    const qint64 id = insertRow(row);
    // The rows beyond the limit are the oldest: ids only grow (autoincrement). A limit
    // that cannot be applied now is applied at a later start; the row itself stays.
    try {
        const auto held = connection();
        run(held->database(), QStringLiteral("delete from quendraJournal where id <= ?"),
            {id - qint64(std::max(journalRowsKept(), 1))});
    } catch (...) {
    }
    return id;
}

void journalFinish(const JournalEntry& entry)
{
    const auto held = connection();
    const QSqlDatabase db = held->database();
    // This connection may not have read the file since the start row's thread made the
    // journal's table: SQLite then calls the table missing while another program locks the
    // file, as it cannot look again. Reading the schema first makes the lock the error,
    // which is tried again.
    run(db, QStringLiteral("select count(*) from sqlite_master"), {});
    QStringList sets;
    for (const char* c : Columns)
        sets << QStringLiteral("%1 = ?").arg(QString::fromLatin1(c));
    QVariantList values = valuesOf(entry);
    values << entry.id;
    run(db,
        QStringLiteral("update quendraJournal set %1 where id = ?")
            .arg(sets.join(QStringLiteral(", "))),
        values);
}

void settleAbandonedRuns()
{
    const auto held = connection();
    const QSqlDatabase db = held->database();
    if (!tableExists(db, Table))
        return;
    const QString host = QSysInfo::machineHostName();
    std::vector<qint64> ended;
    {
        QSqlQuery q = run(db,
                          QStringLiteral("select id, pid, procmark from quendraJournal where "
                                         "status = ? and host = ?"),
                          {journalstatus::running(), host});
        while (q.next())
            if (!processStillRunning(q.value(1).toLongLong(), q.value(2).toString()))
                ended.push_back(q.value(0).toLongLong());
    }
    for (const qint64 id : ended)
        run(db,
            QStringLiteral("update quendraJournal set status = ?, message = ? where id = ? and "
                           "status = ?"),
            {journalstatus::abandoned(),
             QStringLiteral("Der Lauf endete, ohne sein Ende zu vermerken: sein Prozess wurde "
                            "beendet (etwa mit SIGKILL), der Rechner ging aus, oder die "
                            "Konfigurationsdatenbank war an seinem Ende gesperrt. Das Ziel "
                            "kann unvollständig sein."),
             id, journalstatus::running()});
}

std::vector<JournalEntry> journalEntries(const QString& transId, const QDateTime& since)
{
    std::vector<JournalEntry> entries;
    const auto held = connection();
    const QSqlDatabase db = held->database();
    if (!tableExists(db, Table))
        return entries;
    QString sql = selectAll() + QStringLiteral(" where 1 = 1");
    QVariantList values;
    if (!transId.isEmpty()) {
        sql += QStringLiteral(" and transid = ?");
        values << transId;
    }
    if (since.isValid()) {
        sql += QStringLiteral(" and started >= ?");
        values << timeValue(since);
    }
    QSqlQuery q = run(db, sql + QStringLiteral(" order by id desc"), values);
    while (q.next())
        entries.push_back(entryOf(q));
    return entries;
}

namespace {
// The first journal row matching condition (with values bound), or none while the
// journal has no table yet.
std::optional<JournalEntry> firstEntry(const QString& condition, const QVariantList& values)
{
    const auto held = connection();
    const QSqlDatabase db = held->database();
    if (!tableExists(db, Table))
        return std::nullopt;
    QSqlQuery q = run(db, selectAll() + condition, values);
    if (!q.next())
        return std::nullopt;
    return entryOf(q);
}
} // namespace

std::optional<JournalEntry> earlierSuccess(const QString& transId, const QString& target,
                                           const QByteArray& sha256)
{
    return firstEntry(QStringLiteral(" where srcsha256 = ? and transid = ? and target = ? and "
                                     "status = ? order by id desc limit 1"),
                      {QString::fromLatin1(sha256), transId, target, journalstatus::succeeded()});
}

std::optional<JournalEntry> runningSameSource(qint64 ownId, const QString& transId,
                                              const QString& target, const QByteArray& sha256)
{
    return firstEntry(
        QStringLiteral(" where (srcsha256 = ? or srcsha256 is null) and "
                       "transid = ? and target = ? and status = ? and id < ? "
                       "order by id limit 1"),
        {QString::fromLatin1(sha256), transId, target, journalstatus::running(), ownId});
}

QStringList journalHeadings()
{
    return {QStringLiteral("Nr"),          QStringLiteral("Beginn"),  QStringLiteral("Ende"),
            QStringLiteral("TransID"),     QStringLiteral("Status"),  QStringLiteral("gelesen"),
            QStringLiteral("geschrieben"), QStringLiteral("Quelle"),  QStringLiteral("SHA-256"),
            QStringLiteral("Ziel"),        QStringLiteral("Benutzer")};
}

QStringList journalCells(const JournalEntry& e)
{
    const auto local = [](const QDateTime& t) {
        return t.isValid() ? t.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))
                           : QString();
    };
    const auto count = [](qint64 n) { return n < 0 ? QString() : QString::number(n); };
    return {QString::number(e.id),
            local(e.started),
            local(e.ended),
            e.transId,
            e.status,
            count(e.recordsRead),
            count(e.recordsWritten),
            e.source,
            QString::fromLatin1(e.sourceSha256.left(12)),
            e.target,
            e.user + QLatin1Char('@') + e.host};
}

} // namespace quendra
