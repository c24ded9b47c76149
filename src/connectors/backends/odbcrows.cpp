#include "connectors/backends/odbcrows.h"

#include "connectors/backends/providererror.h"
#include "connectors/backends/valueconversion.h"

#include <QDateTime>
#include <algorithm>
#include <charconv>
#include <sql.h>
#include <sqlext.h>
#include <type_traits>

static_assert(std::is_same_v<SQLLEN, long> && std::is_same_v<SQLULEN, unsigned long> &&
                  std::is_same_v<SQLUSMALLINT, unsigned short>,
              "the block's lengths, row count and states are kept as long and unsigned");

namespace quendra {

namespace {
// Rows a block holds.
constexpr SQLULEN BlockRows = 1000;
// What a number's text may need beyond the width the driver reports (sign, point,
// exponent: psqlODBC reports numeric(12,2) 12 wide, and "-9999999999.99" is 14).
constexpr size_t WidthMargin = 16;

QVariant nullOf(OdbcRows::Kind kind)
{
    switch (kind) {
    case OdbcRows::Kind::Integer:
    case OdbcRows::Kind::Unsigned: // Qt's driver types an unsigned NULL so
        return QVariant(QMetaType::fromType<int>());
    case OdbcRows::Kind::BigInteger:
        return QVariant(QMetaType::fromType<qlonglong>());
    case OdbcRows::Kind::Date:
        return QVariant(QMetaType::fromType<QDate>());
    case OdbcRows::Kind::Time:
        return QVariant(QMetaType::fromType<QTime>());
    case OdbcRows::Kind::DateTime:
        return QVariant(QMetaType::fromType<QDateTime>());
    case OdbcRows::Kind::Bytes:
        return QVariant(QMetaType::fromType<QByteArray>());
    case OdbcRows::Kind::Text:
    case OdbcRows::Kind::Number:
        break;
    }
    return QVariant(); // as Qt's driver gives a NULL it reads as text
}

template <class Whole> QVariant wholeValue(const char* text, int size)
{
    Whole value = 0;
    const auto [end, fault] = std::from_chars(text, text + size, value);
    if (fault != std::errc() || end != text + size)
        return QString::fromUtf8(text, size);
    return QVariant::fromValue(value);
}

// "yyyy-mm-dd hh:mm:ss[.fff]" (or with a T), or a date alone at midnight.
QDateTime readIsoDateTime(const char* text, int size)
{
    if (size == 10)
        return QDateTime(readIsoDate(text, size), QTime(0, 0));
    if (size < 19 || (text[10] != ' ' && text[10] != 'T'))
        return {};
    const QDate date = readIsoDate(text, 10);
    const QTime time = date.isValid() ? readIsoTime(text + 11, size - 11) : QTime();
    return time.isValid() ? QDateTime(date, time) : QDateTime();
}
} // namespace

OdbcRows::Kind odbcRowKind(short sqlType, bool isUnsigned)
{
    switch (sqlType) {
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIT:
        return isUnsigned ? OdbcRows::Kind::Unsigned : OdbcRows::Kind::Integer;
    case SQL_TINYINT:
        return OdbcRows::Kind::Unsigned;
    case SQL_BIGINT:
        return OdbcRows::Kind::BigInteger;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_DOUBLE:
        return OdbcRows::Kind::Number;
    case SQL_DATE:
    case SQL_TYPE_DATE:
        return OdbcRows::Kind::Date;
    case SQL_TIME:
    case SQL_TYPE_TIME:
        return OdbcRows::Kind::Time;
    case SQL_TIMESTAMP:
    case SQL_TYPE_TIMESTAMP:
        return OdbcRows::Kind::DateTime;
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
    case SQL_GUID:
        return OdbcRows::Kind::Text;
    default:
        return OdbcRows::Kind::Bytes;
    }
}

QVariant odbcRowValue(const char* text, int size, OdbcRows::Kind kind)
{
    switch (kind) {
    case OdbcRows::Kind::Text:
        break;
    case OdbcRows::Kind::Integer:
        return wholeValue<int>(text, size);
    case OdbcRows::Kind::Unsigned:
        return wholeValue<uint>(text, size);
    case OdbcRows::Kind::BigInteger:
        return wholeValue<qlonglong>(text, size);
    case OdbcRows::Kind::Number:
        return printedNumberValue(QByteArray::fromRawData(text, size), false);
    case OdbcRows::Kind::Date: {
        const QDate date = readIsoDate(text, size);
        if (date.isValid())
            return date;
        break;
    }
    case OdbcRows::Kind::Time: {
        // Qt's driver reads times to the second.
        const QTime time = readIsoTime(text, size);
        if (time.isValid())
            return QTime(time.hour(), time.minute(), time.second());
        break;
    }
    case OdbcRows::Kind::DateTime: {
        const QDateTime dt = readIsoDateTime(text, size);
        if (dt.isValid())
            return dt;
        break;
    }
    case OdbcRows::Kind::Bytes:
        return QByteArray(text, size);
    }
    // The empty text stays apart from NULL: a QString that is not null.
    return size > 0 ? QString::fromUtf8(text, size) : QStringLiteral("");
}

OdbcRows::OdbcRows(void* connection, const QString& sql, size_t cellBytes) : m_statement(connection)
{
    const Utf8Characters utf8;
    m_statement.execute(sql.toUtf8());
    describe(cellBytes);
    SQLHSTMT handle = m_statement.handle();
    // A value longer than its place is read alone, from its row in the block where the
    // driver can do that, else from a block of one row.
    SQLUINTEGER extensions = 0;
    SQLGetInfo(connection, SQL_GETDATA_EXTENSIONS, &extensions, sizeof extensions, nullptr);
    const bool longColumns =
        std::any_of(m_columns.begin(), m_columns.end(), [](const Column& c) { return c.cut; });
    m_blockRows = (extensions & SQL_GD_BLOCK) || !longColumns ? BlockRows : 1;
    m_status.resize(m_blockRows);
    // A driver that takes fewer rows a block says so in the rows it fetches.
    SQLSetStmtAttr(handle, SQL_ATTR_ROW_BIND_TYPE, SQLPOINTER(SQL_BIND_BY_COLUMN), 0);
    SQLSetStmtAttr(handle, SQL_ATTR_ROW_ARRAY_SIZE, SQLPOINTER(m_blockRows), 0);
    m_statement.check(SQLSetStmtAttr(handle, SQL_ATTR_ROWS_FETCHED_PTR, &m_fetched, 0));
    m_statement.check(SQLSetStmtAttr(handle, SQL_ATTR_ROW_STATUS_PTR, m_status.data(), 0));
    for (size_t c = 0; c < m_columns.size(); ++c) {
        Column& column = m_columns[c];
        column.values.resize(column.bytes * m_blockRows);
        column.lengths.resize(m_blockRows);
        m_statement.check(SQLBindCol(
            handle, SQLUSMALLINT(c + 1), column.kind == Kind::Bytes ? SQL_C_BINARY : SQL_C_CHAR,
            column.values.data(), SQLLEN(column.bytes), column.lengths.data()));
    }
}

OdbcRows::~OdbcRows() = default;

void OdbcRows::describe(size_t cellBytes)
{
    SQLHSTMT handle = m_statement.handle();
    SQLSMALLINT count = 0;
    m_statement.check(SQLNumResultCols(handle, &count));
    m_done = count == 0; // a statement that gives no rows
    for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(count); ++c) {
        SQLCHAR name[1024] = {};
        SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        m_statement.check(SQLDescribeCol(handle, c, name, SQLSMALLINT(sizeof name), &length, &type,
                                         &size, &digits, &nullable));
        SQLLEN isUnsigned = SQL_FALSE, display = 0;
        SQLColAttribute(handle, c, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned);
        SQLColAttribute(handle, c, SQL_DESC_DISPLAY_SIZE, nullptr, 0, nullptr, &display);
        m_names.append(QString::fromUtf8(reinterpret_cast<const char*>(name)));
        Column column;
        column.kind = odbcRowKind(type, isUnsigned != SQL_FALSE);
        // A character may take four bytes of UTF-8; widths unknown or huge take the most.
        const size_t width = std::max<size_t>(size, size_t(std::max<SQLLEN>(display, 0)));
        const size_t wanted = width * 4 + WidthMargin;
        column.cut = width == 0 || width > cellBytes || wanted > cellBytes;
        column.bytes = std::clamp<size_t>(wanted, 2, cellBytes);
        m_columns.push_back(std::move(column));
    }
}

