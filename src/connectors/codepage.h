#pragma once

#include <QChar>
#include <QStringView>
#include <array>
#include <cstddef>
#include <cstdint>

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
    std::size_t toAnsi(QStringView text, char* out) const;
    // Writes n Windows-1252 bytes as UTF-16 to out (room for n units).
    void fromAnsi(const char* in, std::size_t n, char16_t* out) const;
};

} // namespace quendra
