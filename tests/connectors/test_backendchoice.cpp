// Which back-end a connection string of the media catalogue reaches, and the clear
// refusals for what this platform cannot read or write.
#include "common/error.h"
#include "common/globals.h"
#include "connectors/backends/backendchoice.h"
#include "connectors/filetypes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;

namespace {

class FileTypeTable : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initGlobals(QStringLiteral("/nonexistent/init.mdb")); }
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
            const QString cs = getADOProvider(2, QStringLiteral("/daten/Lager 1"), name, header);
            const ConnectionFacts facts = parseConnectionString(cs);
            ASSERT_NE(facts.support, nullptr) << cs.toStdString();
            EXPECT_EQ(facts.support, &row);
            EXPECT_EQ(facts.dataSource, QStringLiteral("/daten/Lager 1"));
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
        parseConnectionString(getADOProvider(1, QStringLiteral("LAGER"), {}, false));
    ASSERT_NE(odbc.support, nullptr);
    EXPECT_EQ(odbc.support->backend, BackendKind::Odbc);
    EXPECT_EQ(odbc.dataSource, QStringLiteral("LAGER"));
    // The catalogue compares names exactly: "ms access" is the "Text" row.
    EXPECT_EQ(parseConnectionString(
                  getADOProvider(2, QStringLiteral("x"), QStringLiteral("ms access"), false))
                  .fileType(),
              QStringLiteral("Text"));
}

TEST(ParseConnectionStringExtra, OdbcKeepsGivenCredentialsAndFurtherAttributes)
{
    const ConnectionFacts facts = parseConnectionString(QStringLiteral(
        "PROVIDER=MSDASQL;dsn=LAGER;uid=hans;pwd=ge;heim;database=LAGER;Port=5433;"));
    EXPECT_EQ(facts.support->backend, BackendKind::Odbc);
    EXPECT_EQ(facts.dataSource, QStringLiteral("LAGER"));
    EXPECT_EQ(facts.userName, QStringLiteral("hans"));
    EXPECT_EQ(facts.password, QStringLiteral("ge"));
    // "heim" has no "=": skipped; the database name repeats the data source and is dropped.
    EXPECT_EQ(facts.odbcOptions, QStringLiteral("PORT=5433;"));
}

TEST(ParseConnectionStringExtra, UnknownProvider)
{
    EXPECT_EQ(parseConnectionString(QStringLiteral("Provider=SQLOLEDB;Data Source=x;")).support,
              nullptr);
    EXPECT_EQ(parseConnectionString(QString()).support, nullptr);
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
    ::testing::Values(RefusalCase{"NotLotus", "Lotus 1-2-3", "WK3", errnum::PathFileAccess,
                                  "keine Lotus-1-2-3-Tabelle"},
                      RefusalCase{"AccessMissing", "MS Access", nullptr, errnum::FileNotFound,
                                  "wurde nicht gefunden"},
                      RefusalCase{"AccessNotADatabase", "MS Access", "Kunde;Betrag\r\n",
                                  errnum::Unsupported,
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
