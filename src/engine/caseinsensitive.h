#pragma once

#include <QString>
#include <QStringView>

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
        size_t h = 1469598103934665603ull;
        for (QChar c : s) {
            h ^= upperUnit(c.unicode());
            h *= 1099511628211ull;
        }
        return h;
    }
    size_t operator()(const QString& s) const noexcept { return (*this)(QStringView(s)); }
};

struct UpperEqual {
    using is_transparent = void;
    bool operator()(QStringView a, QStringView b) const noexcept
    {
        if (a.size() != b.size())
            return false;
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (upperUnit(a[i].unicode()) != upperUnit(b[i].unicode()))
                return false;
        }
        return true;
    }
};

} // namespace quendra
