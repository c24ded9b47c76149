#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace quendra::test {

// UTF-8 text as Windows-1252 bytes.
QByteArray ansi(const char* utf8);

// A dBase table nr N5, name C40, betrag N12.2, datum D, notiz C40 in Windows-1252.
// Cells of rows are texts (a date as "yyyymmdd"); nullptr is NULL.
void createDbf(const QString& path, const std::vector<std::vector<const char*>>& rows);

// An empty Paradox table with the same five columns (code page 1252).
void createParadox(const QString& path);

// One column of a Paradox table: name, pxlib field type (pxfLong, ...) and length.
struct ParadoxColumn {
    const char* name;
    char type;
    int length;
};
// An empty Paradox table with these columns (code page 1252).
void createParadox(const QString& path, const std::vector<ParadoxColumn>& columns);

// Monitor.mdb, a small Jet database from the Debian package mrtg-contrib (fetched by
// scripts/fetch-fixtures.sh); empty when it is not there.
QString monitorMdb();

// The Excel 8.0 workbook of the test data (sheets Kunden and Artikel).
QString workbook();

// A Lotus 1-2-3 WK1 sheet, record by record: a label in code page 850 ("Müller"), an
// integer, numbers (12345678.91, 44962433480.87, -0.1, 1e15), a date (01.03.2024 as a
// number with a date format) and a formula 1+2 whose stored result is 7.
QByteArray lotusWk1();

// A Lotus 1-2-3 Release 3 (WK3) file of two sheets: on the first a label with umlauts in
// code page 850 and numbers in 80-bit precision, on the second the label "zweites"; with
// password, the record that says the rest is encrypted.
QByteArray lotusWk3(bool password = false);

} // namespace quendra::test
