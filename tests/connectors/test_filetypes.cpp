// The connection strings and header questions of the file-type catalogue.
#include "connectors/filetypes.h"
#include "support/casename.h"

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

class ConnectionString : public ::testing::TestWithParam<ProviderCase> {};

TEST_P(ConnectionString, IsBuiltFromCatalogue)
{
    const ProviderCase& c = GetParam();
    EXPECT_EQ(
        getADOProvider(c.medium, QStringLiteral("P"), QString::fromUtf8(c.fileType), c.header),
        QString::fromUtf8(c.expected));
}

// The exact texts of the catalogue rows are checked by their round trip through the
// back-end choice (test_backendchoice.cpp); here what no round trip shows.
INSTANTIATE_TEST_SUITE_P(
    Catalogue, ConnectionString,
    ::testing::Values(
        ProviderCase{"odbcNamesTheDataSourceTwice", 1, "", false,
                     "PROVIDER=MSDASQL;dsn=P;uid=;pwd=;database=P;"},
        ProviderCase{"paradoxRepeatsAnEmptyDataSource", 2, "Paradox 5.0", false,
                     "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=P;Extended Properties=Paradox "
                     "5.x;Data Source="},
        ProviderCase{"textMedium", 0, "Text", true, ""},
        ProviderCase{"unknownMedium", 3, "MS Access", false, ""}),
    test::caseName);

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
