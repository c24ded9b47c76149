#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace quendra {

// Replaces every "$TBL(argument)" in sql by a table name of the catalogue: a numeric
// argument counts the tables from 1, any other argument picks the first table whose name
// begins with it (ignoring letter case); when nothing qualifies the last table is taken.
// The catalogue is asked for only when the text holds a placeholder. A placeholder
// without its closing parenthesis stays as it is. Throws quendra::Error when a
// placeholder has to be resolved and the catalogue holds no table at all.
QString resolveTablePlaceholders(const QString& sql, const std::function<QStringList()>& catalogue);

// A table as a query names it ("[Lager 1]", "\"Lager\"", "`Lager`"), trimmed and without
// the quotes or brackets around it.
QString unquotedTableName(const QString& table);

// The position in tables of the table that "select * from " followed by table reads: its
// placeholders resolved, one name, plain or in quotes or brackets, matched as SQLite
// matches names (ASCII letters regardless of case); -1 when table is anything else.
qsizetype namedTable(const QStringList& tables, const QString& table);

} // namespace quendra
