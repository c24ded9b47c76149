// What the grid windows rely on of every navigation they are handed: the configuration
// cursor and the database connector, each over the same three rows and over none.
#include "common/beep.h"
#include "common/error.h"
#include "common/recordnavigation.h"
#include "connectors/clsadoconnect.h"
#include "connectors/filetypes.h"
#include "support/casename.h"
#include "support/configcursor.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"
#include "support/testdatabases.h"
#include "support/thrown.h"

#include <QAbstractItemModel>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace quendra {
namespace {
using quendra::test::PrintTo; // rows print their name

// A navigation over the rows "R1", "R2", "R3" (or over no row) and the value of the current row.
class Navigable {
public:
    virtual ~Navigable() = default;
    virtual RecordNavigation& nav() = 0;
    virtual QString current() = 0;
    virtual bool isEOF() = 0;
};

class Cursor : public Navigable {
public:
    Cursor(const test::TempConfigDb& db, bool empty)
    {
        db.exec(u"insert into srcbody (transid, field, sort) values ('A1', 'R2', 2), "
                "('A1', 'R1', 1), ('B2', 'X', 1), ('A1', 'R3', 3)"_s);
        m_cursor = test::openCursor(u"srcbody"_s, empty ? u"NIX"_s : u"A1"_s, u"sort"_s);
    }
    RecordNavigation& nav() override { return *m_cursor; }
    QString current() override { return m_cursor->value(u"field"_s).toString(); }
    bool isEOF() override { return m_cursor->isEOF(); }

private:
    std::unique_ptr<clsInitDBConnect> m_cursor;
};

class Connector : public Navigable {
public:
    Connector(const test::TempConfigDb& db, bool empty)
    {
        const QString path = db.filePath(u"daten.db"_s);
        test::ScratchConnection(u"QSQLITE"_s, path)
            .execAll({u"create table t (n text)"_s, u"create table leer (n text)"_s,
                      u"insert into t values ('R1'), ('R2'), ('R3')"_s});
        m_connector.setSource(
            describeConnection(Medium::DatabaseFile, path, u"MS Access"_s, false));
        m_connector.setTable(empty ? u"leer"_s : u"t"_s);
        m_connector.init();
    }
    RecordNavigation& nav() override { return m_connector; }
    QString current() override { return m_connector.getField(0).toString(); }
    bool isEOF() override { return m_connector.isEOF(); }

private:
    clsADOConnect m_connector;
};

struct Kind {
    const char* name;
    std::function<std::unique_ptr<Navigable>(const test::TempConfigDb&, bool empty)> open;
    const char* module;      // names the failing move in an error's source
    bool moveNextAtEndFails; // the connector reports a read past the end, the cursor stays
};

class NavigationContract : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override
    {
        previousBeep = setBeepHook([this] { ++beeps; });
    }
    void TearDown() override { setBeepHook(previousBeep); }

    test::RecordingSink sink;
    test::TempConfigDb db;
    int beeps = 0;
    BeepHook previousBeep;
};

