#include "values/numbers.h"

#include "common/error.h"
#include "common/valuebuffer.h"
#include "values/columnnumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace quendra {

RegionalSettings RegionalSettings::fromLocale(const QLocale& locale)
{
    RegionalSettings r;
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    if (decimal.size() == 1)
        r.decimalSeparator = decimal[0];
    r.groupSeparator = group.size() == 1 ? group[0] : QChar();
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const qsizetype d = format.indexOf(QLatin1Char('d'));
    const qsizetype m = format.indexOf(QLatin1Char('M'));
    const qsizetype y = format.indexOf(QLatin1Char('y'));
    if (y >= 0 && y < m && y < d)
        r.dateOrder = DateOrder::YearMonthDay;
    else if (m >= 0 && m < d)
        r.dateOrder = DateOrder::MonthDayYear;
    else
        r.dateOrder = DateOrder::DayMonthYear;
    for (const QChar c : format) {
        if (!c.isLetter() && c != QLatin1Char('\'')) {
            r.dateSeparator = c;
            break;
        }
    }
    QString pattern = format;
    if (!pattern.contains(QLatin1String("yyyy")))
        pattern.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    if (DatePattern(pattern).isValid())
        r.datePattern = pattern;
    return r;
}

namespace {

// Reading state: the significant digits seen so far and where the point stands.
struct DigitCollector {
    DecimalNumber& n;
    bool any = false;  // a digit was read (also a zero)
    bool lost = false; // a significant digit beyond MaxDigits was not zero

    void push(char16_t c, bool integerPart)
    {
        any = true;
        const int digit = c - u'0';
        if (n.count == 0 && digit == 0) {
            if (!integerPart)
                --n.point; // a leading zero behind the point shifts the point
            return;
        }
        if (n.count < DecimalNumber::MaxDigits)
            n.digits[std::size_t(n.count++)] = std::uint8_t(digit);
        else
            lost = lost || digit != 0;
        if (integerPart)
            ++n.point;
    }
};

// Integer digits, with group separators only between groups of exactly three digits.
bool readIntegerPart(QStringView t, qsizetype& i, QChar group, DigitCollector& dc)
{
    int run = 0;
    bool grouped = false;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (isDigit(c)) {
            dc.push(c, true);
            ++run;
        } else if (!group.isNull() && c == group.unicode() && i + 1 < t.size() &&
                   isDigit(t[i + 1].unicode())) {
            if (run == 0 || run > 3 || (grouped && run != 3))
                return false;
            grouped = true;
            run = 0;
        } else {
            break;
        }
    }
    return !grouped || run == 3;
}

bool readExponent(QStringView t, qsizetype& i, int& exponent)
{
    if (i >= t.size() || (t[i] != QLatin1Char('E') && t[i] != QLatin1Char('e')))
        return true;
    ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        negative = t[i++] == QLatin1Char('-');
    if (i >= t.size() || !isDigit(t[i].unicode()))
        return false;
    for (; i < t.size() && isDigit(t[i].unicode()); ++i)
        exponent = std::min(exponent * 10 + (t[i].unicode() - u'0'), 100000);
    if (negative)
        exponent = -exponent;
    return true;
}

bool readSign(QStringView t, qsizetype& i, bool& negative)
{
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
        return true;
    }
    return false;
}

void skipBlanks(QStringView t, qsizetype& i)
{
    while (i < t.size() && isBlank(t[i].unicode()))
        ++i;
}

// The end of reading: trailing zeros dropped, the exponent applied, the limits checked.
bool finishNumber(DecimalNumber& out, int exponent)
{
    while (out.count > 0 && out.digits[std::size_t(out.count - 1)] == 0)
        --out.count;
    if (out.count == 0) {
        out = DecimalNumber();
        return true;
    }
    out.point += exponent;
    if (out.point > 309)
        return false;
    if (out.point < -400)
        out = DecimalNumber();
    return true;
}

