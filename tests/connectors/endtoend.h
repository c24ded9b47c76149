#pragma once

#include "common/messagehandler.h"
#include "connectors/backends/connection.h"

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
};

// Stores the definition "T" of tests/data/connectors/definition.sql with these sides.
void storeDefinition(const TempConfigDb& config, const Side& src, const Side& trg);
// Runs definition "T" as the run button does; the boxes that were shown.
std::vector<MessageBoxData> runDefinition();
QString boxesText(const std::vector<MessageBoxData>& boxes);

// A text file in Windows-1252 with CR LF line ends.
void writeAnsiLines(const QString& path, const QStringList& lines);

// The table every SQL test database gets: nr, name, betrag, datum, notiz (default 'offen').
QString tableDdl(const QString& table);
// Three rows: umlauts and "€", a negative amount, a leap day, NULLs.
QStringList sourceRows(const QString& table);
// Those rows as the text file the definition reads.
extern const QStringList ExpectedTextLines;
// The rows of a table as "nr|name|betrag|datum|notiz", ordered by nr, read back through
// the database connector.
QStringList readBack(const DatabaseConnection& connection, const QString& table);
// What the definition writes into a table for the three rows of ExpectedTextLines.
extern const QStringList ExpectedTypedRows;

} // namespace quendra::test
