// The connection strings and header questions of the file-type catalogue.
#include "connectors/filetypes.h"

#include <gtest/gtest.h>

using namespace quendra;

namespace {

struct ProviderCase {
    const char* name;
    qint16 medium;
    const char* fileType;
    bool header;
    const char* expected;
};

class ConnectionString : public ::testing::TestWithParam<ProviderCase> {};

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
    EXPECT_EQ(getADOProvider(1, QStringLiteral("LAGER"), QString(), false),
              QStringLiteral("PROVIDER=MSDASQL;dsn=LAGER;uid=;pwd=;database=LAGER;"));
}

TEST(FileTypeHeader, OnlyExcelTextAndUnknown)
{
    const std::pair<const char*, bool> cases[] = {{"dBase III", false},   {"IBM AS/400", false},
                                                  {"Lotus 1-2-3", false}, {"MS Access", false},
                                                  {"MS Excel 8.0", true}, {"Paradox 5.0", false},
                                                  {"Text", true},         {"Unbekannt", true}};
    for (const auto& [type, header] : cases)
        EXPECT_EQ(getFileTypeHeader(QString::fromUtf8(type)), header) << type;
}

} // namespace
