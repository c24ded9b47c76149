#include "values/columnnumbers.h"

#include "common/error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace quendra {

namespace {

// "0.d1d2...dn" and "e" and the point: the number's magnitude as from_chars reads it.
char* writeMagnitude(char* p, const DecimalNumber& n)
{
    *p++ = '0';
    *p++ = '.';
    for (int k = 0; k < n.count; ++k)
        *p++ = char('0' + n.digits[std::size_t(k)]);
    if (n.count == 0)
        *p++ = '0';
    *p++ = 'e';
    return p;
}

template <class Float> bool nearest(const DecimalNumber& n, Float& out)
{
    char buf[DecimalNumber::MaxDigits + 16];
    char* p = writeMagnitude(buf, n);
    p = std::to_chars(p, buf + sizeof buf, n.point).ptr;
    out = 0;
    const auto [end, error] = std::from_chars(buf, p, out);
    if (error != std::errc() && !n.isZero())
        return false; // beyond the type's range, or so small that it would be zero
    if (n.negative)
        out = -out;
    return true;
}

// The decimal a printed floating-point number stands for.
DecimalNumber printedDecimal(const char* begin, const char* end)
{
    RegionalSettings c;
    c.decimalSeparator = QLatin1Char('.');
    c.groupSeparator = QChar();
    DecimalNumber n;
    parseNumber(QString::fromLatin1(begin, end - begin), c, n);
    return n;
}

// What a binary column gives back for the number: the double (or float) nearest to it,
// in its shortest form or in as many digits as the way into the column keeps.
bool storedBinary(const DecimalNumber& n, const NumberColumn& column, double& binary,
                  DecimalNumber& back)
{
    char buf[64];
    std::to_chars_result printed{};
    // A number of up to 15 significant digits comes back from its nearest double
    // exactly (10^15 < 2^53: no two such decimals share a double), far from the smallest
    // doubles: printed in 15 digits or fewer but no fewer than the number has (16 may end
    // one off), or in the shortest form below 10^15 (above, that form may be the double's
    // whole integer part, digits of its own).
    constexpr int ExactDigits = 15;
    const int exactUpTo = column.doubleDigits > 16    ? (n.point <= ExactDigits ? ExactDigits : 0)
                          : column.doubleDigits == 16 ? 0
                                                      : column.doubleDigits;
    if (!column.single && n.count <= exactUpTo && n.point > -300 && n.point < 300) {
        if (!nearest(n, binary))
            return false;
        back = n;
        return true;
    }
    if (column.single) {
        float f = 0;
        if (!nearest(n, f))
            return false;
        binary = f;
        printed = std::to_chars(buf, buf + sizeof buf, f);
    } else {
        if (!nearest(n, binary))
            return false;
        printed = column.doubleDigits < 17
                      ? std::to_chars(buf, buf + sizeof buf, binary, std::chars_format::scientific,
                                      column.doubleDigits - 1)
                      : std::to_chars(buf, buf + sizeof buf, binary);
    }
    back = printedDecimal(buf, printed.ptr);
    return true;
}

// The number as a 64-bit integer; false for a fraction or a number beyond 64 bits.
bool wholeNumber(const DecimalNumber& n, qint64& out)
{
    if (n.decimals() > 0 || n.point > 19)
        return false;
    std::uint64_t magnitude = 0; // 19 digits at most: no overflow
    for (int k = 0; k < n.point; ++k)
        magnitude = magnitude * 10 + (k < n.count ? n.digits[std::size_t(k)] : 0);
    const std::uint64_t limit = std::uint64_t(std::numeric_limits<qint64>::max()) + 1;
    if (magnitude > limit - (n.negative ? 0 : 1))
        return false;
    out = n.negative ? qint64(0 - magnitude) : qint64(magnitude);
    return true;
}

class Refusal {
public:
    Refusal(QStringView written, const QString& column) : m_written(written), m_column(column) {}

