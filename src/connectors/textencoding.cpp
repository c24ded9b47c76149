#include "connectors/textencoding.h"

#include "connectors/codepage.h"

#include <QChar>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quendra {

TextEncoding textEncoding(QStringView word)
{
    if (word == u"ASCII")
        return TextEncoding::Oem;
    if (word == u"UTF-8")
        return TextEncoding::Utf8;
    if (word == u"UTF-8 BOM")
        return TextEncoding::Utf8Bom;
    return TextEncoding::Ansi;
}

QStringList targetEncodingWords()
{
    return {QStringLiteral("ASCII"), QStringLiteral("ANSI"), QStringLiteral("UTF-8"),
            QStringLiteral("UTF-8 BOM")};
}

QStringList sourceEncodingWords()
{
    return {QStringLiteral("ANSI"), QStringLiteral("ASCII"), QStringLiteral("UTF-8")};
}

std::size_t utf8SequenceLength(const unsigned char* p, std::size_t n)
{
    const unsigned lead = p[0];
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;   // no overlong form
        high = lead == 0xED ? 0x9F : high; // no surrogate
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;   // no overlong form
        high = lead == 0xF4 ? 0x8F : high; // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (n < length || p[1] < low || p[1] > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

namespace {
// Whether the sixteen bytes at p are all ASCII.
bool asciiBlock(const unsigned char* p)
{
#if defined(__SSE2__)
    return _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))) == 0;
#else
    std::uint64_t a, b;
    std::memcpy(&a, p, 8);
    std::memcpy(&b, p + 8, 8);
    return ((a | b) & 0x8080808080808080ull) == 0;
#endif
}
} // namespace

std::ptrdiff_t fromUtf8(const char* in, std::size_t n, char16_t* out, std::size_t* bad)
{
    const auto* p = reinterpret_cast<const unsigned char*>(in);
    std::size_t i = 0, k = 0;
    while (i < n) {
        if (i + 16 <= n && asciiBlock(p + i)) {
            for (std::size_t j = 0; j < 16; ++j)
                out[k + j] = p[i + j];
            i += 16;
            k += 16;
            continue;
        }
        const unsigned lead = p[i];
        if (lead < 0x80) {
            out[k++] = char16_t(lead);
            ++i;
            continue;
        }
        const std::size_t length = utf8SequenceLength(p + i, n - i);
        if (length == 0) {
            *bad = i;
            return -1;
        }
        char32_t code = lead & (0x7F >> length);
        for (std::size_t j = 1; j < length; ++j)
            code = (code << 6) | (p[i + j] & 0x3F);
        if (code > 0xFFFF) {
            out[k++] = QChar::highSurrogate(code);
            out[k++] = QChar::lowSurrogate(code);
        } else {
            out[k++] = char16_t(code);
        }
        i += length;
    }
    return std::ptrdiff_t(k);
}

std::size_t toUtf8(QStringView text, char* out)
{
    const char16_t* in = text.utf16();
    const auto n = std::size_t(text.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i) {
        char32_t c = in[i];
        if (c < 0x80) {
            out[k++] = char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
            c = QChar::surrogateToUcs4(char16_t(c), in[++i]);
            out[k++] = char(0xF0 | (c >> 18));
            out[k++] = char(0x80 | ((c >> 12) & 0x3F));
        } else {
            if (QChar::isSurrogate(c))
                c = 0xFFFD;
            if (c < 0x800) {
                out[k++] = char(0xC0 | (c >> 6));
                out[k++] = char(0x80 | (c & 0x3F));
                continue;
            }
            out[k++] = char(0xE0 | (c >> 12));
        }
        out[k++] = char(0x80 | ((c >> 6) & 0x3F));
        out[k++] = char(0x80 | (c & 0x3F));
    }
    return k;
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    if (isUtf8(encoding))
        return QString::fromUtf8(bytes);
    return CodePages::instance().text(bytes, encoding == TextEncoding::Oem);
}

std::size_t Utf8Evidence::feed(const char* bytes, std::size_t n, long long offset, bool last)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    std::size_t i = 0;
    while (i < n && !m_refuted) {
        if (i + 16 <= n && asciiBlock(p + i)) {
            i += 16;
            continue;
        }
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        if (!last && n - i < 4)
            return i; // the sequence may go on in the next block
        const std::size_t length = utf8SequenceLength(p + i, n - i);
        if (length == 0) {
            m_refuted = true;
            break;
        }
        if (m_first < 0)
            m_first = offset + (long long)i;
        i += length;
    }
    return n;
}

} // namespace quendra
