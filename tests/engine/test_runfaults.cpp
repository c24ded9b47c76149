// Faults a batch run meets from outside: a target that is its own source, a full disk,
// a stop by signal, a source that another program shortens, a row the target table
// refuses, a lost database connection, a configuration locked by another program, a
// table missing on a server. Each run must end with exit status 1, one message on
// standard error that says what happened (and nothing else there), and complete records
// only. Faults of the definition and of the input are golden cases (tests/data/engine).
#include "common/progress.h"
#include "common/version.h"
#include "config/runjournal.h"
#include "engine/rundefinition.h"
#include "enginefixture.h"
#include "support/batchrun.h"
#include "support/casetable.h"
#include "support/skip.h"
#include "support/testdatabases.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quendra;
using namespace Qt::StringLiterals;
using test::BatchResult;

namespace {
using quendra::test::PrintTo; // rows print their name

const QString T = u"GUT"_s;

// A definition that copies one text field per line: "%07d" lines in, the same out.
class RunFaults : public ::testing::Test, protected test::EngineFixture {
protected:
    void SetUp() override { lineCopy(T); }
    QStringList args() const { return {u"--config"_s, db.path(), T}; }
    QString source() const { return db.filePath(u"src.txt"_s); }
    // Lines of width digits: "0000001" and so on. Written into one buffer: an allocation
    // a line made the sanitizer build spend seconds on 300,000 lines.
    static QByteArray lines(int count, int width = 7)
    {
        const qsizetype line = width + 2;
        QByteArray bytes(count * line, '0');
        for (int i = 1; i <= count; ++i) {
            char* end = bytes.data() + i * line;
            end[-2] = '\r';
            end[-1] = '\n';
            for (int n = i, digit = width - 1; n > 0 && digit >= 0; n /= 10, --digit)
                end[-line + digit] = char('0' + n % 10);
        }
        return bytes;
    }
    // Lines of 100 bytes: a source larger than the reader's 1 MB block in few records.
    static constexpr qint64 WideLine = 100;
    static QByteArray wideLines(int count) { return lines(count, int(WideLine) - 2); }
    static qsizetype lineCount(const QByteArray& bytes) { return bytes.count("\r\n"); }

public:
    // Where a target table lies: in an SQLite file, written through SQLite's own interface;
    // in the SQLite ODBC data source, written through ODBC; in PostgreSQL, written through
    // libpq's COPY, or through ODBC alone by a user that may hold one session only.
    enum class TableAt { File, SqliteOdbc, Postgres, PostgresAlone };
    static const char* placeName(TableAt at)
    {
        const char* names[] = {"File", "Odbc", "Postgres", "PostgresAlone"};
        return names[int(at)];
    }

protected:
    // The target becomes that table; its column z takes what check allows.
    void tableTarget(const QString& check, TableAt at = TableAt::File)
    {
        m_odbcTable.clear();
        if (at == TableAt::File) {
            test::ScratchConnection(u"QSQLITE"_s, table())
                .exec(u"create table t (z text check (%1))"_s.arg(check));
            db.exec(u"update trgHead set frommedium = 2, filetype = 'MS Access', "
                    "path = '%1', dbtable = 't'"_s.arg(table()));
            return;
        }
        m_dsn = at == TableAt::Postgres        ? test::postgresLogin()
                : at == TableAt::PostgresAlone ? test::postgresDsn()
                                               : test::sqliteOdbcDsn();
        if (m_dsn.isEmpty())
            QUENDRA_SKIP() << "ODBC-Datenquelle fehlt (scripts/with-test-services.sh)";
        m_odbcTable = test::uniqueTableName(u"ziel"_s);
        const test::ScratchConnection scratch(u"QODBC"_s, m_dsn);
        scratch.exec(u"create table %1 (z varchar(10) check (%2))"_s.arg(m_odbcTable, check));
        QString path = m_dsn;
        if (at == TableAt::PostgresAlone) {
            m_user = test::uniqueTableName(u"einzeln"_s);
            scratch.execAll({u"create role %1 login connection limit 1"_s.arg(m_user),
                             u"grant all on %1 to %2"_s.arg(m_odbcTable, m_user)});
            path += u";uid="_s + m_user;
        }
        db.exec(u"update trgHead set frommedium = 1, path = '%1', dbtable = '%2'"_s.arg(
            path, m_odbcTable));
    }
    QString table() const { return db.filePath(u"ziel.db"_s); }
    QStringList tableRows() const
    {
        if (!m_odbcTable.isEmpty())
            return test::ScratchConnection(u"QODBC"_s, m_dsn)
                .column(u"select z from %1 order by z"_s.arg(m_odbcTable));
        return test::ScratchConnection(u"QSQLITE"_s, table())
            .column(u"select z from t order by rowid"_s);
    }
    // The number of the table's rows and their values joined in order, as "count:values":
    // one value read back instead of thousands, each costly under the sanitizer.
    QString joinedRows() const
    {
        if (!m_odbcTable.isEmpty() && m_dsn != test::sqliteOdbcDsn())
            return test::ScratchConnection(u"QODBC"_s, m_dsn)
                .column(u"select count(*) || ':' || coalesce(string_agg(z, '' order by z), '') "
                        "from %1"_s.arg(m_odbcTable))
                .value(0);
        const QString sql = u"select count(*) || ':' || coalesce(group_concat(z, ''), '') from "
                            "(select z from %1 order by rowid)"_s;
        if (!m_odbcTable.isEmpty())
            return test::ScratchConnection(u"QODBC"_s, m_dsn).column(sql.arg(m_odbcTable)).value(0);
        return test::ScratchConnection(u"QSQLITE"_s, table()).column(sql.arg(u"t"_s)).value(0);
    }
    void dropOdbcTable()
    {
        if (!m_odbcTable.isEmpty())
            test::ScratchConnection(u"QODBC"_s, m_dsn).exec(u"drop table "_s + m_odbcTable);
        if (!m_user.isEmpty())
            test::ScratchConnection(u"QODBC"_s, m_dsn).exec(u"drop role "_s + m_user);
        m_user.clear();
    }

private:
    QString m_user;      // the one-session user that writes the table, when there is one
    QString m_odbcTable; // the ODBC data source's table of the target, when it is one
    QString m_dsn;       // and that data source
};

// What a run with a database target adds to its error: the rows the table holds.
QString received(qint64 rows)
{
    return u"Datensätze dieses Laufs in der Zieltabelle: %1."_s.arg(rows);
}

// The error a run shows on standard error: one box, naming what went wrong.
void expectOneError(const BatchResult& r, const QString& text)
{
    const QString title = u"Quendra (" QUENDRA_VERSION ") : "_s;
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith(title) && r.err.count(title) == 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(text)) << r.err.toStdString();
}

