#include "common/version.h"
#include "config/clsinitdbconnect.h"
#include "config/configrowset.h"
#include "config/configsql.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quendra {
namespace {

using test::RecordingSink;
using test::TempConfigDb;

void openCursor(const QString& table)
{
    clsInitDBConnect c;
    c.setTable(table);
    c.init();
}

TEST(Schema, EmptyFileGetsTheWholeSchemaWithoutWarning)
{
    RecordingSink sink;
    TempConfigDb db(TempConfigDb::Content::EmptyFile);
    clsInitDBConnect c;
    c.setTable(u"srchead"_s);
    c.init();
    EXPECT_TRUE(c.isEOF());
    EXPECT_TRUE(sink.boxes.empty());

    clsInitDBConnect tables;
    tables.setSQL(u"select name from sqlite_master order by name"_s);
    tables.init();
    QStringList names;
    for (; !tables.isEOF(); tables.MoveNext())
        names << tables.value(u"name"_s).toString();
    EXPECT_EQ(names,
              (QStringList{u"dbversion"_s, u"id_srcbody_sort"_s, u"id_trgbody_sort"_s, u"srcBody"_s,
                           u"srcHead"_s, u"trgBody"_s, u"trgHead"_s, u"trgconvert"_s}));

    clsInitDBConnect version;
    version.setTable(u"dbversion"_s);
    version.init();
    EXPECT_EQ(version.value(u"version"_s).toInt(), 2);
    EXPECT_TRUE(version.value(u"indiv"_s).isNull());
    clsInitDBConnect trg;
    trg.setTable(u"trgbody"_s);
    trg.init();
    EXPECT_GE(trg.record().fieldIndex(u"0padding"_s), 0);
}

struct VersionCase {
    const char* name;
    const char* version; // SQL literal
    bool warns;
};

void PrintTo(const VersionCase& c, std::ostream* os)
{
    *os << c.name;
}

class VersionCheck : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionCheck, WarnsOncePerCursorOpeningWhenNotCurrent)
{
    RecordingSink sink;
    TempConfigDb db;
    db.exec(u"update dbversion set version = "_s + QString::fromLatin1(GetParam().version));
    openCursor(u"srchead"_s);
    openCursor(u"trghead"_s);
    if (!GetParam().warns) {
        EXPECT_TRUE(sink.boxes.empty());
        return;
    }
    ASSERT_EQ(sink.boxes.size(), 2u);
    const MessageBoxData& box = sink.boxes.front();
    EXPECT_EQ(box.style, StyleWarning);
    EXPECT_EQ(box.title, u"Quendra (" QUENDRA_VERSION ") : clsInitDBConnect.chkDBVersion"_s);
    EXPECT_EQ(box.text, u"Anwendung: Quendra (" QUENDRA_VERSION ")\r\n\r\nFehlernummer:  0\r\n"
                        "(DB-Version ist nicht aktuell.)\r\n\r\n"_s);
}

INSTANTIATE_TEST_SUITE_P(Cases, VersionCheck,
                         ::testing::Values(VersionCase{"Old", "1", true},
                                           VersionCase{"Current", "2", false},
                                           VersionCase{"Null", "NULL", false},
                                           VersionCase{"Newer", "3", true},
                                           VersionCase{"Text", "'zwei'", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The error that init raises, or a failure when it succeeds.
Error initError()
{
    clsInitDBConnect c;
    c.setTable(u"srchead"_s);
    try {
        c.init();
    } catch (const Error& e) {
        EXPECT_EQ(c.dataMember(u"Primary"_s), nullptr);
        return e;
    }
    ADD_FAILURE() << "init succeeded";
    return Error(0, {}, {});
}

TEST(Schema, MissingFileIsAnErrorAndStaysMissing)
{
    RecordingSink sink;
    TempConfigDb db;
    QFile::remove(db.path());
    const Error e = initError();
    EXPECT_EQ(e.number(), errnum::FileNotFound);
    EXPECT_TRUE(e.description().contains(db.path())) << e.description().toStdString();
    EXPECT_TRUE(e.source().startsWith(u"Modul: clsInitDBConnect.init"_s));
    EXPECT_FALSE(QFile::exists(db.path()));
}

TEST(Schema, FileThatIsNotSqliteIsRefusedUntouched)
{
    RecordingSink sink;
    TempConfigDb db(TempConfigDb::Content::EmptyFile);
    const QByteArray jet("\0\1\0\0Standard Jet DB\0\0\0\0", 23);
    {
        QFile f(db.path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(jet);
    }
    const Error e = initError();
    EXPECT_EQ(e.number(), errnum::UnrecognizedDatabase);
    EXPECT_TRUE(
        e.description().contains(u"keine Quendra-Konfigurationsdatenbank im SQLite-Format"_s));
    QFile f(db.path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), jet);
    EXPECT_TRUE(sink.boxes.empty());
}

struct BrokenCase {
    const char* name;
    QStringList setup;
};

void PrintTo(const BrokenCase& c, std::ostream* os)
{
    *os << c.name;
}

class UnrecoverableSchema : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(UnrecoverableSchema, ShowsTheCreationErrorOnceThenFailsInit)
{
    RecordingSink sink;
    TempConfigDb db(TempConfigDb::Content::EmptyFile);
    db.execAll(GetParam().setup);
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

INSTANTIATE_TEST_SUITE_P(
    Cases, UnrecoverableSchema,
    ::testing::Values(BrokenCase{"HeadWithoutVersionTable", {u"create table srcHead (x int)"_s}},
                      BrokenCase{"VersionTableWithoutRow",
                                 {u"create table dbversion (version int, indiv varchar(50))"_s}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Schema, CrebasStopsAtTheFirstFailingStatement)
{
    RecordingSink sink;
    TempConfigDb db(TempConfigDb::Content::EmptyFile);
    db.exec(u"create table srcBody (x int)"_s); // the third statement fails
    initError();
    EXPECT_EQ(sink.boxes.size(), 1u);
    // The tables created before the failure stay; nothing after it has run.
    clsInitDBConnect c;
    c.setSQL(u"select name from sqlite_master where type = 'table' order by name"_s);
    db.exec(u"create table dbversion (version int)"_s);
    db.exec(u"insert into dbversion values (2)"_s);
    c.init();
    QStringList names;
    for (; !c.isEOF(); c.MoveNext())
        names << c.value(u"name"_s).toString();
    EXPECT_EQ(names, (QStringList{u"dbversion"_s, u"srcBody"_s, u"srcHead"_s, u"trgHead"_s}));
}

} // namespace
} // namespace quendra
