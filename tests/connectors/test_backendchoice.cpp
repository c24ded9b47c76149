// Which back-end a connection string of the media catalogue reaches, and the clear
// refusals for what this platform cannot read or write.
#include "common/error.h"
#include "common/functions.h"
#include "common/globals.h"
#include "connectors/backends/backendchoice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;
using Kind = ConnectionFacts::Kind;

namespace {

struct ParseCase {
    const char* name;
    qint16 medium;
    const char* fileType;
    bool header;
    Kind kind;
    const char* dataSource;
    const char* expectedType;
    bool expectedHeader;
};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << c.name;
}

class ParseConnectionString : public ::testing::TestWithParam<ParseCase> {
protected:
    static void SetUpTestSuite() { initGlobals(QStringLiteral("/nonexistent/init.mdb")); }
};

TEST_P(ParseConnectionString, CatalogueStrings)
{
    const ParseCase& c = GetParam();
    // The strings come from the catalogue itself, with a path that holds blanks.
    const QString cs = getADOProvider(c.medium, QStringLiteral("/daten/Lager 1"),
                                      QString::fromUtf8(c.fileType), c.header);
    const ConnectionFacts facts = parseConnectionString(cs);
    EXPECT_EQ(facts.kind, c.kind) << cs.toStdString();
    EXPECT_EQ(facts.dataSource, QString::fromUtf8(c.dataSource));
    EXPECT_EQ(facts.fileType, QString::fromUtf8(c.expectedType));
    EXPECT_EQ(facts.header, c.expectedHeader);
    EXPECT_TRUE(facts.userName.isEmpty());
    EXPECT_TRUE(facts.password.isEmpty());
    EXPECT_TRUE(facts.odbcOptions.isEmpty()) << facts.odbcOptions.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ParseConnectionString,
    ::testing::Values(
        ParseCase{"Odbc", 1, "", false, Kind::Odbc, "/daten/Lager 1", "", false},
        ParseCase{"As400", 2, "IBM AS/400", false, Kind::Odbc, "/daten/Lager 1", "", false},
        ParseCase{"Access", 2, "MS Access", false, Kind::Access, "/daten/Lager 1", "MS Access",
                  false},
        ParseCase{"Dbase", 2, "dBase III", false, Kind::FileType, "/daten/Lager 1", "dBase III",
                  false},
        ParseCase{"ParadoxTrailingEmptyDataSource", 2, "Paradox 5.0", false, Kind::FileType,
                  "/daten/Lager 1", "Paradox 5.0", false},
        ParseCase{"ExcelHeader", 2, "MS Excel 8.0", true, Kind::FileType, "/daten/Lager 1",
                  "MS Excel 8.0", true},
        ParseCase{"ExcelNoHeader", 2, "MS Excel 8.0", false, Kind::FileType, "/daten/Lager 1",
                  "MS Excel 8.0", false},
        ParseCase{"TextHeader", 2, "Text", true, Kind::FileType, "/daten/Lager 1", "Text", true},
        ParseCase{"UnknownTypeIsText", 2, "ms access", false, Kind::FileType, "/daten/Lager 1",
                  "Text", false},
        ParseCase{"Lotus", 2, "Lotus 1-2-3", false, Kind::Refused, "/daten/Lager 1", "Lotus 1-2-3",
                  false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseConnectionStringExtra, OdbcKeepsGivenCredentialsAndFurtherAttributes)
{
    const ConnectionFacts facts = parseConnectionString(QStringLiteral(
        "PROVIDER=MSDASQL;dsn=LAGER;uid=hans;pwd=ge;heim;database=LAGER;Port=5433;"));
    EXPECT_EQ(facts.kind, Kind::Odbc);
    EXPECT_EQ(facts.dataSource, QStringLiteral("LAGER"));
    EXPECT_EQ(facts.userName, QStringLiteral("hans"));
    EXPECT_EQ(facts.password, QStringLiteral("ge"));
    // "heim" has no "=": skipped; the database name repeats the data source and is dropped.
    EXPECT_EQ(facts.odbcOptions, QStringLiteral("PORT=5433;"));
}

TEST(ParseConnectionStringExtra, UnknownProvider)
{
    EXPECT_EQ(parseConnectionString(QStringLiteral("Provider=SQLOLEDB;Data Source=x;")).kind,
              Kind::Unknown);
    EXPECT_EQ(parseConnectionString(QString()).kind, Kind::Unknown);
}

// Opening what cannot be opened: the error number and the decisive words of its text.
struct RefusalCase {
    const char* name;
    const char* fileType;    // with a path into a temporary folder
    const char* fileContent; // nullptr: no file at all
    qint32 number;
    const char* textPart;
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.name;
}

class OpenBackendRefusal : public ::testing::TestWithParam<RefusalCase> {
protected:
    static void SetUpTestSuite() { initGlobals(QStringLiteral("/nonexistent/init.mdb")); }
};

TEST_P(OpenBackendRefusal, ClearGermanError)
{
    const RefusalCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("daten.mdb"));
    if (c.fileContent) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.fileContent);
    }
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    try {
        openBackend(getADOProvider(2, path, QString::fromUtf8(c.fileType), false));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), c.number);
        EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.textPart)))
            << e.description().toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before) << "a file was left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Files, OpenBackendRefusal,
    ::testing::Values(
        RefusalCase{"Lotus", "Lotus 1-2-3", "WK3", errnum::Unsupported, "Lotus-1-2-3-Dateien"},
        RefusalCase{"AccessMissing", "MS Access", nullptr, errnum::FileNotFound,
                    "wurde nicht gefunden"},
        RefusalCase{"AccessNotADatabase", "MS Access", "Kunde;Betrag\r\n", errnum::Unsupported,
                    "weder eine SQLite- noch eine Access-Datenbank"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OpenBackend, UnknownProviderNamesTheString)
{
    try {
        openBackend(QStringLiteral("Provider=SQLOLEDB;Data Source=x;"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::Unsupported);
        EXPECT_TRUE(e.description().contains(QStringLiteral("SQLOLEDB")));
    }
}

TEST(OpenBackend, OdbcWithoutDataSourceName)
{
    EXPECT_THROW(openBackend(QStringLiteral("PROVIDER=MSDASQL;dsn=;uid=;pwd=;database=;")), Error);
}

} // namespace