// A target that is the source under another name (a symbolic or a hard link) is refused
// before anything is opened; the plain cases are golden cases (fail_target_*source*).
TEST_F(RunFaults, TargetLinkedToTheSourceIsRefusedBeforeAnythingIsOpened)
{
    writeSource(lines(3));
    const QByteArray out = QFile::encodeName(db.filePath(u"out.txt"_s));
    for (const bool hard : {false, true}) {
        SCOPED_TRACE(hard ? "hard link" : "symbolic link");
        QFile::remove(QFile::decodeName(out));
        const QByteArray src = QFile::encodeName(source());
        ASSERT_EQ(hard ? ::link(src.constData(), out.constData())
                       : ::symlink(src.constData(), out.constData()),
                  0);
        expectOneError(test::runBatch(args()), u"ist dieselbe Datei wie die Quelle"_s);
        EXPECT_EQ(target(u"src.txt"_s), lines(3));
    }
}

// The file system refuses the target's bytes: the run fails, and the target ends with
// the last record it took completely, never with a torn one.
// All or nothing: the old target stays as it was, and no new file is left beside it.
class FullDisk : public RunFaults, public ::testing::WithParamInterface<test::CaseRow> {};

TEST_P(FullDisk, LeavesCompleteRecordsOnly)
{
    const rlim_t sizeLimit = GetParam()[0].toULongLong(); // 0: the target is /dev/full
    const bool allOrNothing = GetParam().flag(2);
    const QByteArray all = lines(300000); // 2.7 MB: more than one write block
    writeSource(all);
    std::function<void()> limit;
    if (sizeLimit == 0)
        db.exec(u"update trgHead set path = '/dev/full'"_s);
    else
        limit = test::withFullDisk(sizeLimit);
    const QByteArray old = "alt\r\n";
    writeTarget(old);
    QStringList call = args();
    if (allOrNothing)
        call.prepend(u"--all-or-nothing"_s);
    const BatchResult r = test::runBatch(call, u"de_DE.UTF-8"_s, limit);
    expectOneError(r, GetParam()[1]);
    if (allOrNothing) {
        EXPECT_EQ(target(), old);
        EXPECT_EQ(QDir(db.dir()).entryList(QDir::Files | QDir::Hidden).filter(u"out.txt"_s),
                  QStringList{u"out.txt"_s});
        return;
    }
    if (sizeLimit == 0)
        return;
    const QByteArray written = target();
    EXPECT_GT(written.size(), 0);
    EXPECT_LE(written.size(), qsizetype(sizeLimit));
    EXPECT_TRUE(written.endsWith("\r\n"));
    EXPECT_TRUE(all.startsWith(written));
    EXPECT_TRUE(
        r.err.contains(u"enthält die ersten %1 Zeilen vollständig"_s.arg(lineCount(written))))
        << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Rows, FullDisk,
                         ::testing::ValuesIn(test::caseTable(u"engine/full-disk.tsv"_s)),
                         test::caseName);

