// The journal of the runs that write: one row per run in init.mdb, as quendra-run and the
// window leave it, and as `quendra-run --journal` prints it.
#include "common/processmark.h"
#include "config/configconnection.h"
#include "config/configsql.h"
#include "config/runjournal.h"
#include "engine/rundefinition.h"
#include "enginefixture.h"
#include "support/batchrun.h"
#include "support/testdatabases.h"
#include "support/thrown.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

const QString T = u"GUT"_s;

class RunJournal : public ::testing::Test, protected test::EngineFixture {
protected:
    void SetUp() override { lineCopy(T); }
    QStringList args() const { return {u"--config"_s, db.path(), T}; }
    static QByteArray sha256(const QByteArray& bytes)
    {
        return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    }
    JournalEntry latest() const
    {
        const std::vector<JournalEntry> rows = journalEntries();
        return rows.empty() ? JournalEntry{} : rows.front();
    }
};

// A run that succeeds: who ran what from where to where, the source's identity, the
// counts and the check lines. Preview and check run leave no row.
TEST_F(RunJournal, ASucceededRunLeavesItsWholeRow)
{
    const QByteArray source = "a\r\nb\r\nc\r\n";
    writeSource(source);
    const test::BatchResult r = test::runBatch(args());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    test::runBatch(QStringList{u"--preview"_s} << args());
    test::runBatch(QStringList{u"--check"_s} << args());
    ASSERT_EQ(journalEntries().size(), 1u);
    const JournalEntry e = latest();
    EXPECT_EQ(e.transId, T);
    EXPECT_EQ(e.program, u"quendra-run"_s);
    EXPECT_EQ(e.status, journalstatus::succeeded());
    EXPECT_EQ(e.message, QString());
    EXPECT_EQ(e.source, db.filePath(u"src.txt"_s));
    EXPECT_EQ(e.target, db.filePath(u"out.txt"_s));
    EXPECT_EQ(e.sourceSize, source.size());
    EXPECT_EQ(e.sourceSha256, sha256(source));
    EXPECT_EQ(e.sourceModified, QFileInfo(db.filePath(u"src.txt"_s)).lastModified().toUTC());
    EXPECT_EQ(e.sourceRows, -1);
    EXPECT_EQ(e.recordsRead, 3);
    EXPECT_EQ(e.recordsWritten, 3);
    EXPECT_EQ(e.checkLines, u"Prüfsumme:\nZ (Anzahl): 3"_s);
    EXPECT_FALSE(e.allOrNothing);
    EXPECT_EQ(e.host, QSysInfo::machineHostName());
    EXPECT_FALSE(e.user.isEmpty());
    EXPECT_TRUE(e.started.isValid() && e.started <= e.ended) << e.ended.toString().toStdString();
    EXPECT_LT(e.started.secsTo(QDateTime::currentDateTimeUtc()), 60);
}

// A failed run names its error and what the target holds; all or nothing, none of its
// records. A source changed by one byte has another identity.
TEST_F(RunJournal, AFailedRunNamesItsError)
{
    db.exec(u"update trgBody set fieldtype = 'Zahl', length = 3"_s);
    for (const bool allOrNothing : {false, true}) {
        writeSource(allOrNothing ? "1\r\n2\r\n3x\r\n" : "1\r\n2\r\n3\r\nx\r\n");
        const test::BatchResult r = test::runBatch(
            (allOrNothing ? QStringList{u"--all-or-nothing"_s} : QStringList()) << args());
        EXPECT_EQ(r.exitCode, 1);
        const JournalEntry e = latest();
        EXPECT_EQ(e.status, journalstatus::failed());
        EXPECT_TRUE(
            e.message.contains(allOrNothing ? u"Datensatz 3, Feld Z"_s : u"Datensatz 4, Feld Z"_s))
            << e.message.toStdString();
        EXPECT_EQ(e.recordsRead, allOrNothing ? 2 : 3);
        EXPECT_EQ(e.recordsWritten, allOrNothing ? 0 : 3);
        EXPECT_EQ(e.allOrNothing, allOrNothing);
    }
    const std::vector<JournalEntry> rows = journalEntries();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NE(rows[0].sourceSha256, rows[1].sourceSha256);
    EXPECT_EQ(rows[0].sourceSha256.size(), 64);
}

