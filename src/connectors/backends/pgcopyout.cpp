#include "connectors/backends/pgcopyout.h"

#include "common/variantnull.h"
#include "connectors/backends/pgsession.h"
#include "connectors/backends/valueconversion.h"

#include <QDateTime>
#include <algorithm>
#include <charconv>
#include <libpq-fe.h>

namespace quendra {

namespace {
// Type codes of pg_type for the types read other than as text.
enum TypeOid : unsigned {
    BoolOid = 16,
    ByteaOid = 17,
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    Float4Oid = 700,
    Float8Oid = 701,
    DateOid = 1082,
    TimeOid = 1083,
    TimestampOid = 1114,
    TimestampTzOid = 1184,
    TimeTzOid = 1266,
    NumericOid = 1700,
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The character an escape "\c" stands for, apart from octal and hexadecimal codes.
char escaped(char c)
{
    switch (c) {
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    default:
        return c;
    }
}

// Undoes the escapes of [from, end) writing to out; returns the end of what was written.
char* unescape(const char* from, const char* end, char* out)
{
    while (from < end) {
        if (*from != '\\' || from + 1 == end) {
            *out++ = *from++;
            continue;
        }
        ++from;
        if (*from >= '0' && *from <= '7') {
            int code = 0;
            for (int n = 0; n < 3 && from < end && *from >= '0' && *from <= '7'; ++n)
                code = code * 8 + (*from++ - '0');
            *out++ = char(code);
        } else if (*from == 'x' && from + 1 < end && hexDigit(from[1]) >= 0) {
            ++from;
            int code = 0;
            for (int n = 0; n < 2 && from < end && hexDigit(*from) >= 0; ++n)
                code = code * 16 + hexDigit(*from++);
            *out++ = char(code);
        } else {
            *out++ = escaped(*from++);
        }
    }
    return out;
}

QVariant textValue(const CopyField& field)
{
    return QString::fromUtf8(field.data, field.size);
}

// Sets value to the text of field, into the text value holds already where it can: a
// row's texts keep their memory from line to line.
void setText(QVariant& value, const CopyField& field)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(field.data);
    const bool ascii =
        std::all_of(bytes, bytes + field.size, [](unsigned char c) { return c < 0x80; });
    if (!ascii || value.typeId() != QMetaType::QString || isNullValue(value)) {
        value = textValue(field);
        return;
    }
    QString& text = *static_cast<QString*>(value.data());
    text.resize(field.size);
    QChar* out = text.data();
    for (int i = 0; i < field.size; ++i)
        out[i] = QLatin1Char(field.data[i]);
}

QVariant nullOf(PgKind kind)
{
    switch (kind) {
    case PgKind::Integer:
        return QVariant(QMetaType::fromType<int>());
    case PgKind::BigInteger:
        return QVariant(QMetaType::fromType<qlonglong>());
    case PgKind::Number:
        return QVariant(QMetaType::fromType<double>());
    case PgKind::Date:
        return QVariant(QMetaType::fromType<QDate>());
    case PgKind::Time:
        return QVariant(QMetaType::fromType<QTime>());
    case PgKind::DateTime:
        return QVariant(QMetaType::fromType<QDateTime>());
    case PgKind::Bytes:
        return QVariant(QMetaType::fromType<QByteArray>());
    case PgKind::Text:
    case PgKind::Boolean:
        break;
    }
    return QVariant(QMetaType::fromType<QString>());
}

template <class Whole> QVariant wholeValue(const CopyField& field)
{
    Whole value = 0;
    const auto [end, fault] = std::from_chars(field.data, field.data + field.size, value);
    if (fault != std::errc() || end != field.data + field.size)
        return textValue(field);
    return QVariant::fromValue(value);
}

QVariant bytesValue(const CopyField& field)
{
    if (field.size < 2 || field.data[0] != '\\' || field.data[1] != 'x')
        return QByteArray(field.data, field.size); // the old escape format
    return QByteArray::fromHex(QByteArray::fromRawData(field.data + 2, field.size - 2));
}
} // namespace

void splitCopyLine(char* line, int size, std::vector<CopyField>& fields)
{
    fields.clear();
    if (size > 0 && line[size - 1] == '\n')
        --size;
    const char* end = line + size;
    const char* from = line;
    char* out = line;
    while (true) {
        const char* stop = from;
        bool plain = true;
        while (stop < end && *stop != '\t') {
            plain = plain && *stop != '\\';
            ++stop;
        }
        CopyField field;
        if (stop - from == 2 && from[0] == '\\' && from[1] == 'N') {
            field.null = true;
        } else {
            field.data = out;
            out = plain ? std::copy(from, stop, out) : unescape(from, stop, out);
            field.size = int(out - field.data);
        }
        fields.push_back(field);
        if (stop == end)
            break;
        from = stop + 1;
    }
}

PgKind pgKind(unsigned typeOid)
{
    switch (typeOid) {
    case BoolOid:
        return PgKind::Boolean;
    case ByteaOid:
        return PgKind::Bytes;
    case Int2Oid:
    case Int4Oid:
        return PgKind::Integer;
    case Int8Oid:
        return PgKind::BigInteger;
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        return PgKind::Number;
    case DateOid:
        return PgKind::Date;
    case TimeOid:
    case TimeTzOid:
        return PgKind::Time;
    case TimestampOid:
    case TimestampTzOid:
        return PgKind::DateTime;
    default:
        return PgKind::Text;
    }
}

QVariant pgValue(const CopyField& field, PgKind kind)
{
    if (field.null)
        return nullOf(kind);
    switch (kind) {
    case PgKind::Text:
        return textValue(field);
    case PgKind::Boolean:
        if (field.size == 1 && (field.data[0] == 't' || field.data[0] == 'f'))
            return QString(QLatin1Char(field.data[0] == 't' ? '1' : '0'));
        return textValue(field);
    case PgKind::Integer:
        return wholeValue<int>(field);
    case PgKind::BigInteger:
        return wholeValue<qlonglong>(field);
    case PgKind::Number:
        return printedNumberValue(QByteArray::fromRawData(field.data, field.size), false);
    case PgKind::Date: {
        const QDate date = readIsoDate(field.data, field.size);
        return date.isValid() ? QVariant(date) : textValue(field);
    }
    case PgKind::Time: {
        const QTime time = readIsoTime(field.data, field.size);
        return time.isValid() ? QVariant(time) : textValue(field);
    }
    case PgKind::DateTime: {
        const QDate date = field.size > 11 ? readIsoDate(field.data, 10) : QDate();
        const QTime time = date.isValid() && field.data[10] == ' '
                               ? readIsoTime(field.data + 11, field.size - 11)
                               : QTime();
        return time.isValid() ? QVariant(QDateTime(date, time)) : textValue(field);
    }
    case PgKind::Bytes:
        return bytesValue(field);
    }
    return textValue(field);
}

std::unique_ptr<BulkRows> PgCopyRows::open(PgSession& session, const QString& sql)
{
    QByteArray query = sql.trimmed().toUtf8();
    while (query.endsWith(';'))
        query = query.chopped(1).trimmed();
    PGconn* conn = session.handle();
    // The columns and their types, from the query described without running it.
    if (PQresultStatus(PgResult(PQprepare(conn, "", query.constData(), 0, nullptr)).get()) !=
        PGRES_COMMAND_OK)
        return nullptr;
    const PgResult described(PQdescribePrepared(conn, ""));
    const int columns = PQnfields(described.get());
    if (PQresultStatus(described.get()) != PGRES_COMMAND_OK || columns == 0)
        return nullptr;
    std::unique_ptr<PgCopyRows> rows(new PgCopyRows(session));
    for (int i = 0; i < columns; ++i) {
        rows->m_columns.append(QString::fromUtf8(PQfname(described.get(), i)));
        rows->m_kinds.push_back(pgKind(PQftype(described.get(), i)));
    }
    const QByteArray copy = "copy (" + query + ") to stdout";
    if (PQresultStatus(PgResult(PQexec(conn, copy.constData())).get()) != PGRES_COPY_OUT)
        return nullptr;
    rows->m_copying = true;
    return rows;
}

PgCopyRows::~PgCopyRows()
{
    if (!m_copying)
        return;
    // Left before the end: the server stops sending, and what it sent meanwhile goes.
    PGconn* conn = m_session.handle();
    if (PGcancel* cancel = PQgetCancel(conn)) {
        char reason[256];
        PQcancel(cancel, reason, int(sizeof reason));
        PQfreeCancel(cancel);
    }
    char* line = nullptr;
    while (PQgetCopyData(conn, &line, 0) > 0)
        PQfreemem(line);
    while (PGresult* rest = PQgetResult(conn))
        PQclear(rest);
}

bool PgCopyRows::next(QList<QVariant>& row)
{
    if (!m_copying)
        return false;
    char* line = nullptr;
    const int size = PQgetCopyData(m_session.handle(), &line, 0);
    if (size < 0) {
        finish(size == -1);
        return false;
    }
    splitCopyLine(line, size, m_fields);
    const qsizetype n = m_columns.size();
    row.resize(n);
    for (qsizetype i = 0; i < n; ++i) {
        const auto at = size_t(i);
        if (at >= m_fields.size())
            row[i] = QVariant();
        else if (m_kinds[at] == PgKind::Text && !m_fields[at].null)
            setText(row[i], m_fields[at]);
        else
            row[i] = pgValue(m_fields[at], m_kinds[at]);
    }
    PQfreemem(line);
    return true;
}

void PgCopyRows::finish(bool ended)
{
    m_copying = false;
    PGconn* conn = m_session.handle();
    std::optional<Error> failure;
    while (PGresult* result = PQgetResult(conn)) {
        const PgResult end(result);
        if (!failure && PQresultStatus(result) != PGRES_COMMAND_OK)
            failure = m_session.error(result);
    }
    if (failure)
        throw *failure;
    if (!ended)
        throw m_session.error(); // the connection broke off
}

} // namespace quendra
