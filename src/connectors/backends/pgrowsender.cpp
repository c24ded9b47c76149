#include "connectors/backends/pgrowsender.h"

#include "common/variantnull.h"
#include "connectors/backends/pgsession.h"
#include "connectors/backends/sqltablewriter.h"
#include "connectors/backends/valueconversion.h"

#include <QRegularExpression>
#include <libpq-fe.h>

namespace quendra {

namespace {
// Bytes gathered before they go to the server.
constexpr qsizetype SendChunk = 1 << 16;

// The letter COPY's escape of c ends with ("\\t" for a tab), 0 for a byte taken as it is.
char escapeCode(char c)
{
    switch (c) {
    case '\\':
        return '\\';
    case '\t':
        return 't';
    case '\n':
        return 'n';
    case '\r':
        return 'r';
    default:
        return 0;
    }
}

// Appends the UTF-8 bytes of text with COPY's escapes; a multi-byte character holds no
// byte that needs one.
void appendEscaped(QByteArray& line, const char* text, qsizetype size)
{
    const qsizetype at = line.size();
    line.resize(at + 2 * size);
    char* const start = line.data();
    char* out = start + at;
    for (const char* end = text + size; text < end; ++text) {
        const char code = escapeCode(*text);
        if (code != 0)
            *out++ = '\\';
        *out++ = code != 0 ? code : *text;
    }
    line.resize(out - start);
}

// Appends text in UTF-8 with COPY's escapes, its ASCII part straight from the characters.
void appendText(QByteArray& line, QStringView text)
{
    const qsizetype at = line.size();
    line.resize(at + 2 * text.size()); // an escaped ASCII character takes two bytes at most
    char* const start = line.data();
    char* out = start + at;
    const char16_t* c = text.utf16();
    const char16_t* const end = c + text.size();
    for (; c < end && *c < 0x80; ++c) {
        const char ch = char(*c);
        const char code = ch >= 0x20 && ch != '\\' ? 0 : escapeCode(ch);
        if (code != 0)
            *out++ = '\\';
        *out++ = code != 0 ? code : ch;
    }
    line.resize(out - start);
    if (c < end) {
        const QByteArray rest = QStringView(c, end).toUtf8();
        appendEscaped(line, rest.constData(), rest.size());
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
    if (isNullValue(value)) {
        line += "\\N";
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        line += value.toBool() ? 't' : 'f';
        return;
    case QMetaType::QByteArray:
        line += "\\\\x" + value.toByteArray().toHex();
        return;
    // Texts, the most frequent, straight into the line: the same bytes as databaseText
    // gives them, escaped on the way.
    case QMetaType::QString:
        appendText(line, *static_cast<const QString*>(value.constData()));
        return;
    // Digits, a sign and dashes: nothing that COPY escapes.
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::QDate:
        appendDatabaseText(line, value);
        return;
    default:
        break;
    }
    const QByteArray text = databaseText(value);
    appendEscaped(line, text.constData(), text.size());
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
    dropEarly();
    m_session.exec("begin");
}

void PgRowSender::commit()
{
    dropEarly();
    m_session.exec("commit");
}

bool PgRowSender::commitLater()
{
    dropEarly();
    if (PQsendQuery(m_session.handle(), "commit") != 1)
        throw m_session.error();
    m_committing = true;
    return true;
}

void PgRowSender::committed()
{
    m_committing = false;
    std::optional<Error> failure;
    while (PGresult* result = PQgetResult(m_session.handle())) {
        const PgResult done(result);
        if (!failure && PQresultStatus(result) != PGRES_COMMAND_OK)
            failure = m_session.error(result);
    }
    if (failure)
        throw *failure;
}

void PgRowSender::rollback()
{
    if (m_committing) {
        try {
            committed();
        } catch (const Error&) {
            // the transaction is over either way
        }
    }
    dropEarly();
    const PgResult result(PQexec(m_session.handle(), "rollback"));
}

void PgRowSender::leftOut(const QueuedRow& row, std::vector<bool>& out) const
{
    out.resize(row.size());
    for (size_t i = 0; i < row.size(); ++i)
        out[i] = m_defaults[i] && isNullValue(row[i]);
}

void PgRowSender::queued(const std::vector<QueuedRow>& rows, size_t row)
{
    if (m_earlyStopped || row != m_earlyEnd)
        return;
    leftOut(rows[row], m_rowOut);
    if (m_copying && m_rowOut != m_earlyOut) {
        SentRows sent = endCopy(row - m_earlyFirst);
        if (sent.failure) {
            sent.written += m_earlyFirst;
            m_earlyFailure = std::move(sent);
            m_earlyStopped = true;
            return;
        }
    }
    if (!m_copying) {
        // A row of defaults alone goes by itself when the block is sent.
        if (std::find(m_rowOut.begin(), m_rowOut.end(), false) == m_rowOut.end()) {
            m_earlyStopped = true;
            return;
        }
        try {
            startCopy(m_rowOut);
        } catch (const Error& e) {
            m_earlyError = e;
            m_earlyStopped = true;
            return;
        }
        m_earlyOut = m_rowOut;
        m_earlyFirst = row;
    }
    putRow(rows[row], m_earlyOut);
    m_earlyEnd = row + 1;
}

SentRows PgRowSender::endEarly()
{
    SentRows sent{m_earlyEnd, std::nullopt, false};
    if (m_earlyFailure)
        sent = *m_earlyFailure;
    else if (m_copying)
        sent = endCopy(m_earlyEnd - m_earlyFirst);
    if (sent.failure && !m_earlyFailure)
        sent.written += m_earlyFirst;
    return sent;
}

void PgRowSender::dropEarly()
{
    if (m_copying) {
        PQputCopyEnd(m_session.handle(), "abgebrochen");
        while (PGresult* result = PQgetResult(m_session.handle()))
            PQclear(result);
        m_copying = false;
    }
    m_earlyFirst = m_earlyEnd = 0;
    m_earlyFailure.reset();
    m_earlyError.reset();
    m_earlyStopped = false;
}

SentRows PgRowSender::send(const std::vector<QueuedRow>& rows, size_t first, size_t count)
{
    const size_t end = first + count;
    size_t i = first;
    if (first == 0 && m_earlyEnd > 0) {
        const std::optional<Error> error = std::move(m_earlyError);
        const SentRows early = error ? SentRows{} : endEarly();
        i = m_earlyEnd;
        dropEarly();
        if (error)
            throw *error;
        if (early.failure)
            return early;
    }
    dropEarly();
    std::vector<bool> out;
    for (; i < end;) {
        leftOut(rows[i], out);
        size_t runEnd = i + 1;
        while (!m_singly && runEnd < end) {
            leftOut(rows[runEnd], m_rowOut);
            if (m_rowOut != out)
                break;
            ++runEnd;
        }
        SentRows sent = copy(rows, i, runEnd, out);
        if (sent.failure) {
            sent.written += i - first;
            return sent;
        }
        i = runEnd;
    }
    return SentRows{count, std::nullopt, false};
}

void PgRowSender::startCopy(const std::vector<bool>& out)
{
    QByteArray names;
    for (size_t c = 0; c < m_names.size(); ++c) {
        if (!out[c])
            names += (names.isEmpty() ? "" : ",") + m_names[c];
    }
    const QByteArray sql = "copy " + m_table + " (" + names + ") from stdin";
    const PgResult start(PQexec(m_session.handle(), sql.constData()));
    if (PQresultStatus(start.get()) != PGRES_COPY_IN)
        throw copyError(m_session, start.get());
    m_copying = true;
    m_putFailed = false;
    m_buffer.resize(0);
}

void PgRowSender::putRow(const QueuedRow& row, const std::vector<bool>& out)
{
    bool firstField = true;
    for (size_t c = 0; c < out.size(); ++c) {
        if (out[c])
            continue;
        if (!firstField)
            m_buffer += '\t';
        firstField = false;
        appendCopyValue(m_buffer, row[c]);
    }
    m_buffer += '\n';
    if (m_buffer.size() >= SendChunk && !m_putFailed) {
        m_putFailed =
            PQputCopyData(m_session.handle(), m_buffer.constData(), int(m_buffer.size())) != 1;
        m_buffer.resize(0);
    }
}

SentRows PgRowSender::endCopy(size_t rows)
{
    PGconn* conn = m_session.handle();
    if (!m_buffer.isEmpty() && !m_putFailed)
        m_putFailed = PQputCopyData(conn, m_buffer.constData(), int(m_buffer.size())) != 1;
    m_buffer.resize(0);
    m_copying = false;
    PQputCopyEnd(conn, m_putFailed ? "abgebrochen" : nullptr);
    SentRows outcome{rows, std::nullopt, false};
    while (PGresult* result = PQgetResult(conn)) {
        const PgResult done(result);
        if (!outcome.failure && PQresultStatus(result) != PGRES_COMMAND_OK) {
            outcome.failure = copyError(m_session, result);
            const int line = copyErrorLine(PQresultErrorField(result, PG_DIAG_CONTEXT));
            outcome.rowKnown = line > 0 && size_t(line) <= rows;
            outcome.written = outcome.rowKnown ? size_t(line - 1) : 0;
        }
    }
    if (!outcome.failure && m_putFailed)
        throw m_session.error(); // the connection broke off
    return outcome;
}

SentRows PgRowSender::copy(const std::vector<QueuedRow>& rows, size_t first, size_t end,
                           const std::vector<bool>& out)
{
    if (std::find(out.begin(), out.end(), false) == out.end()) {
        // No column to copy: every row takes the defaults alone.
        for (size_t r = first; r < end; ++r) {
            const QByteArray sql = "insert into " + m_table + " default values";
            const PgResult result(PQexec(m_session.handle(), sql.constData()));
            if (PQresultStatus(result.get()) != PGRES_COMMAND_OK)
                return SentRows{r - first, copyError(m_session, result.get()), true};
        }
        return SentRows{end - first, std::nullopt, false};
    }
    startCopy(out);
    for (size_t r = first; r < end; ++r)
        putRow(rows[r], out);
    return endCopy(end - first);
}

} // namespace quendra