// A database source is known by its rows and the values read.
TEST_F(RunJournal, ADatabaseSourceIsKnownByItsValues)
{
    const QString file = db.filePath(u"quelle.db"_s);
    db.exec(u"update srcHead set frommedium = 2, filetype = 'MS Access', path = '%1', "
            "dbtable = 's'"_s.arg(file));
    test::ScratchConnection table(u"QSQLITE"_s, file);
    table.exec(u"create table s (s text)"_s);
    QByteArray previous;
    for (const char* values : {"('ab'), ('c')", "('a'), ('bc')", "('a'), ('bc'), ('')"}) {
        table.exec(u"delete from s"_s);
        table.exec(u"insert into s values %1"_s.arg(QLatin1StringView(values)));
        const RunResult result = runDefinition(T);
        ASSERT_FALSE(result.failure) << result.failure->error.description().toStdString();
        const JournalEntry e = latest();
        EXPECT_EQ(e.source, u"%1, Tabelle s"_s.arg(file));
        EXPECT_EQ(e.sourceRows, e.recordsRead) << values;
        EXPECT_EQ(e.sourceSize, -1);
        EXPECT_NE(e.sourceSha256, previous) << values;
        previous = e.sourceSha256;
    }
    // The same values once more: refused before the target changes, whether they are
    // read first or as the run goes.
    for (const bool allOrNothing : {false, true}) {
        writeTarget("alt\r\n");
        RunOptions options;
        options.allOrNothing = allOrNothing;
        EXPECT_TRUE(runDefinition(T, nullptr, options).refused) << allOrNothing;
        EXPECT_EQ(target(), "alt\r\n") << allOrNothing;
    }
}

// A source that went into the same target before stops the run before anything is
// written, however the target takes the records; a source changed by one byte, another
// target or --again goes ahead.
TEST_F(RunJournal, ARepeatIsRefusedUnlessAgainOrChanged)
{
    const QString out = db.filePath(u"out.txt"_s);
    for (const bool allOrNothing : {false, true}) {
        SCOPED_TRACE(allOrNothing);
        const QByteArray source = allOrNothing ? "1\r\n2\r\n" : "a\r\nb\r\n";
        writeSource(source);
        QStringList call = args();
        if (allOrNothing)
            call.prepend(u"--all-or-nothing"_s);
        ASSERT_EQ(test::runBatch(call).exitCode, 0);
        const JournalEntry first = latest();
        writeTarget("schon gebucht\r\n");
        const test::BatchResult refused = test::runBatch(call);
        EXPECT_EQ(refused.exitCode, 1);
        const QDateTime at = first.started.toLocalTime();
        EXPECT_TRUE(refused.err.contains(
            u"Die Quelle %1 wurde am %2 um %3 Uhr schon mit GUT umgesetzt: 2 Datensätze nach "
            "%4. Sie wurde nicht noch einmal umgesetzt. Mit --again wird sie trotzdem "
            "umgesetzt."_s.arg(db.filePath(u"src.txt"_s), at.toString(u"dd.MM.yyyy"_s),
                               at.toString(u"HH:mm"_s), out)))
            << refused.err.toStdString();
        EXPECT_EQ(target(), "schon gebucht\r\n");
        EXPECT_EQ(latest().status, journalstatus::refused());
        EXPECT_EQ(latest().recordsWritten, 0);

        QByteArray changed = source;
        changed[3] = char(changed[3] + 1);
        writeSource(changed);
        EXPECT_EQ(test::runBatch(call).exitCode, 0);
        EXPECT_TRUE(target().startsWith(changed));
        writeSource(source);
        EXPECT_EQ(test::runBatch(QStringList(call) << u"--again"_s).exitCode, 0);
        EXPECT_TRUE(target().startsWith(source));
        EXPECT_EQ(latest().status, journalstatus::succeeded());
    }
    db.exec(u"update trgHead set path = '%1'"_s.arg(db.filePath(u"anders.txt"_s)));
    EXPECT_EQ(test::runBatch(args()).exitCode, 0) << "another target";
}

