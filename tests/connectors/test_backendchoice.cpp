// A head's database source or target as the back-ends get it, its connection string, and
// the clear refusals for what this platform cannot read or write.
#include "common/error.h"
#include "common/globals.h"
#include "connectors/backends/backendchoice.h"
#include "connectors/filetypes.h"
#include "support/casetable.h"
#include "support/skip.h"
#include "support/testdatabases.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

TEST(ConnectionOfAHead, NamesItsRowPathAndConnectionString)
{
    initGlobals(u"/nonexistent/init.mdb"_s);
    for (const test::CaseRow& r : test::caseTable(u"connectors/connection-strings.tsv"_s)) {
        SCOPED_TRACE(r.name);
        const auto medium = Medium(r[0].toInt());
        const QString path = medium == Medium::OdbcSource ? u"LAGER"_s : u"/daten/Lager 1"_s;
        const DatabaseConnection c = describeConnection(medium, path, r[1], r.flag(2), r[3]);
        EXPECT_EQ(c.text, r[6]);
        EXPECT_EQ(c.fileType != nullptr, !r[6].isEmpty());
        EXPECT_EQ(c.fileTypeName(), r[4]);
        EXPECT_EQ(c.location().header, r.flag(5));
        if (c.fileType) {
            EXPECT_EQ(c.dataSource, path);
        }
        EXPECT_EQ(c.location().encoding,
                  r[1] == u"Text" && r[3] != u"ANSI" && medium != Medium::TextFile ? r[3]
                                                                                   : QString());
    }
}

TEST(OdbcConnection, KeepsGivenCredentialsAndFurtherAttributes)
{
    const DatabaseConnection c = describeConnection(
        Medium::OdbcSource, u"LAGER;uid=\"\";pwd=\"ge;\"heim;x;database=LAGER;Port=5433"_s, {},
        false);
    EXPECT_EQ(c.fileType->backend, BackendKind::Odbc);
    EXPECT_EQ(c.dataSource, u"LAGER"_s);
    EXPECT_EQ(c.userName, u""_s);
    EXPECT_EQ(c.password, u"ge;"_s);
    // Pieces without "=" are skipped; the database name repeats the data source: dropped.
    EXPECT_EQ(c.odbcOptions, u"PORT=5433;"_s);
}

TEST(OpenBackend, NoDatabaseMediumIsRefused)
{
    const Error e = test::thrownBy(
        [&] { openBackend(describeConnection(Medium::TextFile, u"x"_s, {}, false)); });
    EXPECT_EQ(e.number(), errnum::Unsupported);
}

// The test data source logs in as "postgres"; a user given in the head takes its place.
TEST(OpenBackend, OdbcLogsInAsTheGivenUser)
{
    if (test::postgresDsn().isEmpty())
        QUENDRA_SKIP() << "PostgreSQL-Testserver fehlt (scripts/with-test-services.sh)";
    const Error e = test::thrownBy([] {
        openBackend(describeConnection(
            Medium::OdbcSource, u"%1;uid=niemand;pwd="_s.arg(test::postgresDsn()), {}, false));
    });
    EXPECT_TRUE(e.description().contains(u"niemand"_s)) << e.description().toStdString();
}

TEST(OpenBackend, OdbcWithoutDataSourceName)
{
    const Error e =
        test::thrownBy([] { openBackend(describeConnection(Medium::OdbcSource, {}, {}, false)); });
    EXPECT_EQ(e.number(), errnum::InvalidProcedureCall);
}

// Every file type says who reads and writes it, or why it cannot be.
TEST(FileTypeTable, EachRowCanBeReadAndWrittenOrSaysWhyNot)
{
    for (const FileTypeSupport& row : fileTypeSupport()) {
        if (row.backend != BackendKind::Odbc) {
            EXPECT_EQ(row.makeReader && row.makeWriter, row.refusal == nullptr) << row.name;
        }
    }
}

} // namespace
