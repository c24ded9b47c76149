// One contract for every database back-end: the same table read and written through
// clsADOConnect, with per-back-end quirk flags. Moves: tests/common/test_recordnavigation.cpp.
#include "backendsundertest.h"
#include "common/error.h"
#include "common/globals.h"
#include "connectors/clsadoconnect.h"
#include "connectors/filetypes.h"
#include "endtoend.h"
#include "support/skip.h"
#include "support/testdatabases.h"
#include "support/thrown.h"

#include <QAbstractItemModel>
#include <QDate>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;
using namespace quendra::test;

namespace {
using namespace Qt::StringLiterals;

// The back-ends whose tables are made by SQL.
std::vector<const BackendUnderTest*> sqlBackends()
{
    std::vector<const BackendUnderTest*> backends;
    for (const BackendUnderTest& b : backendsUnderTest()) {
        if (b.sqlDriver)
            backends.push_back(&b);
    }
    return backends;
}

class ConnectorContract : public ::testing::TestWithParam<const BackendUnderTest*> {
protected:
    static void SetUpTestSuite() { initGlobals(u"/nonexistent/init.mdb"_s); }

    void SetUp() override
    {
        if (!GetParam()->dsn) {
            const QString path = dir.filePath(u"daten.db"_s);
            scratch = std::make_unique<ScratchConnection>(u"QSQLITE"_s, path);
            connection = describeConnection(Medium::DatabaseFile, path, u"MS Access"_s, false);
        } else {
            const QString dsn = GetParam()->dsn();
            if (dsn.isEmpty())
                QUENDRA_SKIP() << "ODBC-Datenquelle fehlt (scripts/with-test-services.sh)";
            scratch = std::make_unique<ScratchConnection>(u"QODBC"_s, dsn);
            connection = describeConnection(Medium::OdbcSource, dsn, {}, false);
        }
        kunden = uniqueTableName(u"kunden"_s);
        leer = uniqueTableName(u"leer"_s);
        created = {kunden, leer};
        scratch->execAll({
            tableDdl(kunden),
            tableDdl(leer),
            u"insert into %1 values (1, 'Müller', 12.5, '2005-12-31', NULL)"_s.arg(kunden),
            u"insert into %1 values (2, 'Zoë € Straße', -3.75, '2024-02-29', 'x')"_s.arg(kunden),
            u"insert into %1 values (3, NULL, NULL, NULL, '')"_s.arg(kunden),
        });
    }

    void TearDown() override
    {
        if (!scratch)
            return;
        for (const QString& table : created) {
            try {
                scratch->exec(u"drop table "_s + table);
            } catch (const std::exception&) {
            }
        }
    }

    std::unique_ptr<clsADOConnect> open(const QString& table, const QString& sql = {},
                                        bool forwardOnly = false)
    {
        auto c = std::make_unique<clsADOConnect>();
        c->setSource(connection);
        c->setForwardOnly(forwardOnly);
        if (!sql.isEmpty())
            c->setSQL(sql);
        if (!table.isEmpty())
            c->setTable(table);
        c->init();
        return c;
    }

    static QStringList currentRow(const clsADOConnect& c)
    {
        QStringList row;
        for (int i = 0; i < c.fieldCount(); ++i)
            row.append(c.getField(i).toString());
        return row;
    }

    static std::vector<QStringList> allRows(clsADOConnect& c)
    {
        std::vector<QStringList> rows;
        if (c.isEOF())
            return rows;
        c.MoveFirst();
        for (; !c.isEOF(); c.MoveNext())
            rows.push_back(currentRow(c));
        return rows;
    }

