#pragma once

#include "connectors/backends/backend.h"

#include <QVariant>
#include <memory>
#include <vector>

namespace quendra {

class PgSession;

// One field of a line of COPY's text format: its text with the escapes undone, or NULL.
struct CopyField {
    const char* data = nullptr;
    int size = 0;
    bool null = false;
};

// Splits a line of COPY's text format (its line end may follow) into its fields at the
// tabs, undoing the backslash escapes in place; "\N" alone is NULL.
void splitCopyLine(char* line, int size, std::vector<CopyField>& fields);

// What a PostgreSQL column's values become: the types the ODBC path gives them
// (psqlODBC's Booleans are the texts 1 and 0), numbers with fractions as their exact
// digits.
enum class PgKind { Text, Boolean, Integer, BigInteger, Number, Date, Time, DateTime, Bytes };
PgKind pgKind(unsigned typeOid);

// The value of a field of a column of that kind; a text that does not read as the kind
// says (a date before Christ, "infinity") stays text.
QVariant pgValue(const CopyField& field, PgKind kind);

// The rows of a query, read through "COPY (query) TO STDOUT": one line at a time, only
// the row in hand held.
class PgCopyRows : public BulkRows {
public:
    // Starts the copy; nullptr when the query is none that COPY takes (the caller reads
    // it another way, which reports its faults). Throws when the connection fails.
    static std::unique_ptr<BulkRows> open(PgSession& session, const QString& sql);
    ~PgCopyRows() override;

    const QStringList& columns() const override { return m_columns; }
    bool next(QList<QVariant>& row) override;

private:
    explicit PgCopyRows(PgSession& session) : m_session(session) {}
    // After the last line (ended) or a failure to get one: throws the server's error.
    void finish(bool ended);

    PgSession& m_session;
    QStringList m_columns;
    std::vector<PgKind> m_kinds;
    std::vector<CopyField> m_fields;
    bool m_copying = false;
};

} // namespace quendra
