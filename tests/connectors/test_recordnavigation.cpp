// The database connector offers the grid windows' navigation (the raw data viewer).
#include "common/beep.h"
#include "common/error.h"
#include "common/functions.h"
#include "common/globals.h"
#include "common/recordnavigation.h"
#include "connectors/clsadoconnect.h"
#include "connectors/filetypes.h"
#include "support/testdatabases.h"

#include <QAbstractItemModel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quendra {
namespace {

TEST(ConnectorNavigation, MovesReportsAndHandsOutItsRows)
{
    initGlobals(u"/nonexistent/init.mdb"_s);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"daten.db"_s);
    test::ScratchConnection data(u"QSQLITE"_s, path);
    data.execAll({u"create table t (n integer)"_s, u"insert into t values (1)"_s,
                  u"insert into t values (2)"_s, u"insert into t values (3)"_s});
    const BeepHook previous = setBeepHook([] {});

    clsADOConnect connector;
    connector.setSource(getADOProvider(2, path, u"MS Access"_s, false));
    connector.setTable(u"t"_s);
    connector.init();
    RecordNavigation& nav = connector;
    int moves = 0;
    auto receiver = std::make_unique<QObject>();
    nav.connectMoveComplete(receiver.get(), [&] { ++moves; });

    nav.setAbsolutePosition(3);
    EXPECT_EQ(nav.AbsolutePosition(), 3);
    EXPECT_EQ(connector.getField(0).toString(), u"3"_s);
    nav.MovePrevious();
    nav.MoveFirst();
    nav.MovePrevious(); // stays on the first record
    EXPECT_EQ(nav.AbsolutePosition(), 1);
    nav.MoveLast();
    nav.MoveNext();
    EXPECT_LT(nav.AbsolutePosition(), 0); // after the last record
    EXPECT_EQ(moves, 6);
    EXPECT_THROW(nav.setAbsolutePosition(0), Error);
    EXPECT_THROW(nav.setAbsolutePosition(4), Error);
    EXPECT_EQ(moves, 6);

    QAbstractItemModel* rows = nav.dataMember(u"Primary"_s);
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->rowCount(), 3);
    EXPECT_EQ(nav.dataMember(u"Other"_s), nullptr);

    receiver.reset();
    nav.MoveFirst();
    EXPECT_EQ(moves, 6);
    setBeepHook(previous);
}

} // namespace
} // namespace quendra
