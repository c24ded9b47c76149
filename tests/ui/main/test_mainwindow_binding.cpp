// Choosing a definition and saving its heads, driven as a user drives the window.
#include "common/globals.h"
#include "mainwindowfixture.h"
#include "ui/main/flagcheckbox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace quendra::test {
namespace {

using ui::FlagCheckBox;

TEST_F(MainWindowTest, StartsOnTheFirstDefinitionWithItsHeadsShown)
{
    addHeads(u"ERST"_s, 1, {}, 0);
    addHeads(u"ZWEIT"_s, 2, u"dBase III"_s, 2, u"MS Access"_s);
    open();
    EXPECT_EQ(window->windowTitle(), globals().appLabel);
    EXPECT_EQ(window->size(), QSize(705, 343)) << "the design's area and a row for the run's end";
    auto* ids = find<QComboBox>(u"cmbTransID"_s);
    EXPECT_EQ(ids->currentText(), u"ERST"_s);
    ASSERT_EQ(ids->count(), 2);
    EXPECT_EQ(ids->itemText(1), u"ZWEIT"_s);
    EXPECT_EQ(currentTransID(), u"ERST"_s);
    EXPECT_EQ(find<QLineEdit>(u"txtSRCFields_0"_s)->text(), db.dir() + u"/ERST.txt"_s);
    EXPECT_EQ(find<QLineEdit>(u"txtSRCFields_2"_s)->text(), u"tabERST"_s);
    auto* encoding = find<QComboBox>(u"cmbTrgFields_9"_s);
    EXPECT_EQ(encoding->currentText(), u"ANSI"_s);
    EXPECT_EQ(encoding->count(), 5) << "blank, ASCII, ANSI, UTF-8 and UTF-8 BOM";
    auto* special = find<QComboBox>(u"cmbSrcFields_4"_s);
    ASSERT_EQ(special->count(), 3);
    EXPECT_EQ(special->itemText(1) + u'|' + special->itemText(2), u"Zeilenumbruch|Tabulator"_s);
    EXPECT_TRUE(find<QRadioButton>(u"optSRCFields_1"_s)->isChecked());
    EXPECT_TRUE(find<QRadioButton>(u"optTRGFields_0"_s)->isChecked());
}

TEST_F(MainWindowTest, EmptyDatabaseGetsItsSchemaAndTheFirstEditStoresNewHeads)
{
    TempConfigDb empty(TempConfigDb::Content::EmptyFile);
    configPath = empty.path();
    open();
    EXPECT_EQ(find<QComboBox>(u"cmbTransID"_s)->count(), 0);
    EXPECT_EQ(currentTransID(), QString());
    EXPECT_EQ(rowCount(u"dbversion"_s), 1);
    EXPECT_EQ(rowCount(u"srchead"_s), 0);

    typeInto(w(), u"txtSRCFields_0"_s, u"/daten/ein.txt"_s);
    EXPECT_EQ(rowCount(u"srchead"_s), 0) << "nothing is stored before the field is left";
    click(find<QLineEdit>(u"txtTRGFields_0"_s));
    EXPECT_EQ(stored(u"srchead"_s, u""_s, u"path"_s), u"/daten/ein.txt"_s);
    EXPECT_EQ(rowCount(u"trghead"_s), 0) << "the unedited target head is not stored";
}

TEST_F(MainWindowTest, EachKindOfFieldIsStoredWhenLeft)
{
    addHeads(u"A"_s, 2, u"Text"_s, 0);
    open();
    typeInto(w(), u"txtSRCFields_2"_s, u"konten"_s);
    click(w(), u"chkSRCFields_6"_s);
    EXPECT_EQ(stored(u"srchead"_s, u"A"_s, u"dbtable"_s), u"konten"_s);

    typeInto(w(), u"cmbTrgFields_9"_s, u"ASCII"_s);
    click(find<FlagCheckBox>(u"chkTRGFields_7"_s));
    EXPECT_EQ(stored(u"trghead"_s, u"A"_s, u"encoding"_s), u"ASCII"_s);
    click(w(), u"chkTRGFields_8"_s);
    click(find<QLineEdit>(u"txtTRGFields_3"_s));
    // A set box stores -1, a clear one 0, as the engine reads the flags.
    EXPECT_EQ(stored(u"srchead"_s, u"A"_s, u"header"_s).toInt(), -1);
    EXPECT_EQ(stored(u"trghead"_s, u"A"_s, u"fixlength || chkrecord"_s), u"-1-1"_s);
    click(w(), u"chkTRGFields_8"_s);
    click(find<QLineEdit>(u"txtTRGFields_3"_s));
    EXPECT_EQ(stored(u"trghead"_s, u"A"_s, u"chkrecord"_s).toInt(), 0);
}

TEST_F(MainWindowTest, AnyNonZeroFlagShowsAsSet)
{
    addHeads(u"A"_s);
    db.exec(u"update trghead set fixlength = 1, chkrecord = NULL"_s);
    open();
    EXPECT_TRUE(find<FlagCheckBox>(u"chkTRGFields_7"_s)->isChecked());
    EXPECT_FALSE(find<FlagCheckBox>(u"chkTRGFields_8"_s)->isChecked());
    click(find<QLineEdit>(u"txtTRGFields_3"_s));
    click(find<QLineEdit>(u"txtTRGFields_5"_s));
    EXPECT_EQ(stored(u"trghead"_s, u"A"_s, u"chkrecord"_s), u"<NULL>"_s)
        << "showing a row does not change it";
}

// Choosing another definition saves the old heads first, also a medium chosen with an
// option button and a click on the source header box, which are edits like any other.
TEST_F(MainWindowTest, ChoosingAnotherDefinitionSavesTheOldHeadsFirst)
{
    addHeads(u"A"_s, 2, u"Text"_s, 0);
    addHeads(u"B"_s, 0, {}, 0);
    open();
    click(find<QRadioButton>(u"optTRGFields_1"_s));
    click(find<FlagCheckBox>(u"chkSRCFields_6"_s));
    auto* ids = find<QComboBox>(u"cmbTransID"_s);
    click(ids);
    QTest::keyClick(ids, Qt::Key_Down);
    EXPECT_EQ(currentTransID(), u"B"_s);
    EXPECT_EQ(stored(u"trghead"_s, u"A"_s, u"frommedium"_s).toInt(), 1);
    EXPECT_EQ(stored(u"srchead"_s, u"A"_s, u"header"_s).toInt(), -1);
    EXPECT_EQ(find<QLineEdit>(u"txtSRCFields_0"_s)->text(), db.dir() + u"/B.txt"_s);
    EXPECT_TRUE(find<QRadioButton>(u"optTRGFields_0"_s)->isChecked());
}

// An edit that cannot be written is not dropped by loading another definition or by a run.
TEST_F(MainWindowTest, HeadsThatCannotBeSavedAreNotReplaced)
{
    addHeads(u"A"_s);
    addHeads(u"B"_s);
    db.exec(u"create trigger sperre before update on srchead begin "
            "select raise(abort, 'gesperrt'); end"_s);
    open();
    auto* path = find<QLineEdit>(u"txtSRCFields_0"_s);
    click(path);
    type(path, u"x"_s);
    auto* ids = find<QComboBox>(u"cmbTransID"_s);
    click(ids);
    ASSERT_TRUE(sawErrorBox(1, u"Main.dbUpdate"_s));
    QTest::keyClick(ids, Qt::Key_Down);
    click(find<QPushButton>(u"cmdRun"_s));
    sawBoxes(sink.boxes.size()); // each looked at: every attempt to save fails, nothing runs
    for (const MessageBoxData& box : sink.boxes)
        EXPECT_EQ(box.title, errorBoxTitle(u"Main.dbUpdate"_s));
    EXPECT_EQ(currentTransID(), u"A"_s);
    EXPECT_EQ(ids->currentText(), u"A"_s);
    EXPECT_EQ(path->text(), db.dir() + u"/A.txtx"_s);

    db.exec(u"drop trigger sperre"_s);
    click(path);
    click(find<QLineEdit>(u"txtSRCFields_3"_s));
    EXPECT_EQ(stored(u"srchead"_s, u"A"_s, u"path"_s), db.dir() + u"/A.txtx"_s);
}

TEST_F(MainWindowTest, ClosingSavesTheEditInTheFocusedField)
{
    addHeads(u"A"_s);
    for (const char* how : {"close button", "Schliessen"}) {
        open();
        typeInto(w(), u"txtTRGFields_3"_s, QString::fromLatin1(how).left(1));
        if (QByteArray(how) == "close button")
            window->close();
        else
            QTest::keyClick(window.get(), Qt::Key_C, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 2000)) << how;
        // Stored as the window closes, not only when the program ends.
        EXPECT_EQ(stored(u"trghead"_s, u"A"_s, u"delimiter"_s), QString::fromLatin1(how).left(1))
            << how;
        window.reset();
    }
}

