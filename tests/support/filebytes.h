#pragma once

// A file's bytes, read or written whole, for tests that compare what a run left behind.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace quendra::test {

// "<fehlt>" for a file that is not there, so that it never equals expected content.
inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

} // namespace quendra::test
