#pragma once

#include <QString>
#include <QVector>

namespace quendra {

// A column of a definition table as the schema declares it.
struct LayoutColumn {
    enum class Kind { Text, Integer, Memo };
    QString name;
    Kind kind = Kind::Text;
    int maxLength = 0; // characters of a Text column
};

// A table of the configuration schema that holds rows of definitions.
struct LayoutTable {
    QString name;
    QVector<LayoutColumn> columns; // in the schema's order, transid included
    // The column list for a select, the digit-led name quoted.
    QString selectList() const;
};

// The five definition tables (srcHead, trgHead, srcBody, trgBody, trgconvert), read from
// the statements that create the schema, so that their columns are written down once.
const QVector<LayoutTable>& definitionTables();
// All tables of the schema: the five and dbversion.
const QVector<LayoutTable>& schemaTables();
const LayoutTable& definitionTable(const QString& name);

} // namespace quendra
