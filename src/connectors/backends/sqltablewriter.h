#pragma once

#include "connectors/backends/blockwriter.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <vector>

namespace quendra {

// The columns of a table of a Qt SQL connection (sqlite: an SQLite file), as a sender
// gives them; throws the driver's error when the table cannot be read.
SenderColumns sqlTableColumns(const QSqlDatabase& db, const QString& table, const QString& driver,
                              bool sqlite);
// An INSERT into table of the columns marked (names: all of the table's) for a number of
// rows, identifiers quoted as the connection's driver quotes them.
QString insertStatement(const QSqlDatabase& db, const QString& table, const QStringList& names,
                        const std::vector<bool>& columns, int rows);
// The rows one INSERT takes when it binds the columns marked: as many as keep the bound
// values within the lowest limit of the common databases.
size_t rowsPerStatement(const std::vector<bool>& columns);
// The columns of a row that hold a value; the second form fills a vector the caller keeps.
std::vector<bool> valuedColumns(const QueuedRow& row);
void valuedColumns(const QueuedRow& row, std::vector<bool>& columns);

// Sends rows to one table of a Qt SQL connection. Columns are addressed by their 0-based
// position in "select * from table"; values are bound, never spliced into the statement;
// a column left NULL is omitted from the INSERT so that its default applies. Several rows
// go in one INSERT statement, each statement prepared once and reused.
class SqlRowSender : public RowSender {
public:
    SqlRowSender(QSqlDatabase db, const QString& table, const QString& driver, bool sqlite);

    SenderColumns columns() override;
    bool transactions() const override;
    void begin() override;
    void commit() override;
    void rollback() override;
    SentRows send(const std::vector<QueuedRow>& rows, size_t first, size_t count) override;
    void sendRowsSingly() override { m_severalPerStatement = false; }

private:
    // A prepared INSERT for a number of rows with the same columns.
    struct Statement {
        std::vector<bool> columns;
        int rows = 0;
        QSqlQuery query;
    };

    // Sends the rows with as few statements as the parameter limit allows, counting in
    // written the rows whose statement went through; throws the driver's error.
    void insertRows(const std::vector<QueuedRow>& rows, size_t first, size_t count,
                    size_t& written);
    Statement& statementFor(const std::vector<bool>& columns, int rows);

    QSqlDatabase m_db;
    QString m_table;
    QString m_driver;
    bool m_sqlite;
    QStringList m_columns;
    bool m_severalPerStatement = true;   // until the driver refuses such a statement
    std::vector<Statement> m_statements; // the few prepared lately, newest last
};

} // namespace quendra
