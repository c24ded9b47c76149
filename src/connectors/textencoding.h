#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstddef>

namespace quendra {

// The character encoding of a text file, by the word a head stores for it.
enum class TextEncoding {
    Ansi,    // Windows-1252: "ANSI", and every word not named below
    Oem,     // code page 850: "ASCII"
    Utf8,    // "UTF-8", without a byte order mark
    Utf8Bom, // "UTF-8 BOM": a new file begins with the mark
};

// Words are compared exactly, letter case included.
TextEncoding textEncoding(QStringView word);
inline bool isUtf8(TextEncoding e)
{
    return e == TextEncoding::Utf8 || e == TextEncoding::Utf8Bom;
}
// The words the main window offers for a target's and for a source's encoding.
QStringList targetEncodingWords();
QStringList sourceEncodingWords();
// What a source is read as when nothing was chosen.
inline QString defaultSourceEncoding()
{
    return QStringLiteral("ANSI");
}

inline constexpr char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";

// Length of the well-formed UTF-8 sequence of two to four bytes at p, of which n bytes
// are there; 0 when p[0] begins none (an ASCII byte, a stray continuation byte, an
// overlong form, a surrogate, a code beyond U+10FFFF, or a sequence cut short).
std::size_t utf8SequenceLength(const unsigned char* p, std::size_t n);

// Decodes n bytes of UTF-8 to out, which has room for n units, and returns the units
// written; at a byte that is no part of well-formed UTF-8 it returns -1 and puts the
// byte's position (from 0) into *bad.
std::ptrdiff_t fromUtf8(const char* in, std::size_t n, char16_t* out, std::size_t* bad);

// Writes text as UTF-8 to out, which has room for 3 * text.size() bytes, and returns the
// bytes written. Half of a surrogate pair, which is no character, becomes U+FFFD.
std::size_t toUtf8(QStringView text, char* out);

// The text of bytes in the encoding (a byte that is no UTF-8 becomes U+FFFD).
QString decodeText(QByteArrayView bytes, TextEncoding encoding);

// Looks through a file block by block for the sign of UTF-8 read as a single-byte code
// page: bytes above 0x7F that all form well-formed UTF-8 sequences. One byte above 0x7F
// outside such a sequence settles that the file is no UTF-8, so the look can end there.
class Utf8Evidence {
public:
    // Looks at the n bytes at p, found at offset in the file, and returns how many it
    // took: fewer than n only when a sequence may go on beyond them and last is false;
    // hand those in again at the front of the next block.
    std::size_t feed(const char* p, std::size_t n, long long offset, bool last);
    bool refuted() const { return m_refuted; }
    // Every byte above 0x7F so far belongs to a sequence, and there is one.
    bool found() const { return m_first >= 0 && !m_refuted; }
    long long firstSequence() const { return m_first; } // offset in the file, -1 for none

private:
    long long m_first = -1;
    bool m_refuted = false;
};

} // namespace quendra