TEST_F(MainWindowTest, UnknownStoredMediumIsAnErrorBox)
{
    addHeads(u"A"_s, 2, u"MS Access"_s, 0);
    addHeads(u"B"_s, 0, {}, 5);
    open();
    auto* ids = find<QComboBox>(u"cmbTransID"_s);
    click(ids);
    QTest::keyClick(ids, Qt::Key_Down);
    ASSERT_TRUE(sawErrorBox(1, u"Main.init_Data"_s));
    EXPECT_TRUE(sink.boxes[0].text.contains(u"Medium 5"_s)) << sink.boxes[0].text.toStdString();
    EXPECT_EQ(find<QComboBox>(u"cmbSrcFields_1"_s)->currentText(), QString()) << "A's type";
    EXPECT_TRUE(find<QLineEdit>(u"txtSRCFields_3"_s)->isVisible()) << "laid out for a file";
    // The window stays usable: an edit of the source is still saved.
    typeInto(w(), u"txtSRCFields_0"_s, db.dir() + u"/B.txtx"_s);
    click(find<QLineEdit>(u"txtSRCFields_3"_s));
    EXPECT_EQ(stored(u"srchead"_s, u"B"_s, u"path"_s), db.dir() + u"/B.txtx"_s);
    EXPECT_EQ(stored(u"trghead"_s, u"B"_s, u"frommedium"_s).toInt(), 5) << "left as it was";
}

TEST_F(MainWindowTest, TargetHeadMissingIsStartedForTheDefinition)
{
    addHeads(u"A"_s, 1);
    db.exec(u"delete from trghead"_s);
    open();
    EXPECT_EQ(find<QLineEdit>(u"txtTRGFields_0"_s)->text(), QString());
    typeInto(w(), u"txtTRGFields_0"_s, u"/aus.txt"_s);
    click(find<QLineEdit>(u"txtTRGFields_3"_s));
    EXPECT_EQ(stored(u"trghead"_s, u"A"_s, u"path"_s), u"/aus.txt"_s);
}

} // namespace
} // namespace quendra::test
