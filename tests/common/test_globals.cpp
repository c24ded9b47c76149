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

} // namespace
