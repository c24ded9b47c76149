#pragma once

#include <QString>
#include <QStringView>
#include <cstring>
#include <type_traits>

namespace quendra {

// Value buffers keep their capacity from record to record: these write into them with
// one size change and a plain copy. The text must not point into the buffer itself.

// Copies n characters. Values are short: up to 16 characters move in two overlapping
// fixed-size copies that the compiler turns into a few moves, instead of a library call.
inline void copyChars(QChar* out, const QChar* in, qsizetype n)
{
    const auto bytes = std::size_t(n) * sizeof(QChar);
    const auto fixed = [&](auto size) {
        std::memcpy(out, in, size);
        std::memcpy(reinterpret_cast<char*>(out) + bytes - size,
                    reinterpret_cast<const char*>(in) + bytes - size, size);
    };
    if (bytes > 32)
        std::memcpy(out, in, bytes);
    else if (bytes >= 16)
        fixed(std::integral_constant<std::size_t, 16>());
    else if (bytes >= 8)
        fixed(std::integral_constant<std::size_t, 8>());
    else if (bytes >= 4)
        fixed(std::integral_constant<std::size_t, 4>());
    else if (bytes == 2)
        *out = *in;
}

// Sets the length of buffer to n and returns its characters. When the buffer is not
// shared and has room, the length is set in place (with the terminating 0 that QString
// keeps), saving the library call of resize on the path taken for every value.
inline QChar* setLength(QString& buffer, qsizetype n)
{
    auto& d = buffer.data_ptr();
    if (!d.needsDetach() && n < d.constAllocatedCapacity() - d.freeSpaceAtBegin()) {
        d.size = n;
        d.data()[n] = u'\0';
        return reinterpret_cast<QChar*>(d.data());
    }
    buffer.resize(n);
    return buffer.data();
}

Q_ALWAYS_INLINE void assignView(QString& buffer, QStringView text)
{
    copyChars(setLength(buffer, text.size()), text.data(), text.size());
}

// buffer := first followed by second.
inline void assignJoined(QString& buffer, QStringView first, QStringView second)
{
    QChar* out = setLength(buffer, first.size() + second.size());
    copyChars(out, first.data(), first.size());
    copyChars(out + first.size(), second.data(), second.size());
}

} // namespace quendra
