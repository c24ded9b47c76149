#include "common/functions.h"

namespace quendra {

QVariant nz(const QVariant& value, const QVariant& defaultValue)
{
    return value.isNull() ? defaultValue : value;
}

QString Repeat(const QString& text, int count)
{
    return count > 0 ? text.repeated(count) : QString();
}

} // namespace quendra
