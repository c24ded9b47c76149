#pragma once

#include "connectors/backends/backend.h"
#include "connectors/backends/odbcstatement.h"

#include <QByteArray>
#include <vector>

namespace quendra {

// The rows of a query on an ODBC connection, read through a block cursor of many rows a
// call, on the connection Qt SQL opened. Every value comes as UTF-8 text (bytes as they
// are) whatever the locale, and becomes the type Qt's ODBC driver gives its column: whole
// numbers, numbers with their exact digits (printedNumberValue), dates, times, date-times,
// texts and bytes, NULL apart from the empty text. A value longer than its place in the
// block is read whole on its own; a text that does not read as its column's type stays
// text, so that nothing stands for a value that was not there.
class OdbcRows : public BulkRows {
public:
    // What a column's values become.
    enum class Kind { Text, Integer, Unsigned, BigInteger, Number, Date, Time, DateTime, Bytes };

    // Runs sql on connection (an ODBC connection handle); throws the driver's error.
    // cellBytes: the most bytes of a value the block holds (longer ones are read alone).
    OdbcRows(void* connection, const QString& sql, size_t cellBytes = 1024);
    ~OdbcRows() override;
    OdbcRows(const OdbcRows&) = delete;
    OdbcRows& operator=(const OdbcRows&) = delete;

    const QStringList& columns() const override { return m_names; }
    bool next(QList<QVariant>& row) override;

private:
    struct Column {
        Kind kind = Kind::Text;
        size_t bytes = 0;         // the place of one value, its closing zero included
        bool cut = false;         // whether a value may be longer than its place
        std::vector<char> values; // the block's values, one place after the other
        std::vector<long> lengths;
    };

    void describe(size_t cellBytes);
    // The next block of rows; false after the last.
    bool fetchBlock();
    // The value of a column in the row at m_row of the block.
    QVariant value(size_t column);
    // The whole value of a column in the row at m_row, which its place cut short.
    const QByteArray& readWhole(size_t column);

    OdbcStatement m_statement;
    QStringList m_names;
    std::vector<Column> m_columns;
    std::vector<unsigned short> m_status; // of each row of the block
    unsigned long m_blockRows = 0;        // rows a block holds
    unsigned long m_fetched = 0;          // rows in the block
    size_t m_row = 0;                     // the next row of the block
    bool m_done = false;
    QByteArray m_whole;
};

// What a column of this ODBC type (SQL_INTEGER, ...) becomes, as Qt's ODBC driver types it.
OdbcRows::Kind odbcRowKind(short sqlType, bool isUnsigned);

// The value of a column of that kind from its text; a text that does not read as the
// kind says stays text.
QVariant odbcRowValue(const char* text, int size, OdbcRows::Kind kind);

} // namespace quendra
