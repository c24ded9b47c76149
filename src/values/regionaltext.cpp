#include "values/regionaltext.h"

#include "common/error.h"
#include "common/variantnull.h"

#include <QDateTime>
#include <cmath>

namespace quendra {

namespace {
// The locale's short time pattern with seconds, as "14:30:00".
QString secondsTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("ss"))) {
        const qsizetype at = format.indexOf(QLatin1String("mm"));
        if (at >= 0)
            format.insert(at + 2, QLatin1String(":ss"));
    }
    return format;
}
} // namespace

RegionalText::RegionalText(const QLocale& locale)
    : m_locale(locale), m_regional(RegionalSettings::fromLocale(locale)),
      m_datePattern(m_regional.datePattern), m_timeFormat(secondsTimeFormat(locale))
{
}

void RegionalText::toText(const QVariant& value, QString& out) const
{
    if (isNullValue(value)) {
        out.resize(0);
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::QString:
        out = value.toString();
        return;
    case QMetaType::Bool:
        out = value.toBool() ? QStringLiteral("Wahr") : QStringLiteral("Falsch");
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        out = numberText(value.toDouble());
        return;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::Char:
    case QMetaType::SChar:
        out = QString::number(value.toLongLong());
        return;
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::UChar:
        out = QString::number(value.toULongLong());
        return;
    case QMetaType::QDate: {
        const QDate date = value.toDate();
        if (!formatDate(out, CalendarDate{date.year(), date.month(), date.day()}, m_datePattern))
            out = isoDateText(date); // beyond the years 1..9999
        return;
    }
    case QMetaType::QTime:
        out = m_locale.toString(value.toTime(), m_timeFormat);
        return;
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        toText(dt.date(), out);
        if (dt.time() != QTime(0, 0))
            out += QLatin1Char(' ') + m_locale.toString(dt.time(), m_timeFormat);
        return;
    }
    case QMetaType::QByteArray:
        out = QString::fromUtf8(value.toByteArray());
        return;
    default:
        if (value.metaType() == QMetaType::fromType<WrittenNumber>())
            formatPlainNumber(out, value.value<WrittenNumber>().number, m_regional);
        else
            out = value.toString();
        return;
    }
}

QString RegionalText::toText(const QVariant& value) const
{
    QString out;
    toText(value, out);
    return out;
}

QString RegionalText::numberText(double number) const
{
    QString out;
    formatDouble(out, number, m_regional);
    return out;
}

// A date and a time of day behind it; without one, midnight.
QDateTime RegionalText::parseDateTime(const QString& text) const
{
    CalendarDate date;
    QStringView timeOfDay;
    if (!parseDate(text, m_regional, date, timeOfDay))
        return {};
    const QTime time = timeOfDay.isEmpty() ? QTime(0, 0) : parseTime(timeOfDay);
    return QDateTime(QDate(date.year, date.month, date.day), time);
}

QTime RegionalText::parseTime(QStringView text) const
{
    const QString t = text.toString();
    QTime time = m_locale.toTime(t, m_timeFormat);
    for (const char* format : {"H:mm:ss", "H:mm"}) {
        if (!time.isValid())
            time = QTime::fromString(t, QLatin1String(format));
    }
    return time.isValid() ? time : QTime::fromString(t, Qt::ISODateWithMs);
}

std::optional<bool> RegionalText::parseBoolean(const QString& text)
{
    static const QStringList yes = {
        QStringLiteral("wahr"), QStringLiteral("true"), QStringLiteral("ja"), QStringLiteral("-1"),
        QStringLiteral("1"),    QStringLiteral("t"),    QStringLiteral("y"),  QStringLiteral("j")};
    static const QStringList no = {QStringLiteral("falsch"), QStringLiteral("false"),
                                   QStringLiteral("nein"),   QStringLiteral("0"),
                                   QStringLiteral("f"),      QStringLiteral("n")};
    const QString t = text.toLower();
    if (yes.contains(t))
        return true;
    if (no.contains(t))
        return false;
    return std::nullopt;
}

