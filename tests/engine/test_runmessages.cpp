// What a batch run says when a database stands in the way: a configuration database
// locked by another program, and the errors of database drivers, each with a German
// sentence in front and the driver's own text after it, and nothing else on standard
// error.
#include "common/version.h"
#include "enginefixture.h"
#include "support/batchrun.h"
#include "support/casename.h"
#include "support/skip.h"
#include "support/testdatabases.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace quendra;
using test::BatchResult;

namespace {
using quendra::test::PrintTo; // rows print their name

const QString T = QStringLiteral("GUT");

class RunMessages : public ::testing::Test, protected test::EngineFixture {
protected:
    void SetUp() override
    {
        heads(T);
        srcField(T, QStringLiteral("S"), 1);
        trgField(T, QStringLiteral("Z"), QStringLiteral("S"), 1);
        writeSource("x\r\n");
    }
    QStringList args() const { return {QStringLiteral("--config"), db.path(), T}; }
};

// Standard error holds exactly one box and no line of anybody else.
void expectOnlyTheBox(const BatchResult& r, const QString& text)
{
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Quendra (" QUENDRA_VERSION ") : ")))
        << r.err.toStdString();
    EXPECT_EQ(r.err.count(QStringLiteral("Quendra (" QUENDRA_VERSION ") : ")), 1)
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(text)) << r.err.toStdString();
}

TEST_F(RunMessages, LockedConfigurationIsReportedAtOnceAndLeftAlone)
{
    test::ScratchConnection other(QStringLiteral("QSQLITE"), db.path());
    other.exec(QStringLiteral("begin exclusive"));
    QElapsedTimer clock;
    clock.start();
    const BatchResult r = test::runBatch(args());
    EXPECT_LT(clock.elapsed(), 8000);
    expectOnlyTheBox(r, QStringLiteral("Die Konfigurationsdatenbank ist von einem anderen "
                                       "Programm gesperrt"));
    EXPECT_TRUE(r.err.contains(QStringLiteral("Meldung des Datenbanktreibers: database is "
                                              "locked")));
    EXPECT_FALSE(r.err.contains(QStringLiteral("crebas"))) << "no attempt to create tables";
    EXPECT_FALSE(r.err.contains(QStringLiteral("Versionstabelle")));
    other.exec(QStringLiteral("rollback"));
    EXPECT_EQ(test::runBatch(args()).exitCode, 0) << "the same file works once it is free";
}

struct DriverCase {
    const char* name;
    const char* setup; // SQL on init.mdb, ";" between statements; %1: the test folder
    const char* german;
    const char* driver; // the driver's own text, after the German sentence
};

class DriverErrors : public RunMessages, public ::testing::WithParamInterface<DriverCase> {};

TEST_P(DriverErrors, SayWhatQuendraWasDoingInGerman)
{
    const DriverCase& c = GetParam();
    test::ScratchConnection target(QStringLiteral("QSQLITE"), db.filePath(u"ziel.db"_qs));
    target.exec(
        QStringLiteral("create table buchung (betrag text not null check (betrag <> 'x'))"));
    for (const QString& sql : QString::fromUtf8(c.setup).replace(u"%1"_qs, db.dir()).split(u';'))
        db.exec(sql);
    const BatchResult r = test::runBatch(args());
    expectOnlyTheBox(r, QString::fromUtf8(c.german).replace(u"%1"_qs, db.dir()) +
                            QStringLiteral("\nMeldung des Datenbanktreibers: ") +
                            QString::fromUtf8(c.driver));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriverErrors,
    ::testing::Values(
        DriverCase{"missingTable",
                   "update srcHead set frommedium = 2, filetype = 'MS Access', path = "
                   "'%1/ziel.db', dbtable = 'Fehlt'",
                   "Die Tabelle „Fehlt“ gibt es in „%1/ziel.db“ nicht.", "no such table: Fehlt"},
        DriverCase{"badSqlText",
                   "update srcHead set frommedium = 2, filetype = 'MS Access', path = "
                   "'%1/ziel.db', sqlstring = 'select * fro buchung'",
                   "Die SQL-Abfrage der Quelle kann in „%1/ziel.db“ nicht ausgeführt werden.",
                   "near \"fro\": syntax error"},
        DriverCase{"rowRefused",
                   "update trgHead set frommedium = 2, filetype = 'MS Access', path = "
                   "'%1/ziel.db', dbtable = 'buchung'",
                   "In die Tabelle „buchung“ von „%1/ziel.db“ kann nicht geschrieben werden.",
                   "CHECK constraint failed"},
        DriverCase{"unknownOdbcSource",
                   "update srcHead set frommedium = 1, path = 'GIBTSNICHT', dbtable = 'x'",
                   "Die Datenquelle „GIBTSNICHT“ kann nicht geöffnet werden.", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunMessages, MissingTableOfAnOdbcServerIsNamed)
{
    if (test::postgresDsn().isEmpty())
        QUENDRA_SKIP() << "needs scripts/with-test-services.sh";
    // The server lists at least one table, so that the missing one can be told apart
    // from a server that lists nothing.
    const test::ScratchConnection server(QStringLiteral("QODBC"), test::postgresDsn());
    const QString present = test::uniqueTableName(QStringLiteral("da"));
    server.exec(QStringLiteral("create table %1 (x int)").arg(present));
    db.exec(QStringLiteral("update srcHead set frommedium = 1, path = '%1', dbtable = 'fehlt'")
                .arg(test::postgresDsn()));
    const BatchResult r = test::runBatch(args());
    expectOnlyTheBox(r, QStringLiteral("Die Tabelle „fehlt“ gibt es in „%1“ nicht.\nMeldung des "
                                       "Datenbanktreibers: ")
                            .arg(test::postgresDsn()));
    EXPECT_TRUE(r.err.contains(QStringLiteral("fehlt"))) << r.err.toStdString();
    server.exec(QStringLiteral("drop table %1").arg(present));
}

} // namespace
