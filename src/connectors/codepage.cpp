#include "connectors/codepage.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace quendra {

namespace {

// Converts the bytes in..in+inLen from one code page to another with iconv; returns
// the number of bytes written to out, or -1 when iconv refuses the input.
long convert(iconv_t cd, const char* in, size_t inLen, char* out, size_t outLen)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // reset the shift state
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out;
    size_t outLeft = outLen;
    if (iconv(cd, &inPtr, &inLen, &outPtr, &outLeft) == size_t(-1))
        return -1;
    return long(outLen - outLeft);
}

void buildAnsiToUnicode(CodePages& cp)
{
    iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1252");
    for (int b = 0; b < 256; ++b) {
        const char in = char(b);
        unsigned char out[8];
        cp.ansiToUnicode[b] = char16_t(b); // undefined bytes keep their own value
        if (cd != iconv_t(-1) && convert(cd, &in, 1, reinterpret_cast<char*>(out), 8) == 2)
            cp.ansiToUnicode[b] = char16_t(out[0] | (out[1] << 8));
    }
    if (cd != iconv_t(-1))
        iconv_close(cd);
}

void buildUnicodeToAnsi(CodePages& cp)
{
    cp.unicodeToAnsi.fill(std::uint8_t('?'));
    for (int b = 0; b < 256; ++b)
        cp.unicodeToAnsi[cp.ansiToUnicode[b]] = std::uint8_t(b);
}

void buildAnsiToOem(CodePages& cp)
{
    // Transliteration gives the best single character where 850 lacks one.
    iconv_t cd = iconv_open("CP850//TRANSLIT", "WINDOWS-1252");
    for (int b = 0; b < 256; ++b) {
        cp.ansiToOem[b] = b < 0x80 ? std::uint8_t(b) : std::uint8_t('?');
        if (b < 0x80 || cd == iconv_t(-1))
            continue;
        const char in = char(b);
        char out[8];
        if (convert(cd, &in, 1, out, sizeof out) == 1)
            cp.ansiToOem[b] = std::uint8_t(out[0]);
    }
    if (cd != iconv_t(-1))
        iconv_close(cd);
}

} // namespace

const CodePages& CodePages::instance()
{
    static const CodePages tables = [] {
        CodePages cp;
        buildAnsiToUnicode(cp);
        buildUnicodeToAnsi(cp);
        buildAnsiToOem(cp);
        return cp;
    }();
    return tables;
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
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        if (_mm_movemask_epi8(v) != 0) { // a byte above 0x7F: by the table
            for (std::size_t j = 0; j < 16; ++j)
                out[i + j] = ansiToUnicode[std::uint8_t(in[i + j])];
            continue;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_unpacklo_epi8(v, _mm_setzero_si128()));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8),
                         _mm_unpackhi_epi8(v, _mm_setzero_si128()));
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
