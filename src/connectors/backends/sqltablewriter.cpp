#include "connectors/backends/sqltablewriter.h"

#include "connectors/backends/providererror.h"
#include "connectors/backends/sqlbackend.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QtDebug>
#include <algorithm>
#include <optional>

namespace quendra {

namespace {
// Rows per transaction: large enough that the database's own cost per commit and per
// round trip vanishes, small enough that a block in memory stays small.
constexpr size_t RowsPerBlock = 5000;
// Bound values per statement and rows per statement; the lowest limits of the common
// databases (SQLite's old default of 999 values, SQL Server's 1000 rows) stay clear.
constexpr size_t MaxValuesPerStatement = 999;
constexpr size_t MaxRowsPerStatement = 500;
// Prepared statements kept for reuse: rows whose empty columns differ need their own.
constexpr size_t StatementsKept = 8;
// The significant digits of a double that the SQLite ODBC driver passes on.
constexpr int SqliteOdbcDoubleDigits = 15;

bool sameColumns(const std::vector<QVariant>& row, const std::vector<bool>& columns)
{
    for (size_t i = 0; i < row.size(); ++i) {
        if (row[i].isNull() == columns[i])
            return false;
    }
    return true;
}

std::vector<bool> columnsOf(const std::vector<QVariant>& row)
{
    std::vector<bool> columns(row.size());
    for (size_t i = 0; i < row.size(); ++i)
        columns[i] = !row[i].isNull();
    return columns;
}

size_t rowsPerStatement(const std::vector<bool>& columns)
{
    const auto values = size_t(std::count(columns.begin(), columns.end(), true));
    if (values == 0)
        return 1; // "default values" takes one row
    return std::clamp<size_t>(MaxValuesPerStatement / values, 1, MaxRowsPerStatement);
}
} // namespace

SqlTableWriter::SqlTableWriter(QSqlDatabase db, const QString& table, const QString& driver,
                               bool sqlite)
    : m_db(std::move(db)), m_table(table), m_driver(driver)
{
    QSqlQuery probe(m_db);
    if (!probe.exec(QStringLiteral("select * from ") + table + QStringLiteral(" where 1=0")))
        throw providerError(probe.lastError(), m_driver);
    const QSqlRecord record = probe.record();
    // SQLite, as a file or behind an ODBC driver, keeps what a column's declared type says
    // (the SQLite ODBC driver passes doubles on as text of 15 digits); other databases
    // keep what their driver describes.
    const QHash<QString, ColumnType> declared =
        sqliteColumnTypes(m_db, table, sqlite ? 17 : SqliteOdbcDoubleDigits);
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        m_columns.append(field.name());
        m_types.push_back(sqlite || !declared.isEmpty()
                              ? declared.value(field.name().toLower())
                              : odbcColumnType(field.metaType(), field.typeID(), field.length(),
                                               field.precision()));
    }
}

SqlTableWriter::~SqlTableWriter()
{
    if (m_oneTransaction) {
        if (m_inTransaction)
            m_db.rollback();
        return;
    }
    try {
        sendBlock(true);
    } catch (const Error& e) {
        qWarning("Quendra: Zeilen konnten nicht abgeschlossen werden: %s",
                 qPrintable(e.description()));
    }
}

void SqlTableWriter::close()
{
    sendBlock(true);
}

bool SqlTableWriter::keepOneTransaction()
{
    if (!m_db.driver()->hasFeature(QSqlDriver::Transactions))
        return false;
    begin();
    m_oneTransaction = true;
    return true;
}

void SqlTableWriter::AddNew()
{
    if (m_queued == m_block.size())
        m_block.emplace_back(m_columns.size());
    else
        std::fill(m_block[m_queued].begin(), m_block[m_queued].end(), QVariant());
    m_adding = true;
}

void SqlTableWriter::setItem(int ordinal, const QVariant& value)
{
    if (ordinal < 0 || ordinal >= fieldsCount())
        throw standardError(errnum::ItemNotFound, QString::number(ordinal));
    if (!m_adding)
        throw standardError(errnum::NoCurrentRecord);
    m_block[m_queued][size_t(ordinal)] =
        m_text.forColumn(value, m_types[size_t(ordinal)], m_columns[ordinal]);
}

void SqlTableWriter::update()
{
    if (!m_adding)
        return;
    m_adding = false;
    m_failedRow = 0;
    if (++m_queued >= RowsPerBlock)
        sendBlock(false);
}

void SqlTableWriter::sendBlock(bool end)
{
    if (m_queued == 0 && !(end && m_oneTransaction && m_inTransaction))
        return;
    m_failedRow = 0;
    m_sent = 0;
    try {
        begin();
        insertRows(0, m_queued, m_severalPerStatement);
        if (m_oneTransaction && !end) {
            m_uncommitted += qint64(m_queued);
            m_queued = 0;
            return;
        }
        commit();
    } catch (const Error& e) {
        settleFailedBlock(end, e);
        return;
    }
    m_received += m_uncommitted + qint64(m_queued);
    m_uncommitted = 0;
    m_oneTransaction = false;
    m_queued = 0;
}

