// Whole conversions between databases and text files through the engine, with a stored
// definition for each: every written value is checked (dates, decimals, NULLs, umlauts).
// Reading each back-end: test_clsadoconnect_contract.cpp; an empty source: the golden
// case empty_source_keeps_target.
#include "connectors/filetypes.h"
#include "endtoend.h"
#include "engine/rundefinition.h"
#include "support/skip.h"
#include "support/tempconfigdb.h"
#include "support/testdatabases.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quendra;
using namespace quendra::test;
using namespace Qt::StringLiterals;

namespace {

class EndToEnd : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (pg) {
            for (const QString& t : pgTables) {
                try {
                    pg->exec(u"drop table "_s + t);
                } catch (const std::exception&) {
                }
            }
        }
    }

    bool openPostgres()
    {
        if (postgresLogin().isEmpty())
            return false;
        pg = std::make_unique<ScratchConnection>(u"QODBC"_s, postgresLogin());
        return true;
    }

    QString pgTable(const QString& prefix)
    {
        pgTables.append(uniqueTableName(prefix));
        pg->exec(tableDdl(pgTables.last()));
        return pgTables.last();
    }

    // Preview, check run and a failing all-or-nothing run of definition "T", whose
    // fourth source record is faulty, into a table that holds one row: the table keeps
    // its row, the preview shows the bound values.
    void expectTargetUntouched(const std::function<QStringList()>& rows)
    {
        const QString src = config.filePath(u"src.txt"_s);
        writeAnsiLines(src, ExpectedTextLines + QStringList{u"4;x;keine Zahl;;"_s});
        config.exec(u"update srcHead set frommedium = 0, path = '%1', "
                    "delimiter = ';'"_s.arg(src));
        const QStringList before = rows();
        struct Lines : RunObserver {
            QStringList lines;
            void record(const RecordOutcome& o) override
            {
                lines << (o.error ? o.error->note : QString::fromUtf8(o.bytes));
            }
        } preview;
        const RunResult shown =
            runDefinition(u"T"_s, nullptr, {RunMode::Preview, 20, false, &preview});
        EXPECT_EQ(preview.lines.value(0),
                  u"NR = '1'; NAME = 'Müller'; BETRAG = 12.5; DATUM = 2005-12-31; NOTIZ = ''\n"_s);
        EXPECT_TRUE(preview.lines.value(3).startsWith(u"Datensatz 4"_s));
        EXPECT_EQ(shown.records, 4);
        EXPECT_EQ(runDefinition(u"T"_s, nullptr, {RunMode::Check}).faultyRecords, 1);
        const RunResult written = runDefinition(u"T"_s, nullptr, {RunMode::Write, 0, true});
        ASSERT_TRUE(written.failure);
        EXPECT_TRUE(written.failure->note.startsWith(u"Datensatz 4"_s));
        EXPECT_EQ(rows(), before);
    }

    TempConfigDb config;
    std::unique_ptr<ScratchConnection> pg;
    QStringList pgTables;
};

TEST_F(EndToEnd, TextFileToOdbcPostgres)
{
    if (!openPostgres())
        QUENDRA_SKIP() << "PostgreSQL-Testserver fehlt (scripts/with-test-services.sh)";
    const QString table = pgTable(u"ziel"_s);
    const QString src = config.filePath(u"src.txt"_s);
    writeAnsiLines(src, ExpectedTextLines);
    storeDefinition(config, {0, src, {}, {}}, {1, postgresLogin(), {}, table});

    const auto boxes = runDefinition();
    EXPECT_TRUE(boxes.empty()) << boxesText(boxes).toStdString();
    EXPECT_EQ(readBack(describeConnection(Medium::OdbcSource, postgresLogin(), {}, false), table),
              ExpectedTypedRows);
    // Typed columns: the database itself holds a number and a date.
    EXPECT_EQ(pg->column(u"select betrag * 2 from %1 where nr = 2"_s.arg(table)),
              QStringList{u"-2469.5"_s});
    EXPECT_EQ(pg->column(u"select extract(doy from datum) from %1 where nr = 2"_s.arg(table)),
              QStringList{u"60"_s});
}

