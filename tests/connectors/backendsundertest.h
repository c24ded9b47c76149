#pragma once

#include "connectors/backends/connection.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <array>
#include <functional>
#include <ostream>
#include <span>

namespace quendra::test {

// What a back-end's tables cannot hold or do otherwise than the rest.
struct Quirks {
    bool noDateTime = false; // no column for a date with a time of day
    // Boolean columns reach Quendra as text (psqlODBC) or as numbers (SQLite ODBC): they
    // take only the words or numbers the database itself accepts, and it checks them.
    bool noBoolean = false;
    bool typeless = false;     // every column is text: nothing is refused
    bool defaults = false;     // a column left NULL takes its declared default
    bool allOrNothing = false; // the rows of every kind are written as one transaction
    bool refusesSix = false;   // the table refuses the row numbered 6
};

// A writable table "werte" of a back-end: its connection and name.
struct Target {
    DatabaseConnection connection;
    QString table;
    std::function<void()> cleanup;
    // Before each connection to the target: waits until it takes one (a user of one
    // session only gets the next when the server has ended the last).
    std::function<void()> beforeOpen = nullptr;
};

// A way a source can be wrong, in the order of BackendUnderTest::damage.
enum class Damage { Missing, Foreign, CutShort, DamagedHeader };
constexpr qint32 NotTried = -1;

// One back-end as the reader, connector and writer contracts meet it.
struct BackendUnderTest {
    const char* name;
    // The catalogue file type; "" an ODBC data source; nullptr the text connector.
    const char* fileType;
    QString (*dsn)() = nullptr; // the ODBC data source; empty when it is missing
    // Reading: the file the table lies in (beside its sound copy, or in a folder that is
    // the data source) and where its header holds a length or version to damage (-1: a
    // text has no header and no length to fall short of).
    const char* tableFile = nullptr;
    bool inFolder = false;
    std::function<QByteArray(const QTemporaryDir&)> sound = nullptr;
    int headerField = -1;
    // The error number each damage ends in: 0 the database driver's own, NotTried.
    std::array<qint32, 4> damage = {NotTried, NotTried, NotTried, NotTried};
    // The Qt driver that makes its tables by SQL for the connector contract; nullptr: none.
    const char* sqlDriver = nullptr;
    // Writing: a table "werte" of the writer contract's columns (a skip reason instead
    // when its service is missing); nullptr where no table is written.
    std::function<Target(const QTemporaryDir&, QString& skip, const QStringList& moreSql)>
        makeTable = nullptr;
    Quirks quirks = {};
};

// A test of a back-end prints as its name.
inline void PrintTo(const BackendUnderTest* backend, std::ostream* os)
{
    *os << backend->name;
}

// Every back-end under test.
std::span<const BackendUnderTest> backendsUnderTest();
const BackendUnderTest& backendUnderTest(const char* name);

// The writer contract's columns for a table of an SQL back-end.
QString sqlDdl(const QString& table, const char* real, const char* stamp, const char* flag,
               const char* whole = "integer");

} // namespace quendra::test
