// The progress window of a run.
#include "ui/run/frmcounter.h"

#include "support/casetable.h"

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

TEST(frmCounter, SmallFixedModelessWindowWithTheWaitPointer)
{
    frmCounter counter;
    PaintCount painted;
    counter.findChild<QWidget*>(u"lblRecord"_s)->installEventFilter(&painted);
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
    EXPECT_FALSE(counter.isModal());
    EXPECT_EQ(counter.size(), QSize(151, 56));
    EXPECT_EQ(counter.minimumSize(), counter.maximumSize());
    EXPECT_FALSE(counter.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(counter.cursor().shape(), Qt::WaitCursor);
}

} // namespace
} // namespace quendra::ui
