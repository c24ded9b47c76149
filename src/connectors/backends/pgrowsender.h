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

private:
    std::vector<bool> leftOut(const QueuedRow& row) const;
    // One COPY of rows [first, end), which leave the same columns out.
    SentRows copy(const std::vector<QueuedRow>& rows, size_t first, size_t end,
                  const std::vector<bool>& out);
    void readDefaults();

    PgSession& m_session;
    QByteArray m_table;
    SenderColumns m_columns;
    std::vector<QByteArray> m_names; // quoted
    std::vector<bool> m_defaults;    // the table fills the column when it is left out
    QByteArray m_buffer;
    bool m_singly = false;
};

} // namespace quendra
