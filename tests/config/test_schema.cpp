#include "common/version.h"
#include "config/clsinitdbconnect.h"
#include "config/configrowset.h"
#include "config/configsql.h"
#include "support/casetable.h"
#include "support/configcursor.h"
#include "support/filebytes.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"
#include "support/testdatabases.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quendra {
namespace {

using test::openCursor;
using test::PrintTo; // rows print their name
using test::RecordingSink;
using test::TempConfigDb;

TEST(Schema, EmptyFileGetsTheWholeSchemaWithoutWarning)
{
    RecordingSink sink;
    TempConfigDb db(TempConfigDb::Content::EmptyFile);
    EXPECT_TRUE(openCursor(u"srchead"_s)->isEOF());
    EXPECT_TRUE(sink.boxes.empty());

    EXPECT_EQ(test::ScratchConnection(u"QSQLITE"_s, db.path())
                  .column(u"select name from sqlite_master order by name"_s),
              (QStringList{u"dbversion"_s, u"id_srcbody_sort"_s, u"id_trgbody_sort"_s, u"srcBody"_s,
                           u"srcHead"_s, u"trgBody"_s, u"trgHead"_s, u"trgconvert"_s}));

    EXPECT_EQ(openCursor(u"dbversion"_s)->value(u"version"_s).toInt(), 2);
}

class VersionCheck : public ::testing::TestWithParam<test::CaseRow> {};

TEST_P(VersionCheck, WarnsOncePerCursorOpeningWhenNotCurrent)
{
    RecordingSink sink;
    TempConfigDb db;
    db.exec(u"update dbversion set version = "_s + GetParam()[0]);
    openCursor(u"srchead"_s);
    openCursor(u"trghead"_s);
    if (GetParam()[1] == u"0") {
        EXPECT_TRUE(sink.boxes.empty());
        return;
    }
    ASSERT_EQ(sink.boxes.size(), 2u);
    const MessageBoxData& box = sink.boxes.front();
    EXPECT_EQ(box.style, StyleWarning);
    EXPECT_EQ(box.title, u"Quendra (" QUENDRA_VERSION ") : clsInitDBConnect.chkDBVersion"_s);
    EXPECT_TRUE(box.text.contains(u"(DB-Version ist nicht aktuell.)"_s));
}

INSTANTIATE_TEST_SUITE_P(Rows, VersionCheck,
                         ::testing::ValuesIn(test::caseTable(u"config/db-versions.tsv"_s)),
                         test::caseName);

// The error that init raises, or a failure when it succeeds.
Error initError()
{
    clsInitDBConnect c;
    c.setTable(u"srchead"_s);
    const Error e = test::thrownBy([&] { c.init(); });
    EXPECT_EQ(c.dataMember(u"Primary"_s), nullptr);
    return e;
}

TEST(Schema, FileThatIsNotSqliteIsRefusedUntouched)
{
    RecordingSink sink;
    TempConfigDb db(TempConfigDb::Content::EmptyFile);
    const QByteArray jet("\0\1\0\0Standard Jet DB\0\0\0\0", 23);
    test::writeFile(db.path(), jet);
    const Error e = initError();
    EXPECT_EQ(e.number(), errnum::UnrecognizedDatabase);
    EXPECT_TRUE(
        e.description().contains(u"keine Quendra-Konfigurationsdatenbank im SQLite-Format"_s));
    EXPECT_EQ(test::readFile(db.path()), jet);
    EXPECT_TRUE(sink.boxes.empty());
}

class UnrecoverableSchema : public ::testing::TestWithParam<test::CaseRow> {};

TEST_P(UnrecoverableSchema, ShowsTheCreationErrorOnceThenFailsInit)
{
    RecordingSink sink;
    TempConfigDb db(TempConfigDb::Content::EmptyFile);
    db.exec(GetParam()[0]);
    const Error e = initError();
    EXPECT_TRUE(e.description().contains(u"keine lesbare Versionstabelle (dbversion)"_s))
        << e.description().toStdString();
    EXPECT_TRUE(e.source().contains(u"clsInitDBConnect.chkDBVersion"_s));
    ASSERT_EQ(sink.boxes.size(), 1u); // one creation attempt only
    EXPECT_EQ(sink.boxes.front().style, StyleCritical);
    EXPECT_EQ(sink.boxes.front().title,
              u"Quendra (" QUENDRA_VERSION ") : clsInitDBConnect.crebas"_s);
    EXPECT_TRUE(sink.boxes.front().text.contains(u"QSQLITE"_s));
}

INSTANTIATE_TEST_SUITE_P(Rows, UnrecoverableSchema,
                         ::testing::ValuesIn(test::caseTable(u"config/broken-schemas.tsv"_s)),
                         test::caseName);

TEST(Schema, CrebasStopsAtTheFirstFailingStatement)
{
    RecordingSink sink;
    TempConfigDb db(TempConfigDb::Content::EmptyFile);
    db.exec(u"create table srcBody (x int)"_s); // the third statement fails
    initError();
    EXPECT_EQ(sink.boxes.size(), 1u);
    // The tables created before the failure stay; nothing after it has run.
    EXPECT_EQ(test::ScratchConnection(u"QSQLITE"_s, db.path())
                  .column(u"select name from sqlite_master where type = 'table' order by name"_s),
              (QStringList{u"srcBody"_s, u"srcHead"_s, u"trgHead"_s}));
}

} // namespace
} // namespace quendra
