// The progress window of a run.
#include "ui/run/frmcounter.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quendra::ui {
namespace {

struct Count {
    qint64 count, maxCount;
    const char* shown;
};

TEST(frmCounter, LabelFollowsEveryCount)
{
    const std::vector<std::vector<Count>> runs = {
        {{0, 0, "Datensatz: 1"}, {0, 0, "Datensatz: 2"}, {0, 0, "Datensatz: 3"}},
        {{3, 10, "Datensatz: 3/10"}, {5, 0, "Datensatz: 5/10"}, {0, 0, "Datensatz: 6/10"}},
        {{17, 250, "Datensatz: 17/250"}, {0, 251, "Datensatz: 18/251"}},
        {{3'000'000'000LL, 3'000'000'001LL, "Datensatz: 3000000000/3000000001"}},
    };
    for (const std::vector<Count>& run : runs) {
        frmCounter counter;
        EXPECT_EQ(counter.text(), u"Datensatz"_s) << "before the first record";
        counter.open();
        EXPECT_TRUE(counter.isVisible());
        for (const Count& c : run) {
            counter.setCount(c.count, c.maxCount);
            EXPECT_EQ(counter.text(), QString::fromLatin1(c.shown));
        }
        counter.close();
        EXPECT_FALSE(counter.isVisible());
    }
}

TEST(frmCounter, SmallFixedModelessWindowWithTheWaitPointer)
{
    frmCounter counter;
    counter.open();
    EXPECT_EQ(counter.windowTitle(), u"Datensatz"_s);
    EXPECT_FALSE(counter.isModal());
    EXPECT_EQ(counter.size(), QSize(151, 56));
    EXPECT_EQ(counter.minimumSize(), counter.maximumSize());
    EXPECT_FALSE(counter.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(counter.cursor().shape(), Qt::WaitCursor);
}

} // namespace
} // namespace quendra::ui
