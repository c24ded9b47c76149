// What spreadsheet cells of every workbook format have in common: which number formats
// show a date or a time, and the day a number in such a format stands for.
#pragma once

#include <QString>
#include <QVariant>

namespace quendra {

// Whether a number format code shows a date or a time: it has a day, month, year, hour
// or second letter outside quoted text, escaped characters and [...] sections.
bool formatShowsDate(QStringView code);

// Whether a built-in number format, by its number, shows a date or a time.
bool builtInFormatShowsDate(int format);

class RegionalText;

// A number in a date format, as the date, date-time or time of day it stands for, in the
// 1900 date system (which counts a 29 February 1900 that never was) or the 1904 one; the
// number itself when it is negative or beyond 31.12.9999. The fraction is the time of day
// to the nearest second; a time of day alone stays within its day. Serials 1 to 59 are the
// days before that 29 February, 60 the day itself, which comes as its regional text
// ("29.02.1900") since no date holds it: every reader gives the same serial the same day.
QVariant serialDateValue(double serial, bool dates1904, const RegionalText& text);

// A number cell's value from its stored text, already read as number: that double when it
// gives the text's number back, else the number exactly (a WrittenNumber), so that a cell
// another program wrote with more digits than a double holds keeps them all.
QVariant cellNumberValue(const QByteArray& stored, double number);

// Whether the file begins as an Excel 97 workbook (a compound document) or as a zip (an
// Excel 2007 workbook, an OpenDocument file) does. Both Excel file types read either
// kind, so that a definition keeps working when its workbook is saved in the other one.
bool isCompoundDocument(const QString& path);
bool isZipFile(const QString& path);

} // namespace quendra