bool OdbcRows::fetchBlock()
{
    m_row = 0;
    m_fetched = 0;
    const Utf8Characters utf8;
    const SQLRETURN result = SQLFetch(m_statement.handle());
    if (result == SQL_NO_DATA)
        return false;
    m_statement.check(result);
    return m_fetched > 0;
}

bool OdbcRows::next(QList<QVariant>& row)
{
    while (!m_done) {
        if (m_row >= m_fetched && !fetchBlock()) {
            m_done = true;
            m_statement.close();
            break;
        }
        const SQLUSMALLINT status = m_status[m_row];
        if (status == SQL_ROW_NOROW || status == SQL_ROW_DELETED) {
            ++m_row;
            continue;
        }
        if (status == SQL_ROW_ERROR)
            throw m_statement.error();
        const qsizetype n = qsizetype(m_columns.size());
        row.resize(n);
        for (qsizetype i = 0; i < n; ++i)
            row[i] = value(size_t(i));
        ++m_row;
        return true;
    }
    return false;
}

QVariant OdbcRows::value(size_t column)
{
    const Column& c = m_columns[column];
    const SQLLEN length = c.lengths[m_row];
    if (length == SQL_NULL_DATA)
        return nullOf(c.kind);
    // A text needs its closing zero beside it; bytes have none.
    const size_t room = c.kind == Kind::Bytes ? c.bytes : c.bytes - 1;
    if (length == SQL_NO_TOTAL || length < 0 || size_t(length) > room) {
        const QByteArray& whole = readWhole(column);
        return odbcRowValue(whole.constData(), int(whole.size()), c.kind);
    }
    return odbcRowValue(c.values.data() + m_row * c.bytes, int(length), c.kind);
}

