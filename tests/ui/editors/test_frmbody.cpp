// The field definition editor on the grid frame, driven by mouse and
// keyboard; every check of what was stored reads init.mdb afresh.
#include "common/globals.h"
#include "common/messagehandler.h"
#include "ui/editors/frmbody.h"
#include "ui/windowdriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDataWidgetMapper>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace quendra::test {
namespace {

using ui::frmBody;

QStringList items(QWidget* window, const QString& combo)
{
    QStringList out;
    if (auto* c = control<QComboBox>(window, combo)) {
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
    }
    return out;
}

class FieldEditor : public WindowTestOf<frmBody> {
protected:
    void SetUp() override
    {
        db.execAll({
            u"insert into srcbody (transid, field, length, sort) values ('A1', 'KDNR', 8, 2)"_s,
            u"insert into srcbody (transid, field, length, pos, splitdelimiter, sort) values "
            "('A1', 'NAME', 30, 5, '/', 1)"_s,
            u"insert into srcbody (transid, field, length, sort) values ('A1', 'ORT', 20, 3)"_s,
            u"insert into srcbody (transid, field, sort) values ('B2', 'FREMD', 1)"_s,
            u"insert into trgbody (transid, field, fieldtype, sort) values ('A1', 'KONTO', 'Text', 1)"_s,
            u"insert into trgbody (transid, field, fieldtype, sort) values ('A1', 'BETRAG', 'Datum', 2)"_s,
        });
        setCurrentTransID(u"A1"_s);
    }

