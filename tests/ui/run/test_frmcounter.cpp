// The progress window of a run.
#include "ui/run/frmcounter.h"

#include "support/casetable.h"

#include <QPushButton>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace quendra::ui {
namespace {

TEST(frmCounter, LabelFollowsEveryCount)
{
    std::unique_ptr<frmCounter> counter;
    std::string run;
    for (const test::CaseRow& step : test::caseTable(u"ui/counts.tsv"_s)) {
        SCOPED_TRACE(step.name);
        if (step.name != run) {
            run = step.name;
            counter = std::make_unique<frmCounter>();
            EXPECT_EQ(counter->text(), u"Datensatz"_s) << "before the first record";
            counter->open();
        }
        counter->setCount(step.columns[0].toLongLong(), step.columns[1].toLongLong());
        EXPECT_EQ(counter->text(), step.columns[2]);
    }
}

// Counts the paintings of a widget.
struct PaintCount : QObject {
    bool eventFilter(QObject*, QEvent* e) override
    {
        count += e->type() == QEvent::Paint;
        return false;
    }
    int count = 0;
};

TEST(frmCounter, SmallFixedWindowWithTheWaitPointerThatHoldsTheOthersBack)
{
    frmCounter counter;
    PaintCount painted;
    auto* label = counter.findChild<QWidget*>(u"lblRecord"_s);
    label->installEventFilter(&painted);
    counter.open();
    EXPECT_GE(painted.count, 1) << "the run holds the thread: the window paints as it opens";
    const int opened = painted.count;
    QThread::msleep(60); // past the interval between two paintings
    counter.setCount(7, 0);
    EXPECT_GT(painted.count, opened) << "a count after a while is painted at once";
    for (int n = 8; n < 1000; ++n)
        counter.setCount(n, 0);
    EXPECT_LT(painted.count, opened + 10) << "counts in quick succession paint now and then";
    EXPECT_EQ(counter.windowTitle(), u"Datensatz"_s);
    EXPECT_EQ(counter.windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(counter.minimumSize(), counter.maximumSize());
    EXPECT_FALSE(counter.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(counter.cursor().shape(), Qt::WaitCursor);
    // The count where the design has it, seven digits of it and of the total whole.
    EXPECT_EQ(label->pos(), QPoint(8, 16));
    EXPECT_LE(label->fontMetrics().horizontalAdvance(u"Datensatz: 9999999/9999999"_s),
              label->width());
    auto* stop = counter.findChild<QPushButton*>(u"cmdStop"_s);
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->text(), u"Abbrechen"_s);
    for (const QWidget* w : {label, static_cast<QWidget*>(stop)})
        EXPECT_TRUE(counter.rect().contains(w->geometry()));
    EXPECT_FALSE(stop->geometry().intersects(label->geometry()));
}

// Escape and the window's close button ask the run to stop, as "Abbrechen" does; the
// window stays until the run closes it.
TEST(frmCounter, EscapeAndClosingAskForTheStop)
{
    for (const bool escape : {true, false}) {
        frmCounter counter;
        counter.open();
        EXPECT_FALSE(counter.stopRequested());
        if (escape)
            QTest::keyClick(&counter, Qt::Key_Escape);
        else
            counter.QWidget::close();
        EXPECT_TRUE(counter.stopRequested()) << escape;
        EXPECT_TRUE(counter.isVisible()) << escape;
        EXPECT_FALSE(counter.findChild<QPushButton*>(u"cmdStop"_s)->isEnabled());
        counter.close();
        EXPECT_FALSE(counter.isVisible());
    }
}

} // namespace
} // namespace quendra::ui
