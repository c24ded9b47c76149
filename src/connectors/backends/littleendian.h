#pragma once

#include <QByteArrayView>
#include <QtEndian>

namespace quendra {

// The little-endian integers at byte offset at of a block read from a file; the caller
// makes sure that the block holds them.
inline quint16 u16(QByteArrayView data, qsizetype at)
{
    return qFromLittleEndian<quint16>(data.data() + at);
}

inline quint32 u32(QByteArrayView data, qsizetype at)
{
    return qFromLittleEndian<quint32>(data.data() + at);
}

} // namespace quendra
