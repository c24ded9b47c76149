// $TBL(...) placeholders resolved against a table catalogue.
#include "common/error.h"
#include "connectors/backends/tableplaceholders.h"
#include "support/casetable.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

using namespace quendra;

namespace {
using namespace Qt::StringLiterals;

TEST(TablePlaceholders, Resolve)
{
    const QStringList tables = {u"Artikel"_s, u"Kunden"_s, u"Kundenkonten"_s};
    for (const test::CaseRow& c : test::caseTable(u"connectors/table-placeholders.tsv"_s))
        EXPECT_EQ(resolveTablePlaceholders(c[0], [&] { return tables; }), c[1]) << c.name;
}

TEST(NamedTables, Position)
{
    const QStringList tables = {u"Artikel"_s, u"Kunden"_s, u"Kundenkonten"_s, u"Lager 1"_s,
                                u"Öl"_s};
    for (const test::CaseRow& c : test::caseTable(u"connectors/named-tables.tsv"_s))
        EXPECT_EQ(namedTable(tables, c[0]), c[1].toInt()) << c.name;
}

TEST(TablePlaceholdersCatalogue, AskedOnlyWhenNeeded)
{
    int asked = 0;
    auto catalogue = [&] {
        ++asked;
        return QStringList{u"T"_s};
    };
    resolveTablePlaceholders(u"select 1"_s, catalogue);
    EXPECT_EQ(asked, 0);
    resolveTablePlaceholders(u"$TBL(1) $TBL(2)"_s, catalogue);
    EXPECT_EQ(asked, 1);
}

TEST(TablePlaceholdersCatalogue, NoTableIsAnErrorNotAnEndlessLoop)
{
    const Error e = test::thrownBy(
        [] { resolveTablePlaceholders(u"select * from $TBL(1)"_s, [] { return QStringList(); }); });
    EXPECT_EQ(e.number(), errnum::ItemNotFound);
    EXPECT_TRUE(e.description().contains(u"keine Tabelle"_s));
}

} // namespace
