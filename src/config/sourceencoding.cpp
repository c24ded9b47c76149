#include "config/sourceencoding.h"

#include "common/error.h"
#include "connectors/textencoding.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace quendra {

namespace {
const QString Table = QStringLiteral("quendraSourceHead");

void failed(const QSqlDatabase& db, const QSqlQuery& query)
{
    throw Error(errnum::PathFileAccess, {},
                QStringLiteral("Die Kodierung der Quelle kann in %1 nicht gelesen oder "
                               "gespeichert werden: %2")
                    .arg(db.databaseName(), query.lastError().text()));
}
} // namespace

QString loadSourceEncoding(const QSqlDatabase& db, const QString& transId)
{
    if (!db.tables().contains(Table, Qt::CaseInsensitive))
        return defaultSourceEncoding();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("select encoding from quendraSourceHead where transid = ?"));
    query.addBindValue(transId);
    if (!query.exec())
        failed(db, query);
    return query.next() && !query.value(0).isNull() ? query.value(0).toString()
                                                    : defaultSourceEncoding();
}

void storeSourceEncoding(const QSqlDatabase& db, const QString& transId, const QString& encoding)
{
    if (!sourceEncodingWords().contains(encoding))
        throw Error(errnum::InvalidProcedureCall, {},
                    QStringLiteral("„%1“ ist keine Kodierung einer Quelle; möglich sind %2.")
                        .arg(encoding, sourceEncodingWords().join(QStringLiteral(", "))));
    QSqlQuery query(db);
    // The default needs no row, so that a definition without a choice leaves no trace.
    if (encoding == defaultSourceEncoding()) {
        if (!db.tables().contains(Table, Qt::CaseInsensitive))
            return;
        query.prepare(QStringLiteral("delete from quendraSourceHead where transid = ?"));
        query.addBindValue(transId);
        if (!query.exec())
            failed(db, query);
        return;
    }
    if (!query.exec(QStringLiteral("create table if not exists quendraSourceHead (transid "
                                   "varchar(20) primary key, encoding varchar(10))")))
        failed(db, query);
    query.prepare(QStringLiteral("insert or replace into quendraSourceHead (transid, encoding) "
                                 "values (?, ?)"));
    query.addBindValue(transId);
    query.addBindValue(encoding);
    if (!query.exec())
        failed(db, query);
}

} // namespace quendra
