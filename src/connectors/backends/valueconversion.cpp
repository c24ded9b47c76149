#include "connectors/backends/valueconversion.h"

#include "common/error.h"
#include "values/columnnumbers.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QStringEncoder>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <sqlext.h>

namespace quendra {

namespace {
// The digits and decimals of "numeric(10,2)"; -1 where the type names none.
NumberColumn declaredDecimal(const QString& declaredType, NumberColumn column)
{
    static const QRegularExpression digits(QStringLiteral(R"(\(\s*(\d+)\s*(?:,\s*(\d+)\s*)?\))"));
    const QRegularExpressionMatch m = digits.match(declaredType);
    if (m.hasMatch()) {
        column.precision = m.captured(1).toInt();
        column.scale = m.hasCaptured(2) ? m.captured(2).toInt() : 0;
    }
    return column;
}
} // namespace

ColumnType sqliteColumnType(const QString& declaredType, int doubleDigits)
{
    const QString t = declaredType.toUpper();
    auto has = [&t](const char* part) { return t.contains(QLatin1String(part)); };
    NumberColumn affinity;
    affinity.storage = NumberColumn::Storage::WholeOrDouble;
    affinity.doubleDigits = doubleDigits;
    if (has("DATETIME") || has("TIMESTAMP"))
        return {ValueKind::DateTime, affinity};
    if (has("DATE"))
        return {ValueKind::Date, affinity};
    if (has("TIME"))
        return {ValueKind::Time, affinity};
    if (has("BOOL") || has("BIT"))
        return {ValueKind::Boolean, affinity};
    if (has("INT"))
        return {ValueKind::Number, NumberColumn::whole(std::numeric_limits<qint64>::min(),
                                                       std::numeric_limits<qint64>::max())};
    if (has("CHAR") || has("CLOB") || has("TEXT") || has("MEMO"))
        return {ValueKind::Text, affinity};
    if (has("BLOB") || t.isEmpty())
        return {ValueKind::Other, affinity};
    if (has("REAL") || has("FLOA") || has("DOUB")) {
        NumberColumn binary = NumberColumn::binary();
        binary.doubleDigits = doubleDigits;
        return {ValueKind::Number, binary};
    }
    // Every other declared type has SQLite's numeric affinity.
    return {ValueKind::Number, declaredDecimal(t, affinity)};
}

ColumnType odbcColumnType(QMetaType type, int sqlType, int size, int digits)
{
    switch (sqlType) {
    case SQL_NUMERIC:
    case SQL_DECIMAL: {
        NumberColumn decimal;
        decimal.precision = size > 0 ? size : -1;
        decimal.scale = size > 0 ? std::max(digits, 0) : -1;
        return {ValueKind::Number, decimal};
    }
    case SQL_TINYINT:
        return {ValueKind::Number, NumberColumn::whole(-128, 255)};
    case SQL_SMALLINT:
        return {ValueKind::Number, NumberColumn::whole(-32768, 32767)};
    case SQL_INTEGER:
        return {ValueKind::Number, NumberColumn::whole(std::numeric_limits<qint32>::min(),
                                                       std::numeric_limits<qint32>::max())};
    case SQL_BIGINT:
        return {ValueKind::Number, NumberColumn::whole(std::numeric_limits<qint64>::min(),
                                                       std::numeric_limits<qint64>::max())};
    case SQL_REAL:
        return {ValueKind::Number, NumberColumn::binary(true)};
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return {ValueKind::Number, NumberColumn::binary()};
    default:
        break;
    }
    switch (type.id()) {
    case QMetaType::QString:
    case QMetaType::QChar:
        return {ValueKind::Text, {}};
    case QMetaType::QDate:
        return {ValueKind::Date, {}};
    case QMetaType::QDateTime:
        return {ValueKind::DateTime, {}};
    case QMetaType::QTime:
        return {ValueKind::Time, {}};
    case QMetaType::Bool:
        return {ValueKind::Boolean, {}};
    case QMetaType::QByteArray:
        return {ValueKind::Binary, {}};
    default:
        return {ValueKind::Other, {}};
    }
}

namespace {
// ISO date-time text with "T" or a blank between date and time (Qt reads both).
QDateTime isoDateTime(const QString& text)
{
    return QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
}
} // namespace

namespace {
// The date of ten characters of ISO text; Qt reads what are not all digits (and is many
// times slower on those that are).
QDate isoDate(const QString& text)
{
    int parts[3] = {0, 0, 0};
    for (qsizetype i = 0; i < 10; ++i) {
        const char16_t c = text[i].unicode();
        if (i == 4 || i == 7) {
            if (c != u'-')
                return QDate::fromString(text, Qt::ISODate);
        } else if (c >= u'0' && c <= u'9') {
            int& part = parts[i < 4 ? 0 : i < 7 ? 1 : 2];
            part = part * 10 + (c - u'0');
        } else {
            return QDate::fromString(text, Qt::ISODate);
        }
    }
    return QDate(parts[0], parts[1], parts[2]);
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
        const QDate date = text.size() == 10 ? isoDate(text) : QDate();
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

bool sqliteTypedKind(ValueKind kind)
{
    return kind == ValueKind::Date || kind == ValueKind::DateTime || kind == ValueKind::Time ||
           kind == ValueKind::Boolean;
}

namespace {
// A printed number "-ddd.ddd" of at most 15 significant digits and no more characters than
// keep it within the doubles' normal range: the double nearest to it gives its digits
// back, so that double is the number. Nothing for zero and anything else.
std::optional<double> shortPrintedNumber(const QByteArray& text)
{
    constexpr int SafeDigits = 15;
    constexpr qsizetype SafeLength = 300;
    const char* c = text.constData();
    const char* const end = c + text.size();
    if (text.size() > SafeLength)
        return std::nullopt;
    int significant = 0;
    int zeros = 0; // behind the last digit that is not 0
    bool digit = false;
    bool point = false;
    for (const char* p = c < end && *c == '-' ? c + 1 : c; p < end; ++p) {
        if (*p == '.' && digit && !point) {
            point = true;
            digit = false;
        } else if (*p == '0') {
            digit = true;
            zeros += significant > 0 ? 1 : 0;
        } else if (*p >= '1' && *p <= '9') {
            digit = true;
            significant += zeros + 1;
            zeros = 0;
        } else {
            return std::nullopt;
        }
    }
    if (!digit || significant == 0 || significant > SafeDigits)
        return std::nullopt;
    double value = 0;
    const auto [stop, fault] = std::from_chars(c, end, value);
    if (fault != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

bool readPrinted(const QByteArray& text, DecimalNumber& number)
{
    RegionalSettings printed;
    printed.groupSeparator = QChar();
    const QString digits = QString::fromLatin1(text);
    for (const char decimal : {'.', ','}) {
        printed.decimalSeparator = QLatin1Char(decimal);
        if (parseNumber(digits, printed, number))
            return true;
    }
    return false;
}
} // namespace

bool readPrintedNumber(const QByteArray& text, double& value)
{
    DecimalNumber number;
    if (!readPrinted(text, number))
        return false;
    value = nearestDouble(number);
    return true;
}

QVariant printedNumberValue(const QByteArray& text, bool whole)
{
    bool ok = false;
    if (whole) {
        const qlonglong number = text.toLongLong(&ok);
        if (ok)
            return number;
    }
    if (const std::optional<double> number = shortPrintedNumber(text))
        return *number;
    WrittenNumber exact;
    if (!readPrinted(text, exact.number))
        return QString::fromUtf8(text);
    const double value = nearestDouble(exact.number);
    if (sameNumber(shortestDecimal(value), exact.number))
        return value;
    exact.text = QString::fromLatin1(text);
    return QVariant::fromValue(exact);
}

namespace {
// Reads n digits at text as a number; -1 when one is no digit.
int digits(const char* text, int n)
{
    int value = 0;
    for (int i = 0; i < n; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}
} // namespace

QDate readIsoDate(const char* text, int size)
{
    if (size != 10 || text[4] != '-' || text[7] != '-')
        return {};
    const int year = digits(text, 4);
    return year < 0 ? QDate() : QDate(year, digits(text + 5, 2), digits(text + 8, 2));
}

QTime readIsoTime(const char* text, int size)
{
    if (size < 8 || text[2] != ':' || text[5] != ':')
        return {};
    int ms = 0;
    int i = 8;
    if (size > 8 && text[8] == '.') {
        int scale = 100;
        for (i = 9; i < size && text[i] >= '0' && text[i] <= '9'; ++i) {
            ms += (text[i] - '0') * scale;
            scale /= 10;
        }
    }
    if (i < size && text[i] != '+' && text[i] != '-')
        return {};
    return QTime(digits(text, 2), digits(text + 3, 2), digits(text + 6, 2), ms);
}

namespace {
// Writes the ASCII start of text to out, a byte a unit (the most of most texts), and
// returns its length.
qsizetype writeAsciiStart(QStringView text, char* out)
{
    const auto* end =
        std::find_if(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() >= 0x80; });
    std::transform(text.cbegin(), end, out, [](QChar c) { return char(c.unicode()); });
    return end - text.cbegin();
}
} // namespace

char* writeUtf8(QStringView text, char* out)
{
    const qsizetype ascii = writeAsciiStart(text, out);
    if (ascii == text.size())
        return out + ascii;
    // Stateless: half of a surrogate pair at the end of one text is no part of the next.
    QStringEncoder utf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    return utf8.appendToBuffer(out + ascii, text.sliced(ascii));
}

void appendDatabaseText(QByteArray& out, const QVariant& value)
{
    // The frequent types straight into out, the same bytes as databaseText gives them.
    switch (value.metaType().id()) {
    case QMetaType::QString: {
        // As QString::toUtf8, like databaseText: half of a surrogate pair alone is "?".
        const QString& text = *static_cast<const QString*>(value.constData());
        const qsizetype at = out.size();
        out.resize(at + text.size());
        const qsizetype ascii = writeAsciiStart(text, out.data() + at);
        out.resize(at + ascii);
        if (ascii < text.size())
            out += QStringView(text).sliced(ascii).toUtf8();
        return;
    }
    case QMetaType::LongLong: {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value.toLongLong()).ptr;
        out.append(digits, end - digits);
        return;
    }
    case QMetaType::QDate: {
        char iso[10];
        if (isoDateBytes(*static_cast<const QDate*>(value.constData()), iso)) {
            out.append(iso, sizeof iso);
            return;
        }
        break;
    }
    default:
        break;
    }
    out += databaseText(value);
}

QByteArray databaseText(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool() ? "1" : "0";
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::QByteArray:
        return value.toByteArray();
    case QMetaType::Double:
        return QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDate:
        return isoDateText(value.toDate()).toLatin1();
    case QMetaType::QTime:
        return value.toTime().toString(Qt::ISODateWithMs).toLatin1();
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return isoDateText(dt.date()).toLatin1() + ' ' +
               dt.time().toString(Qt::ISODateWithMs).toLatin1();
    }
    default:
        break;
    }
    if (value.metaType() == QMetaType::fromType<WrittenNumber>())
        return decimalText(value.value<WrittenNumber>().number).toLatin1();
    return value.toString().toUtf8();
}

} // namespace quendra
