#include "common/valuebuffer.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace quendra {
namespace {

TEST(ValueBuffer, EqualCharsSeesADifferenceAtEveryPlace)
{
    // Every length around the fixed-size compares, with one character changed at each
    // place in turn, also beyond the first and last word that a short compare loads.
    for (qsizetype n = 0; n <= 20; ++n) {
        QString a, b;
        for (qsizetype k = 0; k < n; ++k)
            a += QChar(char16_t(u'a' + k));
        b = a;
        EXPECT_TRUE(equalChars(a.constData(), b.constData(), n)) << n;
        for (qsizetype at = 0; at < n; ++at) {
            QString c = a;
            c[at] = QChar(char16_t(a[at].unicode() ^ 0x0100)); // the high byte only
            EXPECT_FALSE(equalChars(a.constData(), c.constData(), n)) << n << " " << at;
            EXPECT_FALSE(equalChars(c.constData(), a.constData(), n)) << n << " " << at;
        }
    }
}

TEST(ValueBuffer, DecimalDigitsCountsAtEveryPowerOfTen)
{
    // The bit length guesses one digit too few just below and at a power of ten.
    std::vector<std::uint64_t> numbers = {0, std::numeric_limits<std::uint64_t>::max()};
    for (std::uint64_t p : PowersOfTen) {
        numbers.insert(numbers.end(), {p - 1, p, p + 1, 2 * p - 1});
        for (int shift = 0; shift < 64; ++shift) // every bit length beside it
            numbers.push_back(p ^ (std::uint64_t(1) << shift));
    }
    for (std::uint64_t n : numbers)
        EXPECT_EQ(decimalDigits(n), int(std::to_string(n).size())) << n;
}

} // namespace
} // namespace quendra
