// The grid frame on a stand-in navigation: what all three grid windows share.
#include "common/error.h"
#include "common/messagehandler.h"
#include "common/recordnavigation.h"
#include "ui/editors/gridframe.h"
#include "ui/windowdriver.h"

#include <QLabel>
#include <QPointer>
#include <QStandardItemModel>

using namespace Qt::StringLiterals;

namespace quendra::test {
namespace {

// Five rows in memory; a move past either end fails as a connector's does.
class StandIn : public RecordNavigation {
public:
    StandIn()
    {
        rows.setHorizontalHeaderLabels({u"nr"_s, u"name"_s});
        for (int r = 1; r <= 5; ++r)
            rows.appendRow({new QStandardItem(QString::number(r)), new QStandardItem(u"-"_s)});
    }
    void MoveFirst() override { setAbsolutePosition(1); }
    void MoveLast() override { setAbsolutePosition(rows.rowCount()); }
    void MoveNext() override { setAbsolutePosition(position + 1); }
    void MovePrevious() override { setAbsolutePosition(position - 1); }
    qint64 AbsolutePosition() const override { return position; }
    void setAbsolutePosition(qint64 to) override
    {
        if (to < 1 || to > rows.rowCount())
            throw Error(3021, u"StandIn"_s, u"Kein aktueller Datensatz."_s);
        position = to;
        for (const auto& [receiver, slot] : listeners) {
            if (receiver)
                slot();
        }
    }
    QAbstractItemModel* dataMember(const QString& name) override
    {
        return name == u"Primary"_s ? &rows : nullptr;
    }
    QMetaObject::Connection connectMoveComplete(QObject* receiver,
                                                std::function<void()> slot) override
    {
        listeners.emplace_back(receiver, std::move(slot));
        return {};
    }

    QString value(int row) const { return rows.item(row, 1)->text(); }

    QStandardItemModel rows;
    qint64 position = 1;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> listeners;
};

class Frame : public ui::GridFrame {
public:
    explicit Frame(RecordNavigation* nav) : GridFrame(Kind::Viewer, "frmFrame", nullptr), m_nav(nav)
    {
        setInnerSize(6735, 5895); // 449 x 393 pixels
    }

protected:
    void formLoad() override
    {
        useNavigation(m_nav);
        bindGrid();
    }

private:
    RecordNavigation* m_nav;
};

class GridFrameTest : public WindowTestOf<Frame> {
protected:
    void open(RecordNavigation* nav)
    {
        window = std::make_unique<Frame>(nav);
        showWindow(window.get());
    }
    QString status() const { return textOf(w(), u"lblStatus"_s); }

    // Opens a cell of row for editing and types text over it, leaving the editor open.
    void typeIntoCell(int row, const QString& text)
    {
        clickCell(w(), row, 1, true);
        QTest::keyClick(keyboardTarget(w()), Qt::Key_A, Qt::ControlModifier);
        typeText(w(), text);
    }

