#pragma once

// The SQLite functions Quendra calls itself, on a connection that Qt SQL opened: each
// hands its arguments to the same function of libsqlite3, which is loaded at the first
// call (see LazyLibrary). Qt's SQLite driver is linked to that very library, so both
// work on one connection.
#include <sqlite3.h>

namespace quendra::lite {

int prepare(sqlite3* db, const char* sql, int bytes, sqlite3_stmt** statement);
int finalize(sqlite3_stmt* statement);
int reset(sqlite3_stmt* statement);
int bindInt64(sqlite3_stmt* statement, int index, sqlite3_int64 value);
int bindDouble(sqlite3_stmt* statement, int index, double value);
// UTF-16 text that stays in place until the statement is reset.
int bindText16(sqlite3_stmt* statement, int index, const void* text, int bytes);
int step(sqlite3_stmt* statement);
int exec(sqlite3* db, const char* sql);
int extendedErrcode(sqlite3* db);
const char* errmsg(sqlite3* db);

} // namespace quendra::lite
