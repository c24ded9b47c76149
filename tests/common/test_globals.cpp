#include "common/functions.h"
#include "common/globals.h"
#include "common/version.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

using namespace quendra;

namespace {
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

} // namespace
