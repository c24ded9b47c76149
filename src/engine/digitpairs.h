#pragma once

#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quendra {

// Eight characters as four pairs of digits, each pair's value (the first digit times ten
// plus the second); false when a character is no digit from '0' to '9'. The portable form
// is what machines without SSE2 run; where SSE2 is there, the vector form must agree with it.
inline bool digitPairsPortable(const char16_t* c, std::int32_t (&pairs)[4])
{
    for (int k = 0; k < 4; ++k) {
        const unsigned high = unsigned(c[2 * k]) - u'0', low = unsigned(c[2 * k + 1]) - u'0';
        if (high > 9 || low > 9)
            return false;
        pairs[k] = std::int32_t(high * 10 + low);
    }
    return true;
}

inline bool digitPairs(const char16_t* c, std::int32_t (&pairs)[4])
{
#if defined(__SSE2__)
    const __m128i digits = _mm_sub_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c)),
                                         _mm_set1_epi16(short(u'0')));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(digits, _mm_set1_epi16(9)),
                                          _mm_setzero_si128())) != 0xFFFF)
        return false;
    alignas(16) std::int32_t sums[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(sums),
                    _mm_madd_epi16(digits, _mm_set1_epi32(0x0001000A)));
    for (int k = 0; k < 4; ++k)
        pairs[k] = sums[k];
    return true;
#else
    return digitPairsPortable(c, pairs);
#endif
}

} // namespace quendra
