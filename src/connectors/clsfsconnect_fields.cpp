// Decoding a text file's line and splitting it into fields at the delimiter.

#include "connectors/clsfsconnect_impl.h"

#include "common/error.h"
#include "common/valuebuffer.h"

#include <algorithm>
#include <bit>
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

// The delimiter as the file's bytes: in UTF-8, or in the code page a line is read in
// (written lines are built in Windows-1252 and turned into code page 850 as a whole).
void clsFSConnect::Impl::setDelimiter(const QString& text)
{
    delimiter = text;
    writesPlanned = false;
    const TextEncoding as = mode == WriteMode ? kind : readAs;
    if (isUtf8(as)) {
        delimiterBytes = text.toUtf8();
        delimiterInFile = true;
        return;
    }
    const auto& table = as == TextEncoding::Oem ? cp.oemToUnicode : cp.ansiToUnicode;
    delimiterBytes.resize(text.size());
    delimiterInFile = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const auto* at = std::find(table.begin(), table.end(), c);
        delimiterBytes[i] = char(at - table.begin());
        delimiterInFile = delimiterInFile && at != table.end();
    }
}

// Decodes the reader's current line into the line buffer and splits it.
void clsFSConnect::Impl::useCurrentLine()
{
    std::string_view raw = reader.line();
    if (byteOrderMark && lineCount == 1)
        raw.remove_prefix(std::min<std::size_t>(raw.size(), 3));
    fieldsReady = false;
    auto* text = reinterpret_cast<char16_t*>(setLength(line, qsizetype(raw.size())));
    if (readAs == TextEncoding::Ansi) {
        cp.fromAnsi(raw.data(), raw.size(), text);
    } else if (readAs == TextEncoding::Oem) {
        for (std::size_t i = 0; i < raw.size(); ++i)
            text[i] = cp.oemToUnicode[std::uint8_t(raw[i])];
    } else {
        std::size_t bad = 0;
        const std::ptrdiff_t units = fromUtf8(raw.data(), raw.size(), text, &bad);
        if (units < 0)
            refuseInvalidUtf8(bad);
        if (std::size_t(units) != raw.size()) { // characters of more than one byte
            line.truncate(units);
            prepareFieldsOfText();
            return;
        }
    }
    prepareFields(raw);
}

// Splits the decoded line where its characters are not one byte each.
void clsFSConnect::Impl::prepareFieldsOfText()
{
    if (delimiter.isEmpty())
        return prepareFields({});
    const QStringView text(line);
    std::size_t count = 0;
    qsizetype start = 0;
    const auto field = [&](qsizetype end) {
        if (count == fields.size())
            fields.resize(2 * fields.size() + 16);
        fields[count++] = text.mid(start, end - start);
    };
    for (qsizetype hit; (hit = text.indexOf(delimiter, start)) >= 0; start = hit + delimiter.size())
        field(hit);
    field(text.size());
    fieldTotal = count;
    fieldsReady = true;
}

// Splits on the raw bytes: decoding maps each byte to one character, so the positions
// are those of the decoded line. A delimiter that no byte sequence can hold never
// matches, and the whole line is one field.
void clsFSConnect::Impl::prepareFields(std::string_view raw)
{
    trapped("clsFSConnect.prepareFields", [&] {
        if (delimiter.isEmpty())
            throw Error(errnum::InvalidProcedureCall, {},
                        QStringLiteral("Für die Quelldatei %1 ist kein Trennzeichen angegeben: "
                                       "ohne Trennzeichen lassen sich die Felder einer Zeile "
                                       "nicht trennen.")
                            .arg(fileName));
        // The entries are reused line by line and grow only for a line with more fields.
        // They are counted and stored through locals, which stay in registers.
        const QChar* text = line.constData();
        QStringView* entries = fields.data();
        std::size_t count = 0, room = fields.size();
        const auto field = [&](std::size_t start, std::size_t end) {
            if (count == room) {
                fields.resize(2 * room + 16);
                entries = fields.data();
                room = fields.size();
            }
            entries[count++] = QStringView(text + start, qsizetype(end - start));
        };
        const std::string_view delim(delimiterBytes.constData(),
                                     std::size_t(delimiterBytes.size()));
        std::size_t start = 0;
        if (delimiterInFile && delim.size() == 1) {
            // Fields are short: a block of bytes at a time beats a library search per field.
            const char d = delim[0];
            std::size_t i = 0;
#if defined(__SSE2__)
            const __m128i wanted = _mm_set1_epi8(d);
            const auto block = [&](std::size_t at) {
                const __m128i v =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(raw.data() + at));
                return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, wanted)));
            };
            const auto take = [&](std::size_t at, unsigned hits) { // hits: bit k for byte at + k
                for (; hits != 0; hits &= hits - 1) {
                    const std::size_t end = at + std::size_t(std::countr_zero(hits));
                    field(start, end);
                    start = end + 1;
                }
            };
            for (; i + 16 <= raw.size(); i += 16)
                take(i, block(i));
            if (i < raw.size() && raw.size() >= 16) {
                // The rest: the line's last 16 bytes, without those already searched.
                const std::size_t last = raw.size() - 16;
                take(last, block(last) & (~0u << (i - last)));
                i = raw.size();
            }
#endif
            for (; LittleEndian && i + 8 <= raw.size(); i += 8) {
                for (std::uint64_t hits = bytesEqual(raw.data() + i, d); hits != 0;
                     hits &= hits - 1) {
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
            while (delimiterInFile) {
                const std::size_t hit = raw.find(delim, start);
                if (hit == std::string_view::npos)
                    break;
                field(start, hit);
                start = hit + delim.size();
            }
        }
        field(start, raw.size());
        fieldTotal = count;
        fieldsReady = true;
    });
}

} // namespace quendra
