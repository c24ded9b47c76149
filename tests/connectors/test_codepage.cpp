// The block moves of the code page routines agree with the character-by-character
// tables for every length and every place of a character outside ASCII.
#include "connectors/codepage.h"
#include "connectors/textencoding.h"

#include <QString>
#include <QStringDecoder>
#include <clocale>
#include <gtest/gtest.h>
#include <iconv.h>
#include <string>
#include <vector>

using namespace quendra;

namespace {

const CodePages& cp = CodePages::instance();

// One byte per character, one "?" per surrogate pair.
QByteArray reference(QStringView text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += '?';
            ++i;
        } else {
            out += char(cp.encode(c));
        }
    }
    return out;
}

// Texts of every length up to 40, each with one special character (or none) at every place.
std::vector<QString> samples()
{
    // "ä", around the C1 controls (which 1252 writes as "?" or, undefined there, as the byte
    // of the same value), "€", "中", a pair of surrogates, a lone high surrogate, and a
    // "?" that is one.
    const QString specials[] = {
        QString(),     QChar(0xE4),         QChar(0x7F),   QChar(0x80),        QChar(0x81),
        QChar(0x9F),   QChar(0xA0),         QChar(0xFF),   QChar(0x100),       QChar(0x20AC),
        QChar(0x4E2D), QStringLiteral("😀"), QChar(0xD800), QStringLiteral("?")};
    std::vector<QString> out;
    for (int length = 0; length <= 40; ++length) {
        QString ascii;
        for (int k = 0; k < length; ++k)
            ascii += QLatin1Char(char('a' + k % 26));
        for (const QString& special : specials) {
            for (int at = 0; at <= length; ++at) {
                out.push_back(ascii.left(at) + special + ascii.mid(at));
                if (special.isEmpty())
                    break;
            }
        }
    }
    return out;
}

TEST(CodePage, EncodesLikeTheTable)
{
    for (const QString& text : samples()) {
        const QByteArray expected = reference(text);
        QByteArray out(text.size() + CodePages::ShortMove, '\0');
        ASSERT_EQ(cp.toAnsi(text, out.data()), std::size_t(expected.size()));
        EXPECT_EQ(out.left(expected.size()), expected) << text.toStdString();

        // The same value in a buffer with room behind it, and in one without any.
        QString roomy = text;
        roomy.reserve(64);
        out.fill('\0');
        CodePages::EncodeNotes notes;
        ASSERT_EQ(cp.toAnsiShort(roomy, out.data(), notes), std::size_t(expected.size()));
        EXPECT_EQ(out.left(expected.size()), expected) << text.toStdString();
        const QString raw = QString::fromRawData(text.constData(), text.size());
        out.fill('\0');
        ASSERT_EQ(cp.toAnsiShort(raw, out.data(), notes), std::size_t(expected.size()));
        EXPECT_EQ(out.left(expected.size()), expected) << text.toStdString();
    }
}

// A mark looked for while encoding is found wherever it stands: in a block, in the rest
// after one, in a short value, in either half of a surrogate pair; a character written as
// "?" is noticed wherever it stands, a "?" of the text is not; the bytes stay the same.
TEST(CodePage, FindsAMarkWhileEncoding)
{
    const char16_t marks[] = {u'a', u'z', u';', 0x7F, 0xE4, 0x20AC, 0xD83D, 0xDE00};
    for (const QString& text : samples()) {
        const QByteArray expected = reference(text);
        QString roomy = text;
        roomy.reserve(64);
        const QString raw = QString::fromRawData(text.constData(), text.size());
        for (const char16_t mark : marks) {
            const bool holds = text.contains(QChar(mark));
            const bool lacks = expected.count('?') != text.count(QLatin1Char('?'));
            const auto encodes = [&](auto encode) {
                QByteArray out(text.size() + CodePages::ShortMove, '\0');
                CodePages::EncodeNotes notes;
                EXPECT_EQ(encode(out.data(), notes), std::size_t(expected.size()));
                EXPECT_EQ(out.left(expected.size()), expected) << text.toStdString();
                EXPECT_EQ(notes.held, holds) << text.toStdString() << " " << int(mark);
                EXPECT_EQ(notes.missing, lacks) << text.toStdString();
            };
            using Notes = CodePages::EncodeNotes;
            encodes([&](char* out, Notes& notes) { return cp.toAnsi(text, out, mark, notes); });
            encodes([&](char* out, Notes& n) { return cp.toAnsiShort(roomy, out, mark, n); });
            encodes([&](char* out, Notes& n) { return cp.toAnsiShort(raw, out, mark, n); });
        }
    }
}

TEST(CodePage, DecodesLikeTheTable)
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes += char(b);
    bytes += QByteArray(40, 'x');
    // Windows of every length and start, so that each byte sits in every block position.
    // Nothing is written beyond the text.
    for (qsizetype start = 0; start < bytes.size(); start += 7) {
        for (qsizetype length = 0; length <= 64; ++length) {
            const QByteArray part = bytes.mid(start, length);
            std::vector<char16_t> out(std::size_t(part.size()) + 1, u'#');
            cp.fromAnsi(part.constData(), std::size_t(part.size()), out.data());
            for (qsizetype k = 0; k < part.size(); ++k)
                ASSERT_EQ(out[std::size_t(k)], cp.decode(std::uint8_t(part[k])))
                    << start << '/' << length << '/' << k;
            ASSERT_EQ(out.back(), u'#') << start << '/' << length;
        }
    }
}

