#pragma once

#include "common/valuebuffer.h"

#include <QString>
#include <QStringView>
#include <bit>
#include <cstdint>
#include <cstring>

namespace quendra {

// Hashing and comparison of texts by their upper-case form, character by character,
// without building the upper-case text. Transparent, so that a hash container keyed
// by QString can be searched with a QStringView.
inline char16_t upperUnit(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
    return QChar(c).toUpper().unicode();
}

// The upper-case form of four ASCII units side by side in a word (no unit above 0x7F):
// adding 0x1F to a unit sets its bit 7 from 'a' on, adding 0x05 from past 'z' on, and
// no sum carries into the next unit.
inline std::uint64_t upperAscii4(std::uint64_t units)
{
    constexpr std::uint64_t Lanes = 0x0001000100010001ull;
    const std::uint64_t fromA = units + (0x80 - u'a') * Lanes;
    const std::uint64_t pastZ = units + (0x80 - u'z' - 1) * Lanes;
    return units - ((fromA & ~pastZ & 0x80 * Lanes) >> 2);
}

struct UpperHash {
    using is_transparent = void;
    size_t operator()(QStringView s) const noexcept
    {
        // Four upper-case units mixed in at a time.
        constexpr std::uint64_t Mix = 0x9E3779B97F4A7C15ull;
        const char16_t* c = s.utf16();
        const qsizetype n = s.size();
        std::uint64_t h = std::uint64_t(n) * Mix;
        qsizetype i = 0;
        for (; i + 4 <= n; i += 4) {
            std::uint64_t w;
            std::memcpy(&w, c + i, sizeof w);
            if (std::endian::native != std::endian::little || (w & 0xFF80FF80FF80FF80ull))
                w = std::uint64_t(upperUnit(c[i])) | std::uint64_t(upperUnit(c[i + 1])) << 16 |
                    std::uint64_t(upperUnit(c[i + 2])) << 32 |
                    std::uint64_t(upperUnit(c[i + 3])) << 48;
            else
                w = upperAscii4(w);
            h = (h ^ w) * Mix;
        }
        if (i < n) {
            std::uint64_t w = 0;
            for (; i < n; ++i)
                w = (w << 16) | upperUnit(c[i]);
            h = (h ^ w) * Mix;
        }
        // The multiplications carry every bit upwards only: the high half is folded
        // into the low one, mixed once more and folded back, so that the low bits, which
        // pick a slot, depend on every unit.
        h ^= h >> 32;
        h *= Mix;
        return size_t(h ^ (h >> 32));
    }
    size_t operator()(const QString& s) const noexcept { return (*this)(QStringView(s)); }
};

struct UpperEqual {
    using is_transparent = void;
    bool operator()(QStringView a, QStringView b) const noexcept
    {
        if (a.size() != b.size())
            return false;
        if (equalChars(a.data(), b.data(), a.size()))
            return true;
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (upperUnit(a[i].unicode()) != upperUnit(b[i].unicode()))
                return false;
        }
        return true;
    }
};

} // namespace quendra
