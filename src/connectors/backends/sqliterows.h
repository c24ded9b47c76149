#pragma once

#include "connectors/backends/backend.h"
#include "connectors/backends/valueconversion.h"

#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace quendra {

// The rows of a query on an SQLite connection, stepped through SQLite's own interface:
// only the row in hand is held. Values are what Qt's SQLite driver gives for them
// (integers, doubles, texts, byte arrays, NULL apart from the empty text), dates and
// Booleans of the columns declared so typed as the Qt SQL reader types them.
class SqliteRows : public BulkRows {
public:
    // Prepares sql; throws SQLite's error when it is no single statement it takes.
    SqliteRows(sqlite3* db, const QString& sql);
    ~SqliteRows() override;
    SqliteRows(const SqliteRows&) = delete;
    SqliteRows& operator=(const SqliteRows&) = delete;

    const QStringList& columns() const override { return m_columns; }
    bool next(QList<QVariant>& row) override;

private:
    QVariant value(int column) const;

    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
    QStringList m_columns;
    std::vector<ValueKind> m_kinds; // Other for columns whose values stay as stored
    bool m_done = false;
};

} // namespace quendra