// A record that fails before the source's hash is known (a large source fails at once):
// a repeat is still refused, with the target as it was; another source keeps the
// records before the failure.
TEST_F(RunJournal, ARecordFailingBeforeTheHashIsKnown)
{
    db.exec(u"update trgBody set fieldtype = 'Zahl', length = 3"_s);
    const QByteArray source = "1\r\n2\r\nx\r\n" + QByteArray("4\r\n").repeated(10 << 20);
    writeSource(source);
    for (const bool repeat : {true, false}) {
        SCOPED_TRACE(repeat);
        writeTarget("alt\r\n");
        if (!repeat)
            db.exec(u"delete from quendraJournal"_s); // the earlier run of the same source
        if (repeat) {
            JournalEntry earlier;
            earlier.transId = T;
            earlier.started = QDateTime::currentDateTimeUtc();
            earlier.target = db.filePath(u"out.txt"_s);
            earlier.sourceSha256 = sha256(source);
            earlier.status = journalstatus::succeeded();
            earlier.id = journalStart(earlier);
            journalFinish(earlier);
        }
        const test::BatchResult r = test::runBatch(args());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err.contains(u"Datensatz 3, Feld Z"_s), !repeat) << r.err.toStdString();
        EXPECT_EQ(latest().status, repeat ? journalstatus::refused() : journalstatus::failed());
        EXPECT_EQ(latest().recordsWritten, repeat ? 0 : 2);
        EXPECT_EQ(target() == "alt\r\n", repeat);
        if (!repeat) {
            EXPECT_EQ(target().count("\r\n"), 2) << target().left(40).toStdString();
        }
    }
}

// Another program locking init.mdb as the run ends is told as a lock, which is tried
// again, also when the run's connection last read the file before the start row's thread
// made the journal's table: SQLite would call that table missing.
TEST_F(RunJournal, TheEndRowMeetsALockAsALock)
{
    const ConfigConnectionScope scope; // the thread's one connection, as a run holds it
    EXPECT_TRUE(journalEntries().empty());
    JournalEntry entry;
    entry.transId = T;
    entry.started = QDateTime::currentDateTimeUtc();
    entry.status = journalstatus::running();
    std::thread([&] { entry.id = journalStart(entry); }).join();
    test::ScratchConnection other(u"QSQLITE"_s, db.path());
    other.exec(u"begin exclusive"_s);
    const Error e = test::thrownBy([&] { journalFinish(entry); });
    EXPECT_TRUE(isLockedError(e)) << e.description().toStdString();
    other.exec(u"rollback"_s);
}

// At most the rows configured are kept, the oldest dropped; none keeps no journal.
TEST_F(RunJournal, KeepsTheNewestRowsConfigured)
{
    writeSource("a\r\n");
    EXPECT_EQ(test::runBatch({u"--config"_s, db.path(), u"--journal-rows"_s, u"2"_s}).exitCode, 0);
    RunOptions again;
    again.again = true;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(runDefinition(T, nullptr, again).failed());
    const std::vector<JournalEntry> rows = journalEntries();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, 3);
    EXPECT_EQ(rows[1].id, 2);
    setJournalRowsKept(0); // and no repeat refused
    EXPECT_FALSE(runDefinition(T).failed());
    EXPECT_EQ(journalEntries().size(), 2u);
}

// A run of the same source still going (its process alive on this machine) stops the run
// before the target changes, unless --again; the row of a killed process does not.
TEST_F(RunJournal, ARunStillGoingStopsTheSameSource)
{
    const QByteArray source = "a\r\nb\r\n";
    // A running row learns its source's SHA-256 only at its end: until then it is unknown.
    const struct {
        bool alive; // else its number went to a later process
        bool again;
        QByteArray runningSource; // empty: not yet known
        bool refused;
    } cases[] = {{true, false, source, true},
                 {true, false, {}, true},
                 {true, false, "c\r\n", false},
                 {true, true, source, false},
                 {false, false, {}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.alive);
        SCOPED_TRACE(c.again);
        SCOPED_TRACE(c.runningSource.toStdString());
        writeSource(source);
        writeTarget("alt\r\n");
        JournalEntry going;
        going.transId = T;
        going.started = QDateTime::currentDateTimeUtc();
        going.host = QSysInfo::machineHostName();
        going.pid = QCoreApplication::applicationPid();
        going.processMark = c.alive ? ownProcessStartMark() : u"0/0"_s;
        going.source = db.filePath(u"src.txt"_s);
        if (!c.runningSource.isEmpty())
            going.sourceSha256 = sha256(c.runningSource);
        going.target = db.filePath(u"out.txt"_s);
        journalStart(going);
        RunOptions options;
        options.again = c.again;
        const RunResult result = runDefinition(T, nullptr, options);
        EXPECT_EQ(result.refused, c.refused);
        EXPECT_EQ(target().startsWith(source), !c.refused);
        db.exec(u"delete from quendraJournal"_s);
        if (!c.refused)
            continue;
        const QDateTime at = going.started.toLocalTime();
        EXPECT_EQ(result.failure->error.description(),
                  u"Seit dem %2 um %3 Uhr läuft schon ein Lauf von GUT nach %4; die Quelle %1 "
                  "wurde nicht umgesetzt."_s.arg(going.source, at.toString(u"dd.MM.yyyy"_s),
                                                 at.toString(u"HH:mm"_s), going.target));
    }
}