// A run whose source is a pipe: first goes in; once the run has converted it and waits
// for more, during(pid of the run) happens; then later goes in and the pipe is closed.
BatchResult pausedRun(const QStringList& args, const QString& source, const QByteArray& first,
                      const std::function<void(qint64)>& during, const QByteArray& later)
{
    std::signal(SIGPIPE, SIG_IGN); // a run that ended early must not end the test too
    QFile::remove(source);
    if (::mkfifo(QFile::encodeName(source).constData(), 0600) != 0)
        return {};
    QProcess process;
    test::startBatch(process, args);
    // Opening the pipe waits for the reader; without it the test would hang for ever.
    int fifo = -1;
    QElapsedTimer opening;
    opening.start();
    while (fifo < 0 && opening.elapsed() < 20000) {
        fifo = ::open(QFile::encodeName(source).constData(), O_WRONLY | O_NONBLOCK);
        if (fifo < 0)
            QThread::msleep(5);
    }
    EXPECT_GE(fifo, 0) << "the run did not open its source";
    ::fcntl(fifo, F_SETFL, 0);
    EXPECT_EQ(::write(fifo, first.constData(), size_t(first.size())), first.size());
    // Wait until the run has taken everything out of the pipe, converted it and sleeps
    // in the next read.
    QElapsedTimer waited;
    waited.start();
    for (int unread = 1; unread > 0 && waited.elapsed() < 20000; QThread::msleep(5))
        ::ioctl(fifo, FIONREAD, &unread);
    QFile wchan(u"/proc/%1/wchan"_s.arg(process.processId()));
    while (waited.elapsed() < 20000 && wchan.open(QIODevice::ReadOnly) &&
           !wchan.readAll().endsWith("pipe_read")) { // "anon_pipe_read" in newer kernels
        wchan.close();
        QThread::msleep(5);
    }
    QThread::msleep(100);
    during(process.processId());
    QThread::msleep(100);
    EXPECT_EQ(::write(fifo, later.constData(), size_t(later.size())), later.size())
        << "the run ended before it read on";
    ::close(fifo);
    return test::finishBatch(process);
}

// Stopped from outside while the source delivers slowly (a pipe): the records before the signal are
// written completely, no check lines follow, the next definition does not start; a database target
// holds their rows and the message counts them. All or nothing: the target stays as it was.
class Stopped : public RunFaults, public ::testing::WithParamInterface<test::CaseRow> {
protected:
    BatchResult stop()
    {
        const int signal = GetParam()[0] == u"SIGTERM" ? SIGTERM : SIGINT;
        return pausedRun((GetParam().flag(1) ? QStringList{u"--all-or-nothing"_s} : QStringList())
                             << args() << T,
                         source(), "a\r\nb\r\n",
                         [signal](qint64 pid) { ::kill(pid_t(pid), signal); }, "c\r\nd\r\n");
    }
    void expectStopMessage(const BatchResult& r)
    {
        EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(
            u"durch das Signal %1 abgebrochen, bevor Datensatz 3"_s.arg(GetParam()[0])))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(GetParam()[2])) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(u"nicht ausgeführt wurden GUT."_s)) << r.err.toStdString();
    }
};

