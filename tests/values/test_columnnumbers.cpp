// Whether a binary column takes a number: exactly when the double that reaches the column
// gives back every digit, printed as the driver prints it. The reference here prints
// every number and reads it back, for decimals of 1 to 17 digits around the limit of
// what a double holds.
#include "common/error.h"
#include "values/columnnumbers.h"
#include "values/numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <random>

using namespace quendra;

namespace {

const RegionalSettings Point = [] {
    RegionalSettings r;
    r.decimalSeparator = QLatin1Char('.');
    r.groupSeparator = QChar();
    return r;
}();

DecimalNumber readBack(const char* begin, const char* end)
{
    DecimalNumber n;
    EXPECT_TRUE(parseNumber(QString::fromLatin1(begin, end - begin), Point, n));
    return n;
}

bool same(const DecimalNumber& a, const DecimalNumber& b)
{
    return a.negative == b.negative && a.count == b.count && a.point == b.point &&
           std::equal(a.digits.begin(), a.digits.begin() + a.count, b.digits.begin());
}

// The double nearest to text, printed in digits significant digits (17: shortest) and
// read back: the same number or not.
bool comesBack(const std::string& text, int digits)
{
    double d = 0;
    std::from_chars(text.data(), text.data() + text.size(), d);
    char buf[64];
    const auto printed = digits >= 17 ? std::to_chars(buf, buf + sizeof buf, d)
                                      : std::to_chars(buf, buf + sizeof buf, d,
                                                      std::chars_format::scientific, digits - 1);
    return same(readBack(buf, printed.ptr), readBack(text.data(), text.data() + text.size()));
}

bool columnTakes(const std::string& text, int digits)
{
    NumberColumn column = NumberColumn::binary();
    column.doubleDigits = digits;
    const DecimalNumber n = readBack(text.data(), text.data() + text.size());
    try {
        const ColumnNumber c = numberForColumn(n, {}, column, QStringLiteral("c"), Point);
        double nearest = 0;
        std::from_chars(text.data(), text.data() + text.size(), nearest);
        EXPECT_EQ(c.binary, nearest) << text;
        return true;
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::Overflow) << text;
        return false;
    }
}

} // namespace

TEST(BinaryColumn, TakesANumberExactlyWhenItsDoubleGivesItBack)
{
    std::mt19937_64 random(20261211);
    int taken = 0, refused = 0;
    for (int round = 0; round < 4000; ++round) {
        const int count = 1 + int(random() % 17);
        std::string text = random() % 2 ? "-" : "";
        std::string digits;
        for (int k = 0; k < count; ++k)
            digits += char('0' + (k == 0 || k == count - 1 ? 1 + random() % 9 : random() % 10));
        // Around the decimal point, and far out, near the largest and smallest doubles.
        static const int exponents[] = {0,  2,   -2,  5,    -9,  15,   16,
                                        20, -20, 290, -290, 305, -306, -318};
        const int exponent = exponents[random() % std::size(exponents)];
        text += "0." + digits + "e" + std::to_string(exponent);
        for (const int printed : {6, 14, 15, 16, 17}) {
            const bool expected = comesBack(text, printed);
            EXPECT_EQ(columnTakes(text, printed), expected) << text << " in " << printed;
            (expected ? taken : refused) += 1;
        }
    }
    // Both ways are met often.
    EXPECT_GT(taken, 4000);
    EXPECT_GT(refused, 4000);
}
