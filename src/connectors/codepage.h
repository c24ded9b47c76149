#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QString>
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

// The byte tables of the two code pages that text files use: Windows-1252 ("ANSI") and
// code page 850 ("OEM", the files of encoding "ASCII").
// Built once, on first use, from fixed tables; read-only afterwards.
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
    // Byte of a code page 850 file to UTF-16.
    std::array<char16_t, 256> oemToUnicode{};

    static const CodePages& instance();

    std::uint8_t encode(char16_t c) const { return c < 0x80 ? std::uint8_t(c) : unicodeToAnsi[c]; }
    // Whether a text file in Windows-1252 (oem false) or code page 850 (oem true) holds
    // the character c; one it cannot hold is written as "?". Half of a surrogate pair
    // (a character beyond 16 bits) is never held.
    bool holds(char16_t c, bool oem) const
    {
        if (c == u'?')
            return true;
        const std::uint8_t b = encode(c);
        return b != '?' && (!oem || ansiToOem[b] != '?');
    }
    char16_t decode(std::uint8_t b) const { return ansiToUnicode[b]; }
    // Bytes of a Windows-1252 (oem false) or code page 850 (oem true) file as text.
    QString text(QByteArrayView bytes, bool oem) const;

    // What encoding a text noticed on the way: whether it holds the unit mark (a
    // delimiter or qualifier that a value must not hold), and whether a character the
    // code page lacks was written as "?".
    struct EncodeNotes {
        bool held = false;
        bool missing = false;
    };
    // Writes text as Windows-1252 bytes to out, which has room for text.size() bytes, and
    // returns the number written: one byte per character, also one "?" for a surrogate
    // pair. Runs of ASCII and Latin-1 letters move several characters at a time.
    Q_ALWAYS_INLINE std::size_t toAnsi(QStringView text, char* out) const
    {
        EncodeNotes unused;
        return encode<false>(text, out, 0, unused);
    }
    // The same, and notes (adding to what notes holds) what the characters showed as
    // they were moved.
    Q_ALWAYS_INLINE std::size_t toAnsi(QStringView text, char* out, char16_t mark,
                                       EncodeNotes& notes) const
    {
        return encode<true>(text, out, mark, notes);
    }
    // The same for a value in its own buffer. A short value of such letters moves in one
    // step of ShortMove characters when its buffer holds that many (the characters behind
    // its end are read, but not used); out needs ShortMove bytes of room beyond the value.
    static constexpr std::size_t ShortMove = 8;
    Q_ALWAYS_INLINE std::size_t toAnsiShort(const QString& text, char* out,
                                            EncodeNotes& notes) const
    {
        return encodeShort<false>(text, out, 0, notes);
    }
    Q_ALWAYS_INLINE std::size_t toAnsiShort(const QString& text, char* out, char16_t mark,
                                            EncodeNotes& notes) const
    {
        return encodeShort<true>(text, out, mark, notes);
    }
    // Writes n Windows-1252 bytes as UTF-16 to out (room for n units).
    void fromAnsi(const char* in, std::size_t n, char16_t* out) const;

private:
    // toAnsi and toAnsiShort; Look: whether to look for mark as well.
    template <bool Look>
    Q_ALWAYS_INLINE std::size_t encode(QStringView text, char* out, char16_t mark,
                                       EncodeNotes& notes) const;
    template <bool Look>
    Q_ALWAYS_INLINE std::size_t encodeShort(const QString& text, char* out, char16_t mark,
                                            EncodeNotes& notes) const;
};

#if defined(__SSE2__)
// Two mask bits for each of the eight units in v that Windows-1252 writes as the byte of
// the same value: ASCII and Latin-1 (0xA0..0xFF), not the C1 controls 0x80..0x9F.
Q_ALWAYS_INLINE unsigned sameByteUnits(__m128i v)
{
    const __m128i oneByte =
        _mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(short(0xFF00))), _mm_setzero_si128());
    const __m128i c1 =
        _mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(short(0xFFE0))), _mm_set1_epi16(0x80));
    return unsigned(_mm_movemask_epi8(_mm_andnot_si128(c1, oneByte)));
}
#endif