TEST_P(Stopped, EndsAfterTheRecordInHand)
{
    writeTarget("alt\r\n");
    const BatchResult r = stop();
    expectStopMessage(r);
    EXPECT_EQ(target(), QByteArray(GetParam().flag(1) ? "alt\r\n" : "a\r\nb\r\n"));
    EXPECT_EQ(QDir(db.dir()).entryList(QDir::Files | QDir::Hidden).filter(u"out.txt"_s),
              QStringList{u"out.txt"_s});
    const std::vector<JournalEntry> journal = journalEntries();
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0].status, journalstatus::stopped());
    EXPECT_EQ(journal[0].recordsWritten, GetParam().flag(1) ? 0 : 2);
    EXPECT_TRUE(journal[0].message.contains(u"abgebrochen, bevor Datensatz 3"_s));
}

// A run killed (SIGKILL, a power cut) cannot complete its row: the next look at the journal
// finds its process gone and says so.
TEST_F(RunFaults, AKilledRunShowsAsAbandoned)
{
    pausedRun(args(), source(), "a\r\n", [](qint64 pid) { ::kill(pid_t(pid), SIGKILL); }, {});
    ASSERT_EQ(journalEntries().size(), 1u);
    EXPECT_EQ(journalEntries()[0].status, journalstatus::running());
    QFile::remove(source());
    writeSource("a\r\n");
    EXPECT_EQ(test::runBatch(args()).exitCode, 0);
    EXPECT_EQ(journalEntries().back().status, journalstatus::abandoned()) << "at the next start";
    const BatchResult r = test::runBatch({u"--config"_s, db.path(), u"--journal"_s});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(u"abgebrochen"_s)) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(u"\n    Der Lauf endete, ohne sein Ende zu vermerken"_s));
}

// Whether the row of the run going on is in init.mdb for everyone to read.
bool startRowCommitted()
{
    try {
        return !journalEntries().empty();
    } catch (...) {
        return false; // being committed just now
    }
}

// A run whose init.mdb another program holds locked as it ends keeps its target; the
// journal row is tried again, then a warning says that it is missing.
TEST_F(RunFaults, ALockedJournalFailsNoRun)
{
    std::optional<test::ScratchConnection> other;
    QElapsedTimer clock;
    const BatchResult r = pausedRun(
        args(), source(), "a\r\n",
        [&](qint64) {
            // The run's row is committed beside the run; the lock is to meet its end row.
            QElapsedTimer waited;
            waited.start();
            while (!startRowCommitted() && waited.elapsed() < 20000)
                QThread::msleep(5);
            other.emplace(u"QSQLITE"_s, db.path());
            other->exec(u"begin exclusive"_s);
            clock.start();
        },
        "b\r\n");
    EXPECT_GT(clock.elapsed(), 4000) << "tried more than once";
    other->exec(u"rollback"_s);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(u"Der Lauf ist nicht im Protokoll der Konfigurationsdatenbank "
                               "vermerkt: Die Konfigurationsdatenbank ist von einem anderen "
                               "Programm gesperrt"_s))
        << r.err.toStdString();
    EXPECT_EQ(target(), QByteArray("a\r\nb\r\nPr\xfc"
                                   "fsumme:\r\nZ (Anzahl): 2\r\n"));
}

// A run whose row cannot be written as it starts (init.mdb locked for writing) does not
// start: nothing written and no trace left would be worse than a refusal.
TEST_F(RunFaults, ALockedJournalAtTheStartRefusesTheRun)
{
    writeSource("a\r\n");
    writeTarget("alt\r\n");
    test::ScratchConnection other(u"QSQLITE"_s, db.path());
    other.exec(u"begin immediate"_s);
    const BatchResult r = test::runBatch(args());
    other.exec(u"rollback"_s);
    expectOneError(r, u"Die Umsetzung wurde nicht begonnen, weil sie nicht im Protokoll der "
                      "Konfigurationsdatenbank vermerkt werden kann; das Ziel ist unverändert. "
                      "Die Konfigurationsdatenbank ist von einem anderen Programm gesperrt"_s);
    EXPECT_EQ(target(), "alt\r\n");
    EXPECT_TRUE(journalEntries().empty());
}

// A journal refused for another reason than a lock (here a rule of the database file)
// would stop every run for good: the run writes without its row and says so.
TEST_F(RunFaults, AJournalRefusedForGoodWarnsAndRuns)
{
    writeSource("a\r\n");
    ASSERT_EQ(test::runBatch(args()).exitCode, 0); // the journal's table now exists
    test::ScratchConnection(u"QSQLITE"_s, db.path())
        .exec(u"create trigger nein before insert on quendraJournal "
              "begin select raise(abort, 'Regel der Datei'); end"_s);
    writeSource("b\r\n");
    const BatchResult r = test::runBatch(args());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(u"Der Lauf wird nicht im Protokoll der Konfigurationsdatenbank "
                               "vermerkt und nicht mit früheren Läufen verglichen: "_s))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(u"Regel der Datei"_s)) << r.err.toStdString();
    EXPECT_EQ(target(), QByteArray("b\r\nPr\xfc"
                                   "fsumme:\r\nZ (Anzahl): 1\r\n"));
    EXPECT_EQ(journalEntries().size(), 1u);
}

