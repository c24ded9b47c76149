#include "connectors/backends/odbcsender.h"

#include "common/variantnull.h"
#include "connectors/backends/providererror.h"
#include "connectors/backends/sqltablewriter.h"
#include "connectors/backends/tableplaceholders.h"
#include "connectors/backends/valueconversion.h"

#include <QSqlDriver>
#include <QSqlError>
#include <algorithm>
#include <sql.h>
#include <sqlext.h>
#include <type_traits>

static_assert(std::is_same_v<SQLLEN, long>, "indicators are kept as long");

namespace quendra {

namespace {
// Prepared statements kept for reuse: rows whose columns left out differ need their own.
constexpr size_t StatementsKept = 8;
const QString OdbcDriver = QStringLiteral("QODBC");

SQLCHAR* sqlText(const QByteArray& text)
{
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.constData()));
}

bool isText(short sqlType)
{
    switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return true;
    default:
        return false;
    }
}
// The type a text of UTF-8 bytes is bound as: a driver converts text bound for a column of
// wide characters by the locale, which may know no umlauts.
short narrowType(short sqlType)
{
    switch (sqlType) {
    case SQL_WCHAR:
        return SQL_CHAR;
    case SQL_WVARCHAR:
        return SQL_VARCHAR;
    case SQL_WLONGVARCHAR:
        return SQL_LONGVARCHAR;
    default:
        return sqlType;
    }
}
} // namespace

OdbcRowSender::OdbcRowSender(QSqlDatabase db, const QString& table)
    : m_db(std::move(db)), m_connection(odbcConnectionOf(m_db)), m_table(table)
{
}

OdbcRowSender::~OdbcRowSender() = default;

SenderColumns OdbcRowSender::columns()
{
    SenderColumns columns = sqlTableColumns(m_db, m_table, OdbcDriver, false);
    m_names = columns.names;
    describe();
    readDefaults();
    return columns;
}

void OdbcRowSender::describe()
{
    OdbcStatement probe(m_connection);
    probe.execute("select * from " + m_table.toUtf8() + " where 1=0");
    SQLSMALLINT count = 0;
    probe.check(SQLNumResultCols(probe.handle(), &count));
    m_parameters.assign(size_t(count), Parameter());
    for (SQLSMALLINT c = 0; c < count; ++c) {
        Parameter& p = m_parameters[size_t(c)];
        SQLCHAR name[256];
        SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        probe.check(SQLDescribeCol(probe.handle(), SQLUSMALLINT(c + 1), name, sizeof name, &length,
                                   &type, &size, &digits, &nullable));
        p.sqlType = narrowType(type);
        p.size = size;
        p.digits = digits;
    }
    probe.close();
}

void OdbcRowSender::readDefaults()
{
    // A column the catalogue does not name keeps "has a default": left out when NULL, as
    // an INSERT of the row alone leaves it out.
    const QByteArray table = unquotedTableName(m_table).section(QLatin1Char('.'), -1).toUtf8();
    OdbcStatement catalogue(m_connection);
    if (!odbcSucceeded(SQLColumns(catalogue.handle(), nullptr, 0, nullptr, 0, sqlText(table),
                                  SQLSMALLINT(table.size()), nullptr, 0)))
        return;
    while (odbcSucceeded(SQLFetch(catalogue.handle()))) {
        char tableName[256] = {}, columnName[256] = {}, defaultValue[16] = {};
        SQLLEN tableLength = 0, columnLength = 0, defaultLength = 0;
        SQLGetData(catalogue.handle(), 3, SQL_C_CHAR, tableName, sizeof tableName, &tableLength);
        SQLGetData(catalogue.handle(), 4, SQL_C_CHAR, columnName, sizeof columnName, &columnLength);
        const SQLRETURN got = SQLGetData(catalogue.handle(), 13, SQL_C_CHAR, defaultValue,
                                         sizeof defaultValue, &defaultLength);
        // The table name is a pattern: "_" stands for any character.
        if (QString::fromUtf8(tableName).compare(QString::fromUtf8(table), Qt::CaseInsensitive))
            continue;
        const QString column = QString::fromUtf8(columnName);
        for (qsizetype c = 0; c < m_names.size() && size_t(c) < m_parameters.size(); ++c) {
            if (m_names[c].compare(column, Qt::CaseInsensitive) == 0)
                m_parameters[size_t(c)].hasDefault =
                    odbcSucceeded(got) && defaultLength != SQL_NULL_DATA;
        }
    }
    catalogue.close();
}

bool OdbcRowSender::transactions() const
{
    return m_db.driver()->hasFeature(QSqlDriver::Transactions);
}

void OdbcRowSender::begin()
{
    if (!m_db.transaction())
        throw providerError(m_db.lastError(), OdbcDriver);
}

void OdbcRowSender::commit()
{
    if (!m_db.commit()) {
        const QSqlError failure = m_db.lastError();
        m_db.rollback();
        throw providerError(failure, OdbcDriver);
    }
}

