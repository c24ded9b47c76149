#include "config/configsql.h"
#include "support/casetable.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quendra {
namespace {

using test::CaseRow;

class BuiltStatement : public ::testing::TestWithParam<CaseRow> {};

TEST_P(BuiltStatement, MatchesExpectedText)
{
    const CaseRow& c = GetParam();
    EXPECT_EQ(buildStatement(c[0], c[1] == u"1", c[2], c[3] == u"1", c[4]), c[5]);
}

INSTANTIATE_TEST_SUITE_P(Rows, BuiltStatement,
                         ::testing::ValuesIn(test::caseTable(u"config/statements.tsv"_s)),
                         test::caseName);

class RowidTracing : public ::testing::TestWithParam<CaseRow> {};

TEST_P(RowidTracing, FindsTheOneTableOrRefuses)
{
    const CaseRow& c = GetParam();
    const auto traced = rowidSelect(c[0]);
    if (c[1].isEmpty()) {
        EXPECT_FALSE(traced.has_value()) << traced->sql.toStdString();
    } else {
        ASSERT_TRUE(traced.has_value());
        EXPECT_EQ(traced->table, c[1]);
        EXPECT_TRUE(traced->sql.startsWith(u"select rowid, "_s));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, RowidTracing,
                         ::testing::ValuesIn(test::caseTable(u"config/rowid-tables.tsv"_s)),
                         test::caseName);

} // namespace
} // namespace quendra
