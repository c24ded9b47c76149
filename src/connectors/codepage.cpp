#include "connectors/codepage.h"

#include <bit>
#include <cstring>

namespace quendra {

namespace {

// Windows-1252 bytes 0x80..0x9F in UTF-16; every other byte has the code of the same
// value (ASCII and Latin-1). The five bytes that 1252 leaves undefined keep their value.
constexpr char16_t AnsiC1ToUnicode[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

// Windows-1252 bytes 0x80..0xFF in code page 850, as iconv's "CP850//TRANSLIT" gives
// them in a UTF-8 locale: the character where 850 has it, else a one-character
// transliteration (Š as S, ‚ as ,), else '?'. Fixed here instead of asked from iconv at
// start, so that the output does not depend on the user's locale and a run loads no
// conversion modules.
constexpr std::uint8_t AnsiHighToOem[128] = {
    0x3F, 0x3F, 0x2C, 0x9F, 0x3F, 0x3F, 0x2B, 0x3F, 0x5E, 0x3F, 0x53, 0x3C, 0x3F, 0x3F, 0x5A, 0x3F,
    0x3F, 0x27, 0x27, 0x22, 0x22, 0x6F, 0x2D, 0x3F, 0x7E, 0x3F, 0x73, 0x3E, 0x3F, 0x3F, 0x7A, 0x59,
    0xFF, 0xAD, 0xBD, 0x9C, 0xCF, 0xBE, 0xDD, 0xF5, 0xF9, 0xB8, 0xA6, 0xAE, 0xAA, 0xF0, 0xA9, 0xEE,
    0xF8, 0xF1, 0xFD, 0xFC, 0xEF, 0xE6, 0xF4, 0xFA, 0xF7, 0xFB, 0xA7, 0xAF, 0xAC, 0xAB, 0xF3, 0xA8,
    0xB7, 0xB5, 0xB6, 0xC7, 0x8E, 0x8F, 0x92, 0x80, 0xD4, 0x90, 0xD2, 0xD3, 0xDE, 0xD6, 0xD7, 0xD8,
    0xD1, 0xA5, 0xE3, 0xE0, 0xE2, 0xE5, 0x99, 0x9E, 0x9D, 0xEB, 0xE9, 0xEA, 0x9A, 0xED, 0xE8, 0xE1,
    0x85, 0xA0, 0x83, 0xC6, 0x84, 0x86, 0x91, 0x87, 0x8A, 0x82, 0x88, 0x89, 0x8D, 0xA1, 0x8C, 0x8B,
    0xD0, 0xA4, 0x95, 0xA2, 0x93, 0xE4, 0x94, 0xF6, 0x9B, 0x97, 0xA3, 0x96, 0x81, 0xEC, 0xE7, 0x98,
};

} // namespace

const CodePages& CodePages::instance()
{
    static const CodePages tables = [] {
        CodePages cp;
        for (int b = 0; b < 256; ++b) {
            cp.ansiToUnicode[b] = b >= 0x80 && b < 0xA0 ? AnsiC1ToUnicode[b - 0x80] : char16_t(b);
            cp.ansiToOem[b] = b < 0x80 ? std::uint8_t(b) : AnsiHighToOem[b - 0x80];
        }
        cp.unicodeToAnsi.fill(std::uint8_t('?'));
        for (int b = 0; b < 256; ++b)
            cp.unicodeToAnsi[cp.ansiToUnicode[b]] = std::uint8_t(b);
        // Of several characters written as one byte the lowest wins: ASCII keeps its
        // letters against the transliterations (Š written as S).
        cp.oemToUnicode.fill(u'\uFFFD');
        for (int b = 255; b >= 0; --b)
            cp.oemToUnicode[cp.ansiToOem[b]] = cp.ansiToUnicode[b];
        return cp;
    }();
    return tables;
}

QString CodePages::text(QByteArrayView bytes, bool oem) const
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = (oem ? oemToUnicode : ansiToUnicode)[std::uint8_t(bytes[i])];
    return text;
}

namespace {
// Four bytes at a time in a word: ASCII has no bit above 0x7F.
constexpr std::uint32_t NonAsciiBytes = 0x80808080u;
constexpr bool LittleEndian = std::endian::native == std::endian::little;
} // namespace

void CodePages::fromAnsi(const char* in, std::size_t n, char16_t* out) const
{
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time; the last block of a text of 16 bytes or more overlaps the
    // one before it, so that lines of any length end without a loop over the rest.
    const auto block = [&](std::size_t at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at));
        // A byte of 0x80..0x9F (below -96 as a signed byte) by the table; every other
        // byte is the unit of the same value.
        if (_mm_movemask_epi8(_mm_cmplt_epi8(v, _mm_set1_epi8(char(0xA0)))) != 0) {
            for (std::size_t j = 0; j < 16; ++j)
                out[at + j] = ansiToUnicode[std::uint8_t(in[at + j])];
            return;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at),
                         _mm_unpacklo_epi8(v, _mm_setzero_si128()));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at + 8),
                         _mm_unpackhi_epi8(v, _mm_setzero_si128()));
    };
    if (n >= 16) {
        for (; i + 16 <= n; i += 16)
            block(i);
        if (i < n)
            block(n - 16);
        return;
    }
#endif
    for (; LittleEndian && i + 4 <= n; i += 4) {
        std::uint32_t bytes;
        std::memcpy(&bytes, in + i, sizeof bytes);
        if (bytes & NonAsciiBytes) {
            for (std::size_t j = 0; j < 4; ++j)
                out[i + j] = ansiToUnicode[std::uint8_t(in[i + j])];
            continue;
        }
        std::uint64_t units = bytes;
        units = (units | (units << 16)) & 0x0000FFFF0000FFFFull;
        units = (units | (units << 8)) & 0x00FF00FF00FF00FFull;
        std::memcpy(out + i, &units, sizeof units);
    }
    for (; i < n; ++i)
        out[i] = ansiToUnicode[std::uint8_t(in[i])];
}

} // namespace quendra