// Two runs of one definition at once: the second finds the first still going (its source
// not yet known) and is refused before it writes; the first writes, and both rows say how
// each ended.
TEST_F(RunFaults, ASecondRunAtOnceIsRefused)
{
    writeTarget("alt\r\n");
    BatchResult second;
    const BatchResult first = pausedRun(
        args(), source(), "a\r\n",
        [&](qint64) {
            QFile::remove(source()); // the first run reads on from its pipe
            writeSource("a\r\nb\r\n");
            second = test::runBatch(args());
        },
        "b\r\n");
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    const std::vector<JournalEntry> rows = journalEntries();
    ASSERT_EQ(rows.size(), 2u);
    const QDateTime since = rows[1].started.toLocalTime();
    expectOneError(second,
                   u"Seit dem %1 um %2 Uhr läuft schon ein Lauf von GUT nach %3; die "
                   "Quelle %4 wurde nicht umgesetzt. Mit --again wird sie trotzdem "
                   "umgesetzt."_s.arg(since.toString(u"dd.MM.yyyy"_s), since.toString(u"HH:mm"_s),
                                      db.filePath(u"out.txt"_s), source()));
    EXPECT_EQ(target(), QByteArray("a\r\nb\r\nPr\xfc"
                                   "fsumme:\r\nZ (Anzahl): 2\r\n"));
    EXPECT_EQ(rows[1].status, journalstatus::succeeded());
    EXPECT_EQ(rows[0].status, journalstatus::refused());
    EXPECT_EQ(rows[0].recordsWritten, 0);
    EXPECT_NE(rows[0].pid, rows[1].pid);
}

