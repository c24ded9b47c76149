#include "engine/formatting.h"

#include "common/error.h"
#include "common/fieldwords.h"
#include "common/valuebuffer.h"
#include "engine/digitpairs.h"

#include <algorithm>
#include <cstring>

namespace quendra {

namespace {

using fieldword::AutoCount, fieldword::Datum, fieldword::Ddmmyyyy, fieldword::Rechts,
    fieldword::Tyymmdd, fieldword::Yyyymmdd, fieldword::Zahl;

bool allDigits(QStringView text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return unsigned(c.unicode() - u'0') <= 9; });
}

bool allZeros(QStringView text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c == QLatin1Char('0'); });
}

// The date as "dd.mm.yyyy" (years 1 to 9999).
void writeDotted(QString& value, CalendarDate date)
{
    QChar out[10];
    writeDigits(out, std::uint64_t(date.day), 2);
    out[2] = QLatin1Char('.');
    writeDigits(out + 3, std::uint64_t(date.month), 2);
    out[5] = QLatin1Char('.');
    writeDigits(out + 6, std::uint64_t(date.year), 4);
    assignView(value, QStringView(out, 10));
}

// A source value that the compact format cannot read; form says what it must look like.
Error notADate(QStringView value, QStringView format, const char* form)
{
    return standardError(errnum::TypeMismatch,
                         QStringLiteral("Der Wert %1 ist kein Datum der Form %2 (%3).")
                             .arg(quotedValue(value), format, QString::fromUtf8(form)));
}

// A source value of the right form whose day the calendar does not have.
Error noSuchDay(QStringView value, QStringView format, CalendarDate date)
{
    QString day;
    writeDotted(day, CalendarDate{std::clamp(date.year, 0, 9999), date.month, date.day});
    return standardError(errnum::TypeMismatch,
                         QStringLiteral("Der Wert %1 ist kein gültiges Datum der Form %2: "
                                        "den %3 gibt es nicht.")
                             .arg(quotedValue(value), format, day));
}

// Two digits at text[at], text[at + 1].
int twoDigits(QStringView text, qsizetype at)
{
    return (text[at].unicode() - u'0') * 10 + (text[at + 1].unicode() - u'0');
}

// A "yyyymmdd" or "ddmmyyyy" source value as "dd.mm.yyyy". Blanks around it are not
// part of the date. Empty text gives "..", zeros only (what host systems write for "no
// date") stay as they are; anything else must be eight digits naming a real day.
void fromCompactDate(QString& value, bool yearFirst)
{
    const QStringView v = QStringView(value).trimmed();
    if (v.isEmpty()) {
        assignView(value, u"..");
        return;
    }
    if (allZeros(v))
        return;
    const QStringView format = yearFirst ? Yyyymmdd : Ddmmyyyy;
    if (v.size() != 8 || !allDigits(v))
        throw notADate(value, format, "acht Ziffern");
    const CalendarDate date = yearFirst ? CalendarDate{twoDigits(v, 0) * 100 + twoDigits(v, 2),
                                                       twoDigits(v, 4), twoDigits(v, 6)}
                                        : CalendarDate{twoDigits(v, 4) * 100 + twoDigits(v, 6),
                                                       twoDigits(v, 2), twoDigits(v, 0)};
    if (!isValidDate(date))
        throw noSuchDay(value, format, date);
    writeDotted(value, date);
}

// A "tyymmdd" source value as "dd.mm.yyyy": a number of up to seven digits, read with
// leading zeros to seven, whose first digit is the century (0 for 19xx, 1 for 20xx),
// so that 214 is 14.02.1900. A value that is numerically 0 gives empty text.
void fromTyymmdd(QString& value, const RegionalSettings& regional)
{
    constexpr const char* Form = "bis zu sieben Ziffern, die erste 0 für 19xx oder 1 für 20xx";
    const QStringView v = QStringView(value).trimmed();
    DecimalNumber number;
    if (!parseNumber(v, regional, number))
        throw notADate(value, Tyymmdd, Form);
    if (number.isZero()) {
        value.clear();
        return;
    }
    qsizetype first = 0;
    while (first < v.size() && v[first] == QLatin1Char('0'))
        ++first;
    const QStringView significant = v.mid(first);
    if (significant.size() > 7 || !allDigits(significant))
        throw notADate(value, Tyymmdd, Form);
    int n = 0;
    for (const QChar c : significant)
        n = n * 10 + (c.unicode() - u'0');
    const int century = n / 1000000;
    if (century > 1)
        throw notADate(value, Tyymmdd, Form);
    const CalendarDate date{(century == 0 ? 1900 : 2000) + n / 10000 % 100, n / 100 % 100, n % 100};
    if (!isValidDate(date))
        throw noSuchDay(value, Tyymmdd, date);
    writeDotted(value, date);
}

