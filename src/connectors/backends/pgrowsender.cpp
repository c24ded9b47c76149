#include "connectors/backends/pgrowsender.h"

#include "connectors/backends/pgsession.h"
#include "connectors/backends/sqltablewriter.h"
#include "connectors/backends/valueconversion.h"
#include "values/columnnumbers.h"

#include <QRegularExpression>
#include <libpq-fe.h>

namespace quendra {

namespace {
// Bytes gathered before they go to the server.
constexpr qsizetype SendChunk = 1 << 16;

void appendEscaped(QByteArray& line, const QByteArray& text)
{
    for (const char c : text) {
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += c;
        }
    }
}

QByteArray quotedName(const QString& name)
{
    return '"' + name.toUtf8().replace('"', "\"\"") + '"';
}

// The server's error without its context, which names the COPY line, not the record.
Error copyError(const PgSession& session, const pg_result* result)
{
    const Error e = session.error(result);
    const qsizetype context = e.description().indexOf(QStringLiteral("\nCONTEXT:"));
    if (context < 0)
        return e;
    return Error(e.number(), e.source(), e.description().left(context).trimmed());
}
} // namespace

void appendCopyValue(QByteArray& line, const QVariant& value)
{
    if (value.isNull())
        line += "\\N";
    else if (value.metaType().id() == QMetaType::Bool)
        line += value.toBool() ? 't' : 'f';
    else if (value.metaType().id() == QMetaType::QByteArray)
        line += "\\\\x" + value.toByteArray().toHex();
    else
        appendEscaped(line, databaseText(value));
}

int copyErrorLine(const QByteArray& context)
{
    // "COPY t, line 17, column c: ..." (the word "line" in the server's language), on a
    // line of its own after those of a trigger's function.
    static const QRegularExpression line(QStringLiteral(R"(^COPY .*?, \D*?(\d+))"),
                                         QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = line.match(QString::fromUtf8(context));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

PgRowSender::PgRowSender(PgSession& session, const QSqlDatabase& odbc, const QString& table)
    : m_session(session), m_table(table.toUtf8()),
      m_columns(sqlTableColumns(odbc, table, QStringLiteral("QODBC"), false))
{
    for (const QString& name : m_columns.names)
        m_names.push_back(quotedName(name));
    readDefaults();
}

void PgRowSender::readDefaults()
{
    m_defaults.assign(m_names.size(), true);
    QByteArray literal = m_table;
    literal.replace('\'', "''");
    const QByteArray sql = "select atthasdef or attidentity <> '' from pg_attribute "
                           "where attrelid = '" +
                           literal +
                           "'::regclass and attnum > 0 and not attisdropped order by attnum";
    const PgResult defaults(PQexec(m_session.handle(), sql.constData()));
    // Where the columns cannot be told apart, every column left NULL is left out.
    if (PQresultStatus(defaults.get()) != PGRES_TUPLES_OK ||
        PQntuples(defaults.get()) != int(m_defaults.size()))
        return;
    for (size_t i = 0; i < m_defaults.size(); ++i)
        m_defaults[i] = PQgetvalue(defaults.get(), int(i), 0)[0] == 't';
}

void PgRowSender::begin()
{
    m_session.exec("begin");
}

void PgRowSender::commit()
{
    m_session.exec("commit");
}

void PgRowSender::rollback()
{
    const PgResult result(PQexec(m_session.handle(), "rollback"));
}

std::vector<bool> PgRowSender::leftOut(const QueuedRow& row) const
{
    std::vector<bool> out(row.size());
    for (size_t i = 0; i < row.size(); ++i)
        out[i] = m_defaults[i] && row[i].isNull();
    return out;
}

SentRows PgRowSender::send(const std::vector<QueuedRow>& rows, size_t first, size_t count)
{
    const size_t end = first + count;
    for (size_t i = first; i < end;) {
        const std::vector<bool> out = leftOut(rows[i]);
        size_t runEnd = i + 1;
        while (!m_singly && runEnd < end && leftOut(rows[runEnd]) == out)
            ++runEnd;
        SentRows sent = copy(rows, i, runEnd, out);
        if (sent.failure) {
            sent.written += i - first;
            return sent;
        }
        i = runEnd;
    }
    return SentRows{count, std::nullopt, false};
}

SentRows PgRowSender::copy(const std::vector<QueuedRow>& rows, size_t first, size_t end,
                           const std::vector<bool>& out)
{
    PGconn* conn = m_session.handle();
    QByteArray names;
    for (size_t c = 0; c < m_names.size(); ++c) {
        if (!out[c])
            names += (names.isEmpty() ? "" : ",") + m_names[c];
    }
    if (names.isEmpty()) {
        // No column to copy: every row takes the defaults alone.
        for (size_t r = first; r < end; ++r) {
            const QByteArray sql = "insert into " + m_table + " default values";
            const PgResult result(PQexec(conn, sql.constData()));
            if (PQresultStatus(result.get()) != PGRES_COMMAND_OK)
                return SentRows{r - first, copyError(m_session, result.get()), true};
        }
        return SentRows{end - first, std::nullopt, false};
    }
    {
        const QByteArray sql = "copy " + m_table + " (" + names + ") from stdin";
        const PgResult start(PQexec(conn, sql.constData()));
        if (PQresultStatus(start.get()) != PGRES_COPY_IN)
            throw copyError(m_session, start.get());
    }
    bool sent = true;
    m_buffer.clear();
    for (size_t r = first; r < end && sent; ++r) {
        bool firstField = true;
        for (size_t c = 0; c < out.size(); ++c) {
            if (out[c])
                continue;
            if (!firstField)
                m_buffer += '\t';
            firstField = false;
            appendCopyValue(m_buffer, rows[r][c]);
        }
        m_buffer += '\n';
        if (m_buffer.size() >= SendChunk || r + 1 == end) {
            sent = PQputCopyData(conn, m_buffer.constData(), int(m_buffer.size())) == 1;
            m_buffer.clear();
        }
    }
    PQputCopyEnd(conn, sent ? nullptr : "abgebrochen");
    SentRows outcome{end - first, std::nullopt, false};
    while (PGresult* result = PQgetResult(conn)) {
        const PgResult done(result);
        if (!outcome.failure && PQresultStatus(result) != PGRES_COMMAND_OK) {
            outcome.failure = copyError(m_session, result);
            const int line = copyErrorLine(PQresultErrorField(result, PG_DIAG_CONTEXT));
            outcome.rowKnown = line > 0 && size_t(line) <= end - first;
            outcome.written = outcome.rowKnown ? size_t(line - 1) : 0;
        }
    }
    if (!outcome.failure && !sent)
        throw m_session.error(); // the connection broke off
    return outcome;
}

} // namespace quendra