TEST_P(Stopped, ADatabaseTargetHoldsTheRecordsBefore)
{
    for (const TableAt at : {TableAt::File, TableAt::SqliteOdbc, TableAt::Postgres}) {
        SCOPED_TRACE(placeName(at));
        tableTarget(u"true"_s, at);
        const BatchResult r = stop();
        expectStopMessage(r);
        if (GetParam().flag(1)) {
            EXPECT_EQ(tableRows(), QStringList());
        } else {
            EXPECT_TRUE(r.err.contains(received(2))) << r.err.toStdString();
            EXPECT_EQ(tableRows(), (QStringList{u"a"_s, u"b"_s}));
        }
        dropOdbcTable();
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, Stopped, ::testing::ValuesIn(test::caseTable(u"engine/stops.tsv"_s)),
                         test::caseName);

// A row the table refuses, wherever it falls among the blocks of 5000 rows the rows are sent in
// (first block, first, middle and last row of a block, last block): the run names its record, and
// the table holds exactly the records before it; all or nothing, it holds none of this run's.
// Through SQLite's own interface (an SQLite file), through PostgreSQL's COPY, whose error names
// the refused row by its line, and through ODBC (the SQLite ODBC driver, psqlODBC), where a
// refused statement of several rows is sent again row by row.
class RowRefused : public RunFaults,
                   public ::testing::WithParamInterface<std::tuple<int, RunFaults::TableAt>> {};

TEST_P(RowRefused, NamesItsRecordAndKeepsTheRowsBefore)
{
    const auto [refused, at] = GetParam();
    writeSource(lines(12000));
    for (const bool allOrNothing : {false, true}) {
        SCOPED_TRACE(allOrNothing ? "all or nothing" : "row by row");
        QFile::remove(table());
        tableTarget(u"z <> '%1'"_s.arg(refused, 7, 10, QLatin1Char('0')), at);
        QStringList call = args();
        if (allOrNothing)
            call.prepend(u"--all-or-nothing"_s);
        BatchResult r = test::runBatch(call);
        if (at == TableAt::PostgresAlone) { // the run's first message says why ODBC writes
            const qsizetype second = r.err.lastIndexOf(u"Quendra (" QUENDRA_VERSION ") : "_s);
            EXPECT_TRUE(r.err.left(second).contains(u"nicht über PostgreSQLs eigene"_s));
            r.err = r.err.mid(second);
        }
        expectOneError(r, at == TableAt::File || at == TableAt::SqliteOdbc
                              ? u"CHECK constraint failed"_s
                              : u"violates check constraint"_s);
        const int kept = allOrNothing ? 0 : refused - 1;
        EXPECT_TRUE(r.err.contains(u"Datensatz %1"_s.arg(refused))) << r.err.toStdString();
        EXPECT_EQ(r.err.contains(received(kept)), !allOrNothing) << r.err.toStdString();
        EXPECT_EQ(joinedRows(),
                  u"%1:"_s.arg(kept) + QString::fromLatin1(lines(kept).replace("\r\n", "")));
        dropOdbcTable();
    }
}

INSTANTIATE_TEST_SUITE_P(Places, RowRefused,
                         ::testing::Combine(::testing::Values(3, 5001, 7500, 10000, 11999),
                                            ::testing::Values(RunFaults::TableAt::File,
                                                              RunFaults::TableAt::SqliteOdbc,
                                                              RunFaults::TableAt::Postgres,
                                                              RunFaults::TableAt::PostgresAlone)),
                         [](const auto& info) {
                             return std::to_string(std::get<0>(info.param)) +
                                    RunFaults::placeName(std::get<1>(info.param));
                         });

// The server ends the connection while rows wait to be sent: the run names the first
// record the table lacks and says how many it holds.
TEST_F(RunFaults, LostConnectionSaysHowManyRowsTheTableReceived)
{
    if (test::postgresLogin().isEmpty())
        QUENDRA_SKIP() << "PostgreSQL-Testserver fehlt (scripts/with-test-services.sh)";
    const test::ScratchConnection server(u"QODBC"_s, test::postgresLogin());
    const QString table = test::uniqueTableName(u"ziel"_s);
    server.exec(u"create table %1 (z varchar(10))"_s.arg(table));
    // The run's connection carries the table's name, so that exactly it can be ended.
    db.exec(u"update trgHead set frommedium = 1, path = '%1;ConnSettings=set "
            "application_name to %2', dbtable = '%2'"_s.arg(test::postgresLogin(), table));
    const BatchResult r = pausedRun(
        args(), source(), lines(5001),
        [&](qint64) {
            server.exec(u"select pg_terminate_backend(pid) from "
                        "pg_stat_activity where application_name = '%1'"_s.arg(table));
        },
        lines(2));
    expectOneError(r, u"Datensatz 5001"_s);
    EXPECT_TRUE(r.err.contains(received(5000))) << r.err.toStdString();
    EXPECT_EQ(server.column(u"select count(*) from "_s + table), QStringList{u"5000"_s});
    server.exec(u"drop table "_s + table);
}

// A constraint the server checks only at commit (a deferred foreign key) refuses a block whose
// rows each went in: the block is lost as a whole, the run names its first record and says how
// many rows the table holds; all or nothing, it holds none and gives the server's reason too.
TEST_F(RunFaults, ARefusedCommitLosesItsBlockAndSaysSo)
{
    if (test::postgresLogin().isEmpty())
        QUENDRA_SKIP() << "PostgreSQL-Testserver fehlt (scripts/with-test-services.sh)";
    const test::ScratchConnection server(u"QODBC"_s, test::postgresLogin());
    const QString table = test::uniqueTableName(u"ziel"_s);
    server.execAll(
        {u"create table %1_k (z varchar(10) primary key)"_s.arg(table),
         u"insert into %1_k select lpad(g::text, 7, '0') from generate_series(1, 7000) g "
         "where g <> 6001"_s.arg(table),
         u"create table %1 (z varchar(10) references %1_k deferrable initially "
         "deferred)"_s.arg(table)});
    db.exec(u"update trgHead set frommedium = 1, path = '%1', dbtable = '%2'"_s.arg(
        test::postgresLogin(), table));
    writeSource(lines(7000));
    for (const bool allOrNothing : {false, true}) {
        SCOPED_TRACE(allOrNothing ? "all or nothing" : "row by row");
        server.exec(u"delete from "_s + table);
        QStringList call = args();
        if (allOrNothing)
            call.prepend(u"--all-or-nothing"_s);
        const BatchResult r = test::runBatch(call);
        expectOneError(r, u"foreign key"_s);
        EXPECT_EQ(r.err.contains(u"Datensatz 5001"_s), !allOrNothing) << r.err.toStdString();
        EXPECT_EQ(r.err.contains(received(5000)), !allOrNothing) << r.err.toStdString();
        EXPECT_EQ(server.column(u"select count(*) from "_s + table),
                  QStringList{allOrNothing ? u"0"_s : u"5000"_s});
    }
    server.execAll({u"drop table "_s + table, u"drop table %1_k"_s.arg(table)});
}

// How far the process has read path: the largest file position of its open descriptors on
// it (the fingerprint's own descriptor reads by position and stays at 0); -1 when it has none.
qint64 readPosition(qint64 pid, const QString& path)
{
    const QDir fds(u"/proc/%1/fd"_s.arg(pid));
    const QString wanted = QFileInfo(path).canonicalFilePath();
    qint64 position = -1;
    for (const QString& fd :
         fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)) {
        if (QFileInfo(fds.filePath(fd)).symLinkTarget() != wanted)
            continue;
        QFile info(u"/proc/%1/fdinfo/%2"_s.arg(pid).arg(fd));
        if (info.open(QIODevice::ReadOnly))
            position = std::max(position, info.readLine().mid(4).trimmed().toLongLong());
    }
    return position;
}

