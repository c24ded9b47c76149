#include "config/runchoices.h"

#include "common/error.h"
#include "common/globals.h"
#include "config/configconnection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace quendra {

namespace {
const QString Table = QStringLiteral("quendraRunChoice");

void failed(const QSqlQuery& query)
{
    throw Error(errnum::PathFileAccess, {},
                QStringLiteral("Die Ausführungsart kann in %1 nicht gelesen oder gespeichert "
                               "werden: %2")
                    .arg(globals().configDbPath, query.lastError().text()));
}

bool tableExists(const QSqlDatabase& db)
{
    return db.tables().contains(Table, Qt::CaseInsensitive);
}
} // namespace

bool loadAllOrNothing(const QString& transId)
{
    const QSqlDatabase db = ConfigConnection::shared(globals().configDbPath)->database();
    if (!tableExists(db))
        return false;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("select allornothing from quendraRunChoice where transid = ?"));
    query.addBindValue(transId);
    if (!query.exec())
        failed(query);
    return query.next() && query.value(0).toInt() != 0;
}

void storeAllOrNothing(const QString& transId, bool on)
{
    const QSqlDatabase db = ConfigConnection::shared(globals().configDbPath)->database();
    QSqlQuery query(db);
    if (!tableExists(db) &&
        !query.exec(QStringLiteral("create table quendraRunChoice (transid varchar(20) "
                                   "primary key, allornothing int)")))
        failed(query);
    query.prepare(QStringLiteral("insert or replace into quendraRunChoice (transid, allornothing) "
                                 "values (?, ?)"));
    query.addBindValue(transId);
    query.addBindValue(on ? -1 : 0);
    if (!query.exec())
        failed(query);
}

} // namespace quendra
