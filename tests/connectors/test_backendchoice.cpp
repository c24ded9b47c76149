// Which back-end a connection string of the media catalogue reaches, and the clear
// refusals for what this platform cannot read or write.
#include "common/error.h"
#include "common/globals.h"
#include "connectors/backends/backendchoice.h"
#include "connectors/filetypes.h"
#include "support/skip.h"
#include "support/testdatabases.h"
#include "support/thrown.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

class FileTypeTable : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initGlobals(u"/nonexistent/init.mdb"_s); }
};

// Every catalogue row's connection string (with a path that holds blanks, both header
// flags) is recognised as that row, and the row says who reads and writes it or why not.
TEST_F(FileTypeTable, RecognisesEveryCatalogueRowByItsConnectionString)
{
    for (const FileTypeSupport& row : fileTypeSupport()) {
        if (!row.name)
            continue;
        const QString name = QString::fromUtf8(row.name);
        for (const bool header : {false, true}) {
            const QString cs =
                getADOProvider(Medium::DatabaseFile, u"/daten/Lager 1"_s, name, header);
            const ConnectionFacts facts = parseConnectionString(cs);
            ASSERT_NE(facts.support, nullptr) << cs.toStdString();
            EXPECT_EQ(facts.support, &row);
            EXPECT_EQ(facts.dataSource, u"/daten/Lager 1"_s);
            EXPECT_EQ(facts.header, header && row.header) << cs.toStdString();
            EXPECT_TRUE(facts.userName.isEmpty() && facts.password.isEmpty());
            EXPECT_TRUE(facts.odbcOptions.isEmpty()) << facts.odbcOptions.toStdString();
            const FileTypeSupport& support = *facts.support;
            if (support.backend == BackendKind::Odbc)
                continue;
            EXPECT_EQ(facts.fileType(), name);
            EXPECT_EQ(support.makeReader && support.makeWriter, support.refusal == nullptr)
                << row.name;
        }
    }
}

TEST_F(FileTypeTable, OdbcAndTheTextFallback)
{
    const ConnectionFacts odbc =
        parseConnectionString(getADOProvider(Medium::OdbcSource, u"LAGER"_s, {}, false));
    ASSERT_NE(odbc.support, nullptr);
    EXPECT_EQ(odbc.support->backend, BackendKind::Odbc);
    EXPECT_EQ(odbc.dataSource, u"LAGER"_s);
    // The catalogue compares names exactly: "ms access" is the "Text" row.
    EXPECT_EQ(
        parseConnectionString(getADOProvider(Medium::DatabaseFile, u"x"_s, u"ms access"_s, false))
            .fileType(),
        u"Text"_s);
}

TEST(ParseConnectionStringExtra, OdbcKeepsGivenCredentialsAndFurtherAttributes)
{
    const ConnectionFacts facts = parseConnectionString(
        u";PROVIDER=MSDASQL;dsn=LAGER;uid=\"\";pwd=\"ge;\"heim;x;database=LAGER;Port=5433;"_s);
    EXPECT_EQ(facts.support->backend, BackendKind::Odbc);
    EXPECT_EQ(facts.dataSource, u"LAGER"_s);
    EXPECT_EQ(facts.userName, u""_s);
    EXPECT_EQ(facts.password, u"ge;"_s);
    // Pieces without "=" are skipped; the database name repeats the data source: dropped.
    EXPECT_EQ(facts.odbcOptions, u"PORT=5433;"_s);
}

TEST(OpenBackend, UnknownProviderIsRefusedNamingIt)
{
    const QString unknown = u"Provider=SQLOLEDB;Data Source=x;"_s;
    EXPECT_EQ(parseConnectionString(unknown).support, nullptr);
    EXPECT_EQ(parseConnectionString(QString()).support, nullptr);
    const Error e = test::thrownBy([&] { openBackend(unknown); });
    EXPECT_EQ(e.number(), errnum::Unsupported);
    EXPECT_TRUE(e.description().contains(u"SQLOLEDB"_s));
}

// The test data source logs in as "postgres"; a user given in the text takes its place.
TEST(OpenBackend, OdbcLogsInAsTheGivenUser)
{
    if (test::postgresDsn().isEmpty())
        QUENDRA_SKIP() << "PostgreSQL-Testserver fehlt (scripts/with-test-services.sh)";
    const Error e = test::thrownBy([] {
        openBackend(u"PROVIDER=MSDASQL;dsn=%1;uid=niemand;pwd=;"_s.arg(test::postgresDsn()));
    });
    EXPECT_TRUE(e.description().contains(u"niemand"_s)) << e.description().toStdString();
}

TEST(OpenBackend, OdbcWithoutDataSourceName)
{
    const Error e =
        test::thrownBy([] { openBackend(u"PROVIDER=MSDASQL;dsn=;uid=;pwd=;database=;"_s); });
    EXPECT_EQ(e.number(), errnum::InvalidProcedureCall);
}

} // namespace
