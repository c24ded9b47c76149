#pragma once

#include "values/regionaltext.h"

#include <QString>
#include <QVariant>

namespace quendra {

// The kind of an SQLite column from its declared type ("DATE", "numeric(10,2)", ...).
ValueKind sqliteValueKind(const QString& declaredType);

// A value of an SQLite column, typed by the column's declared kind: ISO text in a
// DATE/TIME column becomes a date, time or date-time, 1/0 in a BOOLEAN column a Boolean.
QVariant typedSqliteValue(const QVariant& value, ValueKind kind);

// A number as a library prints it (the C library's locale: a decimal point or comma, no
// groups), read by the value layer's rules; false when the text is none.
bool readPrintedNumber(const QByteArray& text, double& value);

// The value of a number column from its printed text: a whole number when whole and the
// text is one, else a double; the text itself when it is no number, so that nothing
// stands for a value that was not there.
QVariant printedNumberValue(const QByteArray& text, bool whole);

} // namespace quendra