// The digits of n (not negative).
void writeInteger(QString& value, std::uint64_t n)
{
    const int digits = decimalDigits(n);
    writeDigits(setLength(value, digits), n, digits);
}

// "yyyymmdd" or "ddmmyyyy", as formatDate writes them, without reading the pattern.
void writeCompactDate(QString& value, CalendarDate date, bool yearFirst)
{
    QChar out[8];
    writeDigits(out + (yearFirst ? 0 : 4), std::uint64_t(date.year), 4);
    writeDigits(out + (yearFirst ? 4 : 2), std::uint64_t(date.month), 2);
    writeDigits(out + (yearFirst ? 6 : 0), std::uint64_t(date.day), 2);
    assignView(value, QStringView(out, 8));
}

// A pattern of 0, #, the decimal point "." and the group mark ",", as in "#,##0.00".
bool numberLayoutOf(QStringView pattern, NumberLayout& layout)
{
    layout = NumberLayout();
    layout.minIntegerDigits = 0;
    bool point = false, digit = false;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('.')) {
            if (point)
                return false;
            point = true;
        } else if (c == QLatin1Char(',') && !point) {
            layout.grouping = true;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            digit = true;
            const bool zero = c == QLatin1Char('0');
            if (!point) {
                layout.minIntegerDigits += zero ? 1 : 0;
            } else {
                layout.minDecimals += zero ? 1 : 0;
                ++layout.maxDecimals;
            }
        } else {
            return false;
        }
    }
    return digit;
}

bool isDatePatternText(QStringView format)
{
    for (const QChar c : format) {
        const char16_t l = c.toLower().unicode();
        if (l == u'd' || l == u'm' || l == u'y')
            return true;
    }
    return false;
}

// A value a compact target format cannot read as a date passes only when it means "no
// date" (blank, "..", zeros only) or is a date in that form already; anything else
// would reach the target unconverted.
void refuseNonDate(const QString& value, FormatPlan::Kind kind, const RegionalSettings& regional)
{
    const QStringView v = QStringView(value).trimmed();
    if (v.isEmpty() || v == u".." || allZeros(v))
        return;
    QString probe = value;
    try {
        if (kind == FormatPlan::Kind::Tyymmdd)
            fromTyymmdd(probe, regional);
        else
            fromCompactDate(probe, kind == FormatPlan::Kind::Yyyymmdd);
    } catch (const Error&) {
        const QStringView format = kind == FormatPlan::Kind::Tyymmdd    ? Tyymmdd
                                   : kind == FormatPlan::Kind::Yyyymmdd ? Yyyymmdd
                                                                        : Ddmmyyyy;
        throw standardError(errnum::TypeMismatch,
                            QStringLiteral("Der Wert %1 ist kein gültiges Datum und lässt sich "
                                           "nicht in der Form %2 schreiben.")
                                .arg(quotedValue(value), format));
    }
}