void OdbcRowSender::rollback()
{
    m_db.rollback();
}

std::vector<bool> OdbcRowSender::boundColumns(const QueuedRow& row) const
{
    std::vector<bool> columns(row.size());
    for (size_t c = 0; c < row.size(); ++c)
        columns[c] = !isNullValue(row[c]) || !m_parameters[c].hasDefault;
    return columns;
}

SentRows OdbcRowSender::send(const std::vector<QueuedRow>& rows, size_t first, size_t count)
{
    const size_t end = first + count;
    for (size_t from = first; from < end;) {
        const std::vector<bool> columns = boundColumns(rows[from]);
        size_t runEnd = from + 1;
        while (runEnd < end && boundColumns(rows[runEnd]) == columns)
            ++runEnd;
        const size_t per = m_singly ? 1 : rowsPerStatement(columns);
        for (; from < runEnd; from += std::min(per, runEnd - from)) {
            const size_t n = std::min(per, runEnd - from);
            if (!insert(rows, from, n, columns))
                return findRefusedRow(rows, first, from, n);
        }
    }
    return {count, std::nullopt, false};
}

SentRows OdbcRowSender::findRefusedRow(const std::vector<QueuedRow>& rows, size_t first,
                                       size_t failed, size_t count)
{
    const Error statementError = *m_error;
    if (count == 1)
        return {failed - first, statementError, true};
    if (transactions()) {
        // The refused statement may have ended the transaction (PostgreSQL's does): the
        // rows before it go in again, in one.
        rollback();
        try {
            begin();
        } catch (const Error& e) {
            return {0, e, false};
        }
        const SentRows before =
            failed > first ? send(rows, first, failed - first) : SentRows{0, std::nullopt, false};
        if (before.failure)
            return {0, before.failure, false};
    }
    for (size_t row = failed; row < failed + count; ++row) {
        if (!insert(rows, row, 1, boundColumns(rows[row])))
            return {row - first, m_error, true};
    }
    // Each row goes in alone: the table takes no several rows a statement.
    return {failed + count - first, statementError, false};
}

bool OdbcRowSender::insert(const std::vector<QueuedRow>& rows, size_t from, size_t count,
                           const std::vector<bool>& columns)
{
    Statement* statement = nullptr;
    try {
        statement = &statementFor(columns, count);
    } catch (const Error& e) {
        m_error = e;
        return false;
    }
    m_values.clear();
    m_offsets.clear();
    m_indicators.clear();
    for (size_t r = from; r < from + count; ++r) {
        for (size_t c = 0; c < columns.size(); ++c) {
            if (!columns[c])
                continue;
            const QVariant& value = rows[r][c];
            m_offsets.push_back(m_values.size());
            if (isNullValue(value)) {
                m_indicators.push_back(SQL_NULL_DATA);
                continue;
            }
            const qsizetype before = m_values.size();
            appendDatabaseText(m_values, value);
            m_indicators.push_back(m_values.size() - before);
        }
    }
    SQLHSTMT handle = statement->statement->handle();
    SQLUSMALLINT number = 0;
    for (size_t r = 0; r < count; ++r) {
        for (size_t c = 0; c < columns.size(); ++c) {
            if (!columns[c])
                continue;
            const Parameter& p = m_parameters[c];
            const size_t k = number++;
            const SQLLEN length = m_indicators[k];
            // A text's size counts characters; its bytes in UTF-8 may be more.
            const SQLULEN size =
                isText(p.sqlType) ? std::max<SQLULEN>({p.size, SQLULEN(length), 1}) : p.size;
            const bool bytes = rows[from + r][c].metaType().id() == QMetaType::QByteArray;
            if (!odbcSucceeded(SQLBindParameter(handle, number, SQL_PARAM_INPUT,
                                                bytes ? SQL_C_BINARY : SQL_C_CHAR, p.sqlType, size,
                                                p.digits, m_values.data() + m_offsets[k],
                                                std::max<SQLLEN>(length, 0), &m_indicators[k]))) {
                m_error = statement->statement->error();
                return false;
            }
        }
    }
    const Utf8Characters utf8;
    const SQLRETURN result = SQLExecute(handle);
    if (odbcSucceeded(result) || result == SQL_NO_DATA)
        return true;
    m_error = statement->statement->error();
    return false;
}

OdbcRowSender::Statement& OdbcRowSender::statementFor(const std::vector<bool>& columns, size_t rows)
{
    for (Statement& s : m_statements) {
        if (s.rows == rows && s.columns == columns)
            return s;
    }
    auto statement = std::make_unique<OdbcStatement>(m_connection);
    statement->prepare(insertStatement(m_db, m_table, m_names, columns, int(rows)).toUtf8());
    if (m_statements.size() >= StatementsKept)
        m_statements.erase(m_statements.begin());
    return m_statements.emplace_back(Statement{columns, rows, std::move(statement)});
}

} // namespace quendra