void SqlTableWriter::insertRows(size_t first, size_t count, bool severalPerStatement)
{
    const size_t end = first + count;
    for (size_t i = first; i < end;) {
        const std::vector<bool> columns = columnsOf(m_block[i]);
        size_t runEnd = i + 1;
        while (runEnd < end && sameColumns(m_block[runEnd], columns))
            ++runEnd;
        const size_t per = severalPerStatement ? rowsPerStatement(columns) : 1;
        while (i < runEnd) {
            const size_t rows = std::min(per, runEnd - i);
            QSqlQuery& query = statementFor(columns, int(rows)).query;
            int position = 0;
            for (size_t r = i; r < i + rows; ++r) {
                for (size_t c = 0; c < columns.size(); ++c) {
                    if (columns[c])
                        query.bindValue(position++, m_block[r][c]);
                }
            }
            if (!query.exec())
                throw providerError(query.lastError(), m_driver);
            i += rows;
            m_sent = i;
        }
    }
}

SqlTableWriter::Statement& SqlTableWriter::statementFor(const std::vector<bool>& columns, int rows)
{
    for (Statement& s : m_statements) {
        if (s.rows == rows && s.columns == columns)
            return s;
    }
    QSqlDriver* driver = m_db.driver();
    QString names;
    QString marks;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!columns[i])
            continue;
        if (!names.isEmpty()) {
            names += QLatin1Char(',');
            marks += QLatin1Char(',');
        }
        names += driver->escapeIdentifier(m_columns[int(i)], QSqlDriver::FieldName);
        marks += QLatin1Char('?');
    }
    QString sql;
    if (names.isEmpty()) {
        sql = QStringLiteral("insert into %1 default values").arg(m_table);
    } else {
        sql = QStringLiteral("insert into %1 (%2) values ").arg(m_table, names);
        const QString row = QLatin1Char('(') + marks + QLatin1Char(')');
        for (int r = 0; r < rows; ++r)
            sql += r == 0 ? row : QLatin1Char(',') + row;
    }
    if (m_statements.size() >= StatementsKept)
        m_statements.erase(m_statements.begin());
    Statement& s = m_statements.emplace_back(Statement{columns, rows, QSqlQuery(m_db)});
    if (!s.query.prepare(sql)) {
        const QSqlError failure = s.query.lastError();
        m_statements.pop_back();
        throw providerError(failure, m_driver);
    }
    return s;
}

void SqlTableWriter::settleFailedBlock(bool end, const Error& blockFailure)
{
    const size_t count = m_queued;
    m_queued = 0; // whatever follows, this block is done with
    // Without transactions, the statements that went through hold their rows already.
    size_t good = m_db.driver()->hasFeature(QSqlDriver::Transactions) ? 0 : m_sent;
    if (m_inTransaction) {
        m_db.rollback();
        m_inTransaction = false;
    }
    // Row by row, as if every row were a statement of its own.
    std::optional<Error> failure;
    try {
        begin();
        for (; good < count; ++good)
            insertRows(good, 1, false);
    } catch (const Error& e) {
        failure = e;
    }
    if (m_oneTransaction && !failure && m_uncommitted == 0 && count > 0) {
        // The transaction holds this block's rows alone, each sent by itself.
        m_severalPerStatement = false;
        m_uncommitted = qint64(count);
        if (end)
            sendBlock(true); // commits
        return;
    }
    if (m_oneTransaction) {
        // All or nothing: the rows before are taken back as well; the row is only named.
        if (m_inTransaction)
            m_db.rollback();
        m_inTransaction = false;
        m_oneTransaction = false;
        // No row fails alone: the commit was refused (a constraint checked only then),
        // which no single record caused; the database's own reason is the message.
        m_failedRow = failure ? m_received + m_uncommitted + qint64(good) + 1 : 0;
        m_uncommitted = 0;
        throw failure ? *failure : blockFailure;
    }
    if (!failure) {
        try {
            commit();
            // Every row went in alone: the driver takes no several rows in one statement.
            m_severalPerStatement = false;
            m_received += qint64(count);
            return;
        } catch (const Error& e) {
            failure = e; // the block is lost as a whole: its first row is the one missing
            good = 0;
        }
    }
    if (m_inTransaction) {
        // The failure ended the transaction: the rows before the failing one go in again,
        // one a statement as they went in a moment ago.
        m_db.rollback();
        m_inTransaction = false;
        try {
            begin();
            insertRows(0, good, false);
            commit();
        } catch (const Error& e) {
            if (m_inTransaction)
                m_db.rollback();
            m_inTransaction = false;
            failure = e;
            good = 0;
        }
    }
    m_failedRow = m_received + qint64(good) + 1;
    m_received += qint64(good);
    throw *failure;
}

void SqlTableWriter::begin()
{
    if (m_inTransaction || !m_db.driver()->hasFeature(QSqlDriver::Transactions))
        return;
    if (!m_db.transaction())
        throw providerError(m_db.lastError(), m_driver);
    m_inTransaction = true;
}

void SqlTableWriter::commit()
{
    if (!m_inTransaction)
        return;
    for (Statement& s : m_statements)
        s.query.finish();
    m_inTransaction = false;
    if (!m_db.commit()) {
        const QSqlError failure = m_db.lastError();
        m_db.rollback();
        throw providerError(failure, m_driver);
    }
}

} // namespace quendra