TEST_P(NavigationContract, MovesReportsAndHandsOutItsRows)
{
    const std::unique_ptr<Navigable> subject = GetParam().open(db, false);
    RecordNavigation& nav = subject->nav();
    int reported = 0;
    auto receiver = std::make_unique<QObject>();
    nav.connectMoveComplete(receiver.get(), [&] { ++reported; });
    // The number of moves a step reported.
    const auto moves = [&](const std::function<void()>& step) {
        const int before = reported;
        step();
        return reported - before;
    };

    EXPECT_EQ(moves([&] { nav.setAbsolutePosition(3); }), 1);
    EXPECT_EQ(nav.AbsolutePosition(), 3);
    EXPECT_EQ(subject->current(), u"R3"_s);
    EXPECT_EQ(moves([&] { nav.MovePrevious(); }), 1);
    EXPECT_EQ(subject->current(), u"R2"_s);
    EXPECT_EQ(moves([&] { nav.MovePrevious(); }), 1); // onto the first row: no beep
    EXPECT_EQ(subject->current(), u"R1"_s);
    nav.MoveLast();
    EXPECT_EQ(moves([&] { nav.MoveFirst(); }), 1);
    EXPECT_EQ(beeps, 0);
    EXPECT_GE(moves([&] { nav.MovePrevious(); }), 1); // on the first row: a beep, it stays
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(nav.AbsolutePosition(), 1);
    EXPECT_EQ(subject->current(), u"R1"_s);
    EXPECT_EQ(moves([&] { nav.MoveNext(); }), 1);
    EXPECT_EQ(nav.AbsolutePosition(), 2);
    EXPECT_EQ(moves([&] { nav.MoveLast(); }), 1);
    EXPECT_EQ(subject->current(), u"R3"_s);
    EXPECT_EQ(moves([&] { nav.MoveNext(); }), 1);
    EXPECT_LT(nav.AbsolutePosition(), 0); // after the last row
    EXPECT_EQ(moves([&] { EXPECT_THROW(nav.setAbsolutePosition(0), Error); }), 0);
    EXPECT_EQ(moves([&] { EXPECT_THROW(nav.setAbsolutePosition(4), Error); }), 0);

    QAbstractItemModel* rows = nav.dataMember(u"Primary"_s);
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->rowCount(), 3);
    EXPECT_EQ(nav.dataMember(u"Other"_s), nullptr);

    receiver.reset(); // the connection ends with its receiver
    EXPECT_EQ(moves([&] { nav.MoveFirst(); }), 0);
    EXPECT_TRUE(sink.boxes.empty());
}

// After the last row: nothing to read, MoveLast stays, MovePrevious is back on the last
// row without a beep.
TEST_P(NavigationContract, AfterTheLastRow)
{
    const std::unique_ptr<Navigable> subject = GetParam().open(db, false);
    RecordNavigation& nav = subject->nav();
    nav.MoveLast();
    nav.MoveNext();
    EXPECT_TRUE(subject->isEOF());
    EXPECT_THROW(subject->current(), Error);
    int moves = 0;
    auto receiver = std::make_unique<QObject>();
    nav.connectMoveComplete(receiver.get(), [&] { ++moves; });
    if (GetParam().moveNextAtEndFails)
        EXPECT_THROW(nav.MoveNext(), Error);
    else
        nav.MoveNext();
    nav.MoveLast();
    EXPECT_TRUE(subject->isEOF());
    EXPECT_EQ(moves, 0);
    nav.MovePrevious();
    EXPECT_EQ(nav.AbsolutePosition(), 3);
    EXPECT_EQ(subject->current(), u"R3"_s);
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(moves, 1);
}

TEST_P(NavigationContract, NoRows)
{
    const std::unique_ptr<Navigable> subject = GetParam().open(db, true);
    RecordNavigation& nav = subject->nav();
    EXPECT_TRUE(subject->isEOF());
    EXPECT_LT(nav.AbsolutePosition(), 0);
    nav.MovePrevious();
    nav.MoveLast();
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(subject->isEOF());
    const Error e = test::thrownBy([&] { nav.MoveFirst(); });
    EXPECT_EQ(e.number(), errnum::NoCurrentRecord);
    EXPECT_EQ(e.description(), u"Kein aktueller Datensatz."_s);
    EXPECT_TRUE(e.source().startsWith(u"Modul: "_s + QString::fromLatin1(GetParam().module) +
                                      u".MoveFirst"_s))
        << e.source().toStdString();
    EXPECT_THROW(subject->current(), Error);
}

template <class Subject>
std::unique_ptr<Navigable> openOver(const test::TempConfigDb& db, bool empty)
{
    return std::make_unique<Subject>(db, empty);
}

INSTANTIATE_TEST_SUITE_P(
    Both, NavigationContract,
    ::testing::Values(Kind{"ConfigurationCursor", openOver<Cursor>, "clsInitDBConnect", false},
                      Kind{"DatabaseConnector", openOver<Connector>, "clsADOConnect", true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quendra
