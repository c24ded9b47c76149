#pragma once

#include "connectors/backends/blockwriter.h"
#include "connectors/backends/odbcstatement.h"

#include <QSqlDatabase>
#include <memory>
#include <optional>
#include <vector>

namespace quendra {

// Sends rows to one table of an ODBC data source through the driver manager itself, on
// the connection Qt SQL opened: one prepared INSERT of several rows, at most 999
// parameters, every value bound as UTF-8 text (SQL_C_CHAR) exactly as databaseText
// gives it. A column left NULL goes out of the column list where the table gives it a
// default, as an INSERT of that row alone leaves it out; elsewhere it is bound as NULL.
// When a statement fails, its rows are sent again one by one to name the refused row.
class OdbcRowSender : public RowSender {
public:
    // db: an open connection of Qt's ODBC driver (odbcConnectionOf gives its handle).
    OdbcRowSender(QSqlDatabase db, const QString& table);
    ~OdbcRowSender() override;

    SenderColumns columns() override;
    bool transactions() const override;
    void begin() override;
    void commit() override;
    void rollback() override;
    SentRows send(const std::vector<QueuedRow>& rows, size_t first, size_t count) override;
    void sendRowsSingly() override { m_singly = true; }

private:
    // How the driver describes a column, for binding its values.
    struct Parameter {
        short sqlType = 0;
        size_t size = 0;
        short digits = 0;
        bool hasDefault = true;
    };
    // A prepared INSERT for a number of rows with the same columns.
    struct Statement {
        std::vector<bool> columns;
        size_t rows = 0;
        std::unique_ptr<OdbcStatement> statement;
    };

    void describe();
    void readDefaults();
    std::vector<bool> boundColumns(const QueuedRow& row) const;
    // Inserts rows [from, from + count), which bind the same columns; false with m_error
    // set when the driver refuses.
    bool insert(const std::vector<QueuedRow>& rows, size_t from, size_t count,
                const std::vector<bool>& columns);
    // After a statement of rows [failed, failed + count) failed: the row that fails alone.
    SentRows findRefusedRow(const std::vector<QueuedRow>& rows, size_t first, size_t failed,
                            size_t count);
    Statement& statementFor(const std::vector<bool>& columns, size_t rows);

    QSqlDatabase m_db;
    void* m_connection;
    QString m_table;
    QStringList m_names;
    std::vector<Parameter> m_parameters; // one a column
    std::vector<Statement> m_statements; // the few prepared lately, newest last
    bool m_singly = false;
    std::optional<Error> m_error; // of the last refused statement
    // The values of one statement, their places in it and their indicators.
    QByteArray m_values;
    std::vector<qsizetype> m_offsets;
    std::vector<long> m_indicators;
};

} // namespace quendra
