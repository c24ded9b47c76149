// The functions of unixODBC's driver manager Quendra calls itself, on the connection that
// Qt SQL opened: rows inserted by prepared statements and read through a block cursor.
// Each hands its arguments to the same function of libodbc, which Qt's ODBC driver has
// loaded already (see LazyLibrary).
#include "connectors/backends/lazylibrary.h"

#include <sql.h>
#include <sqlext.h>

namespace {
constinit quendra::LazyLibrary libodbc("libodbc.so.2", "ODBC");
} // namespace

#define ODBC_FORWARD(name, ...) QUENDRA_LAZY_CALL(libodbc, name, __VA_ARGS__)

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output)
{
    ODBC_FORWARD(SQLAllocHandle, type, input, output);
}
SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle)
{
    ODBC_FORWARD(SQLFreeHandle, type, handle);
}
SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT statement, SQLUSMALLINT option)
{
    ODBC_FORWARD(SQLFreeStmt, statement, option);
}
SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record,
                                SQLCHAR* state, SQLINTEGER* native, SQLCHAR* text, SQLSMALLINT size,
                                SQLSMALLINT* length)
{
    ODBC_FORWARD(SQLGetDiagRec, type, handle, record, state, native, text, size, length);
}
SQLRETURN SQL_API SQLGetInfo(SQLHDBC connection, SQLUSMALLINT type, SQLPOINTER value,
                             SQLSMALLINT size, SQLSMALLINT* length)
{
    ODBC_FORWARD(SQLGetInfo, connection, type, value, size, length);
}
SQLRETURN SQL_API SQLPrepare(SQLHSTMT statement, SQLCHAR* text, SQLINTEGER length)
{
    ODBC_FORWARD(SQLPrepare, statement, text, length);
}
SQLRETURN SQL_API SQLExecute(SQLHSTMT statement)
{
    ODBC_FORWARD(SQLExecute, statement);
}
SQLRETURN SQL_API SQLExecDirect(SQLHSTMT statement, SQLCHAR* text, SQLINTEGER length)
{
    ODBC_FORWARD(SQLExecDirect, statement, text, length);
}
SQLRETURN SQL_API SQLBindParameter(SQLHSTMT statement, SQLUSMALLINT number, SQLSMALLINT direction,
                                   SQLSMALLINT cType, SQLSMALLINT sqlType, SQLULEN size,
                                   SQLSMALLINT digits, SQLPOINTER value, SQLLEN capacity,
                                   SQLLEN* indicator)
{
    ODBC_FORWARD(SQLBindParameter, statement, number, direction, cType, sqlType, size, digits,
                 value, capacity, indicator);
}
SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT statement, SQLSMALLINT* count)
{
    ODBC_FORWARD(SQLNumResultCols, statement, count);
}
SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT statement, SQLUSMALLINT column, SQLCHAR* name,
                                 SQLSMALLINT size, SQLSMALLINT* length, SQLSMALLINT* type,
                                 SQLULEN* columnSize, SQLSMALLINT* digits, SQLSMALLINT* nullable)
{
    ODBC_FORWARD(SQLDescribeCol, statement, column, name, size, length, type, columnSize, digits,
                 nullable);
}
SQLRETURN SQL_API SQLColumns(SQLHSTMT statement, SQLCHAR* catalog, SQLSMALLINT catalogLength,
                             SQLCHAR* schema, SQLSMALLINT schemaLength, SQLCHAR* table,
                             SQLSMALLINT tableLength, SQLCHAR* column, SQLSMALLINT columnLength)
{
    ODBC_FORWARD(SQLColumns, statement, catalog, catalogLength, schema, schemaLength, table,
                 tableLength, column, columnLength);
}
SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT statement, SQLINTEGER attribute, SQLPOINTER value,
                                 SQLINTEGER length)
{
    ODBC_FORWARD(SQLSetStmtAttr, statement, attribute, value, length);
}
SQLRETURN SQL_API SQLBindCol(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType,
                             SQLPOINTER value, SQLLEN capacity, SQLLEN* indicator)
{
    ODBC_FORWARD(SQLBindCol, statement, column, cType, value, capacity, indicator);
}
SQLRETURN SQL_API SQLFetch(SQLHSTMT statement)
{
    ODBC_FORWARD(SQLFetch, statement);
}
SQLRETURN SQL_API SQLGetData(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType,
                             SQLPOINTER value, SQLLEN capacity, SQLLEN* indicator)
{
    ODBC_FORWARD(SQLGetData, statement, column, cType, value, capacity, indicator);
}

SQLRETURN SQL_API SQLColAttribute(SQLHSTMT statement, SQLUSMALLINT column, SQLUSMALLINT field,
                                  SQLPOINTER text, SQLSMALLINT size, SQLSMALLINT* length,
                                  SQLLEN* number)
{
    ODBC_FORWARD(SQLColAttribute, statement, column, field, text, size, length, number);
}
SQLRETURN SQL_API SQLSetPos(SQLHSTMT statement, SQLSETPOSIROW row, SQLUSMALLINT option,
                            SQLUSMALLINT lock)
{
    ODBC_FORWARD(SQLSetPos, statement, row, option, lock);
}

} // extern "C"
