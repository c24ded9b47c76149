#include "config/clsinitdbconnect.h"
#include "config/configrowset.h"
#include "config/configsql.h"
#include "support/casetable.h"
#include "support/configcursor.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"
#include "support/testdatabases.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quendra {
namespace {

using test::openCursor;
using test::RecordingSink;
using test::TempConfigDb;

// Records the arguments of every emission of a signal (the config tests link no Qt Test).
template <class... Args> struct Spy {
    std::vector<std::tuple<std::decay_t<Args>...>> calls;
    template <class Obj, class Sig> Spy(Obj* obj, Sig sig)
    {
        QObject::connect(obj, sig, [this](Args... a) { calls.emplace_back(a...); });
    }
    int count() const { return static_cast<int>(calls.size()); }
};

class CursorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(u"insert into srcbody (transid, field, sort) values ('A1', 'KDNR', 2), "
                "('A1', 'NAME', 1), ('A1', 'ORT', 3), ('B2', 'X', 1)"_s);
    }

    // The field column of every A1 row in sort order, as the file holds it.
    QStringList storedFields()
    {
        return test::ScratchConnection(u"QSQLITE"_s, db.path())
            .column(u"select field from srcbody where transid = 'A1' order by sort"_s);
    }

    RecordingSink sink;
    TempConfigDb db;
};

// The apostrophe of the TransID travels into every statement the cursor builds.
TEST_F(CursorTest, EmptySelectionThenAddNewAndUpdate)
{
    const QString id = u"O'Brien"_s;
    auto c = openCursor(u"srchead"_s, id);
    EXPECT_TRUE(c->isEOF());
    EXPECT_EQ(c->AbsolutePosition(), -1);
    EXPECT_FALSE(c->EditingRecord());

    c->AddNew();
    EXPECT_TRUE(c->EditingRecord());
    EXPECT_EQ(c->value(u"TransID"_s).toString(), id);
    c->setValue(u"Path"_s, u"/daten/ein.csv"_s);
    c->update();
    EXPECT_FALSE(c->EditingRecord());

    auto again = openCursor(u"srchead"_s, id);
    ASSERT_EQ(again->AbsolutePosition(), 1);
    EXPECT_EQ(again->value(u"path"_s).toString(), u"/daten/ein.csv"_s);
    EXPECT_TRUE(again->value(u"FromMedium"_s).isNull());
    again->setValue(u"dbtable"_s, u"Kunden 'alt'"_s);
    again->update();
    EXPECT_EQ(openCursor(u"srchead"_s, id)->value(u"dbtable"_s).toString(), u"Kunden 'alt'"_s);
}

TEST_F(CursorTest, DeleteLastRowLeavesEndOfSet)
{
    auto c = openCursor(u"srcbody"_s, u"A1"_s, u"sort"_s);
    c->MoveLast();
    c->Delete();
    EXPECT_TRUE(c->isEOF());
    EXPECT_EQ(c->record().rowCount(), 2);
    EXPECT_EQ(storedFields(), (QStringList{u"NAME"_s, u"KDNR"_s}));

    c->MoveFirst();
    c->Delete(); // the first: the next one becomes current
    EXPECT_EQ(c->value(u"field"_s).toString(), u"KDNR"_s);
    EXPECT_EQ(storedFields(), (QStringList{u"KDNR"_s}));
}

TEST_F(CursorTest, MovingOffAChangedRowWritesItAndTheValueItHoldsIsNoChange)
{
    auto c = openCursor(u"srcbody"_s, u"A1"_s, u"sort"_s);
    c->setValue(u"field"_s, u"VORNAME"_s);
    EXPECT_TRUE(c->EditingRecord());
    EXPECT_EQ(storedFields().first(), u"NAME"_s); // still pending
    c->MoveNext();
    EXPECT_EQ(storedFields().first(), u"VORNAME"_s);
    c->setValue(u"field"_s, c->value(u"field"_s));
    EXPECT_FALSE(c->EditingRecord());
}

TEST_F(CursorTest, UpdateWritesEveryPendingRow)
{
    auto c = openCursor(u"srcbody"_s, u"A1"_s, u"sort"_s);
    ConfigRowSet& rs = c->record();
    const int field = rs.fieldIndex(u"FIELD"_s);
    ASSERT_GE(field, 0);
    EXPECT_TRUE(rs.setData(rs.index(1, field), u"K"_s));
    EXPECT_TRUE(rs.setData(rs.index(2, field), u"O"_s));
    c->AddNew();
    c->setValue(u"field"_s, u"NEU"_s);
    c->setValue(u"sort"_s, 4);
    c->update();
    EXPECT_EQ(storedFields(), (QStringList{u"NAME"_s, u"K"_s, u"O"_s, u"NEU"_s}));
}

