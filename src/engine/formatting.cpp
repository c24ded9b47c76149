#include "engine/formatting.h"

#include "common/error.h"

#include <algorithm>
#include <cstring>

namespace quendra {

namespace {

// A short text built on the stack: the compact date forms are at most a few characters.
struct ShortText {
    char16_t c[24];
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
    void copyTo(QString& value) const
    {
        value.resize(n);
        std::memcpy(static_cast<void*>(value.data()), c, std::size_t(n) * sizeof(char16_t));
    }
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

void toFormat(QString& value, QStringView format, const RegionalSettings& regional)
{
    if (format.isEmpty())
        return;
    QDate date;
    if (format == u"tyymmdd") {
        if (!parseDate(value, regional, date))
            return;
        const bool twentieth = date.year() >= 2000 && date.year() <= 2099;
        writeInteger(value, (twentieth ? 1000000 : 0) + (date.year() % 100) * 10000 +
                                date.month() * 100 + date.day());
        return;
    }
    if (format == u"yyyymmdd" || format == u"ddmmyyyy" || isDatePatternText(format)) {
        if (parseDate(value, regional, date))
            formatDate(value, date, format); // an unknown token leaves the value as it is
        return;
    }
    NumberLayout layout;
    DecimalNumber number;
    if (numberLayoutOf(format, layout) && parseNumber(value, regional, number))
        formatNumber(value, number, layout, regional);
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

// Digits, decimals, sign and zero filling of a "Zahl" value.
void formatZahl(QString& value, const trgBodyRec& field, const RegionalSettings& regional)
{
    const bool fill = field.zeroPadding != 0;
    if (onlyBlanks(value)) {
        value.resize(1);
        value.data()[0] = QLatin1Char('0');
    }
    DecimalNumber number;
    if (!parseNumber(value, regional, number))
        throw standardError(errnum::TypeMismatch, QLatin1Char('"') + value + QLatin1Char('"'));
    const bool explicitPlus = firstNonBlank(value) == QLatin1Char('+');
    if (field.decscale == 0 && (!fill || field.length <= 0)) {
        // No digit placeholder at all: the plain number, so that no digit is lost.
        formatPlainNumber(value, number, regional, field.plus != 0);
    } else {
        NumberLayout layout;
        layout.minIntegerDigits = fill ? std::max<int>(field.length, 0) : 0;
        layout.minDecimals = layout.maxDecimals = std::max<int>(field.decscale, 0);
        layout.plusSign = field.plus != 0;
        formatNumber(value, number, layout, regional);
    }
    // The place of the sign: a blank in front of a number written without one.
    if (field.plus == 0 && fill && !explicitPlus && !value.startsWith(QLatin1Char('-')))
        value.prepend(QLatin1Char(' '));
}

void fitWidth(QString& value, const trgBodyRec& field, qsizetype width, bool fixlength)
{
    if (field.adjustment == u"rechts") {
        const qsizetype n = value.size();
        if (n < width) {
            value.resize(width);
            QChar* d = value.data();
            std::memmove(static_cast<void*>(d + (width - n)), d, std::size_t(n) * sizeof(QChar));
            std::fill(d, d + (width - n), QLatin1Char(' '));
        } else if (width != 0 && n > width) {
            value.remove(0, n - width);
        }
    } else if (fixlength) {
        if (width != 0)
            value.resize(width, QLatin1Char(' '));
    } else {
        qsizetype end = value.size();
        while (end > 0 && value[end - 1] == QLatin1Char(' '))
            --end;
        value.truncate(end);
    }
}

} // namespace

void cnvFromFormat(QString& value, QStringView format, const RegionalSettings& regional)
{
    trapped("clsFileConvert.cnvFromFormat", [&] {
        if (format == u"tyymmdd") {
            fromTyymmdd(value, regional);
        } else if (format == u"yyyymmdd") {
            ShortText out;
            dottedFromYmd(value, out);
            out.copyTo(value);
        } else if (format == u"ddmmyyyy") {
            ShortText out;
            out.mid(value, 1, 2);
            out.put(u'.');
            out.mid(value, 3, 2);
            out.put(u'.');
            out.mid(value, 5, 4);
            out.copyTo(value);
        }
    });
}

void cnvFromFormat(QString& value, QStringView format)
{
    cnvFromFormat(value, format, RegionalSettings());
}

void cnvToFormat(QString& value, QStringView format, const RegionalSettings& regional)
{
    trapped("clsFileConvert.cnvToFormat", [&] { toFormat(value, format, regional); });
}

void formatToValue(QString& value, const trgBodyRec& field, bool fixlength,
                   const RegionalSettings& regional)
{
    trapped("clsFileConvert.formatToValue", [&] {
        qsizetype width = field.length;
        if (field.fieldtype == u"Zahl") {
            formatZahl(value, field, regional);
            width = field.length + 1 + (field.decscale != 0 ? 1 : 0) + field.decscale;
        }
        fitWidth(value, field, std::max<qsizetype>(width, 0), fixlength);
    });
}

} // namespace quendra
