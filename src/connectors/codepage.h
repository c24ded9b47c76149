#pragma once

#include <QChar>
#include <QStringView>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quendra {

// The byte tables of the two code pages that text files use: Windows-1252 ("ANSI") for
// reading and writing, code page 850 ("OEM") for files written with encoding "ASCII".
// Built once, on first use, from the system's iconv; read-only afterwards.
struct CodePages {
    // Byte of a Windows-1252 file to UTF-16. The five bytes that 1252 leaves undefined
    // (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode to the control characters of the same value,
    // so that every byte survives a read and write unchanged.
    std::array<char16_t, 256> ansiToUnicode{};
    // UTF-16 code unit to its Windows-1252 byte; '?' where 1252 has no such character.
    std::array<std::uint8_t, 65536> unicodeToAnsi{};
    // Windows-1252 byte to its code page 850 byte, character by character; '?' where 850
    // has neither the character nor a one-character transliteration.
    std::array<std::uint8_t, 256> ansiToOem{};

    static const CodePages& instance();

    std::uint8_t encode(char16_t c) const { return c < 0x80 ? std::uint8_t(c) : unicodeToAnsi[c]; }
    char16_t decode(std::uint8_t b) const { return ansiToUnicode[b]; }

    // Writes text as Windows-1252 bytes to out, which has room for text.size() bytes, and
    // returns the number written: one byte per character, also one "?" for a surrogate
    // pair. Runs of ASCII move several characters at a time.
    Q_ALWAYS_INLINE std::size_t toAnsi(QStringView text, char* out) const;
    // Writes n Windows-1252 bytes as UTF-16 to out (room for n units).
    void fromAnsi(const char* in, std::size_t n, char16_t* out) const;
};

Q_ALWAYS_INLINE std::size_t CodePages::toAnsi(QStringView text, char* out) const
{
    // Four UTF-16 units in a 64-bit word; ASCII has no bit above 0x7F.
    constexpr std::uint64_t NonAscii = 0xFF80FF80FF80FF80ull;
    constexpr bool LittleEndian = std::endian::native == std::endian::little;
    const char16_t* in = text.utf16();
    const auto n = std::size_t(text.size());
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i high = _mm_and_si128(v, _mm_set1_epi16(short(NonAscii & 0xFFFF)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) != 0xFFFF)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(v, v));
    }
#endif
    for (; LittleEndian && i + 4 <= n; i += 4) {
        std::uint64_t units;
        std::memcpy(&units, in + i, sizeof units);
        if (units & NonAscii)
            break;
        // The low bytes of the four units side by side.
        units = (units | (units >> 8)) & 0x0000FFFF0000FFFFull;
        const auto bytes = std::uint32_t(units | (units >> 16));
        std::memcpy(out + i, &bytes, sizeof bytes);
    }
    if (LittleEndian && i + 2 <= n) {
        std::uint32_t two;
        std::memcpy(&two, in + i, sizeof two);
        if (!(two & std::uint32_t(NonAscii))) {
            out[i] = char(two);
            out[i + 1] = char(two >> 16);
            i += 2;
        }
    }
    std::size_t k = i;
    while (i < n) {
        const char16_t c = in[i++];
        if (c < 0x80) {
            out[k++] = char(c);
        } else if (QChar::isHighSurrogate(c) && i < n && QChar::isLowSurrogate(in[i])) {
            out[k++] = '?'; // one character, one "?"
            ++i;
        } else {
            out[k++] = char(unicodeToAnsi[c]);
        }
    }
    return k;
}

} // namespace quendra
