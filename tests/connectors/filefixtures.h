#pragma once

#include "support/testdatabases.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace quendra::test {

// One column of a Paradox table: name, pxlib field type (pxfLong, ...) and length.
struct ParadoxColumn {
    const char* name;
    char type;
    int length;
};
// An empty Paradox table with these columns (code page 1252).
void createParadox(const QString& path, const std::vector<ParadoxColumn>& columns);

// A file of tests/data/files: quendra-test.xls, an Excel 8.0 workbook (sheets Kunden and Artikel);
// kunden.dbf, a dBase table nr N5, name C40, betrag N12.2, datum D, notiz C40 in Windows-1252 with
// three rows; kunden.db, a Paradox table of the same columns without rows; kunden.wk1, a Lotus
// 1-2-3 sheet: a label in code page 850 ("Müller"), an integer, numbers (12345678.91,
// 44962433480.87, -0.1, 1e15), a date (01.03.2024 as a number with a date format) and a formula 1+2
// whose stored result is 7; kunden.wk3, a Lotus 1-2-3 Release 3 file of two sheets: on the first a
// label with umlauts in code page 850 and numbers in 80-bit precision, on the second the label
// "zweites"; kunden-passwort.wk3, the same with the record that says the rest is encrypted.
QString dataFile(const char* name);

// Every record of a table of a workbook (.xls, .xlsx or .ods by its suffix, its first row
// naming the columns) as its values' texts joined by tabs: width of them, or as many as the
// connector has columns when width is 0 (width becomes that). forwardOnly: read once
// through, straight from the file where its type can.
QStringList workbookRows(const QString& path, const QString& table, bool forwardOnly, int& width);

} // namespace quendra::test
