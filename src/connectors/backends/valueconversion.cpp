#include "connectors/backends/valueconversion.h"

#include "common/error.h"

#include <QDateTime>
#include <cmath>

namespace quendra {

ValueKind valueKindOf(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::QString:
    case QMetaType::QChar:
        return ValueKind::Text;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return ValueKind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return ValueKind::Real;
    case QMetaType::QDate:
        return ValueKind::Date;
    case QMetaType::QDateTime:
        return ValueKind::DateTime;
    case QMetaType::QTime:
        return ValueKind::Time;
    case QMetaType::Bool:
        return ValueKind::Boolean;
    case QMetaType::QByteArray:
        return ValueKind::Binary;
    default:
        return ValueKind::Other;
    }
}

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
// ISO date-time text with "T" or a blank between date and time.
QDateTime isoDateTime(const QString& text)
{
    // Qt takes "2000-06-17 20:36:24" for a date alone, so the blank becomes a "T" first.
    QString iso = text.trimmed();
    if (iso.size() > 10 && iso[10] == u' ')
        iso[10] = u'T';
    return QDateTime::fromString(iso, Qt::ISODateWithMs);
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

namespace {
// The locale's short date pattern with a four-digit year, as "31.12.2005".
QString fullYearDateFormat(const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

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
    : m_locale(locale), m_dateFormat(fullYearDateFormat(locale)),
      m_timeFormat(secondsTimeFormat(locale))
{
    m_locale.setNumberOptions(QLocale::OmitGroupSeparator);
}

void RegionalText::toText(const QVariant& value, QString& out) const
{
    if (value.isNull()) {
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
        out = m_locale.toString(value.toLongLong());
        return;
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::UChar:
        out = m_locale.toString(value.toULongLong());
        return;
    case QMetaType::QDate:
        out = m_locale.toString(value.toDate(), m_dateFormat);
        return;
    case QMetaType::QTime:
        out = m_locale.toString(value.toTime(), m_timeFormat);
        return;
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        out = m_locale.toString(dt.date(), m_dateFormat);
        if (dt.time() != QTime(0, 0))
            out += QLatin1Char(' ') + m_locale.toString(dt.time(), m_timeFormat);
        return;
    }
    case QMetaType::QByteArray:
        out = QString::fromUtf8(value.toByteArray());
        return;
    default:
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
    return m_locale.toString(number, 'f', QLocale::FloatingPointShortest);
}

QDate RegionalText::parseDate(const QString& text) const
{
    for (const QString& format : {m_dateFormat, m_locale.dateFormat(QLocale::ShortFormat)}) {
        const QDate date = m_locale.toDate(text, format);
        if (date.isValid())
            return date;
    }
    for (const QString& format :
         {QStringLiteral("yyyy-MM-dd"), QStringLiteral("dd.MM.yyyy"), QStringLiteral("yyyyMMdd")}) {
        const QDate date = QDate::fromString(text, format);
        if (date.isValid())
            return date;
    }
    // A date with a time of day counts as a date only at midnight: the time is never
    // dropped silently.
    const QDateTime dt = parseDateTime(text);
    return dt.time() == QTime(0, 0) ? dt.date() : QDate();
}

QDateTime RegionalText::parseDateTime(const QString& text) const
{
    const QDateTime dt = m_locale.toDateTime(text, m_dateFormat + QLatin1Char(' ') + m_timeFormat);
    return dt.isValid() ? dt : isoDateTime(text);
}

QTime RegionalText::parseTime(const QString& text) const
{
    QTime time = m_locale.toTime(text, m_timeFormat);
    for (const char* format : {"H:mm:ss", "H:mm"}) {
        if (!time.isValid())
            time = QTime::fromString(text, QLatin1String(format));
    }
    return time.isValid() ? time : QTime::fromString(text, Qt::ISODateWithMs);
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
    case ValueKind::Integer:
    case ValueKind::Real: {
        double number = m_locale.toDouble(text, &ok);
        if (!ok)
            number = QLocale::c().toDouble(text, &ok);
        if (!ok)
            return {};
        return number;
    }
    case ValueKind::Date: {
        const QDate date = parseDate(text);
        ok = date.isValid();
        return date;
    }
    case ValueKind::DateTime: {
        QDateTime dt = parseDateTime(text);
        if (!dt.isValid())
            dt = QDateTime(parseDate(text), QTime(0, 0));
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

bool fitsDecimals(double number, int decimals)
{
    const QString text = QString::number(number, 'f', QLocale::FloatingPointShortest);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point < 0 || text.size() - point - 1 <= decimals;
}

namespace {
[[noreturn]] void throwUnfit(const QVariant& value, const QString& column, const QString& why)
{
    throw standardError(
        errnum::TypeMismatch,
        QStringLiteral("Spalte \"%1\", Wert %2%3").arg(column, quotedValue(value.toString()), why));
}
} // namespace

QVariant RegionalText::forColumn(const QVariant& value, ValueKind kind, const QString& column) const
{
    if (value.isNull())
        return {};
    QVariant result = value;
    if (kind == ValueKind::Text)
        return value.metaType().id() == QMetaType::QString ? value : QVariant(toText(value));
    if (value.metaType().id() == QMetaType::QString) {
        bool ok = true;
        result = parseText(value.toString(), kind, ok);
        if (!ok)
            throwUnfit(value, column, QString());
        if (result.isNull())
            return {};
    }
    const int type = result.metaType().id();
    if (kind == ValueKind::Integer && (type == QMetaType::Double || type == QMetaType::Float)) {
        // A fraction is refused rather than rounded away.
        if (!fitsDecimals(result.toDouble(), 0))
            throwUnfit(value, column, QStringLiteral(": die Spalte nimmt nur ganze Zahlen auf"));
        if (std::fabs(result.toDouble()) >= 9.2e18)
            throwUnfit(value, column, QStringLiteral(": die Zahl ist zu groß"));
        return static_cast<qlonglong>(result.toDouble());
    }
    if (kind == ValueKind::Date && type == QMetaType::QDateTime) {
        if (result.toDateTime().time() != QTime(0, 0))
            throwUnfit(value, column, QStringLiteral(": die Spalte nimmt keine Uhrzeit auf"));
        return result.toDateTime().date();
    }
    if (kind == ValueKind::DateTime && type == QMetaType::QDate)
        return QDateTime(result.toDate(), QTime(0, 0));
    return result;
}

} // namespace quendra
