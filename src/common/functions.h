#pragma once

#include <QString>
#include <QVariant>

namespace quendra {

// The default when value is NULL, else value itself (an empty text is not NULL).
QVariant nz(const QVariant& value, const QVariant& defaultValue);

// text repeated count times; empty for count 0 or less.
QString Repeat(const QString& text, int count);

} // namespace quendra
