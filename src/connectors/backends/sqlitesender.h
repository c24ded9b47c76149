#pragma once

#include "connectors/backends/blockwriter.h"

#include <QSqlDatabase>
#include <QStringList>
#include <future>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace quendra {

// Sends rows to one table of an SQLite file through SQLite's own interface, on the
// connection Qt SQL opened for it: one prepared INSERT a row, reused from row to row, a
// failing row known at once. Values go in as the Qt SQL driver binds them (text as it
// is, NULL apart from empty text, numbers as integers, doubles or their exact digits,
// dates and times as ISO text), so that either way the file holds the same.
class SqliteRowSender : public RowSender {
public:
    // db: an open QSQLITE connection.
    SqliteRowSender(QSqlDatabase db, const QString& table);
    ~SqliteRowSender() override;
    SqliteRowSender(const SqliteRowSender&) = delete;
    SqliteRowSender& operator=(const SqliteRowSender&) = delete;

    // The connection's SQLite handle; nullptr when the driver gives none.
    static sqlite3* handleOf(const QSqlDatabase& db);

    SenderColumns columns() override;
    bool transactions() const override { return true; }
    void begin() override;
    void commit() override;
    void rollback() override;
    // The commit runs on a thread of its own while the next block is prepared (its
    // fdatasync calls wait for the disk): the connection is not used otherwise until
    // committed has its outcome.
    bool commitLater() override;
    void committed() override;
    SentRows send(const std::vector<QueuedRow>& rows, size_t first, size_t count) override;

private:
    struct Statement {
        std::vector<bool> columns;
        sqlite3_stmt* statement = nullptr;
    };
    sqlite3_stmt* statementFor(const std::vector<bool>& columns);
    // Binds the row's values and runs the statement; false when SQLite refuses it.
    bool insert(sqlite3_stmt* statement, const QueuedRow& row, const std::vector<bool>& columns);
    void execute(const char* sql);
    Error failure() const;
    // Waits for a commit on its way; SQLite's result.
    int commitDone();

    QSqlDatabase m_db;
    sqlite3* m_handle;
    QString m_table;
    QStringList m_columns;
    std::vector<Statement> m_statements; // the few prepared lately, newest last
    std::future<int> m_commit;           // a commit on its way
    // Binds text as the value of column, kept until the statement is reset.
    void bindText(sqlite3_stmt* statement, int position, size_t column, const QString& text);

    std::vector<QString> m_texts;   // texts made for the row in hand
    std::vector<QByteArray> m_utf8; // texts bound to the row in hand
    std::vector<bool> m_valued;     // the columns of the row in hand that have a value
};

} // namespace quendra