    QTemporaryDir dir; // for the SQLite file
    DatabaseConnection connection;
    std::unique_ptr<ScratchConnection> scratch;
    QString kunden;
    QString leer;
    QStringList created;
};

TEST_P(ConnectorContract, OpenByTableReadsEveryValueInRegionalForm)
{
    auto c = open(kunden);
    EXPECT_EQ(c->fieldCount(), 5);
    EXPECT_EQ(c->record().fieldsCount(), 5);
    EXPECT_EQ(c->AbsolutePosition(), 1);
    const std::vector<QStringList> expected = {
        QStringList{u"1"_s, u"Müller"_s, u"12,5"_s, u"31.12.2005"_s, u""_s},
        QStringList{u"2"_s, u"Zoë € Straße"_s, u"-3,75"_s, u"29.02.2024"_s, u"x"_s},
        QStringList{u"3"_s, u""_s, u""_s, u""_s, u""_s},
    };
    EXPECT_EQ(allRows(*c), expected);
}

TEST_P(ConnectorContract, OpenBySqlAndByPlaceholder)
{
    auto bySql = open({}, u"select name, nr from %1 where nr = 2"_s.arg(kunden));
    ASSERT_FALSE(bySql->isEOF());
    EXPECT_EQ(currentRow(*bySql), (QStringList{u"Zoë € Straße"_s, u"2"_s}));
    const Error noTable = thrownBy([&] { bySql->record().AddNew(); }); // nothing to write to
    EXPECT_TRUE(noTable.description().contains(u"nur eine SQL-Abfrage"));
    auto empty = open(leer);
    EXPECT_TRUE(empty->isEOF() && empty->isBOF());
    EXPECT_EQ(empty->fieldCount(), 5); // an empty result keeps its columns

    // The prefix comparison ignores letter case; the SQL text wins over the table.
    auto byPrefix =
        open(u"gibtesnicht"_s, u"select nr from $TBL(%1) order by nr"_s.arg(kunden.toUpper()));
    EXPECT_EQ(allRows(*byPrefix).size(), 3u);

    auto byTablePlaceholder = open(u"$TBL(%1)"_s.arg(kunden));
    EXPECT_EQ(byTablePlaceholder->fieldCount(), 5);
    EXPECT_EQ(byTablePlaceholder->replSQLTable(u"select * from $TBL(%1)"_s.arg(leer)),
              u"select * from "_s + leer);

    if (!GetParam()->dsn) { // a database file of its own: the table numbers are known
        auto byNumber = open(u"$TBL(2)"_s);
        EXPECT_TRUE(byNumber->isEOF()) << "the second table is the empty one";
        EXPECT_EQ(byNumber->replSQLTable(u"$TBL(1),$TBL(9)"_s), kunden + QLatin1Char(',') + leer);
    }
}

// A run reads forward only: the first row stays reachable until the reading moves on.
TEST_P(ConnectorContract, ForwardOnlyRefusesToGoBack)
{
    auto c = open({}, u"select nr from %1 order by nr"_s.arg(kunden), true);
    c->MoveFirst();
    c->MoveNext();
    EXPECT_EQ(c->getField(0), u"2");
    EXPECT_THROW(c->MoveFirst(), Error);
    EXPECT_EQ(c->getField(0), u"2");
}

// An empty result keeps its columns. (Moves: tests/common/test_recordnavigation.cpp.)
TEST_P(ConnectorContract, FieldPastTheLastColumnAndProviderErrors)
{
    auto c = open(kunden);
    for (int index : {5, -1}) {
        const Error e = test::thrownBy([&] { c->getField(index); });
        EXPECT_EQ(e.number(), errnum::ItemNotFound);
        EXPECT_TRUE(e.source().startsWith(u"Modul: clsADOConnect.getField"_s));
    }
    const Error e = test::thrownBy([&] { open(u"gibt_es_nicht"_s); });
    EXPECT_TRUE(e.source().startsWith(u"Modul: clsADOConnect.init\r\nSource: "_s +
                                      QString::fromLatin1(GetParam()->sqlDriver)))
        << e.source().toStdString();
    EXPECT_FALSE(e.description().isEmpty());
}

TEST_P(ConnectorContract, PrimaryModelRequeryAndSetSql)
{
    auto c = open(kunden);
    EXPECT_EQ(c->dataMember(u"Secondary"_s), nullptr);
    QAbstractItemModel* model = c->dataMember(u"Primary"_s);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->columnCount(), 5);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString().toLower(), u"name"_s);
    EXPECT_EQ(model->index(0, 2).data().toString(), u"12,5"_s);
    EXPECT_EQ(model->index(1, 3).data().toString(), u"29.02.2024"_s);

    QStringList changed;
    QObject::connect(c.get(), &clsADOConnect::dataMemberChanged,
                     [&](const QString& name) { changed.append(name); });
    scratch->exec(u"insert into %1 (nr) values (4)"_s.arg(kunden));
    c->Requery();
    EXPECT_EQ(changed, QStringList{u"Primary"_s});
    EXPECT_EQ(model->rowCount(), 4);
    EXPECT_EQ(c->AbsolutePosition(), 1);

    c->setSQL(u"select nr from %1 where nr > 2"_s.arg(kunden));
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_EQ(c->fieldCount(), 1);
    EXPECT_EQ(c->getField(0), u"3");
    // After init the placeholders of a new SQL text stay unresolved: the database sees them.
    EXPECT_THROW(c->setSQL(u"select * from $TBL(1)"_s), Error);
}