// The row reaches the disk while the run reads, and the target waits for it: a reader of
// init.mdb that keeps the row from being committed holds the target as it was. The run
// goes on when the reader lets go; when it keeps on, the run fails with the target as it
// was, record by record (a repeat wanted or not) or all or nothing, and leaves no row.
TEST_F(RunJournal, TheTargetWaitsForTheRowOnDisk)
{
    const struct {
        bool allOrNothing;
        bool readerLetsGo;
        bool again; // no check waits for the journal
    } cases[] = {{false, true, false}, {false, false, true}, {true, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.allOrNothing);
        SCOPED_TRACE(c.readerLetsGo);
        SCOPED_TRACE(c.again);
        const QByteArray source = c.allOrNothing ? "1\r\n" : c.readerLetsGo ? "2\r\n" : "3\r\n";
        writeSource(source);
        writeTarget("alt\r\n");
        const size_t rows = journalEntries().size();
        test::ScratchConnection reader(u"QSQLITE"_s, db.path());
        reader.exec(u"begin"_s);
        reader.column(u"select count(*) from srcHead"_s);
        QProcess run;
        QStringList call = args();
        if (c.allOrNothing)
            call << u"--all-or-nothing"_s;
        if (c.again)
            call << u"--again"_s;
        test::startBatch(run, call);
        QThread::msleep(1500);
        EXPECT_EQ(target(), "alt\r\n");
        if (c.readerLetsGo)
            reader.exec(u"rollback"_s);
        const test::BatchResult r = test::finishBatch(run);
        if (!c.readerLetsGo)
            reader.exec(u"rollback"_s);
        if (c.readerLetsGo) {
            EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
            EXPECT_TRUE(target().startsWith(source));
            EXPECT_EQ(latest().status, journalstatus::succeeded());
            continue;
        }
        // Either the row's commit or a record's look into init.mdb meets the lock first.
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(u"Die Konfigurationsdatenbank ist von einem anderen Programm "
                                   "gesperrt"_s) &&
                    r.err.contains(u"Ziel ist unverändert."_s))
            << r.err.toStdString();
        EXPECT_EQ(target(), "alt\r\n");
        EXPECT_EQ(journalEntries().size(), rows);
    }
}

// The listing: newest first, filtered by TransID and start, as a table or as JSON.
TEST_F(RunJournal, ListsAsTableAndJson)
{
    writeSource("a\r\n");
    heads(u"ZWEI"_s);
    srcField(u"ZWEI"_s, u"S"_s, 1);
    trgField(u"ZWEI"_s, u"Z"_s, u"S"_s, 1);
    test::runBatch(args());
    test::runBatch({u"--config"_s, db.path(), u"ZWEI"_s});
    const QStringList journal{u"--config"_s, db.path(), u"--journal"_s};
    const test::BatchResult all = test::runBatch(journal);
    EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
    const QStringList lines = all.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << all.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(u"Nr  Beginn"_s)) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(u" 2  "_s) && lines[1].contains(u"ZWEI "_s));
    EXPECT_EQ(lines[1].indexOf(u"erfolgreich"_s), lines[0].indexOf(u"Status"_s));
    EXPECT_EQ(lines[2].indexOf(u"erfolgreich"_s), lines[0].indexOf(u"Status"_s));
    const test::BatchResult json =
        test::runBatch(QStringList(journal) << T << u"--json"_s << u"--since"_s
                                            << QDate::currentDate().toString(u"dd.MM.yyyy"_s));
    const QJsonArray rows = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 1) << json.out.toStdString();
    EXPECT_EQ(rows[0][u"transid"_s], T);
    EXPECT_EQ(rows[0][u"recordsWritten"_s], 1);
    EXPECT_EQ(rows[0][u"checkLines"_s].toArray().size(), 2);
    const test::BatchResult later = test::runBatch(
        QStringList(journal) << u"--since"_s
                             << QDate::currentDate().addDays(1).toString(u"yyyy-MM-dd"_s));
    EXPECT_EQ(later.out.count(u'\n'), 1) << "only the heading";
}

} // namespace
