#include "common/globals.h"
#include "config/configconnection.h"
#include "config/configrowset.h"
#include "config/configsql.h"
#include "support/configcursor.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"
#include "support/testdatabases.h"
#include "support/thrown.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace quendra {
namespace {

using test::RecordingSink;
using test::TempConfigDb;

// The cursors of a thread share one connection per file; what each cursor reads, writes
// and reports stays as if it had a connection of its own.
class SharedConnection : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(u"insert into srchead (transid, path) values ('A', 'a')"_s);
        before = connections();
    }

    static std::unique_ptr<clsInitDBConnect> open()
    {
        return test::openCursor(u"srchead"_s, u"A"_s);
    }

    static qsizetype connections() { return QSqlDatabase::connectionNames().size(); }

    static QString path(const clsInitDBConnect& c) { return c.value(u"path"_s).toString(); }

    RecordingSink sink;
    TempConfigDb db;
    qsizetype before = 0;
};

TEST_F(SharedConnection, ScopeKeepsItBetweenCursorsOpenedOneAfterAnother)
{
    {
        const ConfigConnectionScope run;
        {
            const ConfigConnectionScope inner;
            open();
        }
        EXPECT_EQ(connections(), before + 1);
        const ConfigConnection* first = ConfigConnection::shared(db.path()).get();
        EXPECT_EQ(path(*open()), u"a"_s);
        EXPECT_EQ(ConfigConnection::shared(db.path()).get(), first);
        const QString cwd = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(db.dir()));
        const auto relative = ConfigConnection::shared(u"init.mdb"_s);
        QDir::setCurrent(cwd);
        EXPECT_EQ(relative.get(), first) << "a relative path shares it too";

        QFile::remove(db.path()); // still reported by the cursor that opens
        EXPECT_THROW(open(), Error);
    }
    EXPECT_EQ(connections(), before);
}

TEST_F(SharedConnection, WriteThroughOneCursorIsSeenByTheOthersNextOpening)
{
    auto reader = open();
    auto writer = open();
    writer->setValue(u"path"_s, u"neu"_s);
    writer->AddNew();
    writer->setValue(u"path"_s, u"zwei"_s);
    writer->update();
    EXPECT_EQ(path(*reader), u"a"_s); // a snapshot until it is read again
    reader->Requery();
    EXPECT_EQ(reader->record().rowCount(), 2);
    EXPECT_EQ(path(*reader), u"neu"_s);
    reader->MoveNext();
    EXPECT_EQ(path(*reader), u"zwei"_s);
    EXPECT_EQ(connections(), before + 1); // one for both, until the last lets go
    writer.reset();
    EXPECT_EQ(connections(), before + 1);
    reader.reset();
    EXPECT_EQ(connections(), before);
}

TEST_F(SharedConnection, CursorWritesWhileAQueryOnTheConnectionIsActive)
{
    auto writer = open();
    const auto connection = ConfigConnection::shared(db.path());
    QSqlQuery reading(connection->database());
    reading.setForwardOnly(true);
    ASSERT_TRUE(reading.exec(u"select transid from srchead"_s));
    ASSERT_TRUE(reading.next()); // the statement stays active and holds SQLite's read lock

    QElapsedTimer clock;
    clock.start();
    writer->setValue(u"path"_s, u"neu"_s);
    writer->update();
    auto fresh = open();
    EXPECT_LT(clock.elapsed(), 1000) << "waited for a lock of its own connection";
    EXPECT_TRUE(reading.isActive());
    EXPECT_EQ(path(*fresh), u"neu"_s);
}

TEST_F(SharedConnection, LockOfAnotherProgramIsStillReported)
{
    auto holder = open(); // keeps the shared connection open
    test::ScratchConnection other(u"QSQLITE"_s, db.path());
    other.exec(u"begin exclusive"_s);

    QElapsedTimer clock;
    clock.start();
    const Error e = test::thrownBy([&] { open(); });
    EXPECT_TRUE(e.description().startsWith(
        u"Die Konfigurationsdatenbank ist von einem anderen Programm gesperrt"_s))
        << e.description().toStdString();
    EXPECT_TRUE(e.source().startsWith(u"Modul: clsInitDBConnect.init"_s));
    EXPECT_GE(clock.elapsed(), 1500) << "gave up before the lock wait";
    EXPECT_TRUE(sink.boxes.empty()) << "no attempt to create the tables";

    holder->setValue(u"path"_s, u"neu"_s);
    EXPECT_THROW(holder->update(), Error);
    EXPECT_TRUE(holder->EditingRecord()) << "the change stays pending";

    other.exec(u"rollback"_s);
    holder->update();
    EXPECT_EQ(path(*open()), u"neu"_s);
}

TEST_F(SharedConnection, FileReplacedOrRemovedUnderTheConnectionIsMetAnew)
{
    auto holder = open();
    {
        TempConfigDb backup; // a file with other content put in place, as a restore does
        backup.exec(u"insert into srchead (transid, path) values ('A', 'r')"_s);
        EXPECT_EQ(path(*open()), u"r"_s); // another path: a connection of its own
        ASSERT_TRUE(QFile::rename(db.path(), db.filePath(u"alt.mdb"_s)));
        ASSERT_TRUE(QFile::copy(backup.path(), db.path()));
    }
    initGlobals(db.path());
    auto restored = open();
    EXPECT_EQ(path(*restored), u"r"_s);
    EXPECT_EQ(connections(), before + 2); // the holder keeps the file it opened
    holder->Requery();
    EXPECT_EQ(path(*holder), u"a"_s);

    ASSERT_TRUE(QFile::remove(db.path()));
    const Error e = test::thrownBy([&] { open(); });
    EXPECT_EQ(e.number(), errnum::FileNotFound);
    EXPECT_TRUE(e.description().contains(db.path())) << e.description().toStdString();
    EXPECT_TRUE(e.source().startsWith(u"Modul: clsInitDBConnect.init"_s));
    EXPECT_FALSE(QFile::exists(db.path())) << "a missing file stays missing";
}

TEST_F(SharedConnection, EachThreadHasItsOwn)
{
    const auto mine = ConfigConnection::shared(db.path());
    const ConfigConnection* theirs = nullptr;
    QString read;
    std::thread worker([&] {
        try {
            auto c = open();
            read = path(*c);
            theirs = ConfigConnection::shared(db.path()).get();
        } catch (const Error& e) {
            read = e.description();
        }
    });
    worker.join();
    EXPECT_NE(theirs, mine.get());
    EXPECT_EQ(read, u"a"_s);
    EXPECT_EQ(connections(), before + 1);
}

} // namespace
} // namespace quendra
