#pragma once

#include <QString>
#include <QStringView>
#include <cstring>

namespace quendra {

// Value buffers keep their capacity from record to record: these write into them with
// one size change and a plain copy. The text must not point into the buffer itself.
inline void assignView(QString& buffer, QStringView text)
{
    buffer.resize(text.size());
    if (!text.isEmpty())
        std::memcpy(buffer.data(), text.data(), size_t(text.size()) * sizeof(QChar));
}

// buffer := first followed by second.
inline void assignJoined(QString& buffer, QStringView first, QStringView second)
{
    buffer.resize(first.size() + second.size());
    QChar* out = buffer.data();
    if (!first.isEmpty())
        std::memcpy(out, first.data(), size_t(first.size()) * sizeof(QChar));
    if (!second.isEmpty())
        std::memcpy(out + first.size(), second.data(), size_t(second.size()) * sizeof(QChar));
}

} // namespace quendra
