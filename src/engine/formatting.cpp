#include "engine/formatting.h"

#include "common/error.h"
#include "engine/valuebuffer.h"

#include <algorithm>
#include <cstring>

namespace quendra {

namespace {

constexpr QStringView Tyymmdd = u"tyymmdd";
constexpr QStringView Yyyymmdd = u"yyyymmdd";
constexpr QStringView Ddmmyyyy = u"ddmmyyyy";
constexpr QStringView Zahl = u"Zahl";
constexpr QStringView Rechts = u"rechts";

// A short text built on the stack: the compact date forms are at most a few characters.
struct ShortText {
    char16_t c[24]{};
    qsizetype n = 0;

    void put(char16_t ch)
    {
        if (n < qsizetype(std::size(c)))
            c[n++] = ch;
    }
    // Characters start..start+length-1 of text, counted from 1; those beyond its end are
    // simply missing.
    void mid(QStringView text, qsizetype start, qsizetype length)
    {
        for (qsizetype k = start - 1; k < start - 1 + length && k < text.size(); ++k)
            put(text[k].unicode());
    }
    QStringView view() const { return QStringView(c, n); }
    void copyTo(QString& value) const { assignView(value, view()); }
};

// "dd.mm.yyyy" from a yyyymmdd text, by position, whatever its length.
void dottedFromYmd(QStringView ymd, ShortText& out)
{
    out.mid(ymd, 7, 2);
    out.put(u'.');
    out.mid(ymd, 5, 2);
    out.put(u'.');
    out.mid(ymd, 1, 4);
}

void fromTyymmdd(QString& value, const RegionalSettings& regional)
{
    const QStringView v = QStringView(value).trimmed();
    DecimalNumber number;
    if (!parseNumber(v, regional, number))
        throw standardError(errnum::TypeMismatch, QLatin1Char('"') + value + QLatin1Char('"'));
    if (number.isZero()) {
        value.clear();
        return;
    }
    // s: the last 7 characters of "0" followed by v; its first character is the century.
    ShortText zeroV;
    zeroV.put(u'0');
    const QStringView tail = v.size() > 7 ? v.right(7) : v;
    zeroV.mid(tail, 1, tail.size());
    const QStringView s = zeroV.view().right(std::min<qsizetype>(7, zeroV.n));
    ShortText ymd;
    ymd.put(s[0] == u'0' ? u'1' : u'2');
    ymd.put(s[0] == u'0' ? u'9' : u'0');
    ymd.mid(s, 2, 6);
    ShortText out;
    dottedFromYmd(ymd.view(), out);
    out.copyTo(value);
}

void writeInteger(QString& value, qint64 n)
{
    ShortText digits;
    do {
        digits.put(char16_t(u'0' + n % 10));
        n /= 10;
    } while (n > 0);
    std::reverse(digits.c, digits.c + digits.n);
    digits.copyTo(value);
}

// "yyyymmdd" or "ddmmyyyy", as formatDate writes them, without reading the pattern.
void writeCompactDate(QString& value, CalendarDate date, bool yearFirst)
{
    QChar out[8];
    const auto put = [&](int at, int number, int width) {
        for (int k = width - 1; k >= 0; --k, number /= 10)
            out[at + k] = QChar(u'0' + number % 10);
    };
    put(yearFirst ? 0 : 4, date.year, 4);
    put(yearFirst ? 4 : 2, date.month, 2);
    put(yearFirst ? 6 : 0, date.day, 2);
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

void toFormat(QString& value, const FormatPlan& format, const RegionalSettings& regional)
{
    using Kind = FormatPlan::Kind;
    CalendarDate date;
    switch (format.kind) {
    case Kind::Tyymmdd:
        if (parseDate(value, regional, date)) {
            const bool twentieth = date.year >= 2000 && date.year <= 2099;
            writeInteger(value, (twentieth ? 1000000 : 0) + (date.year % 100) * 10000 +
                                    date.month * 100 + date.day);
        }
        break;
    case Kind::Yyyymmdd:
    case Kind::Ddmmyyyy:
        if (parseDate(value, regional, date)) // years read are 1..9999: always 8 digits
            writeCompactDate(value, date, format.kind == Kind::Yyyymmdd);
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

constexpr std::uint64_t PowersOfTen[] = {1ull,
                                         10ull,
                                         100ull,
                                         1000ull,
                                         10000ull,
                                         100000ull,
                                         1000000ull,
                                         10000000ull,
                                         100000000ull,
                                         1000000000ull,
                                         10000000000ull,
                                         100000000000ull,
                                         1000000000000ull,
                                         10000000000000ull,
                                         100000000000000ull,
                                         1000000000000000ull,
                                         10000000000000000ull,
                                         100000000000000000ull,
                                         1000000000000000000ull};

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
    int intDigits = 0;
    while (integer >= PowersOfTen[intDigits])
        ++intDigits; // 0 for a zero integer part, as formatNumber counts
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
    const auto put = [&](std::uint64_t number, int digits) {
        for (int k = digits - 1; k >= 0; --k, number /= 10)
            o[k] = QChar(u'0' + int(number % 10));
        o += digits;
    };
    put(integer, intWritten); // leading places filled with 0
    if (scale > 0) {
        *o++ = regional.decimalSeparator;
        put(fraction, scale);
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
        throw standardError(errnum::TypeMismatch, QLatin1Char('"') + value + QLatin1Char('"'));
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

void fitWidth(QString& value, const ValueShape& shape)
{
    const qsizetype width = shape.width;
    const qsizetype n = value.size();
    if (shape.right) {
        if (n < width) {
            QChar* d = setLength(value, width);
            for (qsizetype k = n - 1; k >= 0; --k) // backwards: the ranges overlap
                d[width - n + k] = d[k];
            std::fill(d, d + (width - n), QLatin1Char(' '));
        } else if (width != 0 && n > width) {
            value.remove(0, n - width);
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
    if (plan.kind == Kind::Yyyymmdd || plan.kind == Kind::Ddmmyyyy || plan.kind == Kind::DateText)
        plan.date = DatePattern(format);
    return plan;
}

ValueShape ValueShape::of(const trgBodyRec& field, bool fixlength)
{
    ValueShape shape;
    shape.number = field.fieldtype == Zahl;
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
        case FormatPlan::Kind::Yyyymmdd: {
            if (value.size() == 8) { // the usual full value, moved digit by digit
                const QChar* v = value.constData();
                const QChar dotted[10] = {v[6], v[7], u'.', v[4], v[5],
                                          u'.', v[0], v[1], v[2], v[3]};
                assignView(value, QStringView(dotted, 10));
                break;
            }
            ShortText out;
            dottedFromYmd(value, out);
            out.copyTo(value);
            break;
        }
        case FormatPlan::Kind::Ddmmyyyy: {
            ShortText out;
            out.mid(value, 1, 2);
            out.put(u'.');
            out.mid(value, 3, 2);
            out.put(u'.');
            out.mid(value, 5, 4);
            out.copyTo(value);
            break;
        }
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
    QChar* v = value.data();
    for (int k = 0; k < 8; ++k) {
        if (unsigned(v[k].unicode() - u'0') > 9)
            return false; // the dotted form would not be read by position either
    }
    // Where year, month and day start in the eight digits of each form.
    struct Places {
        int year, month, day;
    };
    constexpr Places YearFirst{0, 4, 6}, DayFirst{4, 2, 0};
    const Places& in = from.kind == FormatPlan::Kind::Yyyymmdd ? YearFirst : DayFirst;
    const Places& out = to.kind == FormatPlan::Kind::Yyyymmdd ? YearFirst : DayFirst;
    const auto two = [&](int at) {
        return (v[at].unicode() - u'0') * 10 + (v[at + 1].unicode() - u'0');
    };
    if (!isValidDate(
            CalendarDate{two(in.year) * 100 + two(in.year + 2), two(in.month), two(in.day)}))
        return false; // the dotted value would stay as it is
    // A valid date is written with the same digits, only in other places.
    const QChar d[8] = {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
    const auto move = [&](int to, int from, int n) { std::copy_n(d + from, n, v + to); };
    move(out.year, in.year, 4);
    move(out.month, in.month, 2);
    move(out.day, in.day, 2);
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
