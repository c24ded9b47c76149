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

} // namespace quendra