// UTF-8 as Qt reads and writes it: every text of the samples both ways (the lone surrogate,
// no character, as U+FFFD), and sequences around every edge of the well-formed ranges,
// which Qt refuses where the decoder must.
TEST(CodePage, UtfEightAgreesWithQt)
{
    for (const QString& text : samples()) {
        QByteArray bytes(3 * text.size(), '\0');
        bytes.truncate(qsizetype(toUtf8(text, bytes.data())));
        EXPECT_EQ(bytes, QString(text).replace(QChar(0xD800), QChar(0xFFFD)).toUtf8())
            << text.toStdString();
        std::vector<char16_t> out(std::size_t(bytes.size()) + 1, u'#');
        std::size_t bad = 0;
        const std::ptrdiff_t n =
            fromUtf8(bytes.constData(), std::size_t(bytes.size()), out.data(), &bad);
        ASSERT_GE(n, 0) << text.toStdString();
        EXPECT_EQ(QStringView(out.data(), n), QString::fromUtf8(bytes)) << text.toStdString();
    }
    const int edges[] = {0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF};
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int second : edges) {
            for (int rest : {0x80, 0xBF, 0x41}) {
                const QByteArray bytes = QByteArray("a") + char(lead) + char(second) + char(rest) +
                                         char(rest) + QByteArray(16, 'z');
                QStringDecoder qt(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
                const QString expected = qt.decode(bytes);
                std::vector<char16_t> out(std::size_t(bytes.size()));
                std::size_t bad = 0;
                const std::ptrdiff_t n =
                    fromUtf8(bytes.constData(), std::size_t(bytes.size()), out.data(), &bad);
                ASSERT_EQ(n < 0, qt.hasError()) << lead << ' ' << second << ' ' << rest;
                if (n >= 0) {
                    EXPECT_EQ(QStringView(out.data(), n), expected) << lead << ' ' << second;
                }
            }
        }
    }
}

// The tables hold what the system's iconv says for every byte in a UTF-8 locale: Windows-1252 to
// UTF-16 (the five bytes it refuses as the control characters of the same value) and, for the files
// written as "ASCII", to code page 850 with one-character transliteration.
struct IconvTable {
    const char* name;
    const char* from;
    const char* to;
    int firstByte;
    std::uint32_t (*tableValue)(std::uint8_t);
    // What the table holds for a byte that iconv wrote out[0..written) for (0: refused).
    std::uint32_t (*fromOutput)(const unsigned char* out, std::size_t written, int byte);
};

const IconvTable iconvTables[] = {
    {"AnsiToUnicode", "WINDOWS-1252", "UTF-16LE", 0,
     [](std::uint8_t b) -> std::uint32_t { return cp.decode(b); },
     [](const unsigned char* out, std::size_t n, int byte) {
         return n == 2 ? std::uint32_t(out[0] | (out[1] << 8)) : std::uint32_t(byte);
     }},
    {"OemToUnicode", "CP850", "UTF-16LE", 0,
     [](std::uint8_t b) -> std::uint32_t { return cp.oemToUnicode[b]; },
     [](const unsigned char* out, std::size_t, int) {
         return std::uint32_t(out[0] | (out[1] << 8));
     }},
    {"AnsiToOem", "WINDOWS-1252", "CP850//TRANSLIT", 0x80,
     [](std::uint8_t b) -> std::uint32_t { return cp.ansiToOem[b]; },
     [](const unsigned char* out, std::size_t n, int) {
         return n == 1 ? std::uint32_t(out[0]) : std::uint32_t('?');
     }},
};

TEST(CodePage, TablesAgreeWithIconv)
{
    // Transliteration follows the character classes of the locale.
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    struct Restore {
        std::string locale;
        ~Restore() { std::setlocale(LC_CTYPE, locale.c_str()); }
    } restore{previous};
    for (const IconvTable& t : iconvTables) {
        iconv_t cd = iconv_open(t.to, t.from);
        ASSERT_NE(cd, iconv_t(-1)) << t.name;
        for (int b = t.firstByte; b < 256; ++b) {
            char in = char(b);
            char* inPtr = &in;
            std::size_t inLeft = 1;
            unsigned char out[8];
            char* outPtr = reinterpret_cast<char*>(out);
            std::size_t outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != std::size_t(-1);
            const std::uint32_t expected = t.fromOutput(out, ok ? sizeof out - outLeft : 0, b);
            EXPECT_EQ(t.tableValue(std::uint8_t(b)), expected) << t.name << " byte " << b;
        }
        iconv_close(cd);
    }
    // Bytes below 0x80 stay as they are in code page 850; every 1252 character encodes back.
    for (int b = 0; b < 0x80; ++b)
        EXPECT_EQ(cp.ansiToOem[std::size_t(b)], b);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(cp.encode(cp.decode(std::uint8_t(b))), b) << b;
}

} // namespace