template <bool Look>
std::size_t CodePages::encode(QStringView text, char* out, char16_t mark, EncodeNotes& notes) const
{
    bool& held = notes.held;
    // Four UTF-16 units in a 64-bit word; ASCII has no bit above 0x7F.
    constexpr std::uint64_t NonAscii = 0xFF80FF80FF80FF80ull;
    constexpr std::uint64_t LowUnits = 0x0001000100010001ull;
    constexpr bool LittleEndian = std::endian::native == std::endian::little;
    const char16_t* in = text.utf16();
    const auto n = std::size_t(text.size());
    std::size_t i = 0;
#if defined(__SSE2__)
    // Eight units at a time while each is written as the byte of its value; while every
    // unit so far was, byte i is unit i, so the last block may overlap the one before it
    // and end the text without a loop.
    const __m128i marks = _mm_set1_epi16(short(mark));
    const auto block = [&](std::size_t at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at));
        if (sameByteUnits(v) != 0xFFFF)
            return false;
        if constexpr (Look)
            held |= _mm_movemask_epi8(_mm_cmpeq_epi16(v, marks)) != 0;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + at), _mm_packus_epi16(v, v));
        return true;
    };
    if (n >= 8) {
        while (i + 8 <= n && block(i))
            i += 8;
        if (i == n || (i + 8 > n && block(n - 8)))
            return n;
    }
#endif
    for (; LittleEndian && i + 4 <= n; i += 4) {
        std::uint64_t units;
        std::memcpy(&units, in + i, sizeof units);
        if (units & NonAscii)
            break;
        if constexpr (Look) {
            // A unit equal to mark becomes 0, and only a 0 unit borrows into its top bit.
            const std::uint64_t x = units ^ (LowUnits * mark);
            held |= ((x - LowUnits) & ~x & (LowUnits << 15)) != 0;
        }
        // The low bytes of the four units side by side.
        units = (units | (units >> 8)) & 0x0000FFFF0000FFFFull;
        const auto bytes = std::uint32_t(units | (units >> 16));
        std::memcpy(out + i, &bytes, sizeof bytes);
    }
    if (LittleEndian && i + 2 <= n) {
        std::uint32_t two;
        std::memcpy(&two, in + i, sizeof two);
        if (!(two & std::uint32_t(NonAscii))) {
            if constexpr (Look)
                held |= char16_t(two) == mark || char16_t(two >> 16) == mark;
            out[i] = char(two);
            out[i + 1] = char(two >> 16);
            i += 2;
        }
    }
    std::size_t k = i;
    while (i < n) {
        const char16_t c = in[i++];
        if constexpr (Look)
            held |= c == mark;
        if (c < 0x80) {
            out[k++] = char(c);
        } else if (QChar::isHighSurrogate(c) && i < n && QChar::isLowSurrogate(in[i])) {
            out[k++] = '?'; // one character, one "?"
            notes.missing = true;
            if constexpr (Look)
                held |= in[i] == mark;
            ++i;
        } else {
            // Only here can a character become "?": the moves above take letters the
            // code page holds as the byte of their value.
            const std::uint8_t b = unicodeToAnsi[c];
            out[k++] = char(b);
            notes.missing |= b == '?';
        }
    }
    return k;
}

template <bool Look>
std::size_t CodePages::encodeShort(const QString& text, char* out, char16_t mark,
                                   EncodeNotes& notes) const
{
#if defined(__SSE2__)
    const auto& d = text.data_ptr();
    const qsizetype n = text.size();
    if (n <= qsizetype(ShortMove) && d.data() &&
        d.constAllocatedCapacity() - d.freeSpaceAtBegin() >= qsizetype(ShortMove)) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d.data()));
        const unsigned used = (1u << (2 * n)) - 1; // two mask bits per character
        if ((sameByteUnits(v) & used) == used) {
            if constexpr (Look) {
                const __m128i marks = _mm_set1_epi16(short(mark));
                notes.held |= (unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(v, marks))) & used) != 0;
            }
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(v, v));
            return std::size_t(n);
        }
    }
#endif
    return encode<Look>(text, out, mark, notes);
}

} // namespace quendra
