// $TBL(...) placeholders resolved against a table catalogue.
#include "common/error.h"
#include "connectors/backends/tableplaceholders.h"
#include "support/casetable.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

using namespace quendra;

namespace {
using quendra::test::PrintTo; // rows print their name

class TablePlaceholders : public ::testing::TestWithParam<test::CaseRow> {};

TEST_P(TablePlaceholders, Resolve)
{
    const QStringList tables = {QStringLiteral("Artikel"), QStringLiteral("Kunden"),
                                QStringLiteral("Kundenkonten")};
    EXPECT_EQ(resolveTablePlaceholders(GetParam()[0], [&] { return tables; }), GetParam()[1]);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, TablePlaceholders,
    ::testing::ValuesIn(test::caseTable(QStringLiteral("connectors/table-placeholders.tsv"))),
    test::caseName);

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
    const Error e = test::thrownBy([] {
        resolveTablePlaceholders(QStringLiteral("select * from $TBL(1)"),
                                 [] { return QStringList(); });
    });
    EXPECT_EQ(e.number(), errnum::ItemNotFound);
    EXPECT_TRUE(e.description().contains(QStringLiteral("keine Tabelle")));
}

} // namespace