void toFormat(QString& value, const FormatPlan& format, const RegionalSettings& regional)
{
    using Kind = FormatPlan::Kind;
    CalendarDate date;
    switch (format.kind) {
    case Kind::Tyymmdd:
        if (!parseDate(value, regional, date)) {
            refuseNonDate(value, format.kind, regional);
        } else {
            // The century digit tells only 19xx from 20xx: other years would come back
            // as another date.
            if (date.year < 1900 || date.year > 2099)
                throw standardError(errnum::Overflow,
                                    QStringLiteral("Das Datum %1 lässt sich in der Form tyymmdd "
                                                   "nicht schreiben: sie fasst nur die Jahre "
                                                   "1900 bis 2099.")
                                        .arg(quotedValue(value)));
            writeInteger(value, (date.year >= 2000 ? 1000000 : 0) + (date.year % 100) * 10000 +
                                    date.month * 100 + date.day);
        }
        break;
    case Kind::Yyyymmdd:
    case Kind::Ddmmyyyy:
        if (parseDate(value, regional, date)) // years read are 1..9999: always 8 digits
            writeCompactDate(value, date, format.kind == Kind::Yyyymmdd);
        else
            refuseNonDate(value, format.kind, regional);
        break;
    case Kind::DateText:
        if (parseDate(value, regional, date))
            formatDate(value, date, format.date); // an unknown token leaves the value as it is
        break;
    case Kind::NumberText: {
        DecimalNumber number;
        if (parseNumber(value, regional, number))
            formatNumber(value, number, format.layout, regional);
        break;
    }
    case Kind::None:
    case Kind::Other:
        break;
    }
}

bool onlyBlanks(QStringView value)
{
    return std::all_of(value.begin(), value.end(), [](QChar c) { return c == QLatin1Char(' '); });
}

QChar firstNonBlank(QStringView value)
{
    for (const QChar c : value) {
        if (c != QLatin1Char(' '))
            return c;
    }
    return {};
}

// A plain "Zahl" value with a fixed number of decimals, written as formatZahl writes it
// through formatNumber, in 64-bit arithmetic; false (value unchanged) for other cases.
// readable: the value as written reads back by readPlainNumber as written, which it
// does unless a blank stands in front or no digit was written.
bool writePlainZahl(QString& value, const ValueShape& shape, const RegionalSettings& regional,
                    PlainNumber& written, bool& readable)
{
    const int scale = std::max<int>(shape.decscale, 0);
    PlainNumber plain;
    if (scale > PlainNumber::MaxDigits || !readPlainNumber(value, regional.decimalSeparator, plain))
        return false;
    // Rounded to scale decimals, half away from zero (the first dropped digit decides).
    std::uint64_t scaled;
    if (plain.decimals > scale) {
        const std::uint64_t drop = PowersOfTen[plain.decimals - scale];
        scaled = plain.mantissa / drop;
        const std::uint64_t rest = plain.mantissa % drop;
        scaled += rest >= drop - rest ? 1 : 0;
    } else if (__builtin_mul_overflow(plain.mantissa, PowersOfTen[scale - plain.decimals],
                                      &scaled)) {
        return false;
    }
    if (scaled >= PowersOfTen[PlainNumber::MaxDigits])
        return false;
    const std::uint64_t integer = scaled / PowersOfTen[scale];
    const std::uint64_t fraction = scaled % PowersOfTen[scale];
    // 0 for a zero integer part, as formatNumber counts
    const int intDigits = integer == 0 ? 0 : decimalDigits(integer);
    const int intWritten = std::max(intDigits, shape.fill ? std::max<int>(shape.length, 0) : 0);
    const char16_t sign = plain.negative && scaled != 0                     ? u'-'
                          : shape.plus                                      ? u'+'
                          : shape.fill && value.front() != QLatin1Char('+') ? u' '
                                                                            : 0;
    QChar* o = setLength(value, (sign ? 1 : 0) + intWritten + (scale > 0 ? 1 + scale : 0));
    written = PlainNumber{scaled, scale, sign == u'-'};
    readable = sign != u' ' && intWritten + scale > 0;
    if (sign)
        *o++ = QChar(sign);
    // The leading places are filled with 0 without dividing for them.
    std::fill(o, o + (intWritten - intDigits), QLatin1Char('0'));
    writeDigits(o + (intWritten - intDigits), integer, intDigits);
    if (scale > 0) {
        o[intWritten] = regional.decimalSeparator;
        writeDigits(o + intWritten + 1, fraction, scale);
    }
    return true;
}

