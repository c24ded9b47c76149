// Grids and bound fields on a configuration cursor, as the windows bind them.
#include "config/clsinitdbconnect.h"
#include "config/configrowset.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"

#include <QDataWidgetMapper>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quendra {
namespace {

using test::RecordingSink;
using test::TempConfigDb;

class ConfigBinding : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.execAll(
            {u"insert into srchead (transid, path, frommedium) values ('A1', '/a.csv', 0)"_s,
             u"insert into srchead (transid, path, frommedium) values ('B2', '/b.csv', 1)"_s});
        cursor.setTable(u"srchead"_s);
        cursor.init();
    }

    RecordingSink sink;
    TempConfigDb db;
    clsInitDBConnect cursor;
};

TEST_F(ConfigBinding, TableViewShowsEveryRowAndColumn)
{
    QTableView view;
    view.setModel(cursor.dataMember(u"Primary"_s));
    view.resize(600, 200);
    view.show();
    QAbstractItemModel* m = view.model();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->columnCount(), 9);
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), u"path"_s);
    EXPECT_EQ(m->index(1, 1).data().toString(), u"/b.csv"_s);
    EXPECT_TRUE(m->index(0, 7).data().isNull()); // sqlstring is NULL

    cursor.MoveLast();
    cursor.AddNew();
    EXPECT_EQ(m->rowCount(), 3); // the grid sees the added row at once
    EXPECT_EQ(view.verticalHeader()->count(), 3);
}

TEST_F(ConfigBinding, MapperBoundByColumnNameWritesBackThroughUpdate)
{
    ConfigRowSet& rows = cursor.record();
    QLineEdit path;
    QDataWidgetMapper mapper;
    mapper.setModel(&rows);
    mapper.addMapping(&path, rows.fieldIndex(u"Path"_s));
    QObject::connect(&rows, &ConfigRowSet::currentRowChanged, &mapper,
                     &QDataWidgetMapper::setCurrentIndex);
    mapper.setCurrentIndex(cursor.AbsolutePosition() - 1);
    EXPECT_EQ(path.text(), u"/a.csv"_s);

    cursor.MoveNext(); // the field follows the cursor
    EXPECT_EQ(path.text(), u"/b.csv"_s);

    path.setText(u"/neu.csv"_s);
    ASSERT_TRUE(mapper.submit());
    EXPECT_TRUE(cursor.EditingRecord());
    cursor.update();

    clsInitDBConnect fresh;
    fresh.setTable(u"srchead"_s);
    fresh.setTransID(u"B2"_s);
    fresh.init();
    EXPECT_EQ(fresh.value(u"path"_s).toString(), u"/neu.csv"_s);
    EXPECT_EQ(fresh.value(u"frommedium"_s).toInt(), 1);
}

} // namespace
} // namespace quendra