QVariant RegionalText::parseText(const QString& raw, ValueKind kind, bool& ok) const
{
    const QString text = raw.trimmed();
    ok = true;
    if (text.isEmpty())
        return {};
    switch (kind) {
    case ValueKind::Date: {
        // A time of day is never dropped silently: only midnight counts as a date.
        const QDateTime dt = parseDateTime(text);
        ok = dt.isValid() && dt.time() == QTime(0, 0);
        return dt.date();
    }
    case ValueKind::DateTime: {
        const QDateTime dt = parseDateTime(text);
        ok = dt.isValid();
        return dt;
    }
    case ValueKind::Time: {
        const QTime time = parseTime(text);
        ok = time.isValid();
        return time;
    }
    case ValueKind::Boolean: {
        const std::optional<bool> flag = parseBoolean(text);
        ok = flag.has_value();
        return flag ? QVariant(*flag) : QVariant();
    }
    default:
        return raw;
    }
}

namespace {
[[noreturn]] void throwUnfit(const QVariant& value, const QString& column, const QString& why)
{
    throw standardError(
        errnum::TypeMismatch,
        QStringLiteral("Spalte \"%1\", Wert %2%3").arg(column, quotedValue(value.toString()), why));
}
} // namespace

// A number given as such rather than as text: the number exactly, and its text for a
// message (as composed, or the number's regional text).
bool RegionalText::givenNumber(const QVariant& value, DecimalNumber& number, QString& written) const
{
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        number = shortestDecimal(value.toDouble());
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        parseNumber(value.toString(), m_regional, number);
        break;
    default:
        return false; // a WrittenNumber is taken before
    }
    formatPlainNumber(written, number, m_regional);
    return true;
}

QVariant RegionalText::forColumn(const QVariant& value, const ColumnType& column,
                                 const QString& name) const
{
    if (isNullValue(value))
        return {};
    if (column.kind == ValueKind::Text && value.typeId() == QMetaType::QString)
        return value;
    if (value.metaType() == QMetaType::fromType<WrittenNumber>()) {
        const auto& given = *static_cast<const WrittenNumber*>(value.constData());
        return forColumn(given.number, given.text, column, name);
    }
    DecimalNumber number;
    QString written;
    const bool isNumber = givenNumber(value, number, written);
    const bool isText = value.metaType().id() == QMetaType::QString;
    if (column.kind == ValueKind::Text) {
        if (!isNumber)
            return isText ? value : QVariant(toText(value));
        formatPlainNumber(written, number, m_regional);
        return written;
    }
    if (column.kind == ValueKind::Number || (column.kind == ValueKind::Other && isNumber)) {
        if (isText) {
            written = value.toString();
            if (written.trimmed().isEmpty())
                return {};
            if (!parseNumber(written, m_regional, number))
                throwUnfit(value, name, QString());
        }
        return isNumber || isText ? boundNumber(number, written, column.number, name) : value;
    }
    // A number into a date, time or Boolean column is read as its text would be.
    return typedValue(isNumber ? QVariant(toText(value)) : value, column.kind, name);
}

QVariant RegionalText::forColumn(const DecimalNumber& number, const QString& written,
                                 const ColumnType& column, const QString& name) const
{
    if (column.kind == ValueKind::Number || column.kind == ValueKind::Other)
        return boundNumber(number, written, column.number, name);
    QString text;
    formatPlainNumber(text, number, m_regional);
    if (column.kind == ValueKind::Text)
        return text;
    // Into a date, time or Boolean column, read as its text would be.
    return typedValue(text, column.kind, name);
}

QVariant RegionalText::boundNumber(const DecimalNumber& number, const QString& written,
                                   const NumberColumn& column, const QString& name) const
{
    const ColumnNumber n = numberForColumn(number, written, column, name, m_regional);
    switch (n.form) {
    case ColumnNumber::Form::Whole:
        return qlonglong(n.whole);
    case ColumnNumber::Form::Decimal:
        return decimalText(n.exact);
    case ColumnNumber::Form::Double:
        break;
    }
    return n.binary;
}

QVariant RegionalText::typedValue(const QVariant& value, ValueKind kind, const QString& name) const
{
    QVariant result = value;
    if (value.metaType().id() == QMetaType::QString) {
        bool ok = true;
        result = parseText(value.toString(), kind, ok);
        if (!ok)
            throwUnfit(value, name, QString());
        if (result.isNull())
            return {};
    }
    const int type = result.metaType().id();
    if (kind == ValueKind::Date && type == QMetaType::QDateTime) {
        if (result.toDateTime().time() != QTime(0, 0))
            throwUnfit(value, name, QStringLiteral(": die Spalte nimmt keine Uhrzeit auf"));
        return result.toDateTime().date();
    }
    if (kind == ValueKind::DateTime && type == QMetaType::QDate)
        return QDateTime(result.toDate(), QTime(0, 0));
    return result;
}

} // namespace quendra
