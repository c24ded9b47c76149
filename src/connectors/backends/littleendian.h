#pragma once

#include <QByteArray>
#include <QtEndian>

namespace quendra {

// The little-endian integers at byte offset at of a block read from a file; the caller
// makes sure that the block holds them.
inline quint16 u16(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

inline quint32 u32(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

} // namespace quendra