// Another program cuts the source short while the run reads it, at a line end or inside a line: the
// run fails and says how far it got; the target holds exactly the complete records read.
class SourceCutShort : public RunFaults, public ::testing::WithParamInterface<test::CaseRow> {};

TEST_P(SourceCutShort, DuringTheRunFails)
{
    const qint64 intoLine = GetParam()[0].toLongLong(); // bytes after the last whole line
    // 9 MB, read in blocks of 1 MB: the run is caught before it has read the cut.
    writeSource(wideLines(90000));
    QProcess process;
    test::startBatch(process, args());
    const qint64 pid = process.processId();
    qint64 pos = 0;
    QElapsedTimer waited;
    waited.start();
    while (pos <= 0 && waited.elapsed() < 20000 && process.state() == QProcess::Running)
        pos = readPosition(pid, source());
    ::kill(pid_t(pid), SIGSTOP);
    pos = readPosition(pid, source());
    ASSERT_GT(pos, 0) << "the run was not caught reading";
    ASSERT_LT(pos, 8000000) << "the run was caught too late";
    const qint64 keptLines = pos / WideLine + 100;
    ASSERT_EQ(::truncate(QFile::encodeName(source()).constData(), keptLines * WideLine + intoLine),
              0);
    ::kill(pid_t(pid), SIGCONT);

    const BatchResult r = test::finishBatch(process);
    QString message = GetParam()[1];
    if (message.contains(u"%1"))
        message = message.arg(keptLines + (intoLine ? 1 : 0));
    expectOneError(r, message);
    EXPECT_EQ(target(), wideLines(int(keptLines)));
}

INSTANTIATE_TEST_SUITE_P(Rows, SourceCutShort,
                         ::testing::ValuesIn(test::caseTable(u"engine/source-cut-short.tsv"_s)),
                         test::caseName);

// A shrinking source under a progress display: the records counted at the start say
// how many are missing.
class CuttingProgress : public ProgressSink {
public:
    CuttingProgress(QString path, qint64 size) : m_path(std::move(path)), m_size(size) {}
    void open() override {}
    void setCount(qint64 count, qint64) override
    {
        if (count == 1) {
            ASSERT_EQ(::truncate(QFile::encodeName(m_path).constData(), m_size), 0);
        }
    }
    void close() override {}

private:
    QString m_path;
    qint64 m_size;
};

TEST_F(RunFaults, SourceCutShortUnderAProgressDisplayNamesTheCounts)
{
    writeSource(wideLines(30000));
    CuttingProgress progress(source(), 20000 * WideLine);
    showRunResult(runDefinition(T, &progress));
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_TRUE(
        sink.boxes[0].text.contains(u"Die Quelle endete nach 20000 von 30000 Datensätzen"_s))
        << sink.boxes[0].text.toStdString();
    EXPECT_EQ(target(), wideLines(20000));
}

