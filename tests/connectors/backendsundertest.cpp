#include "backendsundertest.h"

#include "common/error.h"
#include "common/medium.h"
#include "connectors/backends/filetypes.h"
#include "connectors/filetypes.h"
#include "filefixtures.h"
#include "support/filebytes.h"
#include "support/testdatabases.h"

#include <QFile>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>
#include <shapefil.h>
#include <stdexcept>
extern "C" { // pxlib declares its functions without C linkage for C++
#include <paradox.h>
}

using namespace Qt::StringLiterals;

namespace quendra::test {

QString sqlDdl(const QString& table, const char* real, const char* stamp, const char* flag,
               const char* whole)
{
    return u"create table %1 (nr integer, betrag %2, datum date, zeitpunkt %3, flag %4, "
           "name varchar(40) default 'offen', ganz %5, dezimal numeric(38,18))"_s.arg(
               table, QLatin1String(real), QLatin1String(stamp), QLatin1String(flag),
               QLatin1String(whole));
}

namespace {

// A sound file of tests/data/files.
std::function<QByteArray(const QTemporaryDir&)> sound(const char* name)
{
    return [name](const QTemporaryDir&) { return readFile(dataFile(name)); };
}

// An SQLite file of several pages.
QByteArray sqliteSound(const QTemporaryDir& dir)
{
    const QString scratch = dir.filePath(u"sound.db"_s);
    ScratchConnection(u"QSQLITE"_s, scratch)
        .execAll({u"create table kunden (nr integer, name text)"_s,
                  u"with recursive n(i) as (select 1 union all select i + 1 from n where i < 300) "
                  "insert into kunden select i, printf('%080d', i) from n"_s});
    return readFile(scratch);
}

Target sqliteTable(const QTemporaryDir& dir, QString&, const QStringList&)
{
    const QString path = dir.filePath(u"ziel.db"_s);
    ScratchConnection(u"QSQLITE"_s, path).exec(sqlDdl(u"werte"_s, "real", "datetime", "boolean"));
    return {describeConnection(Medium::DatabaseFile, path, u"MS Access"_s, false), u"werte"_s, {}};
}

// A table of an ODBC data source with the database's own column types; more SQL (a %1
// for the table) follows the table and its functions go with it.
auto odbcTable(QString (*dsn)(), const char* real, const char* stamp, const char* flag,
               const char* whole)
{
    return [=](const QTemporaryDir&, QString& skip, const QStringList& more) -> Target {
        const QString name = dsn();
        if (name.isEmpty()) {
            skip = u"ODBC-Datenquelle fehlt (scripts/with-test-services.sh)"_s;
            return {};
        }
        const QString table = uniqueTableName(u"werte"_s);
        const ScratchConnection scratch(u"QODBC"_s, name);
        scratch.exec(sqlDdl(table, real, stamp, flag, whole));
        for (const QString& sql : more)
            scratch.exec(sql.arg(table));
        return {describeConnection(Medium::OdbcSource, name, {}, false), table,
                [name, table, more] {
                    ScratchConnection(u"QODBC"_s, name).exec(u"drop table "_s + table);
                    if (!more.isEmpty())
                        ScratchConnection(u"QODBC"_s, name)
                            .exec(u"drop function %1_einzeln"_s.arg(table));
                }};
    };
}

// A PostgreSQL table written by a user that may hold one session only: the libpq session
// beside the ODBC one is refused, and the rows go over ODBC alone.
Target postgresAloneTable(const QTemporaryDir&, QString& skip, const QStringList& more)
{
    const QString admin = postgresDsn();
    if (admin.isEmpty()) {
        skip = u"PostgreSQL-Testserver fehlt (scripts/with-test-services.sh)"_s;
        return {};
    }
    const QString table = uniqueTableName(u"werte"_s);
    const QString user = uniqueTableName(u"einzeln"_s);
    const ScratchConnection scratch(u"QODBC"_s, admin);
    scratch.execAll({sqlDdl(table, "double precision", "timestamp", "boolean", "bigint"),
                     u"create role %1 login connection limit 1"_s.arg(user),
                     u"grant all on %1 to %2"_s.arg(table, user)});
    for (const QString& sql : more)
        scratch.exec(sql.arg(table));
    const auto noSession = [admin, user] {
        const ScratchConnection check(u"QODBC"_s, admin);
        const QString sql = u"select count(*) from pg_stat_activity where usename = '%1'"_s;
        for (int i = 0; i < 200 && check.column(sql.arg(user)) != QStringList{u"0"_s}; ++i)
            QThread::msleep(50);
    };
    return {describeConnection(Medium::OdbcSource, u"%1;uid=%2"_s.arg(admin, user), {}, false),
            table,
            [admin, table, user, more] {
                const ScratchConnection scratch(u"QODBC"_s, admin);
                scratch.exec(u"drop table "_s + table);
                if (!more.isEmpty())
                    scratch.exec(u"drop function %1_einzeln"_s.arg(table));
                scratch.exec(u"drop role "_s + user);
            },
            noSession};
}

Target dbaseTable(const QTemporaryDir& dir, QString&, const QStringList&)
{
    DBFHandle dbf = DBFCreateEx(QFile::encodeName(dir.filePath(u"werte.dbf"_s)), "LDID/87");
    DBFAddField(dbf, "NR", FTInteger, 10, 0);
    DBFAddField(dbf, "BETRAG", FTDouble, 20, 4);
    DBFAddNativeFieldType(dbf, "DATUM", 'D', 8, 0);
    DBFAddNativeFieldType(dbf, "FLAG", 'L', 1, 0);
    DBFAddField(dbf, "NAME", FTString, 40, 0);
    DBFAddField(dbf, "GANZ", FTDouble, 20, 0);
    DBFAddField(dbf, "DEZIMAL", FTDouble, 20, 8);
    DBFClose(dbf);
    return {describeConnection(Medium::DatabaseFile, dir.path(), u"dBase III"_s, false),
            u"werte"_s,
            {}};
}

Target paradoxTable(const QTemporaryDir& dir, QString&, const QStringList&)
{
    createParadox(dir.filePath(u"werte.db"_s), {{"NR", pxfLong, 4},
                                                {"BETRAG", pxfNumber, 8},
                                                {"DATUM", pxfDate, 4},
                                                {"ZEITPUNKT", pxfTimestamp, 8},
                                                {"FLAG", pxfLogical, 1},
                                                {"NAME", pxfAlpha, 40},
                                                {"GANZ", pxfLong, 4},
                                                {"DEZIMAL", pxfNumber, 8}});
    return {describeConnection(Medium::DatabaseFile, dir.path(), u"Paradox 5.0"_s, false),
            u"werte"_s,
            {}};
}

Target csvTable(const QTemporaryDir& dir, QString&, const QStringList&)
{
    QFile file(dir.filePath(u"werte.csv"_s));
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write werte.csv");
    file.write("nr,betrag,datum,zeitpunkt,flag,name,ganz,dezimal\r\n");
    return {describeConnection(Medium::DatabaseFile, dir.path(), u"Text"_s, true), u"werte"_s, {}};
}

constexpr qint32 Missing = errnum::FileNotFound, MissingFolder = errnum::PathNotFound,
                 Unreadable = errnum::PathFileAccess;

const BackendUnderTest Backends[] = {
    {.name = "Text",
     .fileType = nullptr,
     .tableFile = "quelle.txt",
     .damage = {Missing, Unreadable, NotTried, NotTried}}, // foreign: a folder
    {.name = "CsvFolder",
     .fileType = "Text",
     .tableFile = "kunden.csv",
     .inFolder = true,
     .sound = [](const QTemporaryDir&) { return QByteArray("a,b\r\n1,\"x y\"\r\n"); },
     .damage = {MissingFolder, NotTried, errnum::TypeMismatch, NotTried}, // cut in a quote
     .makeTable = csvTable,
     .quirks = {.typeless = true}},
    {.name = "Dbase",
     .fileType = "dBase III",
     .tableFile = "kunden.dbf",
     .inFolder = true,
     .sound = sound("kunden.dbf"),
     .headerField = 8,
     .damage = {MissingFolder, Unreadable, Unreadable, Unreadable},
     .makeTable = dbaseTable,
     .quirks = {.noDateTime = true}},
    {.name = "Paradox",
     .fileType = "Paradox 5.0",
     .tableFile = "kunden.db",
     .inFolder = true,
     .sound = sound("kunden.db"),
     .headerField = 2,
     .damage = {MissingFolder, Unreadable, Unreadable, Unreadable},
     .makeTable = paradoxTable},
    {.name = "Excel",
     .fileType = "MS Excel 8.0",
     .tableFile = "kunden.xls",
     .sound = sound("quendra-test.xls"),
     .headerField = 0x2C,
     .damage = {Missing, Unreadable, Unreadable, Unreadable}},
    // Its writer makes a new workbook each run: WorkbookWriter tests it.
    {.name = "Xlsx",
     .fileType = "MS Excel 12.0",
     .tableFile = "kunden.xlsx",
     .sound = sound("quendra-test.xlsx"),
     .headerField = 14,
     .damage = {Missing, Unreadable, Unreadable, Unreadable}},
    {.name = "Ods",
     .fileType = "OpenDocument",
     .tableFile = "kunden.ods",
     .sound = sound("quendra-test.ods"),
     .headerField = 14,
     .damage = {Missing, Unreadable, Unreadable, Unreadable}},
    {.name = "Lotus",
     .fileType = "Lotus 1-2-3",
     .tableFile = "kunden.wk1",
     .sound = sound("kunden.wk1"),
     .headerField = 4,
     .damage = {Missing, Unreadable, Unreadable, Unreadable}},
    {.name = "Access",
     .fileType = "MS Access",
     .tableFile = "kunden.mdb",
     .sound = [](const QTemporaryDir&) { return readFile(monitorMdb()); },
     .headerField = 0x14,
     .damage = {Missing, errnum::Unsupported, Unreadable, Unreadable}},
    {.name = "SqliteAccess",
     .fileType = "MS Access",
     .tableFile = "kunden.db",
     .sound = sqliteSound,
     .headerField = 16,
     .damage = {NotTried, NotTried, 0, 0},
     .sqlDriver = "QSQLITE",
     .makeTable = sqliteTable,
     .quirks = {.defaults = true}},
    {.name = "OdbcPostgres",
     .fileType = "",
     .dsn = postgresLogin,
     .sqlDriver = "QODBC",
     .makeTable = odbcTable(postgresLogin, "double precision", "timestamp", "boolean", "bigint"),
     .quirks = {.noBoolean = true, .defaults = true}},
    {.name = "OdbcPostgresAlone",
     .fileType = "",
     .makeTable = postgresAloneTable,
     .quirks = {.noBoolean = true, .defaults = true}},
    {.name = "OdbcSqlite",
     .fileType = "",
     .dsn = sqliteOdbcDsn,
     .sqlDriver = "QODBC",
     .makeTable = odbcTable(sqliteOdbcDsn, "real", "datetime", "boolean", "integer"),
     .quirks = {.noBoolean = true, .defaults = true}},
    // A data source that is not there.
    {.name = "Odbc",
     .fileType = "",
     .tableFile = "QuendraGibtEsNicht",
     .damage = {0, NotTried, NotTried, NotTried}},
};

} // namespace

std::span<const BackendUnderTest> backendsUnderTest()
{
    return Backends;
}

const BackendUnderTest& backendUnderTest(const char* name)
{
    for (const BackendUnderTest& b : Backends) {
        if (qstrcmp(b.name, name) == 0)
            return b;
    }
    throw std::invalid_argument(name);
}

} // namespace quendra::test

namespace quendra::test {
namespace {

// Each file type that is read here is tried with damaged sources, each one that is
// written with a table of every kind of value (a workbook, made anew by each run, has
// the WorkbookWriter test instead).
TEST(BackendsUnderTest, DescribeEveryFileTypeReadOrWritten)
{
    for (const FileTypeSupport& row : fileTypeSupport()) {
        if (!row.name)
            continue;
        bool read = false, written = false;
        for (const BackendUnderTest& b : backendsUnderTest()) {
            if (b.fileType && qstrcmp(b.fileType, row.name) == 0) {
                read = read || std::count(b.damage.begin(), b.damage.end(), NotTried) < 4;
                written = written || b.makeTable;
            }
        }
        EXPECT_TRUE(read || !row.makeReader) << row.name;
        EXPECT_TRUE(written || !row.makeWriter || row.wholeFile) << row.name;
    }
}

} // namespace
} // namespace quendra::test