TEST_F(CursorTest, SetSqlBeforeAndAfterInit)
{
    clsInitDBConnect c;
    c.setTable(u"srchead"_s);
    c.setTransID(u"A1"_s);
    c.setSQL(u"select field from srcbody where transid='B2'"_s);
    c.init();
    EXPECT_EQ(c.statement(), u"select field from srcbody where transid='B2'"_s);
    EXPECT_EQ(c.record().columnCount(), 1);
    EXPECT_EQ(c.value(u"field"_s).toString(), u"X"_s);

    c.setSQL(u"select * from srcbody order by sort desc"_s); // reopens at once
    EXPECT_EQ(c.value(u"field"_s).toString(), u"ORT"_s);
    c.setValue(u"field"_s, u"STADT"_s); // a pending change is written before a new selection
    c.setSQL(u"select * from srcbody order by sort desc"_s);
    c.Requery(); // reads the new selection again
    EXPECT_EQ(c.record().rowCount(), 4);
    EXPECT_EQ(c.value(u"field"_s).toString(), u"STADT"_s);
    // An error in the middle of reading (SQLite's overflow at the last row) is an error,
    // never the rows read before it.
    EXPECT_THROW(c.setSQL(u"select abs(case sort when 3 then -9223372036854775807 - 1 end) "
                          "from srcbody order by sort"_s),
                 Error);
}