TEST_P(ConnectorContract, AddNewUpdateAndDeleteOnTheRowSet)
{
    auto c = open(kunden);
    QAbstractItemModel* model = c->dataMember(u"Primary"_s);
    int announced = 0; // a view is told before each change, or it reads rows no longer there
    QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, [&] { ++announced; });
    int moved = 0; // each row that update adds becomes the current one, with a move reported
    QObject::connect(c.get(), &clsADOConnect::MoveComplete, [&] { ++moved; });
    EXPECT_EQ(thrownBy([&] { c->record().setItem(0, 9); }).number(), errnum::NoCurrentRecord);
    for (int twice = 0; twice < 2; ++twice) { // the same row twice
        c->AddNew();
        EXPECT_TRUE(c->EditingRecord());
        c->record().setItem(0, 9);
        c->record().setItem(1, u"Neu"_s);
        c->record().setItem(4, u"x"_s); // the table's default is not re-read
        c->update();
    }
    EXPECT_FALSE(c->EditingRecord());
    EXPECT_EQ(c->AbsolutePosition(), 5);
    EXPECT_EQ(moved, 2);
    EXPECT_EQ(c->getField(1), u"Neu");
    EXPECT_TRUE(thrownBy([&] { c->Delete(); }).description().contains(u"nicht eindeutig"));

    c->AddNew();
    c->record().setItem(0, 10);
    c->Cancel(); // back on the first record
    EXPECT_FALSE(c->EditingRecord());
    EXPECT_EQ(c->AbsolutePosition(), 1);

    c->MoveNext();
    c->Delete(); // the second record; the one after it becomes current
    EXPECT_EQ(c->getField(0), u"3");
    c->MoveLast();
    c->MoveNext(); // after the last row nothing is deleted
    EXPECT_EQ(thrownBy([&] { c->Delete(); }).number(), errnum::NoCurrentRecord);
    EXPECT_EQ(announced, 3);
    EXPECT_EQ(model->rowCount(), 4);
    c->record().AddNew(); // as a run writes: the row is only queued
    c->record().setItem(0, 11);
    c->record().update();
    c.reset(); // going away, it writes the row before its connection closes
    EXPECT_EQ(scratch->column(u"select nr from %1 order by nr"_s.arg(kunden)).join(u' '),
              u"1 3 9 9 11");
}

// Rows fail for a table dropped meanwhile; once the table is back, the next row goes in:
// nothing of a failed attempt is kept.
TEST_P(ConnectorContract, RowsFailedForADroppedTableDoNotBlockTheNext)
{
    auto c = open(kunden);
    const auto add = [&](int column) {
        c->AddNew();
        c->record().setItem(column, 9);
        c->update();
    };
    c->AddNew(); // the writer opens while the table is there
    scratch->exec(u"drop table "_s + kunden);
    EXPECT_THROW(add(2), Error);
    EXPECT_THROW(add(0), Error); // a statement prepared when the table is known to be gone
    scratch->exec(tableDdl(kunden));
    add(0);
    EXPECT_EQ(scratch->column(u"select nr from %1"_s.arg(kunden)).join(u' '), u"9");
}

INSTANTIATE_TEST_SUITE_P(Backends, ConnectorContract, ::testing::ValuesIn(sqlBackends()),
                         [](const auto& info) { return std::string(info.param->name); });

TEST(ConnectorBeforeInit, ReportsNoRecordAndRefusesMoves)
{
    clsADOConnect c;
    EXPECT_TRUE(c.isEOF());
    EXPECT_EQ(c.AbsolutePosition(), -1);
    EXPECT_EQ(c.fieldCount(), 0);
    EXPECT_THROW(c.MoveFirst(), Error);
    EXPECT_EQ(test::thrownBy([&] { c.getField(0); }).number(), errnum::ObjectMissing);
    c.setTable(u"kunden"_s);
    EXPECT_EQ(test::thrownBy([&] { c.record().AddNew(); }).number(), errnum::ObjectMissing);
    EXPECT_THROW(c.replSQLTable(u"select * from $TBL(1)"_s), Error);
    EXPECT_EQ(c.replSQLTable(u"select 1"_s), u"select 1"_s); // nothing to look up
}

} // namespace
