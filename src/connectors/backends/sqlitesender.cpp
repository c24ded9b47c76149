#include "connectors/backends/sqlitesender.h"

#include "connectors/backends/lazysqlite.h"
#include "connectors/backends/sqltablewriter.h"
#include "connectors/backends/valueconversion.h"
#include "values/numbers.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDriver>
#include <QTime>
#include <system_error>

namespace quendra {

namespace {
// Prepared statements kept for reuse: rows whose empty columns differ need their own.
constexpr size_t StatementsKept = 8;
const QString SqliteDriver = QStringLiteral("QSQLITE");
} // namespace

SqliteRowSender::SqliteRowSender(QSqlDatabase db, const QString& table)
    : m_db(std::move(db)), m_handle(handleOf(m_db)), m_table(table)
{
}

SqliteRowSender::~SqliteRowSender()
{
    commitDone();
    for (const Statement& s : m_statements)
        lite::finalize(s.statement);
}

sqlite3* SqliteRowSender::handleOf(const QSqlDatabase& db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

SenderColumns SqliteRowSender::columns()
{
    SenderColumns columns = sqlTableColumns(m_db, m_table, SqliteDriver, true);
    m_columns = columns.names;
    m_texts.resize(size_t(m_columns.size()));
    m_utf8.resize(size_t(m_columns.size()));
    return columns;
}

void SqliteRowSender::begin()
{
    execute("begin");
}

void SqliteRowSender::commit()
{
    for (const Statement& s : m_statements)
        lite::reset(s.statement);
    if (lite::exec(m_handle, "commit") != SQLITE_OK) {
        const Error e = failure();
        rollback();
        throw e;
    }
}

bool SqliteRowSender::commitLater()
{
    for (const Statement& s : m_statements)
        lite::reset(s.statement);
    sqlite3* handle = m_handle;
    try {
        m_commit =
            std::async(std::launch::async, [handle] { return lite::exec(handle, "commit"); });
    } catch (const std::system_error&) {
        return false; // no thread to be had: commit waits for it
    }
    return true;
}

int SqliteRowSender::commitDone()
{
    return m_commit.valid() ? m_commit.get() : SQLITE_OK;
}

void SqliteRowSender::committed()
{
    if (commitDone() != SQLITE_OK) {
        const Error e = failure();
        rollback();
        throw e;
    }
}

void SqliteRowSender::rollback()
{
    commitDone();
    for (const Statement& s : m_statements)
        lite::reset(s.statement);
    lite::exec(m_handle, "rollback");
}

void SqliteRowSender::execute(const char* sql)
{
    if (lite::exec(m_handle, sql) != SQLITE_OK)
        throw failure();
}

Error SqliteRowSender::failure() const
{
    return lite::failure(m_handle);
}

SentRows SqliteRowSender::send(const std::vector<QueuedRow>& rows, size_t first, size_t count)
{
    SentRows sent;
    try {
        for (; sent.written < count; ++sent.written) {
            const QueuedRow& row = rows[first + sent.written];
            valuedColumns(row, m_valued); // the row's own columns, in a vector kept
            if (!insert(statementFor(m_valued), row, m_valued)) {
                sent.failure = failure();
                sent.rowKnown = true;
                break;
            }
        }
    } catch (const Error& e) {
        sent.failure = e; // no statement for the row
        sent.rowKnown = true;
    }
    return sent;
}

bool SqliteRowSender::insert(sqlite3_stmt* statement, const QueuedRow& row,
                             const std::vector<bool>& columns)
{
    int position = 0;
    for (size_t c = 0; c < columns.size(); ++c) {
        if (!columns[c])
            continue;
        const QVariant& value = row[c];
        ++position;
        switch (value.metaType().id()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
            lite::bindInt64(statement, position, value.toLongLong());
            continue;
        case QMetaType::Double:
            lite::bindDouble(statement, position, value.toDouble());
            continue;
        case QMetaType::QString:
            bindText(statement, position, c, *static_cast<const QString*>(value.constData()));
            continue;
        case QMetaType::QDate: {
            QByteArray& bytes = m_utf8[c];
            bytes.resize(10);
            if (isoDateBytes(*static_cast<const QDate*>(value.constData()), bytes.data())) {
                lite::bindText(statement, position, bytes.constData(), 10);
                continue;
            }
            m_texts[c] = isoDateText(value.toDate());
            break;
        }
        case QMetaType::QDateTime:
            m_texts[c] = value.toDateTime().toString(Qt::ISODateWithMs);
            break;
        case QMetaType::QTime:
            m_texts[c] = value.toTime().toString(QStringLiteral("hh:mm:ss.zzz"));
            break;
        default:
            m_texts[c] = value.toString();
            break;
        }
        bindText(statement, position, c, m_texts[c]);
    }
    const int result = lite::step(statement);
    lite::reset(statement);
    return result == SQLITE_DONE;
}

void SqliteRowSender::bindText(sqlite3_stmt* statement, int position, size_t column,
                               const QString& text)
{
    // As UTF-8, the file's own encoding mostly: SQLite's conversion from UTF-16 is slow.
    // The column's buffer is reused from row to row.
    QByteArray& bytes = m_utf8[column];
    bytes.resize(3 * text.size()); // three bytes a unit at most
    const char* end = writeUtf8(text, bytes.data());
    lite::bindText(statement, position, bytes.constData(), int(end - bytes.constData()));
}

sqlite3_stmt* SqliteRowSender::statementFor(const std::vector<bool>& columns)
{
    for (const Statement& s : m_statements) {
        if (s.columns == columns)
            return s.statement;
    }
    const QByteArray sql = insertStatement(m_db, m_table, m_columns, columns, 1).toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (lite::prepare(m_handle, sql.constData(), int(sql.size()), &statement) != SQLITE_OK) {
        lite::finalize(statement);
        throw failure();
    }
    if (m_statements.size() >= StatementsKept) {
        lite::finalize(m_statements.front().statement);
        m_statements.erase(m_statements.begin());
    }
    m_statements.push_back({columns, statement});
    return statement;
}

} // namespace quendra
