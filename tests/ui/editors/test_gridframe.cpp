// The grid frame on a stand-in navigation: what all three grid windows share.
#include "common/error.h"
#include "common/messagehandler.h"
#include "common/recordnavigation.h"
#include "support/casetable.h"
#include "ui/editors/gridframe.h"
#include "ui/windowdriver.h"

#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>

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
        ++moves;
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
    int moves = 0;
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

// Does what a user does, as tests/data/ui/gridmoves.tsv writes it; "close" closes the
// window with its title bar's button.
void act(QWidget* window, const QString& action)
{
    const QStringList words = action.split(u' ');
    if (words[0] == u"key") {
        const QKeyCombination key = QKeySequence::fromString(words[1])[0];
        press(window, key.key(), key.keyboardModifiers());
    } else if (words[0] == u"click") {
        click(window, words[1]);
    } else if (words[0] == u"close") {
        window->close();
    } else {
        clickCell(window, words.value(1).toInt(), words.value(2).toInt(), false,
                  words[0] == u"ctrlcell" ? Qt::ControlModifier : Qt::NoModifier);
    }
}

TEST_F(GridFrameTest, KeysButtonsAndGridClicksMoveTheNavigationAndTheGridFollows)
{
    open(&nav);
    EXPECT_EQ(grid(w())->model()->rowCount(), 5);
    EXPECT_EQ(grid(w())->currentIndex(), grid(w())->model()->index(0, 0)); // first column shown
    for (const CaseRow& move : caseTable(u"ui/gridmoves.tsv"_s)) {
        SCOPED_TRACE(move.name);
        nav.setAbsolutePosition(3);
        ASSERT_EQ(status(), u"Record: 3"_s);
        ASSERT_EQ(grid(w())->currentIndex().row(), 2);
        const int moves = nav.moves;
        act(w(), move.columns[0]);
        const int to = move.columns[1].toInt();
        EXPECT_EQ(nav.position, to);
        EXPECT_EQ(nav.moves, moves + (to != 3)) << "one move, none in the same row";
        EXPECT_EQ(status(), u"Record: %1"_s.arg(to));
        EXPECT_EQ(grid(w())->currentIndex().row(), to - 1);
        EXPECT_EQ(grid(w())->selectionModel()->selectedRows().value(0).row(), to - 1); // whole
    }
    // Scrolled away from its current row, the grid shows it again at a move that keeps it.
    nav.rows.setRowCount(100);
    grid(w())->scrollToBottom();
    nav.setAbsolutePosition(nav.position);
    const QRect shown = grid(w())->visualRect(grid(w())->currentIndex());
    EXPECT_TRUE(grid(w())->viewport()->rect().contains(shown.center()));
    nav.position = 0; // no current row, as after the last row was deleted
    nav.listeners.front().second();
    EXPECT_TRUE(grid(w())->selectionModel()->selectedRows().isEmpty());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(GridFrameTest, AValueTypedIntoACellIsTakenWhenTheWindowCloses)
{
    for (const QString& closer : {u"key Esc"_s, u"key Alt+C"_s, u"click cmdClose"_s, u"close"_s}) {
        open(&nav);
        typeIntoCell(1, closer);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor); // goes with the window
        act(w(), closer);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); })) << qPrintable(closer);
        EXPECT_EQ(nav.value(1), closer);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

TEST_F(GridFrameTest, AFailedMoveIsShownUnderTheHandlersNameAndTheWindowStaysOpen)
{
    open(&nav);
    press(w(), Qt::Key_End);
    click(w(), u"cmdNext"_s);
    ASSERT_TRUE(sawErrorBox(1, u"frmFrame.cmdNext_Click"_s));
    EXPECT_EQ(sink.boxes[0].style, StyleCritical);
    EXPECT_EQ(grid(w())->currentIndex().row(), 4);
    EXPECT_TRUE(window->isVisible());

    // Nothing to navigate: an empty grid, and every move reports the missing object.
    window = std::make_unique<Frame>(nullptr);
    showWindow(w());
    EXPECT_EQ(grid(w())->model()->rowCount(), 0);
    press(w(), Qt::Key_Home);
    ASSERT_TRUE(sawErrorBox(2, u"frmFrame.cmdFirst_Click"_s));
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
        EXPECT_EQ(control(w(), u"cmdClose"_s)->mapTo(w(), QPoint()).x(), width - 81 - 8);
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

    window->resize(800, 500);
    followsTheWidth(800, 500);
}

// Rows are as high as a text box (285 twips) with the desktop's font larger than 9 points.
TEST_F(GridFrameTest, RowsAreAsHighAsATextBoxWithALargerDesktopFont)
{
    const QFont usual = QApplication::font();
    QFont large = usual;
    large.setPointSize(11);
    QApplication::setFont(large);
    open(&nav);
    const int height = qobject_cast<QTableView*>(grid(w()))->rowHeight(0);
    QApplication::setFont(usual);
    EXPECT_EQ(height, 19);
}

// The buttons to either end show a bar beside their arrow, the steps the arrow alone.
TEST_F(GridFrameTest, EndButtonsShowABarBesideTheArrow)
{
    open(&nav);
    const auto dark = [&](const QString& button) {
        const QImage image = control<QPushButton>(w(), button)->icon().pixmap(16).toImage();
        int n = 0;
        for (int i = 0; i < image.width() * image.height(); ++i) {
            const QRgb c = image.pixel(i % image.width(), i / image.width());
            EXPECT_TRUE(c == qRgb(0, 0, 0) || c == qRgb(0xC0, 0xC0, 0xC0)) << "sharp edges";
            n += c == qRgb(0, 0, 0);
        }
        return n;
    };
    EXPECT_GT(dark(u"cmdPrevious"_s), 10) << "an arrow";
    EXPECT_GT(dark(u"cmdFirst"_s), dark(u"cmdPrevious"_s));
    EXPECT_GT(dark(u"cmdLast"_s), dark(u"cmdNext"_s));
}

} // namespace
} // namespace quendra::test
