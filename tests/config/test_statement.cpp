#include "config/configsql.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quendra {
namespace {

struct StatementCase {
    const char* name;
    QString table;
    bool filterOn;
    QString transId;
    bool orderingOn;
    QString order;
    QString expected;
};

class BuiltStatement : public ::testing::TestWithParam<StatementCase> {};

TEST_P(BuiltStatement, MatchesExpectedText)
{
    const StatementCase& c = GetParam();
    EXPECT_EQ(buildStatement(c.table, c.filterOn, c.transId, c.orderingOn, c.order), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuiltStatement,
    ::testing::Values(
        StatementCase{"TableOnly", u"srchead"_s, false, {}, false, {}, u"select * from srchead"_s},
        StatementCase{"Filter",
                      u"srchead"_s,
                      true,
                      u"A1"_s,
                      false,
                      {},
                      u"select * from srchead where transid='A1'"_s},
        StatementCase{"FilterAndOrder", u"srcbody"_s, true, u"A1"_s, true, u"sort"_s,
                      u"select * from srcbody where transid='A1' order by sort"_s},
        StatementCase{"EmptyTransIdStillFilters",
                      u"trghead"_s,
                      true,
                      {},
                      false,
                      {},
                      u"select * from trghead where transid=''"_s},
        StatementCase{"ApostropheDoubled",
                      u"srchead"_s,
                      true,
                      u"O'Brien"_s,
                      false,
                      {},
                      u"select * from srchead where transid='O''Brien'"_s},
        StatementCase{"InjectionStaysALiteral",
                      u"srchead"_s,
                      true,
                      u"x' or '1'='1"_s,
                      false,
                      {},
                      u"select * from srchead where transid='x'' or ''1''=''1'"_s}),
    [](const auto& info) { return std::string(info.param.name); });

struct RowidCase {
    const char* name;
    QString statement;
    QString table; // empty: not traceable to one table
};

class RowidTracing : public ::testing::TestWithParam<RowidCase> {};

TEST_P(RowidTracing, FindsTheOneTableOrRefuses)
{
    const RowidCase& c = GetParam();
    const auto traced = rowidSelect(c.statement);
    if (c.table.isEmpty()) {
        EXPECT_FALSE(traced.has_value()) << traced->sql.toStdString();
    } else {
        ASSERT_TRUE(traced.has_value());
        EXPECT_EQ(traced->table, c.table);
        EXPECT_TRUE(traced->sql.startsWith(u"select rowid, "_s));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RowidTracing,
    ::testing::Values(
        RowidCase{"Plain", u"select * from srchead"_s, u"srchead"_s},
        RowidCase{"WhereOrder",
                  u"SELECT field, sort FROM trgBody WHERE transid='a' ORDER BY sort"_s,
                  u"trgBody"_s},
        RowidCase{"QuotedTable", u"select * from \"trg body\""_s, u"\"trg body\""_s},
        RowidCase{"TrailingSemicolon", u"select * from srcbody;"_s, u"srcbody"_s},
        RowidCase{"Join", u"select * from srchead join trghead using (transid)"_s, {}},
        RowidCase{"CommaJoin", u"select * from srchead, trghead"_s, {}},
        RowidCase{"Aggregate", u"select count(*) from srcbody"_s, {}},
        RowidCase{"Distinct", u"select distinct transid from srcbody"_s, {}},
        RowidCase{"GroupBy", u"select transid from srcbody where sort > 1 group by transid"_s, {}},
        RowidCase{"Union",
                  u"select transid from srchead where 1 union select transid from trghead"_s,
                  {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quendra