TEST_F(CursorTest, JoinIsReadOnly)
{
    db.exec(u"insert into srchead (transid, path) values ('A1', 'p')"_s);
    clsInitDBConnect c;
    c.setSQL(u"select h.path, b.field from srchead h join srcbody b on b.transid = h.transid"_s);
    c.init();
    ConfigRowSet& rs = c.record();
    EXPECT_TRUE(rs.isReadOnly());
    EXPECT_FALSE(rs.flags(rs.index(0, 0)).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(rs.setData(rs.index(0, 0), u"q"_s));
    EXPECT_THROW(c.setValue(u"path"_s, u"q"_s), Error);
    EXPECT_THROW(c.AddNew(), Error);
    EXPECT_THROW(c.Delete(), Error);
    EXPECT_EQ(rs.rowCount(), 3);
}

TEST_F(CursorTest, OperationsBeforeInitFailWithMissingObject)
{
    clsInitDBConnect c;
    EXPECT_EQ(c.dataMember(u"Primary"_s), nullptr);
    for (const auto& op : std::vector<std::function<void()>>{
             [&] { c.isEOF(); }, [&] { c.MoveNext(); }, [&] { c.AddNew(); }, [&] { c.record(); },
             [&] { c.update(); }, [&] { c.setAbsolutePosition(1); }, [&] { c.Requery(); },
             [&] { c.MoveFirst(); }, [&] { c.MoveLast(); }, [&] { c.MovePrevious(); },
             [&] { c.AbsolutePosition(); }}) {
        EXPECT_EQ(test::thrownBy([&] { op(); }).number(), errnum::ObjectMissing);
    }
}

TEST_F(CursorTest, RequeryReadsOtherCursorsChangesAndTellsBinders)
{
    auto c = openCursor(u"srcbody"_s, u"A1"_s, u"sort"_s);
    Spy<const QString&> changed(c.get(), &clsInitDBConnect::dataMemberChanged);
    Spy<> reset(&c->record(), &QAbstractItemModel::modelReset);
    Spy<> announced(&c->record(), &QAbstractItemModel::modelAboutToBeReset); // views drop indexes
    db.exec(u"insert into srcbody (transid, field, sort) values ('A1', 'PLZ', 0)"_s);
    c->Requery();
    EXPECT_EQ(c->value(u"field"_s).toString(), u"PLZ"_s);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(std::get<0>(changed.calls.at(0)), u"Primary"_s);
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(announced.count(), 1);
    EXPECT_EQ(c->dataMember(u"Primary"_s), &c->record());
    EXPECT_EQ(c->dataMember(u"primary"_s), nullptr);
}

TEST_F(CursorTest, NullAndQuotedColumnsReadBack)
{
    db.exec(
        u"insert into trgbody (transid, field, \"0padding\", ltrim) values ('A1', 'F', 1, NULL)"_s);
    auto c = openCursor(u"trgbody"_s, u"A1"_s);
    EXPECT_EQ(c->value(u"0padding"_s).toInt(), 1);
    EXPECT_TRUE(c->value(u"lTrim"_s).isNull());
    EXPECT_FALSE(c->value(u"lTrim"_s).isValid());
    c->setValue(u"0padding"_s, 0);
    c->update();
    EXPECT_EQ(openCursor(u"trgbody"_s, u"A1"_s)->value(u"0PADDING"_s).toInt(), 0);
    const Error e = test::thrownBy([&] { c->value(u"nosuch"_s); });
    EXPECT_EQ(e.number(), errnum::ItemNotFound);
    EXPECT_TRUE(e.description().contains(u"Tabelle trgbody"_s, Qt::CaseInsensitive) &&
                e.description().contains(u"init.mdb"_s) &&
                e.description().contains(u"Spalte nosuch"_s))
        << e.description().toStdString();
}

TEST_F(CursorTest, UpdateOfRowDeletedElsewhereFails)
{
    auto c = openCursor(u"srcbody"_s, u"B2"_s);
    db.exec(u"delete from srcbody where transid='B2'"_s);
    c->setValue(u"field"_s, u"Y"_s);
    const Error e = test::thrownBy([&] { c->update(); });
    EXPECT_EQ(e.number(), errnum::RowNotFound);
    EXPECT_TRUE(e.source().startsWith(u"Modul: clsInitDBConnect.Update"_s));
}

// A new row without any value that the database refuses is an error, not a row lost.
TEST_F(CursorTest, RefusedEmptyRowIsAnError)
{
    db.exec(
        u"create trigger nein before insert on dbversion begin select raise(abort, 'nein'); end"_s);
    clsInitDBConnect c;
    c.setSQL(u"select * from dbversion"_s); // no transid: the row holds no value
    c.init();
    c.AddNew();
    EXPECT_TRUE(test::thrownBy([&] { c.update(); }).description().contains(u"nein"_s));
}

TEST_F(CursorTest, ModelFollowsInsertsAndRemovals)
{
    auto c = openCursor(u"srcbody"_s, u"A1"_s, u"sort"_s);
    ConfigRowSet& rs = c->record();
    Spy<const QModelIndex&, int, int> inserted(&rs, &QAbstractItemModel::rowsInserted);
    Spy<const QModelIndex&, int, int> removed(&rs, &QAbstractItemModel::rowsRemoved);
    Spy<int> current(&rs, &ConfigRowSet::currentRowChanged);
    c->AddNew();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(std::get<1>(inserted.calls.at(0)), 3);
    EXPECT_EQ(std::get<0>(current.calls.back()), 3);
    c->Delete(); // an unsaved row: gone from the snapshot only
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(std::get<0>(current.calls.back()), -1);
    EXPECT_EQ(storedFields().size(), 3);
    EXPECT_EQ(rs.headerData(0, Qt::Horizontal).toString(), u"transid"_s);
    c->AddNew();
    c->Cancel(); // a row being added: back to the first row
    EXPECT_EQ(c->AbsolutePosition(), 1);
}

TEST_F(CursorTest, InitReportsItsMoveOnceTheCursorIsOpen)
{
    clsInitDBConnect c;
    c.setTable(u"srcbody"_s);
    c.setTransID(u"A1"_s);
    std::vector<qint64> seen;
    QObject::connect(&c, &clsInitDBConnect::MoveComplete,
                     [&] { seen.push_back(c.AbsolutePosition()); });
    c.init();
    EXPECT_EQ(seen, std::vector<qint64>{1});
    c.setTransID(u"NONE"_s);
    c.init();
    EXPECT_EQ(seen, (std::vector<qint64>{1, -1}));
    EXPECT_TRUE(sink.boxes.empty());
}

// A written value reaches the database as the column's type.
class BoundWrite : public ::testing::TestWithParam<test::CaseRow> {};

TEST_P(BoundWrite, ChangesOnlyWhatDiffers)
{
    const test::CaseRow& c = GetParam();
    test::RecordingSink sink;
    test::TempConfigDb db;
    const QString column = c[0];
    db.exec(u"insert into trghead (transid, "_s + column + u") values ('T', "_s + c[1] + u")"_s);
    const QVariant written = c[2] == u"<NULL>"   ? QVariant()
                             : c[2] == u"<true>" ? QVariant(true)
                                                 : QVariant(c[2]);
    const auto cursor = openCursor(u"trghead"_s);
    ConfigRowSet& rs = cursor->record();
    ASSERT_TRUE(rs.setData(rs.index(0, rs.fieldIndex(column)), written));
    EXPECT_EQ(cursor->EditingRecord(), c[3] == u"1");
    cursor->update();

    EXPECT_EQ(
        test::ScratchConnection(u"QSQLITE"_s, db.path())
            .column(u"select coalesce(typeof(%1) || ':' || %1, 'NULL') from trghead"_s.arg(column)),
        QStringList{c[4]});
}

// A column is found by its whole name in any letter case.
class ColumnName : public ::testing::TestWithParam<test::CaseRow> {};

TEST_P(ColumnName, FindsItsIndex)
{
    test::RecordingSink sink;
    test::TempConfigDb db;
    EXPECT_EQ(openCursor(u"trgbody"_s)->record().fieldIndex(GetParam()[0]), GetParam()[1].toInt());
}

INSTANTIATE_TEST_SUITE_P(Rows, ColumnName,
                         ::testing::ValuesIn(test::caseTable(u"config/column-names.tsv"_s)),
                         test::caseName);

INSTANTIATE_TEST_SUITE_P(Rows, BoundWrite,
                         ::testing::ValuesIn(test::caseTable(u"config/bound-writes.tsv"_s)),
                         test::caseName);

// A cursor writes back only the rows of one table it can trace by rowid: a statement that
// may fold several rows into one (an aggregate, DISTINCT, GROUP BY, UNION) or join tables
// is read without rowid, and its rows stay read-only.
class RowidTracing : public ::testing::TestWithParam<test::CaseRow> {};

TEST_P(RowidTracing, FindsTheOneTableOrRefuses)
{
    const test::CaseRow& c = GetParam();
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
