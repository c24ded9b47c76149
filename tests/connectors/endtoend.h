#pragma once

#include "common/messagehandler.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace quendra::test {

class TempConfigDb;

// One side of a stored definition.
struct Side {
    int medium;
    QString path;
    QString fileType;
    QString table;
    QString sql = {};
    bool header = false;
};

// A target field: name, type, length, decimals, format.
struct TargetField {
    const char* name;
    const char* type;
    int length;
    int decscale;
    const char* format;
};

// The five source fields nr, name, betrag, datum, notiz, in this order.
extern const QStringList SourceFields;
// Target fields that pass every value on unchanged (text without width or format).
extern const std::vector<TargetField> TextFields;
// Target fields for typed database columns: an amount ("Zahl") and a date ("Datum").
extern const std::vector<TargetField> TypedFields;

// Stores the definition "T" with the five source fields and the given target fields.
void storeDefinition(const TempConfigDb& config, const Side& src, const Side& trg,
                     const std::vector<TargetField>& fields);
// Runs definition "T" as the run button does; the boxes that were shown.
std::vector<MessageBoxData> runDefinition();
QString boxesText(const std::vector<MessageBoxData>& boxes);

// A text file in Windows-1252 with CR LF line ends.
void writeAnsiLines(const QString& path, const QStringList& lines);

// The table every SQL test database gets: nr, name, betrag, datum, notiz (default 'offen').
QString tableDdl(const QString& table);
// Three rows: umlauts and "€", a negative amount, a leap day, NULLs.
QStringList sourceRows(const QString& table);
// Those rows written as a text file by TextFields.
extern const QStringList ExpectedTextLines;
// The rows of a table as "nr|name|betrag|datum|notiz", ordered by nr, read back through
// the database connector.
QStringList readBack(const QString& connectionString, const QString& table);
// What TypedFields write for the three rows of ExpectedTextLines.
extern const QStringList ExpectedTypedRows;

} // namespace quendra::test
