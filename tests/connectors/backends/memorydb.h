#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <ostream>
#include <vector>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace quendra::test {

// A private in-memory SQLite database for one test, as the database connector hands it
// to a file-type reader.
class MemoryDb {
public:
    MemoryDb();
    ~MemoryDb();
    MemoryDb(const MemoryDb&) = delete;
    MemoryDb& operator=(const MemoryDb&) = delete;

    QSqlDatabase& db() { return m_db; }

    // Table names in the order the reader created them.
    QStringList tables() const;
    // Column names and their declared types ("TEXT", "DATE", ...).
    QStringList columns(const QString& table) const;
    QStringList declaredTypes(const QString& table) const;
    // Every row in insertion order; NULL stays a null QVariant.
    std::vector<QVariantList> rows(const QString& table) const;
    // The same rows as texts, "NULL" for a NULL value (rowTexts).
    std::vector<QStringList> texts(const QString& table) const;

private:
    QString m_name;
    QSqlDatabase m_db;
};

} // namespace quendra::test

namespace quendra::test {

// A row as texts, "NULL" for a NULL value, for compact expectations.
inline QStringList rowTexts(const QVariantList& row)
{
    QStringList texts;
    for (const QVariant& value : row)
        texts << (value.isNull() ? QStringLiteral("NULL") : value.toString());
    return texts;
}

} // namespace quendra::test
