#include "config/configsql.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace quendra {

namespace {

constexpr qint32 SqliteGenericError = 1;
constexpr qint32 SqliteBusy = 5;   // another connection holds a lock on the file
constexpr qint32 SqliteLocked = 6; // a table is locked within the same file
const QString SqliteSource = QStringLiteral("QSQLITE");

// What an SQLite result code (extended codes carry the primary one in their low byte)
// means to the user; empty for codes the driver's text explains as well.
QString sqliteReason(qint32 code)
{
    constexpr qint32 ReadOnlyDirectory = 1544, WriteFailed = 778;
    switch (code) {
    case ReadOnlyDirectory:
        return QStringLiteral("Der Ordner der Datenbank ist schreibgeschützt: SQLite kann dort "
                              "sein Journal nicht anlegen.");
    case WriteFailed:
        return QStringLiteral("Das System hat das Schreiben in die Datenbank abgelehnt (ist der "
                              "Datenträger voll?).");
    }
    switch (code & 0xff) {
    case SqliteBusy:
    case SqliteLocked:
        return QStringLiteral("Die Konfigurationsdatenbank ist von einem anderen Programm "
                              "gesperrt, das gerade in sie schreibt. Bitte warten, bis es "
                              "fertig ist, oder es beenden und es dann erneut versuchen.");
    case 8:
        return QStringLiteral("Die Datenbank ist schreibgeschützt.");
    case 10:
        return QStringLiteral("Beim Lesen oder Schreiben der Datenbank meldet das System einen "
                              "Fehler.");
    case 11:
    case 26:
        return QStringLiteral("Die Datenbank ist beschädigt.");
    case 13:
        return QStringLiteral("Der Datenträger ist voll.");
    case 14:
        return QStringLiteral("Die Datenbank oder ihr Journal kann nicht angelegt oder geöffnet "
                              "werden.");
    default:
        return {};
    }
}

[[noreturn]] void throwQueryError(const QSqlQuery& query)
{
    throw sqlError(query.lastError());
}

QString escapedColumn(const QSqlDatabase& db, const QString& column)
{
    return db.driver()->escapeIdentifier(column, QSqlDriver::FieldName);
}

// The dirty columns of a row as (escaped name, value) pairs.
struct DirtyColumns {
    QStringList names;
    QVariantList values;
};

DirtyColumns dirtyColumns(const QSqlDatabase& db, const QStringList& columns,
                          const SnapshotRow& row)
{
    DirtyColumns result;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (i < row.dirty.size() && row.dirty.testBit(i)) {
            result.names << escapedColumn(db, columns.at(i));
            result.values << row.values.at(i);
        }
    }
    return result;
}

void execBound(QSqlQuery& query, const QString& sql, const QVariantList& values)
{
    if (!query.prepare(sql))
        throwQueryError(query);
    for (const QVariant& v : values)
        query.addBindValue(v);
    if (!query.exec())
        throwQueryError(query);
}

} // namespace

Error sqlError(const QSqlError& error)
{
    bool ok = false;
    const qint32 code = error.nativeErrorCode().toInt(&ok);
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.driverText();
    const QString reason = ok ? sqliteReason(code) : QString();
    return Error(ok ? code : SqliteGenericError, SqliteSource,
                 reason.isEmpty() ? text : withDriverText(reason, text));
}

Error explainedSqlError(const Error& error, const QString& sentence)
{
    if (error.source() != SqliteSource)
        return error;
    const bool explained = !sqliteReason(error.number()).isEmpty();
    return Error(error.number(), error.source(),
                 explained ? sentence + QLatin1Char(' ') + error.description()
                           : withDriverText(sentence, error.description()),
                 error.helpFile(), error.helpContext());
}

void execStatement(const QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        throwQueryError(query);
}

bool isLockedError(const Error& error)
{
    return error.source() == SqliteSource &&
           ((error.number() & 0xff) == SqliteBusy || (error.number() & 0xff) == SqliteLocked);
}