TEST_F(EndToEnd, SqliteAccessToSqliteAccess)
{
    const QString srcDb = config.filePath(u"quelle.db"_s);
    const QString trgDb = config.filePath(u"ziel.db"_s);
    {
        ScratchConnection src(u"QSQLITE"_s, srcDb);
        src.exec(tableDdl(u"kunden"_s));
        src.execAll(sourceRows(u"kunden"_s));
        ScratchConnection trg(u"QSQLITE"_s, trgDb);
        trg.exec(tableDdl(u"ziel"_s));
    }
    storeDefinition(config, {2, srcDb, u"MS Access"_s, u"$TBL(kun)"_s},
                    {2, trgDb, u"MS Access"_s, u"\"ziel\""_s});

    const auto boxes = runDefinition();
    EXPECT_TRUE(boxes.empty()) << boxesText(boxes).toStdString();
    EXPECT_EQ(
        readBack(describeConnection(Medium::DatabaseFile, trgDb, u"MS Access"_s, false), u"ziel"_s),
        ExpectedTypedRows);
    ScratchConnection check(u"QSQLITE"_s, trgDb);
    EXPECT_EQ(check.column(u"select typeof(betrag) || ' ' || datum from ziel "
                           "where nr = 1"_s),
              QStringList{u"real 2005-12-31"_s});
}

TEST_F(EndToEnd, PreviewCheckAndAllOrNothingLeaveSqliteUntouched)
{
    const QString trgDb = config.filePath(u"ziel.db"_s);
    ScratchConnection trg(u"QSQLITE"_s, trgDb);
    trg.exec(tableDdl(u"ziel"_s));
    trg.exec(u"insert into ziel (nr) values (9)"_s);
    storeDefinition(config, {0, {}, {}, {}}, {2, trgDb, u"MS Access"_s, u"ziel"_s});
    const auto rows = [&] {
        const QFileInfo now(trgDb);
        return trg.column(u"select nr from ziel"_s)
               << QString::number(now.size()) << now.lastModified().toString(Qt::ISODateWithMs);
    };
    expectTargetUntouched(rows);
}

TEST_F(EndToEnd, PreviewCheckAndAllOrNothingLeaveOdbcUntouched)
{
    if (!openPostgres())
        QUENDRA_SKIP() << "PostgreSQL-Testserver fehlt (scripts/with-test-services.sh)";
    const QString table = pgTable(u"ziel"_s);
    pg->exec(u"insert into %1 (nr) values (9)"_s.arg(table));
    storeDefinition(config, {0, {}, {}, {}}, {1, postgresLogin(), {}, table});
    expectTargetUntouched([&] { return pg->column(u"select nr from "_s + table); });
}

// Folder types write each row into its files: all or nothing is refused before the
// source (here missing) or the target is opened.
TEST_F(EndToEnd, AllOrNothingIsRefusedForFolderTypes)
{
    storeDefinition(config, {0, config.filePath(u"fehlt.txt"_s), {}, {}},
                    {2, config.dir(), {}, u"ziel"_s});
    for (const QString& type : {u"dBase III"_s, u"Paradox 5.0"_s, u"Text"_s}) {
        config.exec(u"update trgHead set filetype = '%1'"_s.arg(type));
        const RunResult r = runDefinition(u"T"_s, nullptr, {RunMode::Write, 0, true});
        ASSERT_TRUE(r.failure) << type.toStdString();
        EXPECT_TRUE(r.failure->error.description().contains(
            u"„%1“ kann nicht ganz oder gar nicht"_s.arg(type)))
            << r.failure->error.description().toStdString();
    }
}

} // namespace