    [[noreturn]] void operator()(qint32 number, const QString& why) const
    {
        throw standardError(number, QStringLiteral("Spalte \"%1\", Wert %2: %3")
                                        .arg(m_column, quotedValue(m_written), why));
    }

private:
    QStringView m_written;
    const QString& m_column;
};

// The declared decimals and digits of the column.
void checkDigits(const DecimalNumber& n, const NumberColumn& column, const Refusal& refuse)
{
    const int scale = std::max(column.scale, 0);
    if (column.scale >= 0 && n.decimals() > column.scale)
        refuse(errnum::Overflow,
               column.scale == 0
                   ? QStringLiteral("die Spalte hat keine Nachkommastellen")
                   : QStringLiteral("die Spalte hat nur %1 Nachkommastellen").arg(column.scale));
    if (column.precision >= 0 && std::max(n.point, 0) > column.precision - scale)
        refuse(errnum::Overflow, QStringLiteral("die Spalte fasst höchstens %1 Stellen vor dem "
                                                "Komma")
                                     .arg(column.precision - scale));
}

ColumnNumber binaryNumber(ColumnNumber result, const NumberColumn& column,
                          const RegionalSettings& regional, const Refusal& refuse)
{
    DecimalNumber back;
    if (!storedBinary(result.exact, column, result.binary, back))
        refuse(errnum::Overflow, QStringLiteral("so große oder kleine Zahlen fasst die Spalte "
                                                "als Gleitkommazahl nicht"));
    if (!sameNumber(back, result.exact)) {
        QString stored;
        formatPlainNumber(stored, back, regional);
        refuse(errnum::Overflow,
               QStringLiteral("die Spalte speichert Gleitkommazahlen, daraus würde %1")
                   .arg(quotedValue(stored)));
    }
    result.form = ColumnNumber::Form::Double;
    return result;
}

} // namespace

ColumnNumber numberForColumn(const DecimalNumber& number, QStringView written,
                             const NumberColumn& column, const QString& columnName,
                             const RegionalSettings& regional)
{
    const Refusal refuse(written, columnName);
    ColumnNumber result;
    result.exact = number;
    switch (column.storage) {
    case NumberColumn::Storage::Whole:
        if (number.decimals() > 0)
            refuse(errnum::TypeMismatch, QStringLiteral("die Spalte nimmt nur ganze Zahlen auf"));
        if (!wholeNumber(number, result.whole) || result.whole < column.minimum ||
            result.whole > column.maximum)
            refuse(errnum::Overflow, QStringLiteral("die Spalte fasst ganze Zahlen von %1 bis %2")
                                         .arg(column.minimum)
                                         .arg(column.maximum));
        result.form = ColumnNumber::Form::Whole;
        return result;
    case NumberColumn::Storage::Decimal:
        checkDigits(number, column, refuse);
        result.form = ColumnNumber::Form::Decimal;
        return result;
    case NumberColumn::Storage::WholeOrDouble:
        checkDigits(number, column, refuse);
        if (wholeNumber(number, result.whole)) {
            result.form = ColumnNumber::Form::Whole;
            return result;
        }
        return binaryNumber(result, column, regional, refuse);
    case NumberColumn::Storage::Double:
        checkDigits(number, column, refuse);
        return binaryNumber(result, column, regional, refuse);
    }
    return result;
}

QString decimalText(const DecimalNumber& number, int decimals)
{
    RegionalSettings c;
    c.decimalSeparator = QLatin1Char('.');
    NumberLayout layout;
    layout.minDecimals = decimals;
    layout.maxDecimals = std::max(number.decimals(), decimals);
    QString out;
    formatNumber(out, number, layout, c);
    return out;
}

bool sameNumber(const DecimalNumber& a, const DecimalNumber& b)
{
    return a.count == b.count && a.point == b.point && a.negative == b.negative &&
           std::equal(a.digits.begin(), a.digits.begin() + a.count, b.digits.begin());
}

DecimalNumber shortestDecimal(double value)
{
    char buf[64];
    const auto printed = std::to_chars(buf, buf + sizeof buf, value);
    return printedDecimal(buf, printed.ptr);
}

double nearestDouble(const DecimalNumber& number)
{
    double value = 0;
    if (nearest(number, value))
        return value;
    const double beyond = number.point > 0 ? HUGE_VAL : 0; // too large, or too small
    return number.negative ? -beyond : beyond;
}

} // namespace quendra
