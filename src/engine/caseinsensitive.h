#pragma once

#include "common/valuebuffer.h"

#include <QString>
#include <QStringView>
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
            const std::uint64_t w =
                std::uint64_t(upperUnit(c[i])) | std::uint64_t(upperUnit(c[i + 1])) << 16 |
                std::uint64_t(upperUnit(c[i + 2])) << 32 | std::uint64_t(upperUnit(c[i + 3])) << 48;
            h = (h ^ w) * Mix;
        }
        if (i < n) {
            std::uint64_t w = 0;
            for (; i < n; ++i)
                w = (w << 16) | upperUnit(c[i]);
            h = (h ^ w) * Mix;
        }
        return size_t(h ^ (h >> 29));
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
