#pragma once

#include "values/regionaltext.h"

#include <QString>
#include <QVariant>

namespace quendra {

// The type of an SQLite column from its declared type ("DATE", "numeric(10,2)", ...):
// SQLite's affinity by its rules, and Quendra's dates, times and Booleans. Numbers keep
// the digits and decimals a numeric or decimal column declares. doubleDigits: the
// significant digits of a double on the way into the file (fewer through a driver that
// passes doubles on as text).
ColumnType sqliteColumnType(const QString& declaredType, int doubleDigits = 17);

// The type of a column of an ODBC data source as its driver describes it: the Qt type
// of its values, its SQL type code (SQL_NUMERIC, SQL_BIGINT, ...), its size and its
// decimal digits.
ColumnType odbcColumnType(QMetaType type, int sqlType, int size, int digits);

// A value of an SQLite column, typed by the column's declared kind: ISO text in a
// DATE/TIME column becomes a date, time or date-time, 1/0 in a BOOLEAN column a Boolean.
QVariant typedSqliteValue(const QVariant& value, ValueKind kind);
// Whether typedSqliteValue changes values of a column of this kind.
bool sqliteTypedKind(ValueKind kind);

// A number as a library prints it (the C library's locale: a decimal point or comma, no
// groups), read by the value layer's rules; false when the text is none.
bool readPrintedNumber(const QByteArray& text, double& value);

// The value of a number column from its printed text: a whole number when whole and the
// text is one, a double when it gives the number back, else the number exactly (as a
// WrittenNumber); the text itself when it is no number, so that nothing stands for a
// value that was not there.
QVariant printedNumberValue(const QByteArray& text, bool whole);

// "yyyy-mm-dd" as a date; invalid for anything else (a year past 9999, a date before
// Christ).
QDate readIsoDate(const char* text, int size);
// "hh:mm:ss" with a fraction (cut to milliseconds, as ODBC gives it) and a zone offset
// behind it, which is left out: the time is that of the session's zone. Invalid for
// anything else.
QTime readIsoTime(const char* text, int size);

// The text a database reads a value from, in UTF-8: numbers as their exact digits
// (doubles as the shortest text that gives them back), dates and times as ISO text with
// milliseconds, Booleans as 1 and 0, bytes as they are, texts as they are. Not for NULL.
QByteArray databaseText(const QVariant& value);
// The same appended to out, the common types without a text of their own on the way.
void appendDatabaseText(QByteArray& out, const QVariant& value);
// Writes text to out, which has room for three bytes a unit, as UTF-8 and returns the end
// of the bytes; half of a surrogate pair alone becomes U+FFFD (QStringEncoder's way, as
// SQLite's texts have always been written; QString::toUtf8, and so databaseText, writes
// "?" instead).
char* writeUtf8(QStringView text, char* out);

} // namespace quendra
