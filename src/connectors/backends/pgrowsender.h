#pragma once

#include "connectors/backends/blockwriter.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QStringList>
#include <vector>

namespace quendra {

class PgSession;

// Appends value as a field of COPY's text format: NULL as \N, texts in UTF-8 with
// backslash, tab and line ends escaped, numbers as their exact digits, dates and times
// as ISO text, Booleans as t and f, bytes in hexadecimal.
void appendCopyValue(QByteArray& line, const QVariant& value);

// The line of the failing row that a COPY error's context names ("COPY t, line 17,
// column c: ..."), counted from 1; 0 when it names none.
int copyErrorLine(const QByteArray& context);

// Sends rows to one table of PostgreSQL through libpq, one COPY ... FROM STDIN for rows
// that leave the same columns to their defaults: a column left NULL goes out of the
// column list where the table gives it a default, as an INSERT leaves it out. COPY's
// error names the line of the refused row.
class PgRowSender : public RowSender {
public:
    // odbc: the ODBC connection to the same database, which describes the table's columns
    // as it does for every other sender. Throws the driver's error.
    PgRowSender(PgSession& session, const QSqlDatabase& odbc, const QString& table);

    SenderColumns columns() override { return m_columns; }
    bool transactions() const override { return true; }
    void begin() override;
    void commit() override;
    void rollback() override;
    SentRows send(const std::vector<QueuedRow>& rows, size_t first, size_t count) override;
    // A table that takes one row a statement (a trigger's rule): one COPY a row.
    void sendRowsSingly() override { m_singly = true; }
    bool sendsEarly() const override { return !m_singly; }
    void queued(const std::vector<QueuedRow>& rows, size_t row) override;
    bool commitLater() override;
    void committed() override;

private:
    void leftOut(const QueuedRow& row, std::vector<bool>& out) const;
    // One COPY of rows [first, end), which leave the same columns out.
    SentRows copy(const std::vector<QueuedRow>& rows, size_t first, size_t end,
                  const std::vector<bool>& out);
    // COPY in three steps: started for the columns not left out (throws when the server
    // refuses), a row, ended with the outcome of its rows counted from the first.
    void startCopy(const std::vector<bool>& out);
    void putRow(const QueuedRow& row, const std::vector<bool>& out);
    SentRows endCopy(size_t rows);
    // Ends the COPY of the rows sent early: how far they got.
    SentRows endEarly();
    void dropEarly();
    void readDefaults();

    PgSession& m_session;
    QByteArray m_table;
    SenderColumns m_columns;
    std::vector<QByteArray> m_names; // quoted
    std::vector<bool> m_defaults;    // the table fills the column when it is left out
    QByteArray m_buffer;
    bool m_singly = false;
    bool m_copying = false; // a COPY is open
    bool m_putFailed = false;
    bool m_committing = false; // a commit is sent, its outcome not yet read

    // The rows of the block sent as they were queued: [0, m_earlyEnd) went out, those
    // from m_earlyFirst in the open COPY with the columns m_earlyOut left out. A COPY that
    // ended before the block failed (m_earlyFailure) or could not start (m_earlyError):
    // no row went out after it.
    size_t m_earlyFirst = 0;
    size_t m_earlyEnd = 0;
    std::vector<bool> m_earlyOut;
    std::vector<bool> m_rowOut;
    std::optional<SentRows> m_earlyFailure;
    std::optional<Error> m_earlyError;
    bool m_earlyStopped = false;
};

} // namespace quendra
