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

    // Preview, check run and a failing all-or-nothing run of definition "T", whose
    // fourth source record is faulty, into a table that holds one row: the table keeps
    // its row, the preview shows the bound values.
    void expectTargetUntouched(const std::function<QStringList()>& rows)
    {
        const QString src = config.filePath(QStringLiteral("src.txt"));
        writeAnsiLines(src, ExpectedTextLines + QStringList{u"4;x;keine Zahl;;"_s});
        config.exec(QStringLiteral("update srcHead set frommedium = 0, path = '%1', "
                                   "delimiter = ';'")
                        .arg(src));
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
    const QString table = pgTable(QStringLiteral("ziel"));
    const QString src = config.filePath(QStringLiteral("src.txt"));
    writeAnsiLines(src, ExpectedTextLines);
    storeDefinition(config, {0, src, {}, {}}, {1, postgresDsn(), {}, table});

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
                    {2, trgDb, QStringLiteral("MS Access"), QStringLiteral("ziel")});

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

TEST_F(EndToEnd, PreviewCheckAndAllOrNothingLeaveSqliteUntouched)
{
    const QString trgDb = config.filePath(QStringLiteral("ziel.db"));
    ScratchConnection trg(QStringLiteral("QSQLITE"), trgDb);
    trg.exec(tableDdl(QStringLiteral("ziel")));
    trg.exec(QStringLiteral("insert into ziel (nr) values (9)"));
    storeDefinition(config, {0, {}, {}, {}},
                    {2, trgDb, QStringLiteral("MS Access"), QStringLiteral("ziel")});
    const auto rows = [&] {
        const QFileInfo now(trgDb);
        return trg.column(QStringLiteral("select nr from ziel"))
               << QString::number(now.size()) << now.lastModified().toString(Qt::ISODateWithMs);
    };
    expectTargetUntouched(rows);
}

TEST_F(EndToEnd, PreviewCheckAndAllOrNothingLeaveOdbcUntouched)
{
    if (!openPostgres())
        QUENDRA_SKIP() << "PostgreSQL-Testserver fehlt (scripts/with-test-services.sh)";
    const QString table = pgTable(QStringLiteral("ziel"));
    pg->exec(QStringLiteral("insert into %1 (nr) values (9)").arg(table));
    storeDefinition(config, {0, {}, {}, {}}, {1, postgresDsn(), {}, table});
    expectTargetUntouched([&] { return pg->column(QStringLiteral("select nr from ") + table); });
}

// Folder types write each row into its files: all or nothing is refused before the
// source (here missing) or the target is opened.
TEST_F(EndToEnd, AllOrNothingIsRefusedForFolderTypes)
{
    storeDefinition(config, {0, config.filePath(u"fehlt.txt"_s), {}, {}},
                    {2, config.dir(), {}, QStringLiteral("ziel")});
    for (const QString& type : {u"dBase III"_s, u"Paradox 5.0"_s, u"Text"_s}) {
        config.exec(u"update trgHead set filetype = '%1'"_s.arg(type));
        const RunResult r = runDefinition(u"T"_s, nullptr, {RunMode::Write, 0, true});
        ASSERT_TRUE(r.failure) << type.toStdString();
        EXPECT_TRUE(r.failure->error.description().contains(
            QStringLiteral("„%1“ kann nicht ganz oder gar nicht").arg(type)))
            << r.failure->error.description().toStdString();
    }
}

} // namespace
