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

TEST(Globals, LabelAndConfigPath)
{
    initGlobals();
    const Globals& g = globals();
    EXPECT_EQ(g.appLabel, QStringLiteral("Quendra (" QUENDRA_VERSION ")"));
    EXPECT_EQ(g.configDbPath,
              QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("init.mdb")));
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