// Digits, decimals, sign and zero filling of a "Zahl" value.
// True when written holds the number written (see writePlainZahl).
bool formatZahl(QString& value, const ValueShape& shape, const RegionalSettings& regional,
                PlainNumber& written)
{
    if (onlyBlanks(value)) {
        QChar* d = setLength(value, 1);
        d[0] = QLatin1Char('0');
    }
    const bool fixedDecimals = shape.decscale != 0 || (shape.fill && shape.length > 0);
    bool readable = false;
    if (fixedDecimals && writePlainZahl(value, shape, regional, written, readable))
        return readable;
    DecimalNumber number;
    if (!parseNumber(value, regional, number))
        throw standardError(errnum::TypeMismatch, quotedValue(value));
    NumberLayout layout;
    layout.plusSign = shape.plus;
    // The place of the sign: a blank in front of a number written without one.
    layout.signPlace = !shape.plus && shape.fill && firstNonBlank(value) != QLatin1Char('+');
    if (shape.decscale == 0 && (!shape.fill || shape.length <= 0)) {
        // No digit placeholder at all: the plain number, so that no digit is lost.
        layout.maxDecimals = number.decimals();
    } else {
        layout.minIntegerDigits = shape.fill ? std::max<int>(shape.length, 0) : 0;
        layout.minDecimals = layout.maxDecimals = std::max<int>(shape.decscale, 0);
    }
    formatNumber(value, number, layout, regional);
    return false;
}

// A number or a date is never cut: a character lost to the width would change it.
Error tooWide(QStringView value, qsizetype width, bool date)
{
    return standardError(errnum::Overflow,
                         QStringLiteral("%1 %2 ist %3 Zeichen lang, das Feld nur %4 "
                                        "Zeichen breit.")
                             .arg(date ? QStringLiteral("Das Datum") : QStringLiteral("Die Zahl"),
                                  quotedValue(value))
                             .arg(value.size())
                             .arg(width));
}

void fitWidth(QString& value, const ValueShape& shape)
{
    const qsizetype width = shape.width;
    const qsizetype n = value.size();
    if (shape.whole && width != 0 && n > width && (shape.right || shape.fixlength)) {
        // Only the blanks that padding would have added may go.
        const QStringView cut =
            shape.right ? QStringView(value).first(n - width) : QStringView(value).sliced(width);
        if (!onlyBlanks(cut))
            throw tooWide(value, width, shape.date);
    }
    if (shape.right) {
        if (n < width) {
            QChar* d = setLength(value, width);
            std::memmove(d + (width - n), d, std::size_t(n) * sizeof(QChar)); // overlapping
            std::fill(d, d + (width - n), QLatin1Char(' '));
        } else if (width != 0 && n > width) {
            removeFront(value, n - width);
        }
    } else if (shape.fixlength) {
        if (width != 0)
            value.resize(width, QLatin1Char(' '));
    } else {
        const QChar* d = value.constData();
        qsizetype end = n;
        while (end > 0 && d[end - 1] == QLatin1Char(' '))
            --end;
        if (end < n)
            setLength(value, end);
    }
}

} // namespace

FormatPlan FormatPlan::of(QStringView format)
{
    FormatPlan plan;
    if (format.isEmpty())
        return plan;
    if (format == Tyymmdd)
        plan.kind = Kind::Tyymmdd;
    else if (format == Yyyymmdd)
        plan.kind = Kind::Yyyymmdd;
    else if (format == Ddmmyyyy)
        plan.kind = Kind::Ddmmyyyy;
    else if (isDatePatternText(format))
        plan.kind = Kind::DateText;
    else if (numberLayoutOf(format, plan.layout))
        plan.kind = Kind::NumberText;
    else
        plan.kind = Kind::Other;
    if (plan.kind == Kind::DateText)
        plan.date = DatePattern(format);
    return plan;
}

