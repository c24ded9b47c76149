#include "common/functions.h"
#include "common/globals.h"
#include "common/progress.h"
#include "common/version.h"
#include "support/casename.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

using namespace quendra;

namespace {
using quendra::test::PrintTo; // rows print their name

struct ProviderCase {
    const char* name;
    qint16 medium;
    const char* fileType;
    bool header;
    const char* expected;
};

class ConnectionString : public ::testing::TestWithParam<ProviderCase> {
protected:
    void SetUp() override { initGlobals(); }
};

TEST_P(ConnectionString, IsBuiltFromCatalogue)
{
    const ProviderCase& c = GetParam();
    EXPECT_EQ(
        getADOProvider(c.medium, QStringLiteral("P"), QString::fromUtf8(c.fileType), c.header),
        QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ConnectionString,
    ::testing::Values(
        ProviderCase{"odbc", 1, "", false, "PROVIDER=MSDASQL;dsn=P;uid=;pwd=;database=P;"},
        ProviderCase{
            "dbase", 2, "dBase III", false,
            "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=P;Extended Properties=DBASE III;"},
        ProviderCase{"as400", 2, "IBM AS/400", true, "Provider=IBMDA400;Data Source=P;"},
        ProviderCase{
            "lotus", 2, "Lotus 1-2-3", false,
            "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=P;Extended Properties=Lotus WK3;"},
        ProviderCase{"access", 2, "MS Access", false,
                     "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=P;"},
        ProviderCase{"excelHeader", 2, "MS Excel 8.0", true,
                     "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=P;Extended Properties=\"Excel "
                     "8.0;HDR=Yes;\";"},
        ProviderCase{"excelNoHeader", 2, "MS Excel 8.0", false,
                     "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=P;Extended Properties=\"Excel "
                     "8.0;HDR=No;\";"},
        ProviderCase{"paradox", 2, "Paradox 5.0", false,
                     "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=P;Extended Properties=Paradox "
                     "5.x;Data Source="},
        ProviderCase{"textHeader", 2, "Text", true,
                     "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=P;Extended "
                     "Properties=\"text;HDR=Yes;\";"},
        ProviderCase{"textNoHeader", 2, "Text", false,
                     "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=P;Extended "
                     "Properties=\"text;HDR=No;\";"},
        ProviderCase{"wrongCaseFallsBackToText", 2, "ms access", false,
                     "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=P;Extended "
                     "Properties=\"text;HDR=No;\";"},
        ProviderCase{"emptyTypeIsText", 2, "", true,
                     "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=P;Extended "
                     "Properties=\"text;HDR=Yes;\";"},
        ProviderCase{"textMedium", 0, "Text", true, ""},
        ProviderCase{"unknownMedium", 3, "MS Access", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConnectionStringOdbc, PathStandsTwice)
{
    initGlobals();
    EXPECT_EQ(getADOProvider(1, QStringLiteral("LAGER"), QString(), false),
              QStringLiteral("PROVIDER=MSDASQL;dsn=LAGER;uid=;pwd=;database=LAGER;"));
}

TEST(FileTypeHeader, OnlyExcelTextAndUnknown)
{
    initGlobals();
    const std::pair<const char*, bool> cases[] = {{"dBase III", false},   {"IBM AS/400", false},
                                                  {"Lotus 1-2-3", false}, {"MS Access", false},
                                                  {"MS Excel 8.0", true}, {"Paradox 5.0", false},
                                                  {"Text", true},         {"Unbekannt", true}};
    for (const auto& [type, header] : cases)
        EXPECT_EQ(getFileTypeHeader(QString::fromUtf8(type)), header) << type;
}

TEST(Globals, TablesAndConfigPath)
{
    initGlobals();
    const Globals& g = globals();
    EXPECT_EQ(g.appLabel, QStringLiteral("Quendra (" QUENDRA_VERSION ")"));
    EXPECT_EQ(g.configDbPath,
              QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("init.mdb")));
    EXPECT_EQ(g.fileTypes[3].name, QStringLiteral("MS Access"));
    EXPECT_EQ(g.formats[1][3], QStringLiteral("tyymmdd"));
    EXPECT_TRUE(g.formats[1][4].isEmpty());
    EXPECT_EQ(g.specDelimiters[1], QStringLiteral("Tabulator"));
    initGlobals(QStringLiteral("/x/init.mdb"));
    EXPECT_EQ(globals().configDbPath, QStringLiteral("/x/init.mdb"));
}

TEST(Functions, NzAndRepeat)
{
    EXPECT_EQ(nz(QVariant(), QString()).toString(), QString());
    EXPECT_EQ(nz(QVariant(0), QString()), QVariant(0));
    EXPECT_EQ(nz(QVariant(QStringLiteral("")), QStringLiteral("d")), QVariant(QStringLiteral("")));
    EXPECT_EQ(Repeat(QStringLiteral("ab"), 3), QStringLiteral("ababab"));
    EXPECT_EQ(Repeat(QStringLiteral("ab"), 0), QString());
    EXPECT_EQ(Repeat(QStringLiteral("ab"), -1), QString());
}

struct CountStep {
    qint64 count, max;
    const char* text;
};

TEST(ProgressCounter, FollowsCountRules)
{
    const std::vector<std::vector<CountStep>> scenarios = {
        {{0, 0, "Datensatz: 1"}, {0, 0, "Datensatz: 2"}},
        {{3, 10, "Datensatz: 3/10"}, {5, 0, "Datensatz: 5/10"}, {0, 0, "Datensatz: 6/10"}},
        {{40000, 5000000000LL, "Datensatz: 40000/5000000000"}}};
    for (const auto& steps : scenarios) {
        ProgressCounter c;
        for (const CountStep& s : steps) {
            c.setCount(s.count, s.max);
            EXPECT_EQ(c.text(), QString::fromUtf8(s.text));
        }
    }
}

} // namespace
