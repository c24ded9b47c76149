#pragma once

#include "common/error.h"
#include "connectors/backends/valueconversion.h"
#include "connectors/recordaccess.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <vector>

namespace quendra {

// Appends rows to one table of an SQL connection. Columns are addressed by their
// 0-based position in "select * from table"; values are bound, never spliced into the
// statement; a column left NULL is omitted from the INSERT so that its default applies.
//
// Rows are queued and sent in blocks, one transaction per block: several rows per
// INSERT statement, each statement prepared once and reused. When a row of a block
// fails, the rows before it are committed and the row's own error is thrown, exactly
// as if every row had been a statement of its own; failedRow() names it. Asked to, the
// writer keeps all rows in one transaction that only close commits.
class SqlTableWriter : public DatabaseRecord {
public:
    SqlTableWriter(QSqlDatabase db, const QString& table, const QString& driver, bool sqlite);
    ~SqlTableWriter() override;
    SqlTableWriter(const SqlTableWriter&) = delete;
    SqlTableWriter& operator=(const SqlTableWriter&) = delete;

    int fieldsCount() const override { return static_cast<int>(m_columns.size()); }
    void AddNew() override;
    void setItem(int ordinal, const QVariant& value) override;
    void update() override;
    void close() override;
    bool keepOneTransaction() override;
    qint64 rowsReceived() const override { return m_received; }
    qint64 failedRow() const override { return m_failedRow; }

private:
    // A prepared INSERT for a number of rows with the same columns.
    struct Statement {
        std::vector<bool> columns;
        int rows = 0;
        QSqlQuery query;
    };

    // Sends the queued rows; commits them unless the run is one transaction and this
    // is not its end.
    void sendBlock(bool end);
    // Sends rows [first, first + count) of the block with as few statements as the
    // parameter limit allows; throws the driver's error.
    void insertRows(size_t first, size_t count, bool severalPerStatement);
    Statement& statementFor(const std::vector<bool>& columns, int rows);
    // After the block failed as a whole: finds the failing row by sending the rows one
    // by one, commits the rows before it and throws its error. When no row fails alone,
    // the driver takes no several rows in one statement: the rows stay written and the
    // run goes on a row at a time. end: as sendBlock's; blockFailure: the block's error.
    void settleFailedBlock(bool end, const Error& blockFailure);
    void begin();
    void commit();

    QSqlDatabase m_db;
    QString m_table;
    QString m_driver;
    QStringList m_columns;
    std::vector<ColumnType> m_types;
    RegionalText m_text;

    bool m_adding = false;
    std::vector<std::vector<QVariant>> m_block; // queued rows; NULL leaves a column out
    size_t m_queued = 0;
    size_t m_sent = 0;                   // rows of the block whose statement went through
    bool m_severalPerStatement = true;   // until the driver refuses such a statement
    std::vector<Statement> m_statements; // the few prepared lately, newest last
    bool m_inTransaction = false;
    bool m_oneTransaction = false; // the whole run: committed only by close
    qint64 m_uncommitted = 0;      // rows sent in the one transaction
    qint64 m_received = 0;
    qint64 m_failedRow = 0;
};

} // namespace quendra
