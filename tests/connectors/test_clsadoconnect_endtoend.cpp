// Whole conversions between databases and text files through the engine, with a stored
// definition for each: every written value is checked (dates, decimals, NULLs, umlauts).
#include "common/functions.h"
#include "endtoend.h"
#include "support/skip.h"
#include "support/tempconfigdb.h"
#include "support/testdatabases.h"

#include <gtest/gtest.h>

using namespace quendra;
using namespace quendra::test;

namespace {

class EndToEnd : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (pg) {
            for (const QString& t : pgTables) {
                try {
                    pg->exec(QStringLiteral("drop table ") + t);
                } catch (const std::exception&) {
                }
            }
        }
    }

    bool openPostgres()
    {
        if (postgresDsn().isEmpty())
            return false;
        pg = std::make_unique<ScratchConnection>(QStringLiteral("QODBC"), postgresDsn());
        return true;
    }

    QString pgTable(const QString& prefix)
    {
        pgTables.append(uniqueTableName(prefix));
        pg->exec(tableDdl(pgTables.last()));
        return pgTables.last();
    }

    TempConfigDb config;
    std::unique_ptr<ScratchConnection> pg;
    QStringList pgTables;
};

TEST_F(EndToEnd, OdbcPostgresToTextFile)
{
    if (!openPostgres())
        QUENDRA_SKIP() << "PostgreSQL-Testserver fehlt (scripts/with-test-services.sh)";
    const QString table = pgTable(QStringLiteral("quelle"));
    pg->execAll(sourceRows(table));
    const QString out = config.filePath(QStringLiteral("out.txt"));
    storeDefinition(config, {1, postgresDsn(), {}, table}, {0, out, {}, {}}, TextFields);

    const auto boxes = runDefinition();
    EXPECT_TRUE(boxes.empty()) << boxesText(boxes).toStdString();
    EXPECT_EQ(readAnsiLines(out), ExpectedTextLines);
}

TEST_F(EndToEnd, TextFileToOdbcPostgres)
{
    if (!openPostgres())
        QUENDRA_SKIP() << "PostgreSQL-Testserver fehlt (scripts/with-test-services.sh)";
    const QString table = pgTable(QStringLiteral("ziel"));
    const QString src = config.filePath(QStringLiteral("src.txt"));
    writeAnsiLines(src, ExpectedTextLines);
    storeDefinition(config, {0, src, {}, {}}, {1, postgresDsn(), {}, table}, TypedFields);

    const auto boxes = runDefinition();
    EXPECT_TRUE(boxes.empty()) << boxesText(boxes).toStdString();
    EXPECT_EQ(readBack(getADOProvider(1, postgresDsn(), {}, false), table), ExpectedTypedRows);
    // Typed columns: the database itself holds a number and a date.
    EXPECT_EQ(pg->column(QStringLiteral("select betrag * 2 from %1 where nr = 2").arg(table)),
              QStringList{QStringLiteral("-2469.5")});
    EXPECT_EQ(pg->column(
                  QStringLiteral("select extract(doy from datum) from %1 where nr = 2").arg(table)),
              QStringList{QStringLiteral("60")});
}

TEST_F(EndToEnd, SqliteAccessToSqliteAccess)
{
    const QString srcDb = config.filePath(QStringLiteral("quelle.db"));
    const QString trgDb = config.filePath(QStringLiteral("ziel.db"));
    {
        ScratchConnection src(QStringLiteral("QSQLITE"), srcDb);
        src.exec(tableDdl(QStringLiteral("kunden")));
        src.execAll(sourceRows(QStringLiteral("kunden")));
        ScratchConnection trg(QStringLiteral("QSQLITE"), trgDb);
        trg.exec(tableDdl(QStringLiteral("ziel")));
    }
    storeDefinition(config, {2, srcDb, QStringLiteral("MS Access"), QStringLiteral("$TBL(kun)")},
                    {2, trgDb, QStringLiteral("MS Access"), QStringLiteral("ziel")}, TypedFields);

    const auto boxes = runDefinition();
    EXPECT_TRUE(boxes.empty()) << boxesText(boxes).toStdString();
    EXPECT_EQ(readBack(getADOProvider(2, trgDb, QStringLiteral("MS Access"), false),
                       QStringLiteral("ziel")),
              ExpectedTypedRows);
    ScratchConnection check(QStringLiteral("QSQLITE"), trgDb);
    EXPECT_EQ(check.column(QStringLiteral("select typeof(betrag) || ' ' || datum from ziel "
                                          "where nr = 1")),
              QStringList{QStringLiteral("real 2005-12-31")});
}

} // namespace

namespace {

TEST_F(EndToEnd, EmptyDatabaseSourceConvertsNothing)
{
    const QString srcDb = config.filePath(QStringLiteral("leer.db"));
    const QString out = config.filePath(QStringLiteral("leer.txt"));
    {
        ScratchConnection src(QStringLiteral("QSQLITE"), srcDb);
        src.exec(tableDdl(QStringLiteral("kunden")));
    }
    writeAnsiLines(out, {QStringLiteral("alt")});
    storeDefinition(config, {2, srcDb, QStringLiteral("MS Access"), QStringLiteral("kunden")},
                    {0, out, QString(), QString()}, TextFields);

    const auto boxes = runDefinition();
    EXPECT_TRUE(boxes.empty()) << boxesText(boxes).toStdString();
    EXPECT_EQ(readAnsiLines(out), QStringList{QStringLiteral("alt")})
        << "a run without records leaves the target untouched";
}

} // namespace