// The form most values have: a sign or none, digits, the decimal separator and decimals
// or none, and nothing else (no blanks, groups or exponent). Reads it as the general
// rules do; false, without a verdict, for any other text.
bool readPlainNumber(QStringView t, QChar decimal, DecimalNumber& out, bool& lost)
{
    const char16_t* c = t.utf16();
    const qsizetype n = t.size();
    qsizetype i = 0;
    const bool negative = n > 0 && c[0] == u'-';
    if (n > 0 && (c[0] == u'+' || c[0] == u'-'))
        ++i;
    const qsizetype intStart = i;
    while (i < n && isDigit(c[i]))
        ++i;
    const qsizetype intEnd = i;
    qsizetype decStart = i;
    if (i < n && c[i] == decimal.unicode()) {
        decStart = ++i;
        while (i < n && isDigit(c[i]))
            ++i;
    }
    if (i != n || (intEnd == intStart && i == decStart))
        return false;
    out = DecimalNumber();
    out.negative = negative;
    // Leading zeros are no significant digits; behind the point they shift the point.
    qsizetype k = intStart;
    while (k < intEnd && c[k] == u'0')
        ++k;
    int point = int(intEnd - k);
    int count = 0;
    const auto take = [&](qsizetype end) {
        for (; k < end; ++k) {
            if (count < DecimalNumber::MaxDigits)
                out.digits[std::size_t(count++)] = std::uint8_t(c[k] - u'0');
            else
                lost = lost || c[k] != u'0';
        }
    };
    take(intEnd);
    k = decStart;
    if (count == 0) {
        for (; k < n && c[k] == u'0'; ++k)
            --point;
    }
    take(n);
    out.point = point;
    out.count = count;
    return finishNumber(out, 0);
}

// The general rules; lost tells whether a significant digit beyond MaxDigits was not zero.
bool readNumber(QStringView t, const RegionalSettings& regional, DecimalNumber& out, bool& lost)
{
    lost = false;
    if (readPlainNumber(t, regional.decimalSeparator, out, lost))
        return true;
    lost = false;
    out = DecimalNumber();
    DigitCollector dc{out};
    qsizetype i = 0;
    skipBlanks(t, i);
    const bool leadingSign = readSign(t, i, out.negative);
    skipBlanks(t, i);
    const QChar group =
        regional.groupSeparator == regional.decimalSeparator ? QChar() : regional.groupSeparator;
    if (!readIntegerPart(t, i, group, dc))
        return false;
    if (i < t.size() && t[i] == regional.decimalSeparator) {
        for (++i; i < t.size() && isDigit(t[i].unicode()); ++i)
            dc.push(t[i].unicode(), false);
    }
    if (!dc.any)
        return false;
    int exponent = 0;
    if (!readExponent(t, i, exponent))
        return false;
    skipBlanks(t, i);
    if (!leadingSign && readSign(t, i, out.negative))
        skipBlanks(t, i);
    if (i != t.size())
        return false;
    lost = dc.lost;
    return finishNumber(out, exponent);
}

} // namespace

bool parseNumber(QStringView t, const RegionalSettings& regional, DecimalNumber& out)
{
    bool lost = false;
    if (!readNumber(t, regional, out, lost))
        return false;
    if (lost)
        throw standardError(errnum::Overflow,
                            QStringLiteral("Die Zahl %1 hat mehr als %2 gültige Ziffern; so genau "
                                           "lässt sie sich nicht lesen.")
                                .arg(quotedValue(t))
                                .arg(DecimalNumber::MaxDigits));
    return true;
}

bool parseNumber(QStringView text, const RegionalSettings& regional, double& out)
{
    DecimalNumber n;
    bool lost = false; // a double keeps fewer digits anyway
    if (!readNumber(text, regional, n, lost))
        return false;
    out = nearestDouble(n);
    return true;
}

namespace {

constexpr qsizetype InlineDigits = 96;
using FixedDigits = QVarLengthArray<std::uint8_t, InlineDigits>;

// Digits of the fixed-point form of a number, rounded half away from zero: one guard
// digit (for a carry), the integer digits, then decimals digits.
void fixedDigits(const DecimalNumber& n, int integerDigits, int decimals, FixedDigits& fixed)
{
    const int total = 1 + integerDigits + decimals;
    fixed.resize(total);
    if (total <= InlineDigits) // the inline buffer, cleared with a few fixed-size stores
        std::memset(fixed.data(), 0, InlineDigits);
    else
        std::fill(fixed.begin(), fixed.end(), std::uint8_t(0));
    const int kept = std::min(n.point + decimals, n.count);
    for (int k = 0; k < kept; ++k)
        fixed[std::size_t(1 + integerDigits - n.point + k)] = n.digits[std::size_t(k)];
    const int next = n.point + decimals; // first digit that is dropped
    if (next >= 0 && next < n.count && n.digits[std::size_t(next)] >= 5) {
        for (int idx = total - 1; idx >= 0; --idx) {
            if (++fixed[std::size_t(idx)] < 10)
                break;
            fixed[std::size_t(idx)] = 0;
        }
    }
}

} // namespace

