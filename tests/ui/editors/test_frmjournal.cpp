// The journal window "Protokoll" on the grid frame.
#include "config/runjournal.h"
#include "ui/editors/frmjournal.h"
#include "ui/windowdriver.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace quendra::test {
namespace {

class JournalWindow : public WindowTestOf<ui::frmJournal> {
protected:
    // Three runs: B1 failed between two runs of A1.
    void SetUp() override
    {
        for (const auto& [id, status, written] :
             {std::tuple{u"A1"_s, journalstatus::succeeded(), 10},
              std::tuple{u"B1"_s, journalstatus::failed(), 2},
              std::tuple{u"A1"_s, journalstatus::succeeded(), 12}}) {
            JournalEntry e;
            e.transId = id;
            e.started = QDateTime::currentDateTimeUtc();
            e.id = journalStart(e);
            e.ended = e.started.addSecs(3);
            e.recordsWritten = written;
            e.status = status;
            e.message =
                status == journalstatus::failed() ? u"Datensatz 3: kein Betrag"_s : QString();
            journalFinish(e);
        }
        window = std::make_unique<ui::frmJournal>();
        showWindow(window.get());
    }

    QStringList columnTexts(const QString& caption) const
    {
        QStringList texts;
        const int c = gridColumn(w(), caption);
        for (int r = 0; r < grid(w())->model()->rowCount(); ++r)
            texts << cell(w(), r, c);
        return texts;
    }
};

TEST_F(JournalWindow, ShowsTheRunsNewestFirstReadOnlyAndFiltersByTransId)
{
    EXPECT_EQ(window->windowTitle(), u"Protokoll"_s);
    EXPECT_EQ(columnTexts(u"Nr"_s), (QStringList{u"3"_s, u"2"_s, u"1"_s}));
    EXPECT_EQ(columnTexts(u"geschrieben"_s), (QStringList{u"12"_s, u"2"_s, u"10"_s}));
    EXPECT_EQ(columnTexts(u"Meldung"_s)[1], u"Datensatz 3: kein Betrag"_s);
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: 1"_s);
    // Below the filter strip, above the buttons.
    EXPECT_GE(grid(w())->y(), find(u"picFilter"_s)->geometry().bottom());
    EXPECT_LE(grid(w())->geometry().bottom(), find(u"picButtons"_s)->y());

    auto* filter = find<QComboBox>(u"cmbTransID"_s);
    EXPECT_EQ(filter->count(), 3) << "(alle), A1, B1";
    // The arrow keys move through the rows; the box is chosen from its list.
    click(filter);
    QTest::keyClick(filter->view(), Qt::Key_Down);
    QTest::keyClick(filter->view(), Qt::Key_Return);
    EXPECT_EQ(filter->currentText(), u"A1"_s);
    EXPECT_EQ(columnTexts(u"Nr"_s), (QStringList{u"3"_s, u"1"_s}));
    click(w(), u"cmdLast"_s);
    click(w(), u"cmdNext"_s); // past the last row: it stays
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: 2"_s);
    click(filter);
    QTest::keyClick(filter->view(), Qt::Key_Up);
    QTest::keyClick(filter->view(), Qt::Key_Return);
    EXPECT_EQ(columnTexts(u"TransID"_s), (QStringList{u"A1"_s, u"B1"_s, u"A1"_s}));
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: 1"_s);

    // Typing into a cell changes nothing.
    clickCell(w(), 0, gridColumn(w(), u"Status"_s), true);
    typeText(w(), u"x"_s);
    press(w(), Qt::Key_Return);
    EXPECT_EQ(cell(w(), 0, gridColumn(w(), u"Status"_s)), u"erfolgreich"_s);

    press(w(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

} // namespace
} // namespace quendra::test
