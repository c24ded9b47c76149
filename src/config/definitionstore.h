#pragma once

#include "config/configconnection.h"
#include "config/configsql.h"
#include "config/definitionlayout.h"

#include <QStringList>
#include <memory>

namespace quendra {

// The format number of the definition files this version writes and the newest it reads.
constexpr int DefinitionFormat = 2;
// The first format whose files end with the end marker: "[end]" and "complete = true".
// Older files are read without it, with a warning.
constexpr int FirstFormatWithEnd = 2;
// The first format whose translation rows may hold further columns of trgconvert; in
// older files such a key is refused as unknown.
constexpr int FirstFormatWithFurtherColumns = 2;

// The configuration database (globals().configDbPath), its schema checked (and created in
// an empty file) as every cursor does.
std::shared_ptr<ConfigConnection> openDefinitionStore();

// Every TransID that has a row in one of the definition tables, in order.
QStringList definitionIds(const QSqlDatabase& db);
bool definitionExists(const QSqlDatabase& db, const QString& transId);

// A definition table as the database holds it: the schema's columns, then those the
// installation added (trgconvert only), in the table's order, as Memo columns.
LayoutTable storedLayout(const QSqlDatabase& db, const QString& name);

// The rows of one definition in a table, in the layout's columns, ordered by sort (where
// the table has one) and then by the order they were stored in.
Snapshot definitionRows(const QSqlDatabase& db, const LayoutTable& table, const QString& transId);

} // namespace quendra
