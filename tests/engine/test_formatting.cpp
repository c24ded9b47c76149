#include "engine/digitpairs.h"

#include <gtest/gtest.h>

using namespace quendra;

namespace {

// Both forms of reading digit pairs agree, on digits and on a character next to the digits
// (and one 256 above a digit) at every place.
TEST(DigitPairs, VectorAndPortableFormsAgree)
{
    for (const char16_t* digits : {u"20240229", u"00000000", u"99999999", u"31129807"}) {
        for (int at = -1; at < 8; ++at) {
            for (const char16_t other : {u'/', u':', u'\u0130', u'\uFF10', u' '}) {
                std::u16string text(digits);
                if (at >= 0)
                    text[std::size_t(at)] = other;
                std::int32_t portable[4] = {}, vector[4] = {};
                ASSERT_EQ(digitPairsPortable(text.data(), portable), at < 0);
                ASSERT_EQ(digitPairs(text.data(), vector), at < 0);
                for (int k = 0; at < 0 && k < 4; ++k) {
                    EXPECT_EQ(portable[k], (digits[2 * k] - u'0') * 10 + digits[2 * k + 1] - u'0');
                    EXPECT_EQ(vector[k], portable[k]);
                }
            }
        }
    }
}

} // namespace
