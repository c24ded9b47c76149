#include "connectors/backends/lazysqlite.h"

#include "connectors/backends/lazylibrary.h"

namespace {
constinit quendra::LazyLibrary sqlite("libsqlite3.so.0", "SQLite");
} // namespace

#define LITE_FORWARD(name, ...) QUENDRA_LAZY_CALL(sqlite, name, __VA_ARGS__)

namespace quendra::lite {

int prepare(sqlite3* db, const char* sql, int bytes, sqlite3_stmt** statement)
{
    LITE_FORWARD(sqlite3_prepare_v2, db, sql, bytes, statement, nullptr);
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
int bindText16(sqlite3_stmt* statement, int index, const void* text, int bytes)
{
    LITE_FORWARD(sqlite3_bind_text16, statement, index, text, bytes, SQLITE_STATIC);
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

} // namespace quendra::lite