    StandIn nav;
};

TEST_F(GridFrameTest, KeysButtonsAndGridClicksMoveTheNavigationAndTheGridFollows)
{
    using Act = std::function<void(QWidget*)>;
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        return Act([k, m](QWidget* win) { press(win, k, m); });
    };
    const auto button = [](const char* name) {
        return Act([name](QWidget* win) { click(win, QString::fromLatin1(name)); });
    };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
    // Each move starts on the third of five rows.
    const struct {
        const char* name;
        Act act;
        int to;
    } moves[] = {
        {"Down", key(Qt::Key_Down), 4},
        {"Up", key(Qt::Key_Up), 2},
        {"PageDown", key(Qt::Key_PageDown), 4},
        {"PageUp", key(Qt::Key_PageUp), 2},
        {"Ctrl+Down", key(Qt::Key_Down, ctrl), 5},
        {"Ctrl+Up", key(Qt::Key_Up, ctrl), 1},
        {"Ctrl+PageDown", key(Qt::Key_PageDown, ctrl), 5},
        {"Ctrl+PageUp", key(Qt::Key_PageUp, ctrl), 1},
        {"Shift+Ctrl+Down", key(Qt::Key_Down, shiftCtrl), 4},
        {"Shift+Ctrl+Up", key(Qt::Key_Up, shiftCtrl), 2},
        {"Home", key(Qt::Key_Home), 1},
        {"End", key(Qt::Key_End), 5},
        {"cmdFirst", button("cmdFirst"), 1},
        {"cmdPrevious", button("cmdPrevious"), 2},
        {"cmdNext", button("cmdNext"), 4},
        {"cmdLast", button("cmdLast"), 5},
        {"Down on a button", key(Qt::Key_Down), 4}, // the focus is still on cmdLast
        {"a click on the fifth row", [](QWidget* win) { clickCell(win, 4, 1); }, 5},
        {"a click on the first row", [](QWidget* win) { clickCell(win, 0, 0); }, 1},
    };
    open(&nav);
    EXPECT_EQ(grid(w())->model()->rowCount(), 5);
    EXPECT_EQ(grid(w())->currentIndex().row(), 0);
    for (const auto& move : moves) {
        nav.setAbsolutePosition(3);
        ASSERT_EQ(status(), u"Record: 3"_s);
        ASSERT_EQ(grid(w())->currentIndex().row(), 2);
        move.act(w());
        EXPECT_EQ(nav.position, move.to) << move.name;
        EXPECT_EQ(status(), u"Record: %1"_s.arg(move.to)) << move.name;
        EXPECT_EQ(grid(w())->currentIndex().row(), move.to - 1) << move.name;
    }
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(sink.boxes.empty());
}

TEST_F(GridFrameTest, AValueTypedIntoACellIsTakenBeforeAMoveAndWhenTheWindowCloses)
{
    const std::vector<std::pair<const char*, std::function<void(QWidget*)>>> closers = {
        {"Escape", [](QWidget* win) { press(win, Qt::Key_Escape); }},
        {"Alt+C", [](QWidget* win) { press(win, Qt::Key_C, Qt::AltModifier); }},
        {"cmdClose", [](QWidget* win) { click(win, u"cmdClose"_s); }},
        {"close button", [](QWidget* win) { win->close(); }},
    };
    for (const auto& [name, closeIt] : closers) {
        open(&nav);
        typeIntoCell(1, QString::fromLatin1(name));
        closeIt(w());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); })) << name;
        EXPECT_EQ(nav.value(1), QString::fromLatin1(name));
    }

    open(&nav);
    typeIntoCell(1, u"vor dem Schritt"_s);
    press(w(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(nav.value(1), u"vor dem Schritt"_s);
    EXPECT_EQ(nav.position, 5);
    EXPECT_TRUE(sink.boxes.empty());
}

TEST_F(GridFrameTest, AFailedMoveIsShownUnderTheHandlersNameAndTheWindowStaysOpen)
{
    open(&nav);
    press(w(), Qt::Key_End);
    click(w(), u"cmdNext"_s);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].title, errorBoxTitle(u"frmFrame.cmdNext_Click"_s));
    EXPECT_EQ(sink.boxes[0].style, StyleCritical);
    EXPECT_EQ(grid(w())->currentIndex().row(), 4);
    EXPECT_TRUE(window->isVisible());

    // Nothing to navigate: an empty grid, and every move reports the missing object.
    window = std::make_unique<Frame>(nullptr);
    showWindow(w());
    EXPECT_EQ(grid(w())->model()->rowCount(), 0);
    press(w(), Qt::Key_Home);
    ASSERT_EQ(sink.boxes.size(), 2u);
    EXPECT_EQ(sink.boxes[1].title, errorBoxTitle(u"frmFrame.cmdFirst_Click"_s));
    EXPECT_TRUE(sink.boxes[1].text.contains(u" 91\r\n"_s));
    press(w(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(GridFrameTest, TheResizeRuleSkipsTheStepsThatFailInANarrowWindow)
{
    open(&nav);
    auto* label = control<QLabel>(w(), u"lblStatus"_s);
    const auto followsTheWidth = [&](int width, int height) {
        EXPECT_EQ(grid(w())->geometry(), QRect(0, 20, width, height - 40 - 20));
        EXPECT_EQ(control(w(), u"cmdClose"_s)->x(), width - 81 - 8);
        EXPECT_EQ(label->width(), window->frameGeometry().width() - 100);
        EXPECT_EQ(control(w(), u"cmdNext"_s)->x(), label->width() + 47);
        EXPECT_EQ(control(w(), u"cmdLast"_s)->x(), label->width() + 47 + 23);
    };
    followsTheWidth(449, 393);

    const int width = label->width();
    window->resize(60, 30); // the label's width and the grid's height would be negative
    EXPECT_EQ(label->width(), width);
    EXPECT_EQ(grid(w())->height(), 393 - 40 - 20);
    EXPECT_EQ(control(w(), u"cmdClose"_s)->x(), 60 - 81 - 8); // the steps after still run
    EXPECT_EQ(control(w(), u"cmdNext"_s)->x(), width + 47);
    EXPECT_TRUE(sink.boxes.empty());

    window->resize(800, 500);
    followsTheWidth(800, 500);
}

} // namespace
} // namespace quendra::test
