#include "common/valuebuffer.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace quendra
