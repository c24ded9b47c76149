#include "connectors/backends/lazysqlite.h"

#include "connectors/backends/lazylibrary.h"

namespace {
constinit quendra::LazyLibrary sqlite("libsqlite3.so.0", "SQLite");
} // namespace

#define LITE_FORWARD(name, ...) QUENDRA_LAZY_CALL(sqlite, name, __VA_ARGS__)

namespace quendra::lite {

Error failure(sqlite3* db)
{
    const QString text = QString::fromUtf8(errmsg(db)).trimmed();
    return Error(extendedErrcode(db), QStringLiteral("QSQLITE"),
                 text.isEmpty() ? QStringLiteral("Unbekannter Fehler des Datenbanktreibers.")
                                : text);
}

int prepare(sqlite3* db, const char* sql, int bytes, sqlite3_stmt** statement, const char** tail)
{
    LITE_FORWARD(sqlite3_prepare_v2, db, sql, bytes, statement, tail);
}
int finalize(sqlite3_stmt* statement)
{
    LITE_FORWARD(sqlite3_finalize, statement);
}
int reset(sqlite3_stmt* statement)
{
    LITE_FORWARD(sqlite3_reset, statement);
}
int bindInt64(sqlite3_stmt* statement, int index, sqlite3_int64 value)
{
    LITE_FORWARD(sqlite3_bind_int64, statement, index, value);
}
int bindDouble(sqlite3_stmt* statement, int index, double value)
{
    LITE_FORWARD(sqlite3_bind_double, statement, index, value);
}
int bindText(sqlite3_stmt* statement, int index, const char* text, int bytes)
{
    LITE_FORWARD(sqlite3_bind_text, statement, index, text, bytes, SQLITE_STATIC);
}
int step(sqlite3_stmt* statement)
{
    LITE_FORWARD(sqlite3_step, statement);
}
int exec(sqlite3* db, const char* sql)
{
    LITE_FORWARD(sqlite3_exec, db, sql, nullptr, nullptr, nullptr);
}
int extendedErrcode(sqlite3* db)
{
    LITE_FORWARD(sqlite3_extended_errcode, db);
}
const char* errmsg(sqlite3* db)
{
    LITE_FORWARD(sqlite3_errmsg, db);
}

int columnCount(sqlite3_stmt* statement)
{
    LITE_FORWARD(sqlite3_column_count, statement);
}
const char* columnName(sqlite3_stmt* statement, int column)
{
    LITE_FORWARD(sqlite3_column_name, statement, column);
}
const char* columnDecltype(sqlite3_stmt* statement, int column)
{
    LITE_FORWARD(sqlite3_column_decltype, statement, column);
}
int columnType(sqlite3_stmt* statement, int column)
{
    LITE_FORWARD(sqlite3_column_type, statement, column);
}
sqlite3_int64 columnInt64(sqlite3_stmt* statement, int column)
{
    LITE_FORWARD(sqlite3_column_int64, statement, column);
}
double columnDouble(sqlite3_stmt* statement, int column)
{
    LITE_FORWARD(sqlite3_column_double, statement, column);
}
const unsigned char* columnText(sqlite3_stmt* statement, int column)
{
    LITE_FORWARD(sqlite3_column_text, statement, column);
}
const void* columnBlob(sqlite3_stmt* statement, int column)
{
    LITE_FORWARD(sqlite3_column_blob, statement, column);
}
int columnBytes(sqlite3_stmt* statement, int column)
{
    LITE_FORWARD(sqlite3_column_bytes, statement, column);
}

} // namespace quendra::lite