void formatNumber(QString& out, const DecimalNumber& n, const NumberLayout& layout,
                  const RegionalSettings& regional)
{
    const int maxDec = std::max(layout.maxDecimals, 0);
    const int minDec = std::clamp(layout.minDecimals, 0, maxDec);
    const int intLen = std::max(n.point, 0);
    FixedDigits fixed;
    fixedDigits(n, intLen, maxDec, fixed);
    const int intEnd = 1 + intLen; // end of the integer digits in fixed
    int lead = 0;
    while (lead < intEnd && fixed[std::size_t(lead)] == 0)
        ++lead;
    int decCount = maxDec;
    while (decCount > minDec && fixed[std::size_t(intEnd + decCount - 1)] == 0)
        --decCount;
    const bool zero = lead == intEnd && std::all_of(fixed.begin() + intEnd, fixed.end(),
                                                    [](std::uint8_t d) { return d == 0; });
    const int intDigits = intEnd - lead;
    const int intWritten = std::max(intDigits, std::max(layout.minIntegerDigits, 0));
    const bool grouping = layout.grouping && !regional.groupSeparator.isNull();
    const int groups = grouping && intWritten > 0 ? (intWritten - 1) / 3 : 0;
    const char16_t sign = n.negative && !zero ? u'-'
                          : layout.plusSign   ? u'+'
                          : layout.signPlace  ? u' '
                                              : 0;

    QChar* o =
        setLength(out, (sign ? 1 : 0) + intWritten + groups + (decCount > 0 ? 1 + decCount : 0));
    if (sign)
        *o++ = QChar(sign);
    if (!grouping) {
        for (int k = intWritten; k > intDigits; --k)
            *o++ = QLatin1Char('0'); // filling
        for (int idx = lead; idx < intEnd; ++idx)
            *o++ = QChar(u'0' + fixed[std::size_t(idx)]);
    } else {
        for (int k = intWritten; k > 0; --k) {
            const int idx = intEnd - k; // may lie before the guard digit: a filled zero
            *o++ = QChar(u'0' + (idx >= 0 && idx >= lead ? fixed[std::size_t(idx)] : 0));
            if (k > 1 && (k - 1) % 3 == 0)
                *o++ = regional.groupSeparator;
        }
    }
    if (decCount > 0) {
        *o++ = regional.decimalSeparator;
        for (int k = 0; k < decCount; ++k)
            *o++ = QChar(u'0' + fixed[std::size_t(intEnd + k)]);
    }
}

void formatPlainNumber(QString& out, const DecimalNumber& n, const RegionalSettings& regional,
                       bool plusSign)
{
    NumberLayout layout;
    layout.maxDecimals = n.decimals();
    layout.plusSign = plusSign;
    formatNumber(out, n, layout, regional);
}

bool isWholeNumber(double number)
{
    return std::isfinite(number) && std::fpclassify(number - std::trunc(number)) == FP_ZERO;
}

void formatDouble(QString& out, double number, const RegionalSettings& regional)
{
    char buf[400]; // the longest fixed form of a double: 309 digits and a sign
    if (std::fpclassify(number) == FP_ZERO)
        number = 0; // no "-0"
    const auto end = std::to_chars(buf, buf + sizeof buf, number, std::chars_format::fixed).ptr;
    QChar* o = setLength(out, end - buf);
    for (const char* c = buf; c != end; ++c)
        *o++ = *c == '.' ? regional.decimalSeparator : QChar(QLatin1Char(*c));
}

namespace {

// A sum holds 38 digits, decimals included; a check sum beyond them cannot be written.
Error sumOverflow()
{
    return standardError(errnum::Overflow,
                         QStringLiteral("Die Summe wird zu groß: sie fasst höchstens 38 Ziffern "
                                        "(Stellen vor und nach dem Komma zusammen)."));
}

__int128 timesPowerOfTen(__int128 value, int exponent)
{
    for (int k = 0; k < exponent; ++k) {
        if (__builtin_mul_overflow(value, 10, &value))
            throw sumOverflow();
    }
    return value;
}

} // namespace