const QByteArray& OdbcRows::readWhole(size_t column)
{
    SQLHSTMT handle = m_statement.handle();
    const Column& c = m_columns[column];
    const bool bytes = c.kind == Kind::Bytes;
    const auto refused = [&] {
        return explainedProviderError(
            m_statement.error(),
            QStringLiteral("Ein Wert der Spalte „%1“ ist länger als %2 Bytes; der Treiber gibt "
                           "ihn nicht ganz heraus, und er wird nicht gekürzt gelesen.")
                .arg(m_names[qsizetype(column)])
                .arg(c.bytes - (bytes ? 0 : 1)));
    };
    const Utf8Characters utf8;
    if (m_blockRows > 1 && !odbcSucceeded(SQLSetPos(handle, SQLSETPOSIROW(m_row + 1), SQL_POSITION,
                                                    SQL_LOCK_NO_CHANGE)))
        throw refused();
    m_whole.clear();
    constexpr qsizetype Chunk = 64 * 1024;
    for (;;) {
        const qsizetype start = m_whole.size();
        m_whole.resize(start + Chunk);
        SQLLEN length = 0;
        const SQLRETURN result =
            SQLGetData(handle, SQLUSMALLINT(column + 1), bytes ? SQL_C_BINARY : SQL_C_CHAR,
                       m_whole.data() + start, Chunk, &length);
        if (result == SQL_NO_DATA) {
            m_whole.resize(start);
            break;
        }
        if (!odbcSucceeded(result) || length == SQL_NULL_DATA)
            throw refused();
        // A part that is not the last fills the buffer (but for a text's closing zero).
        const qsizetype room = bytes ? Chunk : Chunk - 1;
        const bool more = length == SQL_NO_TOTAL || length > room;
        m_whole.resize(start + (more ? room : qsizetype(length)));
        if (!more)
            break;
    }
    return m_whole;
}

} // namespace quendra
