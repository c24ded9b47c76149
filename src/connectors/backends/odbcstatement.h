#pragma once

#include "common/error.h"

#include <QByteArray>
#include <QSqlDatabase>

namespace quendra {

// The ODBC connection handle under a Qt SQL connection of the ODBC driver; nullptr for
// any other connection.
void* odbcConnectionOf(const QSqlDatabase& db);

// The diagnostic records of an ODBC handle (type: SQL_HANDLE_STMT, ...) as Quendra's
// error: the first native code, the driver's texts one a line.
Error odbcError(short handleType, void* handle);

// Whether an ODBC function's result is a success (with or without a warning).
inline bool odbcSucceeded(short result)
{
    return result == 0 || result == 1; // SQL_SUCCESS, SQL_SUCCESS_WITH_INFO
}

// While it lives, the calling thread converts characters as UTF-8, whatever the process's
// locale: a driver converts text bound or fetched as SQL_C_CHAR by the locale (psqlODBC
// refuses an umlaut under LC_CTYPE=C), and Quendra's texts are UTF-8.
class Utf8Characters {
public:
    Utf8Characters();
    ~Utf8Characters();
    Utf8Characters(const Utf8Characters&) = delete;
    Utf8Characters& operator=(const Utf8Characters&) = delete;

private:
    void* m_previous = nullptr; // the thread's locale before, when it was changed
};

// A statement on an ODBC connection, freed when it goes.
class OdbcStatement {
public:
    // Throws the connection's error when the driver has no statement to give.
    explicit OdbcStatement(void* connection);
    ~OdbcStatement();
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    void* handle() const { return m_handle; }
    // Throws the statement's error unless result is a success.
    void check(short result) const
    {
        if (!odbcSucceeded(result))
            throw error();
    }
    Error error() const { return odbcError(3, m_handle); } // SQL_HANDLE_STMT
    // Runs sql; throws the driver's error.
    void execute(const QByteArray& sql);
    // Prepares sql; throws the driver's error.
    void prepare(const QByteArray& sql);
    // Closes the cursor of the last query, if it left one open.
    void close();

private:
    void* m_handle = nullptr;
};

} // namespace quendra