bool readPlainNumber(QStringView t, QChar decimal, PlainNumber& out)
{
    const char16_t* c = t.utf16();
    const qsizetype n = t.size();
    qsizetype i = 0;
    out.negative = n > 0 && c[0] == u'-';
    if (n > 0 && (c[0] == u'+' || c[0] == u'-'))
        ++i;
    // One pass: the digits are added up while they are checked; a value that turns out
    // too long is refused by its count, whatever the sum became.
    std::uint64_t mantissa = 0;
    const qsizetype intStart = i;
    qsizetype significant = i; // first digit after the integer part's leading zeros
    bool any = false;
    for (; i < n; ++i) {
        const unsigned digit = unsigned(c[i]) - u'0';
        if (digit > 9)
            break;
        mantissa = mantissa * 10 + digit;
        any = any || digit != 0;
        significant = any ? significant : i + 1;
    }
    const qsizetype intEnd = i;
    qsizetype decStart = i;
    if (i < n && c[i] == decimal.unicode()) {
        decStart = ++i;
        for (; i < n; ++i) {
            const unsigned digit = unsigned(c[i]) - u'0';
            if (digit > 9)
                break;
            mantissa = mantissa * 10 + digit;
        }
    }
    const qsizetype decimals = i - decStart;
    if (i != n || intEnd - intStart + decimals == 0 || decimals > PlainNumber::MaxDigits ||
        intEnd - significant + decimals > PlainNumber::MaxDigits)
        return false;
    out.mantissa = mantissa;
    out.decimals = int(decimals);
    return true;
}

void DecimalSum::add(QStringView text, const RegionalSettings& regional)
{
    PlainNumber plain;
    if (readPlainNumber(text, regional.decimalSeparator, plain)) {
        add(plain);
        return;
    }
    DecimalNumber n;
    if (!parseNumber(text, regional, n))
        throw standardError(errnum::TypeMismatch, quotedValue(text));
    add(n);
}

void DecimalSum::add(const PlainNumber& plain)
{
    // Trailing zeros of the decimals do not widen the sum's scale (within it they change
    // nothing, so only those beyond it are looked at).
    std::uint64_t mantissa = plain.mantissa;
    int decimals = plain.decimals;
    while (decimals > m_scale && mantissa % 10 == 0 && mantissa != 0) {
        mantissa /= 10;
        --decimals;
    }
    if (mantissa == 0)
        return;
    if (decimals > m_scale) {
        m_value = timesPowerOfTen(m_value, decimals - m_scale);
        m_scale = decimals;
    }
    const __int128 v = timesPowerOfTen(__int128(mantissa), m_scale - decimals);
    if (__builtin_add_overflow(m_value, plain.negative ? -v : v, &m_value))
        throw sumOverflow();
}

void DecimalSum::add(const DecimalNumber& n)
{
    if (n.isZero())
        return;
    const int decimals = std::min(n.decimals(), MaxScale);
    if (decimals > m_scale) {
        m_value = timesPowerOfTen(m_value, decimals - m_scale);
        m_scale = decimals;
    }
    // The number at the sum's scale: its digits, shifted; digits beyond MaxScale decimals
    // are rounded half away from zero.
    const int shift = n.point - n.count + m_scale;
    const int used = shift >= 0 ? n.count : n.count + shift;
    __int128 v = 0;
    int k = 0;
    if (used <= 18) { // fits 64 bits without any check
        std::uint64_t small = 0;
        for (; k < used; ++k)
            small = small * 10 + n.digits[std::size_t(k)];
        v = small;
    }
    for (; k < used; ++k)
        v = timesPowerOfTen(v, 1) + n.digits[std::size_t(k)];
    if (used >= 0 && used < n.count && n.digits[std::size_t(used)] >= 5)
        ++v;
    v = timesPowerOfTen(v, std::max(shift, 0));
    if (__builtin_add_overflow(m_value, n.negative ? -v : v, &m_value))
        throw sumOverflow();
}

QString DecimalSum::text(const RegionalSettings& regional) const
{
    DecimalNumber n;
    n.negative = m_value < 0;
    unsigned __int128 magnitude = n.negative ? -static_cast<unsigned __int128>(m_value)
                                             : static_cast<unsigned __int128>(m_value);
    std::array<std::uint8_t, 40> reversed{};
    int len = 0;
    for (; magnitude != 0; magnitude /= 10)
        reversed[std::size_t(len++)] = std::uint8_t(magnitude % 10);
    for (int k = 0; k < len; ++k)
        n.digits[std::size_t(k)] = reversed[std::size_t(len - 1 - k)];
    n.count = len;
    n.point = len - m_scale;
    while (n.count > 0 && n.digits[std::size_t(n.count - 1)] == 0)
        --n.count;
    QString out;
    formatPlainNumber(out, n, regional);
    return out;
}

} // namespace quendra