QString quoteSqlText(const QString& text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

QString buildStatement(const QString& table, bool filterOn, const QString& transId, bool orderingOn,
                       const QString& orderList)
{
    QString sql = QStringLiteral("select * from ") + table;
    if (filterOn)
        sql += QStringLiteral(" where transid=") + quoteSqlText(transId);
    if (orderingOn)
        sql += QStringLiteral(" order by ") + orderList;
    return sql;
}

std::optional<RowidSelect> rowidSelect(const QString& statement)
{
    static const QRegularExpression plain(
        QStringLiteral(R"(^\s*select\s+(.+?)\s+from\s+([A-Za-z_][A-Za-z0-9_]*|"(?:[^"]|"")+"|)"
                       R"(\[[^\]]+\]|`[^`]+`)\s*((?:where|order\s+by|limit)\b.*?)?\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression notOneRow(
        QStringLiteral(R"(^\s*(distinct|all)\b|\bgroup\s+by\b|\bunion\b|\bintersect\b|)"
                       R"(\bexcept\b|\bhaving\b)"),
        QRegularExpression::CaseInsensitiveOption);

    const QRegularExpressionMatch m = plain.match(statement);
    if (!m.hasMatch())
        return std::nullopt;
    const QString list = m.captured(1);
    const QString rest = m.captured(3);
    // A function in the select list may aggregate several rows into one.
    if (list.contains(QLatin1Char('(')) || notOneRow.match(list).hasMatch() ||
        notOneRow.match(rest).hasMatch())
        return std::nullopt;
    RowidSelect result;
    result.table = m.captured(2);
    result.sql = QStringLiteral("select rowid, ") + list + QStringLiteral(" from ") + result.table +
                 QLatin1Char(' ') + rest;
    return result;
}

namespace {

Snapshot fetchAll(QSqlQuery& query, bool withRowid)
{
    Snapshot snap;
    const QSqlRecord rec = query.record();
    const int first = withRowid ? 1 : 0;
    for (int i = first; i < rec.count(); ++i)
        snap.columns << rec.fieldName(i);
    const auto width = snap.columns.size();
    while (query.next()) {
        SnapshotRow row;
        row.rowid = withRowid ? query.value(0).toLongLong() : 0;
        row.values.resize(width);
        row.dirty.resize(width);
        for (int i = 0; i < width; ++i) {
            if (!query.isNull(first + i))
                row.values[i] = query.value(first + i);
        }
        snap.rows.push_back(std::move(row));
    }
    if (query.lastError().isValid())
        throwQueryError(query);
    query.finish(); // releases SQLite's read lock for the other connections
    return snap;
}

} // namespace

Snapshot loadSnapshot(const QSqlDatabase& db, const QString& statement)
{
    if (const auto traced = rowidSelect(statement)) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (query.exec(traced->sql)) {
            Snapshot snap = fetchAll(query, true);
            snap.table = traced->table;
            return snap;
        }
        // A view or a table without rowid: read it as it is, without write-back.
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(statement))
        throwQueryError(query);
    return fetchAll(query, false);
}

qint64 insertRow(const QSqlDatabase& db, const QString& table, const QStringList& columns,
                 const SnapshotRow& row)
{
    const DirtyColumns dirty = dirtyColumns(db, columns, row);
    QSqlQuery query(db);
    if (dirty.names.isEmpty()) {
        if (!query.exec(QStringLiteral("insert into ") + table + QStringLiteral(" default values")))
            throwQueryError(query);
    } else {
        const QStringList marks(dirty.names.size(), QStringLiteral("?"));
        execBound(query,
                  QStringLiteral("insert into ") + table + QStringLiteral(" (") +
                      dirty.names.join(QStringLiteral(", ")) + QStringLiteral(") values (") +
                      marks.join(QStringLiteral(", ")) + QLatin1Char(')'),
                  dirty.values);
    }
    return query.lastInsertId().toLongLong();
}

void updateRow(const QSqlDatabase& db, const QString& table, const QStringList& columns,
               const SnapshotRow& row)
{
    DirtyColumns dirty = dirtyColumns(db, columns, row);
    if (dirty.names.isEmpty())
        return;
    QStringList assignments;
    for (const QString& name : std::as_const(dirty.names))
        assignments << name + QStringLiteral(" = ?");
    dirty.values << row.rowid;
    QSqlQuery query(db);
    execBound(query,
              QStringLiteral("update ") + table + QStringLiteral(" set ") +
                  assignments.join(QStringLiteral(", ")) + QStringLiteral(" where rowid = ?"),
              dirty.values);
    if (query.numRowsAffected() == 0)
        throw Error(errnum::RowNotFound, QStringLiteral("QSQLITE"),
                    QStringLiteral("Der Datensatz kann nicht gespeichert werden, weil er in der "
                                   "Zwischenzeit gelöscht wurde."));
}

void deleteRow(const QSqlDatabase& db, const QString& table, qint64 rowid)
{
    QSqlQuery query(db);
    // A row that another cursor has deleted already is gone as wanted.
    execBound(query, QStringLiteral("delete from ") + table + QStringLiteral(" where rowid = ?"),
              {rowid});
}

} // namespace quendra
