#include "connectors/fieldsplit.h"

#include "connectors/codepage.h"

#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quendra {

namespace {
constexpr bool LittleEndian = std::endian::native == std::endian::little;

// The high bit of every byte of the eight at p that equals c, nothing else (no carry
// crosses a byte, so no byte is marked by its neighbour).
std::uint64_t bytesEqual(const char* p, char c)
{
    constexpr std::uint64_t Low7 = 0x7F7F7F7F7F7F7F7Full;
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    x ^= 0x0101010101010101ull * std::uint8_t(c); // equal bytes become 0
    return ~(((x & Low7) + Low7) | x | Low7);
}
} // namespace

FieldSplit FieldSplit::of(const QString& delimiter, const CodePages& cp)
{
    FieldSplit s;
    s.bytes.resize(delimiter.size());
    s.inFile = true;
    for (qsizetype i = 0; i < delimiter.size(); ++i) {
        const char16_t c = delimiter[i].unicode();
        const std::uint8_t b = cp.encode(c);
        s.bytes[i] = char(b);
        s.inFile = s.inFile && cp.decode(b) == c;
    }
    s.first = s.bytes.isEmpty() ? char(0) : s.bytes[0];
    return s;
}

std::size_t FieldSplit::split(std::string_view raw, const QChar* text,
                              std::vector<QStringView>& fields, std::size_t count) const
{
    // The entries are reused line by line and grow only for a line with more fields.
    const auto field = [&](std::size_t start, std::size_t end) {
        if (count == fields.size())
            fields.resize(2 * fields.size() + 16);
        fields[count++] = QStringView(text + start, qsizetype(end - start));
    };
    std::size_t start = 0;
    if (inFile && bytes.size() == 1) {
        // Fields are short: a block of bytes at a time beats a library search per field.
        const char d = first;
        std::size_t i = 0;
#if defined(__SSE2__)
        const __m128i wanted = _mm_set1_epi8(d);
        for (; i + 16 <= raw.size(); i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(raw.data() + i));
            for (auto hits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, wanted))); hits != 0;
                 hits &= hits - 1) {
                const std::size_t at = i + std::size_t(std::countr_zero(hits));
                field(start, at);
                start = at + 1;
            }
        }
#endif
        for (; LittleEndian && i + 8 <= raw.size(); i += 8) {
            for (std::uint64_t hits = bytesEqual(raw.data() + i, d); hits != 0; hits &= hits - 1) {
                const std::size_t at = i + std::size_t(std::countr_zero(hits) / 8);
                field(start, at);
                start = at + 1;
            }
        }
        for (; i < raw.size(); ++i) {
            if (raw[i] == d) {
                field(start, i);
                start = i + 1;
            }
        }
    } else {
        const std::string_view delim(bytes.constData(), std::size_t(bytes.size()));
        while (inFile) {
            const std::size_t hit = raw.find(delim, start);
            if (hit == std::string_view::npos)
                break;
            field(start, hit);
            start = hit + delim.size();
        }
    }
    field(start, raw.size());
    return count;
}

} // namespace quendra