ValueShape ValueShape::of(const trgBodyRec& field, bool fixlength)
{
    ValueShape shape;
    shape.number = field.fieldtype == Zahl;
    shape.date = field.fieldtype == Datum;
    shape.whole = shape.number || shape.date || field.fieldtype == AutoCount;
    shape.right = field.adjustment == Rechts;
    shape.fixlength = fixlength;
    shape.plus = field.plus != 0;
    shape.fill = field.zeroPadding != 0;
    shape.length = field.length;
    shape.decscale = field.decscale;
    const qsizetype width = shape.number
                                ? field.length + 1 + (field.decscale != 0 ? 1 : 0) + field.decscale
                                : field.length;
    shape.width = std::max<qsizetype>(width, 0);
    shape.trimOnly = !shape.number && !shape.right && !fixlength;
    return shape;
}

void cnvFromFormat(QString& value, const FormatPlan& format, const RegionalSettings& regional)
{
    trapped("clsFileConvert.cnvFromFormat", [&] {
        switch (format.kind) {
        case FormatPlan::Kind::Tyymmdd:
            fromTyymmdd(value, regional);
            break;
        case FormatPlan::Kind::Yyyymmdd:
            fromCompactDate(value, true);
            break;
        case FormatPlan::Kind::Ddmmyyyy:
            fromCompactDate(value, false);
            break;
        default:
            break;
        }
    });
}

void cnvFromFormat(QString& value, QStringView format, const RegionalSettings& regional)
{
    cnvFromFormat(value, FormatPlan::of(format), regional);
}

void cnvFromFormat(QString& value, QStringView format)
{
    cnvFromFormat(value, format, RegionalSettings());
}

bool isCompactDate(const FormatPlan& format)
{
    return format.kind == FormatPlan::Kind::Yyyymmdd || format.kind == FormatPlan::Kind::Ddmmyyyy;
}

bool convertCompactDate(QString& value, const FormatPlan& from, const FormatPlan& to)
{
    if (value.size() != 8)
        return false;
    // Year first: year hundreds, year, month, day; else day, month, year hundreds, year.
    const bool yearFirst = from.kind == FormatPlan::Kind::Yyyymmdd;
    std::int32_t pairs[4];
    if (!digitPairs(reinterpret_cast<const char16_t*>(value.constData()), pairs))
        return false; // blanks, "no date" or an error: the two steps decide
    const CalendarDate date = yearFirst
                                  ? CalendarDate{pairs[0] * 100 + pairs[1], pairs[2], pairs[3]}
                                  : CalendarDate{pairs[2] * 100 + pairs[3], pairs[1], pairs[0]};
    if (!isValidDate(date))
        return false; // zeros only stay as they are; any other is an error
    // A valid date is written with the same digits, only with its pairs in other places.
    if (yearFirst != (to.kind == FormatPlan::Kind::Yyyymmdd)) {
        std::uint32_t in[4]; // the pairs, two characters each
        std::memcpy(in, value.constData(), sizeof in);
        const std::uint32_t out[4] = {yearFirst ? in[3] : in[2], yearFirst ? in[2] : in[3],
                                      yearFirst ? in[0] : in[1], yearFirst ? in[1] : in[0]};
        std::memcpy(value.data(), out, sizeof out);
    }
    return true;
}

void cnvToFormat(QString& value, const FormatPlan& format, const RegionalSettings& regional)
{
    trapped("clsFileConvert.cnvToFormat", [&] { toFormat(value, format, regional); });
}

void cnvToFormat(QString& value, QStringView format, const RegionalSettings& regional)
{
    cnvToFormat(value, FormatPlan::of(format), regional);
}

bool formatToValue(QString& value, const ValueShape& shape, const RegionalSettings& regional,
                   PlainNumber& written)
{
    return trapped("clsFileConvert.formatToValue", [&] {
        const bool plain = shape.number && formatZahl(value, shape, regional, written);
        const qsizetype size = value.size();
        fitWidth(value, shape);
        return plain && value.size() == size; // alignment neither cut nor filled it
    });
}

void formatToValue(QString& value, const ValueShape& shape, const RegionalSettings& regional)
{
    PlainNumber written;
    formatToValue(value, shape, regional, written);
}

void formatToValue(QString& value, const trgBodyRec& field, bool fixlength,
                   const RegionalSettings& regional)
{
    formatToValue(value, ValueShape::of(field, fixlength), regional);
}

} // namespace quendra
