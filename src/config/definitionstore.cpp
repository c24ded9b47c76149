#include "config/definitionstore.h"

#include "common/globals.h"
#include "config/clsinitdbconnect.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace quendra {

std::shared_ptr<ConfigConnection> openDefinitionStore()
{
    auto connection = ConfigConnection::shared(globals().configDbPath);
    clsInitDBConnect check;
    check.setTable(QStringLiteral("dbversion"));
    check.init();
    return connection;
}

QStringList definitionIds(const QSqlDatabase& db)
{
    QStringList parts;
    for (const LayoutTable& t : definitionTables())
        parts << QStringLiteral("select transid from ") + t.name +
                     QStringLiteral(" where transid is not null");
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(parts.join(QStringLiteral(" union ")) + QStringLiteral(" order by 1")))
        throw sqlError(query.lastError());
    QStringList ids;
    while (query.next())
        ids << query.value(0).toString();
    return ids;
}

bool definitionExists(const QSqlDatabase& db, const QString& transId)
{
    for (const LayoutTable& t : definitionTables()) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("select 1 from ") + t.name +
                      QStringLiteral(" where transid = ? limit 1"));
        query.addBindValue(transId);
        if (!query.exec())
            throw sqlError(query.lastError());
        if (query.next())
            return true;
    }
    return false;
}

LayoutTable storedLayout(const QSqlDatabase& db, const QString& name)
{
    LayoutTable table = definitionTable(name);
    if (name.compare(QStringView(FurtherColumnsTable), Qt::CaseInsensitive) != 0)
        return table;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("select name from pragma_table_info('%1')").arg(table.name)))
        throw sqlError(query.lastError());
    while (query.next()) {
        const QString column = query.value(0).toString();
        if (std::none_of(table.columns.begin(), table.columns.end(), [&](const LayoutColumn& c) {
                return c.name.compare(column, Qt::CaseInsensitive) == 0;
            }))
            table.columns << LayoutColumn{column, LayoutColumn::Kind::Memo, 0};
    }
    return table;
}

Snapshot definitionRows(const QSqlDatabase& db, const LayoutTable& table, const QString& transId)
{
    const bool sorted = std::any_of(table.columns.begin(), table.columns.end(),
                                    [](const LayoutColumn& c) { return c.name == u"sort"; });
    return loadSnapshot(db, QStringLiteral("select ") + table.selectList() +
                                QStringLiteral(" from ") + table.name +
                                QStringLiteral(" where transid = ") + quoteSqlText(transId) +
                                QStringLiteral(" order by ") +
                                (sorted ? QStringLiteral("sort, rowid") : QStringLiteral("rowid")));
}

} // namespace quendra
