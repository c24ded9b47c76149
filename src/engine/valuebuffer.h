#pragma once

#include <QString>
#include <QStringView>
#include <cstring>

namespace quendra {

// Value buffers keep their capacity from record to record: these write into them with
// one size change and a plain copy. The text must not point into the buffer itself.

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

inline void assignView(QString& buffer, QStringView text)
{
    QChar* out = setLength(buffer, text.size());
    if (!text.isEmpty())
        std::memcpy(out, text.data(), size_t(text.size()) * sizeof(QChar));
}

// buffer := first followed by second.
inline void assignJoined(QString& buffer, QStringView first, QStringView second)
{
    QChar* out = setLength(buffer, first.size() + second.size());
    if (!first.isEmpty())
        std::memcpy(out, first.data(), size_t(first.size()) * sizeof(QChar));
    if (!second.isEmpty())
        std::memcpy(out + first.size(), second.data(), size_t(second.size()) * sizeof(QChar));
}

} // namespace quendra
