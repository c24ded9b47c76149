#pragma once

#include <QString>
#include <QVector>
#include <limits>

namespace quendra {

// What a number column of the definition tables holds: a run reads each as a 16-bit number.
using StoredNumber = std::numeric_limits<qint16>;

// A column of a definition table as the schema declares it (Memo: text or a number, as a
// further column of an installation holds it).
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
    // The column list for a select, every name that is no plain identifier quoted.
    QString selectList() const;
};

// The five definition tables (srcHead, trgHead, srcBody, trgBody, trgconvert), read from
// the statements that create the schema, so that their columns are written down once.
const QVector<LayoutTable>& definitionTables();
// All tables of the schema: the five and dbversion.
const QVector<LayoutTable>& schemaTables();
const LayoutTable& definitionTable(const QString& name);

// The name of a column as SQL text: quoted unless it is a plain identifier.
QString sqlColumnName(const QString& name);

// The table that keeps further columns of an installation (the customer's lookups in the
// translation table), which travel with a definition as the standard ones do.
inline constexpr const char16_t* FurtherColumnsTable = u"trgconvert";

} // namespace quendra
