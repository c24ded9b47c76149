// $TBL(...) placeholders resolved against a table catalogue.
#include "common/error.h"
#include "connectors/backends/tableplaceholders.h"
#include "support/casename.h"

#include <gtest/gtest.h>

using namespace quendra;

namespace {
using quendra::test::PrintTo; // rows print their name

struct PlaceholderCase {
    const char* name;
    const char* sql;
    const char* expected;
};

class TablePlaceholders : public ::testing::TestWithParam<PlaceholderCase> {};

TEST_P(TablePlaceholders, Resolve)
{
    const QStringList tables = {QStringLiteral("Artikel"), QStringLiteral("Kunden"),
                                QStringLiteral("Kundenkonten")};
    const QString result =
        resolveTablePlaceholders(QString::fromUtf8(GetParam().sql), [&] { return tables; });
    EXPECT_EQ(result, QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, TablePlaceholders,
    ::testing::Values(
        PlaceholderCase{"NoPlaceholder", "select * from Artikel", "select * from Artikel"},
        PlaceholderCase{"FirstByNumber", "select * from $TBL(1)", "select * from Artikel"},
        PlaceholderCase{"PrefixIgnoresCase", "select * from $TBL(kun)", "select * from Kunden"},
        PlaceholderCase{"TwoPlaceholdersCountAnew", "select * from $TBL(1), $TBL(2)",
                        "select * from Artikel, Kunden"},
        PlaceholderCase{"NumberTooLargeTakesLast", "select * from $TBL(9)",
                        "select * from Kundenkonten"},
        PlaceholderCase{"FractionTakesLast", "select * from $TBL(1.5)",
                        "select * from Kundenkonten"},
        PlaceholderCase{"NoPrefixMatchTakesLast", "select * from $TBL(Lager)",
                        "select * from Kundenkonten"},
        PlaceholderCase{"MarkerIsCaseSensitive", "select * from $tbl(1)", "select * from $tbl(1)"},
        PlaceholderCase{"UnclosedStaysAsItIs", "select * from $TBL(1", "select * from $TBL(1"},
        PlaceholderCase{"PlaceholderInsideText", "x$TBL(2)y$TBL(art)z", "xKundenyArtikelz"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TablePlaceholdersCatalogue, AskedOnlyWhenNeeded)
{
    int asked = 0;
    auto catalogue = [&] {
        ++asked;
        return QStringList{QStringLiteral("T")};
    };
    resolveTablePlaceholders(QStringLiteral("select 1"), catalogue);
    EXPECT_EQ(asked, 0);
    resolveTablePlaceholders(QStringLiteral("$TBL(1) $TBL(2)"), catalogue);
    EXPECT_EQ(asked, 1);
}

TEST(TablePlaceholdersCatalogue, NoTableIsAnErrorNotAnEndlessLoop)
{
    try {
        resolveTablePlaceholders(QStringLiteral("select * from $TBL(1)"),
                                 [] { return QStringList(); });
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::ItemNotFound);
        EXPECT_TRUE(e.description().contains(QStringLiteral("keine Tabelle")));
    }
}

} // namespace
