#include "connectors/backends/sqltablewriter.h"

#include "common/variantnull.h"
#include "connectors/backends/providererror.h"
#include "connectors/backends/sqlbackend.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <algorithm>

namespace quendra {

namespace {
// Bound values per statement and rows per statement; the lowest limits of the common
// databases (SQLite's old default of 999 values, SQL Server's 1000 rows) stay clear.
constexpr size_t MaxValuesPerStatement = 999;
constexpr size_t MaxRowsPerStatement = 500;
// Prepared statements kept for reuse: rows whose empty columns differ need their own.
constexpr size_t StatementsKept = 8;
// The significant digits of a double that the SQLite ODBC driver passes on.
constexpr int SqliteOdbcDoubleDigits = 15;

bool sameColumns(const QueuedRow& row, const std::vector<bool>& columns)
{
    for (size_t i = 0; i < row.size(); ++i) {
        if (isNullValue(row[i]) == columns[i])
            return false;
    }
    return true;
}

} // namespace

SqlRowSender::SqlRowSender(QSqlDatabase db, const QString& table, const QString& driver,
                           bool sqlite)
    : m_db(std::move(db)), m_table(table), m_driver(driver), m_sqlite(sqlite)
{
}

SenderColumns sqlTableColumns(const QSqlDatabase& db, const QString& table, const QString& driver,
                              bool sqlite)
{
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("select * from ") + table + QStringLiteral(" where 1=0")))
        throw providerError(probe.lastError(), driver);
    const QSqlRecord record = probe.record();
    // SQLite, as a file or behind an ODBC driver, keeps what a column's declared type says
    // (the SQLite ODBC driver passes doubles on as text of 15 digits); other databases
    // keep what their driver describes.
    const QHash<QString, ColumnType> declared =
        sqliteColumnTypes(db, table, sqlite ? 17 : SqliteOdbcDoubleDigits);
    SenderColumns columns;
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        columns.names.append(field.name());
        columns.types.push_back(sqlite || !declared.isEmpty()
                                    ? declared.value(field.name().toLower())
                                    : odbcColumnType(field.metaType(), field.typeID(),
                                                     field.length(), field.precision()));
    }
    return columns;
}

QString insertStatement(const QSqlDatabase& db, const QString& table, const QStringList& names,
                        const std::vector<bool>& columns, int rows)
{
    QSqlDriver* driver = db.driver();
    QString list;
    QString marks;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!columns[i])
            continue;
        if (!list.isEmpty()) {
            list += QLatin1Char(',');
            marks += QLatin1Char(',');
        }
        list += driver->escapeIdentifier(names[int(i)], QSqlDriver::FieldName);
        marks += QLatin1Char('?');
    }
    if (list.isEmpty())
        return QStringLiteral("insert into %1 default values").arg(table);
    QString sql = QStringLiteral("insert into %1 (%2) values ").arg(table, list);
    const QString row = QLatin1Char('(') + marks + QLatin1Char(')');
    for (int r = 0; r < rows; ++r)
        sql += r == 0 ? row : QLatin1Char(',') + row;
    return sql;
}

size_t rowsPerStatement(const std::vector<bool>& columns)
{
    const auto values = size_t(std::count(columns.begin(), columns.end(), true));
    if (values == 0)
        return 1; // "default values" takes one row
    return std::clamp<size_t>(MaxValuesPerStatement / values, 1, MaxRowsPerStatement);
}

std::vector<bool> valuedColumns(const QueuedRow& row)
{
    std::vector<bool> columns;
    valuedColumns(row, columns);
    return columns;
}

void valuedColumns(const QueuedRow& row, std::vector<bool>& columns)
{
    columns.resize(row.size());
    for (size_t i = 0; i < row.size(); ++i)
        columns[i] = !isNullValue(row[i]);
}

SenderColumns SqlRowSender::columns()
{
    SenderColumns columns = sqlTableColumns(m_db, m_table, m_driver, m_sqlite);
    m_columns = columns.names;
    return columns;
}

bool SqlRowSender::transactions() const
{
    return m_db.driver()->hasFeature(QSqlDriver::Transactions);
}

SentRows SqlRowSender::send(const std::vector<QueuedRow>& rows, size_t first, size_t count)
{
    SentRows sent;
    try {
        insertRows(rows, first, count, sent.written);
    } catch (const Error& e) {
        sent.failure = e; // which row of the statement is unknown
    }
    return sent;
}

void SqlRowSender::insertRows(const std::vector<QueuedRow>& rows, size_t first, size_t count,
                              size_t& written)
{
    const size_t end = first + count;
    for (size_t i = first; i < end;) {
        const std::vector<bool> columns = valuedColumns(rows[i]);
        size_t runEnd = i + 1;
        while (runEnd < end && sameColumns(rows[runEnd], columns))
            ++runEnd;
        const size_t per = m_severalPerStatement ? rowsPerStatement(columns) : 1;
        while (i < runEnd) {
            const size_t n = std::min(per, runEnd - i);
            QSqlQuery& query = statementFor(columns, int(n)).query;
            int position = 0;
            for (size_t r = i; r < i + n; ++r) {
                for (size_t c = 0; c < columns.size(); ++c) {
                    if (columns[c])
                        query.bindValue(position++, rows[r][c]);
                }
            }
            if (!query.exec())
                throw providerError(query.lastError(), m_driver);
            i += n;
            written = i - first;
        }
    }
}

SqlRowSender::Statement& SqlRowSender::statementFor(const std::vector<bool>& columns, int rows)
{
    for (Statement& s : m_statements) {
        if (s.rows == rows && s.columns == columns)
            return s;
    }
    const QString sql = insertStatement(m_db, m_table, m_columns, columns, rows);
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

void SqlRowSender::begin()
{
    if (!m_db.transaction())
        throw providerError(m_db.lastError(), m_driver);
}

void SqlRowSender::commit()
{
    for (Statement& s : m_statements)
        s.query.finish();
    if (!m_db.commit()) {
        const QSqlError failure = m_db.lastError();
        m_db.rollback();
        throw providerError(failure, m_driver);
    }
}

void SqlRowSender::rollback()
{
    m_db.rollback();
}

} // namespace quendra
