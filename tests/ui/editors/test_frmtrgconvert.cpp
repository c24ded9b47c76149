// The value translation editor on the grid frame.
#include "common/globals.h"
#include "common/messagehandler.h"
#include "ui/editors/frmtrgconvert.h"
#include "ui/windowdriver.h"

#include <QTableView>

using namespace Qt::StringLiterals;

namespace quendra::test {
namespace {

using ui::frmTrgConvert;

class TranslationEditor : public WindowTestOf<frmTrgConvert> {
protected:
    void SetUp() override
    {
        db.execAll({
            u"insert into trgconvert values ('A1', 'KONTO', '4711', '8400')"_s,
            u"insert into trgconvert values ('A1', 'KONTO', '4712', '8401')"_s,
            u"insert into trgconvert values ('A1', 'KONTO', '4713', '8402')"_s,
            u"insert into trgconvert values ('A1', 'BETRAG', '0', 'null')"_s,
            u"insert into trgconvert values ('B2', 'KONTO', '1', 'x')"_s,
        });
        setCurrentTransID(u"A1"_s);
    }

    void open(const QString& field)
    {
        window = std::make_unique<frmTrgConvert>();
        window->setField(field);
        showWindow(window.get());
    }

    // Every row of trgconvert as "transid|field|old|new", in storage order.
    QStringList stored() const
    {
        return column(u"select transid || '|' || field || '|' || old || '|' || new "
                      "from trgconvert order by rowid"_s);
    }
};

TEST_F(TranslationEditor, ShowsTheFieldsPairsOnlyWithTransIdHidden)
{
    open(u"KONTO"_s);
    EXPECT_EQ(window->windowTitle(), u"Umsetzungstabelle"_s);
    EXPECT_EQ(window->size(), QSize(449, 393)); // 6735 x 5895 twips
    EXPECT_EQ(grid(w())->model()->rowCount(), 3);
    EXPECT_TRUE(control<QTableView>(w(), u"grdDataGrid"_s)->isColumnHidden(0));
    for (const int c : {1, 2, 3})
        EXPECT_EQ(gridColumn(w(), QStringList{u"field"_s, u"old"_s, u"new"_s}[c - 1]), c);
    EXPECT_EQ(cell(w(), 2, 2), u"4713"_s);
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: 1"_s);
    EXPECT_TRUE(control(w(), u"cmdAdd"_s)->isVisible());
    EXPECT_TRUE(control(w(), u"cmdDelete"_s)->isVisible());
}

TEST_F(TranslationEditor, NeuOnAFieldWithoutPairsAddsARowThatCarriesTransIdAndField)
{
    open(u"DATUM"_s);
    EXPECT_EQ(grid(w())->model()->rowCount(), 0);
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: -1"_s);
    click(w(), u"cmdAdd"_s);
    ASSERT_EQ(grid(w())->model()->rowCount(), 1);
    EXPECT_EQ(grid(w())->model()->index(0, 0).data().toString(), u"A1"_s);
    EXPECT_EQ(cell(w(), 0, 1), u"DATUM"_s);
    EXPECT_EQ(QApplication::focusWidget(), grid(w()));
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: 1"_s);

    // The user types old and new into the grid.
    clickCell(w(), 0, 2);
    typeText(w(), u"31.12."_s);
    press(w(), Qt::Key_Tab); // on to "new"
    typeText(w(), u"Silvester"_s);
    press(w(), Qt::Key_Return);
    EXPECT_EQ(cell(w(), 0, 3), u"Silvester"_s);
    press(w(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(stored().last(), u"A1|DATUM|31.12.|Silvester"_s);
}

TEST_F(TranslationEditor, RowsOfOtherFieldsAreNeverShownOrChanged)
{
    const QStringList before = stored();
    open(u"KONTO"_s);
    press(w(), Qt::Key_Down, Qt::ControlModifier);
    click(w(), u"cmdDelete"_s); // 4713
    click(w(), u"cmdFirst"_s);
    clickCell(w(), 0, 3, true);
    QTest::keyClick(keyboardTarget(w()), Qt::Key_A, Qt::ControlModifier);
    typeText(w(), u"9999"_s);
    press(w(), Qt::Key_Return);
    click(w(), u"cmdAdd"_s);
    press(w(), Qt::Key_Escape);
    // The row added last has no old and new values, so its text is NULL.
    EXPECT_EQ(stored(), (QStringList{u"A1|KONTO|4711|9999"_s, u"A1|KONTO|4712|8401"_s, before.at(3),
                                     before.at(4), u"<NULL>"_s}));
    EXPECT_EQ(column(u"select count(*) from trgconvert where field='KONTO' and transid='A1' "
                     "and old is null"_s),
              QStringList{u"1"_s}); // with transid and field
}

TEST_F(TranslationEditor, AnApostropheInTheFieldNameWorks)
{
    db.exec(u"insert into trgconvert values ('A1', 'Kunde''s', 'a', 'b')"_s);
    open(u"Kunde's"_s);
    EXPECT_EQ(grid(w())->model()->rowCount(), 1);
    click(w(), u"cmdAdd"_s);
    EXPECT_EQ(cell(w(), 1, 1), u"Kunde's"_s);
    press(w(), Qt::Key_Escape);
    EXPECT_EQ(column(u"select count(*) from trgconvert where field='Kunde''s'"_s),
              QStringList{u"2"_s});
}

TEST_F(TranslationEditor, AFailedLoadIsShownOnceAndTheWindowStillOpens)
{
    db.exec(u"drop table trgconvert"_s);
    open(u"KONTO"_s);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(grid(w())->model()->rowCount(), 0);
    click(w(), u"cmdNext"_s);
    press(w(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    // The load's failure, then the move's; closing has nothing to write.
    ASSERT_TRUE(sawErrorBox(2, u"frmTrgConvert.cmdNext_Click"_s));
    EXPECT_EQ(sink.boxes[0].title, errorBoxTitle(u"frmTrgConvert.Form_Load"_s));
    EXPECT_TRUE(sink.boxes[0].text.contains(u"Modul: clsInitDBConnect.init"_s));
}

} // namespace
} // namespace quendra::test
