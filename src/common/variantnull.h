#pragma once

#include <QVariant>

namespace quendra {

// QVariant::isNull, without its library call for the types a row's values mostly have:
// a text, a whole number, a double or a date holds a value unless the variant was
// made empty. Every other type is left to Qt.
inline bool isNullValue(const QVariant& value)
{
    if (value.data_ptr().is_null)
        return true;
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::QDate:
        return false;
    default:
        return value.isNull();
    }
}

} // namespace quendra