    // Opens the editor on the source (0) or target (1) field list.
    void open(int side)
    {
        window = std::make_unique<frmBody>();
        window->setTable(side);
        showWindow(window.get());
    }
};

TEST_F(FieldEditor, EmptyListOpensOneNewRowThatIsWrittenOnCloseWithoutTyping)
{
    setCurrentTransID(u"NEU"_s);
    open(0);
    EXPECT_EQ(grid(w())->model()->rowCount(), 1);
    EXPECT_EQ(QApplication::focusWidget(), control(w(), u"txtFields(0)"_s));
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: 1"_s);
    EXPECT_TRUE(column(u"select field from srcbody where transid='NEU'"_s).isEmpty());

    press(w(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(column(u"select transid from srcbody where transid='NEU'"_s), QStringList{u"NEU"_s});
    EXPECT_EQ(column(u"select field from srcbody where transid='NEU'"_s), QStringList{u"<NULL>"_s});
}

TEST_F(FieldEditor, LoadsTheListInSortOrderWithTheEntriesOfItsMode)
{
    open(0);
    EXPECT_EQ(window->windowTitle(), globals().appTitle);
    EXPECT_EQ(window->geometry().topLeft(), QPoint(74, 23));
    EXPECT_EQ(control(w(), u"txtFields(5)"_s)->geometry(), QRect(104, 114, 225, 19));
    EXPECT_EQ(grid(w())->model()->rowCount(), 3);
    const int field = gridColumn(w(), u"Feldname"_s);
    ASSERT_GE(field, 0);
    EXPECT_EQ(cell(w(), 0, field) + u'|' + cell(w(), 2, field), u"NAME|ORT"_s);
    EXPECT_EQ(textOf(w(), u"txtFields(6)"_s) + textOf(w(), u"txtFields(7)"_s), u"5/"_s); // NAME's
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: 1"_s);
    EXPECT_TRUE(control<QTableView>(w(), u"grdDataGrid"_s)->isColumnHidden(0)); // transid

    // Source mode: the check boxes unbound.
    auto* mapper = window->findChild<QDataWidgetMapper*>();
    ASSERT_NE(mapper, nullptr);
    EXPECT_EQ(mapper->mappedSection(control(w(), u"chkFields(13)"_s)), -1);
    EXPECT_EQ(mapper->mappedSection(control(w(), u"txtFields(8)"_s)), -1); // no such column
}

// One entry of each kind stands for its kind: a text box of the source with its label,
// a text box, a list and a check box of the target, "Befehl:" and the translation button.
TEST_F(FieldEditor, EachModeShowsItsOwnEntriesAndHidesThoseOfTheOther)
{
    const std::pair<const char*, bool> entries[] = {
        // name, shown for the source
        {"txtFields(6)", true},   {"lblLabels(6)", true},   {"txtFields(8)", false},
        {"lblLabels(8)", false},  {"cmbFields(9)", false},  {"chkFields(13)", false},
        {"txtFields(16)", false}, {"lblLabels(16)", false}, {"cmdTrgConvert", false}};
    db.exec(u"update trgbody set decscale = 2, defaultvalue = 'D', srcfield = 'NAME', adjustment = "
            "'rechts', chkfield = 'Summe', plus = -1, \"0padding\" = 0, ltrim = -1, command = "
            "'<lastvalue>' where field = 'KONTO'"_s);
    for (const int side : {0, 1}) {
        open(side);
        for (const auto& [name, source] : entries)
            EXPECT_EQ(control(w(), QString::fromLatin1(name))->isVisible(), source == (side == 0))
                << name << " " << side;
    }
    EXPECT_EQ(items(w(), u"cmbFields(4)"_s), QStringList{u" "_s});
    QStringList panel; // every box of the target panel shows its own column
    for (const char* name : {"txtFields(2)", "cmbFields(3)", "txtFields(8)", "cmbFields(9)",
                             "cmbFields(10)", "cmbFields(11)", "txtFields(12)", "txtFields(16)"})
        panel << textOf(w(), QString::fromLatin1(name));
    for (const char* name : {"chkFields(13)", "chkFields(14)", "chkFields(15)"})
        panel << QString::number(control<QCheckBox>(w(), QString::fromLatin1(name))->isChecked());
    EXPECT_EQ(panel.join(u'|'), u"2|Text|D|NAME|rechts|Summe|1|<lastvalue>|1|0|1"_s);
    for (const char* name : {"chkFields(13)", "chkFields(14)", "chkFields(15)", "cmdTrgConvert"})
        EXPECT_FALSE(control(w(), QString::fromLatin1(name))->toolTip().isEmpty()) << name;
}

TEST_F(FieldEditor, AnEditInThePanelIsWrittenWhenTheBoxIsLeft)
{
    open(0);
    typeInto(w(), u"txtFields(0)"_s, u"NACHNAME"_s);
    EXPECT_EQ(column(u"select field from srcbody where transid='A1' and sort=1"_s),
              QStringList{u"NAME"_s});
    press(w(), Qt::Key_Tab);
    EXPECT_EQ(column(u"select field from srcbody where transid='A1' and sort=1"_s),
              QStringList{u"NACHNAME"_s});
    EXPECT_EQ(cell(w(), 0, gridColumn(w(), u"Feldname"_s)), u"NACHNAME"_s);
    EXPECT_EQ(QApplication::focusWidget(), control(w(), u"txtFields(1)"_s));

    // A move by key while the box still has the focus writes too.
    typeInto(w(), u"txtFields(5)"_s, u"Kunde"_s);
    press(w(), Qt::Key_PageDown);
    EXPECT_EQ(column(u"select description from srcbody where transid='A1' and sort=1"_s),
              QStringList{u"Kunde"_s});
}

// A list's entry is chosen from its opened list; the last entry of each list is its last
// choice, with no empty entry behind it.
TEST_F(FieldEditor, AnEntryChosenFromAListIsWritten)
{
    open(1);
    for (const QString& box : {u"cmbFields(3)"_s, u"cmbFields(10)"_s, u"cmbFields(11)"_s}) {
        typeInto(w(), box, {});
        press(w(), Qt::Key_F4);
        QAbstractItemView* list = control<QComboBox>(w(), box)->view();
        ASSERT_TRUE(list->isVisible());
        QTest::keyClick(list, Qt::Key_End);
        QTest::keyClick(list, Qt::Key_Return);
        press(w(), Qt::Key_Tab);
    }
    EXPECT_EQ(column(u"select fieldtype || adjustment || chkfield from trgbody "
                     u"where transid='A1' and sort=1"_s),
              QStringList{u"AutoCountrechtsSumme"_s});
}

TEST_F(FieldEditor, AnEditInTheGridIsWrittenWhenTheRowChanges)
{
    open(0);
    const int length = gridColumn(w(), u"Länge"_s);
    clickCell(w(), 1, length, true); // KDNR; the double click opens the cell for editing
    EXPECT_EQ(textOf(w(), u"txtFields(0)"_s), u"KDNR"_s);
    QTest::keyClick(keyboardTarget(w()), Qt::Key_A, Qt::ControlModifier);
    typeText(w(), u"12"_s);
    press(w(), Qt::Key_Return);
    EXPECT_EQ(textOf(w(), u"txtFields(1)"_s), u"12"_s); // the panel shows the grid's edit
    EXPECT_EQ(column(u"select length from srcbody where field='KDNR'"_s), QStringList{u"8"_s});

    press(w(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: 3"_s);
    EXPECT_EQ(column(u"select length from srcbody where field='KDNR'"_s), QStringList{u"12"_s});
    // Still typing in the cell, a move by any key: the value is written all the same.
    for (const auto& [key, typed] : {std::pair{Qt::Key_PageUp, u"7"_s},
                                     {Qt::Key_Down, u"6"_s},
                                     {Qt::Key_Home, u"5"_s},
                                     {Qt::Key_End, u"4"_s}}) {
        clickCell(w(), 1, length, true);
        QTest::keyClick(keyboardTarget(w()), Qt::Key_A, Qt::ControlModifier);
        typeText(w(), typed);
        press(w(), key);
        EXPECT_EQ(column(u"select length from srcbody where field='KDNR'"_s), QStringList{typed});
    }
}

TEST_F(FieldEditor, NeuAndLoeschenAtBothEnds)
{
    open(0);
    click(w(), u"cmdAdd"_s);
    EXPECT_EQ(grid(w())->model()->rowCount(), 4);
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: 4"_s);
    EXPECT_EQ(textOf(w(), u"txtFields(0)"_s), QString());
    EXPECT_EQ(QApplication::focusWidget(), grid(w()));
    typeInto(w(), u"txtFields(0)"_s, u"PLZ"_s);
    typeInto(w(), u"txtFields(12)"_s, u"4"_s);
    typeInto(w(), u"cmbFields(3)"_s, u"Zahl"_s);
    press(w(), Qt::Key_Tab);
    EXPECT_EQ(column(u"select field from srcbody where transid='A1' order by sort"_s),
              (QStringList{u"NAME"_s, u"KDNR"_s, u"ORT"_s, u"PLZ"_s}));

    // "&Löschen" on the last row leaves no current row.
    click(w(), u"cmdDelete"_s);
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: -1"_s);
    EXPECT_EQ(textOf(w(), u"txtFields(0)"_s) + textOf(w(), u"cmbFields(3)"_s), QString());
    EXPECT_FALSE(control(w(), u"txtFields(0)"_s)->isEnabled()); // nothing to type into
    EXPECT_EQ(column(u"select count(*) from srcbody where transid='A1'"_s), QStringList{u"3"_s});
    // With no current row there is nothing to delete: the trap shows the cursor's error.
    click(w(), u"cmdDelete"_s);
    ASSERT_TRUE(sawErrorBox(1, u"frmBody.cmdDelete_Click"_s));
    EXPECT_EQ(sink.boxes[0].style, StyleCritical);
    EXPECT_TRUE(window->isVisible());

    // On the first row: the next row becomes the first.
    click(w(), u"cmdFirst"_s);
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: 1"_s);
    EXPECT_TRUE(control(w(), u"txtFields(0)"_s)->isEnabled());
    click(w(), u"cmdDelete"_s);
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: 1"_s);
    EXPECT_EQ(textOf(w(), u"txtFields(0)"_s), u"KDNR"_s);
    EXPECT_EQ(column(u"select field from srcbody where transid='A1' order by sort"_s),
              (QStringList{u"KDNR"_s, u"ORT"_s}));

    // "&Neu" from the first row appends at the end.
    click(w(), u"cmdAdd"_s);
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: 3"_s);
    press(w(), Qt::Key_Escape);
    EXPECT_EQ(column(u"select count(*) from srcbody where transid='A1'"_s), QStringList{u"3"_s});
    EXPECT_EQ(column(u"select field from srcbody where transid='B2'"_s), QStringList{u"FREMD"_s});
    EXPECT_TRUE(sawBoxes(1));
}

TEST_F(FieldEditor, FormatListFollowsTheTypedFieldTypeExactly)
{
    const auto stored = [this] {
        return column(u"select fieldtype from trgbody where field='KONTO'"_s);
    };
    open(1);
    typeInto(w(), u"cmbFields(4)"_s, u"ddmmyyyy"_s);
    typeInto(w(), u"cmbFields(3)"_s, u"Zahl"_s);
    EXPECT_EQ(items(w(), u"cmbFields(4)"_s),
              (QStringList{QString(), u"yyyymmdd"_s, u"ddmmyyyy"_s, u"tyymmdd"_s}));
    EXPECT_EQ(textOf(w(), u"cmbFields(4)"_s), u"ddmmyyyy"_s); // the text is kept

    typeInto(w(), u"cmbFields(3)"_s, u"zahl"_s);
    EXPECT_EQ(items(w(), u"cmbFields(4)"_s), QStringList{QString()});
    typeInto(w(), u"cmbFields(3)"_s, u"Datum"_s);
    EXPECT_EQ(items(w(), u"cmbFields(4)"_s), (QStringList{QString(), u"yyyymmdd"_s, u"ddmmyyyy"_s,
                                                          u"dd.mm.yyyy"_s, u"tyymmdd"_s}));
    typeInto(w(), u"cmbFields(3)"_s, u"AutoCount"_s);
    EXPECT_EQ(items(w(), u"cmbFields(4)"_s), QStringList{QString()});
    press(w(), Qt::Key_Tab);
    EXPECT_EQ(stored(), QStringList{u"AutoCount"_s});

    // What is typed is stored as typed: nothing completed from the list, no case changed.
    typeInto(w(), u"cmbFields(3)"_s, u"zah"_s);
    press(w(), Qt::Key_Return);
    press(w(), Qt::Key_Tab);
    EXPECT_EQ(stored(), QStringList{u"zah"_s});
    EXPECT_FALSE(items(w(), u"cmbFields(3)"_s).contains(u"zah"_s)) << "nor added to the list";

    // Choosing from the list does not rebuild the format list; the next row or column does.
    auto* type = control<QComboBox>(w(), u"cmbFields(3)"_s);
    QTest::mouseClick(type, Qt::LeftButton);
    type->showPopup();
    QAbstractItemView* list = type->view();
    list->setCurrentIndex(list->model()->index(2, 0)); // "Zahl"
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(type->currentText(), u"Zahl"_s);
    EXPECT_EQ(items(w(), u"cmbFields(4)"_s), QStringList{QString()});
    clickCell(w(), 0, gridColumn(w(), u"Feld-Typ"_s)); // another column of the same row does
    EXPECT_EQ(items(w(), u"cmbFields(4)"_s).size(), 4);
    press(w(), Qt::Key_Down); // and so does another row, by its own field type
    EXPECT_EQ(textOf(w(), u"lblStatus"_s), u"Record: 2"_s);
    EXPECT_EQ(textOf(w(), u"cmbFields(3)"_s), u"Datum"_s); // BETRAG
    EXPECT_EQ(items(w(), u"cmbFields(4)"_s), (QStringList{QString(), u"yyyymmdd"_s, u"ddmmyyyy"_s,
                                                          u"dd.mm.yyyy"_s, u"tyymmdd"_s}));
    // The chosen type went into KONTO's row, written when the row changed.
    EXPECT_EQ(stored(), QStringList{u"Zahl"_s});
}

TEST_F(FieldEditor, ASourceFieldIsListedOnceInVonFeld)
{
    db.execAll({u"insert into srcbody (transid, field, sort) values ('A1', 'KDNR', 4)"_s,
                u"insert into srcbody (transid, field, sort) values ('A1', 'BETRAG', 5)"_s});
    open(1);
    EXPECT_EQ(items(w(), u"cmbFields(9)"_s),
              (QStringList{u" "_s, u"BETRAG"_s, u"KDNR"_s, u"NAME"_s, u"ORT"_s}));
}

TEST_F(FieldEditor, ApostrophesInTransIdAndFieldNamesWork)
{
    db.execAll({
        u"insert into srcbody (transid, field, sort) values ('O''Neil', 'Kunde''s', 1)"_s,
        u"insert into srcbody (transid, field, sort) values ('O''Neil', 'Ort', 2)"_s,
        u"insert into trgbody (transid, field, sort) values ('O''Neil', 'Name''n', 1)"_s,
    });
    setCurrentTransID(u"O'Neil"_s);
    open(1);
    EXPECT_EQ(items(w(), u"cmbFields(9)"_s), (QStringList{u" "_s, u"Kunde's"_s, u"Ort"_s}));
    EXPECT_EQ(textOf(w(), u"txtFields(0)"_s), u"Name'n"_s);
    typeInto(w(), u"cmbFields(9)"_s, u"Kunde's"_s);
    press(w(), Qt::Key_Escape);
    EXPECT_EQ(column(u"select srcfield from trgbody where transid='O''Neil'"_s),
              QStringList{u"Kunde's"_s});
}

TEST_F(FieldEditor, ACheckBoxIsWrittenWithTheNextBoxLeft)
{
    open(1);
    click(w(), u"chkFields(13)"_s);
    click(w(), u"chkFields(14)"_s);
    click(w(), u"chkFields(14)"_s); // on and off again: 0
    click(w(), u"chkFields(15)"_s);
    EXPECT_EQ(column(u"select plus from trgbody where field='KONTO'"_s), QStringList{u"<NULL>"_s});
    typeInto(w(), u"cmbFields(4)"_s, {});
    press(w(), Qt::Key_Tab); // the form's order: on to the default value, txtFields(8)
    typeText(w(), u"X"_s);
    press(w(), Qt::Key_Tab);
    EXPECT_EQ(column(u"select plus || ltrim || \"0padding\" || defaultvalue from trgbody "
                     u"where field='KONTO'"_s),
              QStringList{u"110X"_s});

    // The next row shows its own (empty) check boxes.
    press(w(), Qt::Key_Down);
    EXPECT_FALSE(control<QCheckBox>(w(), u"chkFields(13)"_s)->isChecked());
    // A clear box that the focus merely passes through leaves its empty column empty.
    typeInto(w(), u"txtFields(12)"_s, u"2"_s);
    press(w(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), control(w(), u"chkFields(13)"_s));
    press(w(), Qt::Key_Tab);
    typeInto(w(), u"txtFields(8)"_s, u"Y"_s);
    press(w(), Qt::Key_Tab);
    EXPECT_EQ(column(u"select defaultvalue || ifnull(plus, '-') from trgbody "
                     u"where field='BETRAG'"_s),
              QStringList{u"Y-"_s});
    press(w(), Qt::Key_Up);
    EXPECT_TRUE(control<QCheckBox>(w(), u"chkFields(13)"_s)->isChecked());
}

TEST_F(FieldEditor, UmsetzungOpensTheTranslationsOfTheCurrentField)
{
    db.execAll({u"insert into trgconvert values ('A1', 'BETRAG', '1', 'eins')"_s,
                u"insert into trgconvert values ('A1', 'KONTO', 'x', 'y')"_s});
    open(1);
    press(w(), Qt::Key_Down); // BETRAG, renamed just before the button is pressed
    typeInto(w(), u"txtFields(0)"_s, u"KONTO"_s);
    int shownRows = -1;
    QString shownField;
    QString title;
    whenModalOpens([&](QWidget* modal) {
        title = modal->windowTitle();
        shownRows = grid(modal)->model()->rowCount();
        shownField = cell(modal, 0, 1);
        press(modal, Qt::Key_Escape);
    });
    QMetaObject::invokeMethod(control(w(), u"cmdTrgConvert"_s), "click"); // the box keeps focus
    EXPECT_EQ(title, u"Umsetzungstabelle"_s);
    EXPECT_EQ(shownRows, 1);
    EXPECT_EQ(shownField, u"KONTO"_s);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(FieldEditor, TheGridFillsTheSpaceBelowTheFieldPanel)
{
    open(0);
    window->resize(800, 500);
    EXPECT_EQ(grid(w())->geometry(), QRect(0, 225, 800, 500 - 40 - 225));
    EXPECT_EQ(control(w(), u"picFields"_s)->width(), 800); // so does the panel's strip
}

} // namespace
} // namespace quendra::test
