#include "connectors/backends/valueconversion.h"

#include "common/error.h"
#include "values/numbers.h"

#include <QDateTime>
#include <cmath>

namespace quendra {

ValueKind sqliteValueKind(const QString& declaredType)
{
    const QString t = declaredType.toUpper();
    auto has = [&t](const char* part) { return t.contains(QLatin1String(part)); };
    if (has("DATETIME") || has("TIMESTAMP"))
        return ValueKind::DateTime;
    if (has("DATE"))
        return ValueKind::Date;
    if (has("TIME"))
        return ValueKind::Time;
    if (has("BOOL") || has("BIT"))
        return ValueKind::Boolean;
    if (has("INT"))
        return ValueKind::Integer;
    if (has("CHAR") || has("CLOB") || has("TEXT") || has("MEMO"))
        return ValueKind::Text;
    if (has("REAL") || has("FLOA") || has("DOUB") || has("NUM") || has("DEC") || has("MONEY") ||
        has("CURRENCY"))
        return ValueKind::Real;
    if (has("BLOB") || t.isEmpty())
        return ValueKind::Other;
    return ValueKind::Other;
}

namespace {
// ISO date-time text with "T" or a blank between date and time (Qt reads both).
QDateTime isoDateTime(const QString& text)
{
    return QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
}
} // namespace

QVariant typedSqliteValue(const QVariant& value, ValueKind kind)
{
    if (value.isNull())
        return value;
    if (kind == ValueKind::Boolean &&
        (value.metaType().id() == QMetaType::LongLong || value.metaType().id() == QMetaType::Int))
        return value.toLongLong() != 0;
    if (value.metaType().id() != QMetaType::QString)
        return value;
    const QString text = value.toString();
    switch (kind) {
    case ValueKind::Date: {
        // QDate would read the date part of a date-time text and drop its time.
        const QDate date = text.size() == 10 ? QDate::fromString(text, Qt::ISODate) : QDate();
        if (date.isValid())
            return date;
        const QDateTime dt = isoDateTime(text);
        if (!dt.isValid())
            return value;
        return dt.time() == QTime(0, 0) ? QVariant(dt.date()) : QVariant(dt);
    }
    case ValueKind::DateTime: {
        const QDateTime dt = isoDateTime(text);
        return dt.isValid() ? QVariant(dt) : value;
    }
    case ValueKind::Time: {
        const QTime time = QTime::fromString(text, Qt::ISODateWithMs);
        return time.isValid() ? QVariant(time) : value;
    }
    default:
        return value;
    }
}

bool readPrintedNumber(const QByteArray& text, double& value)
{
    RegionalSettings printed;
    printed.groupSeparator = QChar();
    const QString number = QString::fromLatin1(text);
    for (const char decimal : {'.', ','}) {
        printed.decimalSeparator = QLatin1Char(decimal);
        if (parseNumber(number, printed, value))
            return true;
    }
    return false;
}

QVariant printedNumberValue(const QByteArray& text, bool whole)
{
    bool ok = false;
    if (whole) {
        const qlonglong number = text.toLongLong(&ok);
        if (ok)
            return number;
    }
    double value = 0;
    if (readPrintedNumber(text, value))
        return value;
    return QString::fromUtf8(text);
}

} // namespace quendra