// Cut inside a line: a run row by row wrote the records before it and says the target is
// incomplete; an all-or-nothing run left the target as it was and says so, nothing else.
TEST_F(RunFaults, SourceCutInsideALineSaysWhatTheTargetHolds)
{
    for (const bool allOrNothing : {false, true}) {
        SCOPED_TRACE(allOrNothing ? "all or nothing" : "row by row");
        writeSource(wideLines(30000));
        writeTarget("alt\r\n");
        CuttingProgress progress(source(), 20000 * WideLine + 4);
        RunOptions options;
        options.allOrNothing = allOrNothing;
        const RunResult r = runDefinition(T, &progress, options);
        ASSERT_TRUE(r.failure);
        const QString text = r.failure->error.description();
        EXPECT_TRUE(text.contains(u"mitten in Zeile 20001. Ein anderes Programm"_s))
            << text.toStdString();
        EXPECT_EQ(text.contains(u"unvollständig"_s), !allOrNothing) << text.toStdString();
        EXPECT_EQ(text.contains(u"Das Ziel ist unverändert."_s), allOrNothing);
        EXPECT_EQ(target(), allOrNothing ? QByteArray("alt\r\n") : wideLines(20000));
    }
}

TEST_F(RunFaults, LockedConfigurationIsReportedAtOnceAndLeftAlone)
{
    writeSource(lines(1));
    test::ScratchConnection other(u"QSQLITE"_s, db.path());
    other.exec(u"begin exclusive"_s);
    QElapsedTimer clock;
    clock.start();
    const BatchResult r = test::runBatch(args());
    EXPECT_LT(clock.elapsed(), 8000);
    expectOneError(r, u"Die Konfigurationsdatenbank ist von einem anderen Programm gesperrt"_s);
    EXPECT_TRUE(r.err.contains(u"Meldung des Datenbanktreibers: database is locked"_s));
    EXPECT_FALSE(r.err.contains(u"crebas"_s)) << "no attempt to create tables";
    EXPECT_FALSE(r.err.contains(u"Versionstabelle"_s));
    other.exec(u"rollback"_s);
    EXPECT_EQ(test::runBatch(args()).exitCode, 0) << "the same file works once it is free";
}

TEST_F(RunFaults, MissingTableOfAnOdbcServerIsNamed)
{
    if (test::postgresLogin().isEmpty())
        QUENDRA_SKIP() << "needs scripts/with-test-services.sh";
    // The server lists at least one table, so that the missing one can be told apart
    // from a server that lists nothing.
    const test::ScratchConnection server(u"QODBC"_s, test::postgresLogin());
    const QString present = test::uniqueTableName(u"da"_s);
    server.exec(u"create table %1 (x int)"_s.arg(present));
    db.exec(u"update srcHead set frommedium = 1, path = '%1', dbtable = 'fehlt'"_s.arg(
        test::postgresLogin()));
    const BatchResult r = test::runBatch(args());
    expectOneError(r, u"Die Tabelle „fehlt“ gibt es in „%1“ nicht.\nMeldung des "
                      "Datenbanktreibers: "_s.arg(test::postgresDsn()));
    server.exec(u"drop table %1"_s.arg(present));
}

// A data source that libpq cannot reach beside ODBC (its user may hold one session only)
// is read over ODBC all the same, and the run's first message says so and why.
TEST_F(RunFaults, ASourceLibpqCannotReachIsReadOverOdbcAndSaysSo)
{
    if (test::postgresDsn().isEmpty())
        QUENDRA_SKIP() << "PostgreSQL-Testserver fehlt (scripts/with-test-services.sh)";
    const test::ScratchConnection admin(u"QODBC"_s, test::postgresDsn());
    const QString user = test::uniqueTableName(u"einzeln"_s);
    const QString table = test::uniqueTableName(u"quelle"_s);
    admin.execAll({u"create role %1 login connection limit 1"_s.arg(user),
                   u"create table %1 (s varchar(10))"_s.arg(table),
                   u"insert into %1 values ('0000001'), ('0000002')"_s.arg(table),
                   u"grant select on %1 to %2"_s.arg(table, user)});
    db.exec(u"update srcHead set frommedium = 1, path = '%1;uid=%2', dbtable = '%3'"_s.arg(
        test::postgresDsn(), user, table));
    // Again: the source is opened once only (the check for a repeat would open it twice).
    const BatchResult r = test::runBatch({u"--config"_s, db.path(), u"--again"_s, T});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(u"„%1“ wird über ODBC gelesen und beschrieben, nicht über "
                               "PostgreSQLs eigene Schnittstelle libpq"_s.arg(test::postgresDsn())))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(u"too many connections"_s)) << r.err.toStdString();
    EXPECT_TRUE(target().startsWith("0000001\r\n0000002\r\n")) << r.err.toStdString();
    admin.execAll({u"drop table "_s + table, u"drop role "_s + user});
}

} // namespace
