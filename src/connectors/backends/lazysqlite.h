#pragma once

// The SQLite functions Quendra calls itself, on a connection that Qt SQL opened: each
// hands its arguments to the same function of libsqlite3, which is loaded at the first
// call (see LazyLibrary). Qt's SQLite driver is linked to that very library, so both
// work on one connection.
#include "common/error.h"

#include <sqlite3.h>

namespace quendra::lite {

// The connection's last failure as Quendra's error: SQLite's extended code, its text.
Error failure(sqlite3* db);

// tail: where the first statement of sql ends, when wanted.
int prepare(sqlite3* db, const char* sql, int bytes, sqlite3_stmt** statement,
            const char** tail = nullptr);
int finalize(sqlite3_stmt* statement);
int reset(sqlite3_stmt* statement);
int bindInt64(sqlite3_stmt* statement, int index, sqlite3_int64 value);
int bindDouble(sqlite3_stmt* statement, int index, double value);
// UTF-8 text that stays in place until the statement is reset.
int bindText(sqlite3_stmt* statement, int index, const char* text, int bytes);
int step(sqlite3_stmt* statement);
int exec(sqlite3* db, const char* sql);
int extendedErrcode(sqlite3* db);
const char* errmsg(sqlite3* db);
int columnCount(sqlite3_stmt* statement);
const char* columnName(sqlite3_stmt* statement, int column);
// The declared type of a result column taken from a table; nullptr for an expression.
const char* columnDecltype(sqlite3_stmt* statement, int column);
int columnType(sqlite3_stmt* statement, int column);
sqlite3_int64 columnInt64(sqlite3_stmt* statement, int column);
double columnDouble(sqlite3_stmt* statement, int column);
const unsigned char* columnText(sqlite3_stmt* statement, int column);
const void* columnBlob(sqlite3_stmt* statement, int column);
int columnBytes(sqlite3_stmt* statement, int column);

} // namespace quendra::lite
