// Which head fields are shown and usable for each medium and file type.
#include "mainwindowfixture.h"
#include "support/casetable.h"
#include "ui/main/flagcheckbox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>

using namespace Qt::StringLiterals;

namespace quendra::test {
namespace {

constexpr int NarrowPath = 197; // 3375 - 375 - 50 twips

// A row of tests/data/ui/layouts.tsv: the stored medium and file type of both sides,
// then what the source and the target side show.
class Layout : public MainWindowTest, public ::testing::WithParamInterface<CaseRow> {
protected:
    QVariant medium() const
    {
        const QString m = GetParam().columns[0];
        return m == u"NULL" ? QVariant() : QVariant(m.toInt());
    }
    QString fileType() const { return GetParam().columns[1]; }
    bool flag(int i) const { return GetParam().flag(i); }

    // A row's label and field agree and have the expected state.
    void expectRow(const char* labels, const char* field, int index, bool enabled, bool shown)
    {
        auto* label = find<QLabel>(QString::fromLatin1(labels) + u'_' + QString::number(index));
        auto* w = find<QWidget>(QString::fromLatin1(field) + u'_' + QString::number(index));
        EXPECT_EQ(label->isEnabled(), enabled) << field << index;
        EXPECT_EQ(w->isEnabled(), enabled) << field << index;
        EXPECT_EQ(label->isVisible(), shown) << field << index;
        EXPECT_EQ(w->isVisible(), shown) << field << index;
    }
    void expectSource()
    {
        expectRow("lblSRCLabels", "cmbSrcFields", 1, flag(3), true);
        expectRow("lblSRCLabels", "chkSRCFields", 6, flag(4), true);
        expectRow("lblSRCLabels", "txtSRCFields", 2, flag(5), true);
        expectRow("lblSRCLabels", "txtSRCFields", 3, true, flag(6));
        expectRow("lblSRCLabels", "txtSRCFields", 5, true, flag(7));
        EXPECT_FALSE(find<QWidget>(u"cmbSrcFields_4"_s)->isVisible());
        EXPECT_FALSE(find<QLabel>(u"lblSRCLabels_4"_s)->isVisible());
        EXPECT_EQ(find<QPushButton>(u"cmdButton_2"_s)->isEnabled(), flag(8));
        EXPECT_EQ(find<QPushButton>(u"cmdFileDLG_0"_s)->isVisible(), flag(9));
        EXPECT_EQ(find<QLineEdit>(u"txtSRCFields_0"_s)->width(), GetParam().columns[10].toInt());
        EXPECT_EQ(find<QComboBox>(u"cmbSrcEncoding"_s)->isEnabled(), flag(22));
        EXPECT_EQ(find<QLabel>(u"lblSrcEncoding"_s)->isEnabled(), flag(22));
    }
    void expectTarget()
    {
        expectRow("lblTRGLabels", "cmbTrgFields", 1, flag(12), true);
        expectRow("lblTRGLabels", "chkTRGFields", 6, flag(13), true);
        expectRow("lblTRGLabels", "txtTRGFields", 2, flag(14), true);
        expectRow("lblTRGLabels", "txtTRGFields", 3, flag(15), true);
        expectRow("lblTRGLabels", "txtTRGFields", 5, flag(16), true);
        expectRow("lblTRGLabels", "cmbTrgFields", 9, true, true);
        EXPECT_EQ(find<QWidget>(u"chkTRGFields_7"_s)->isEnabled(), flag(17));
        EXPECT_EQ(find<QWidget>(u"chkTRGFields_8"_s)->isEnabled(), flag(18));
        EXPECT_TRUE(find<QLabel>(u"lblTRGLabels_7"_s)->isEnabled());
        EXPECT_TRUE(find<QLabel>(u"lblTRGLabels_8"_s)->isEnabled());
        EXPECT_FALSE(find<QWidget>(u"cmbTrgFields_4"_s)->isVisible());
        EXPECT_EQ(find<QPushButton>(u"cmdFileDLG_1"_s)->isVisible(), flag(19));
        EXPECT_EQ(find<QLineEdit>(u"txtTRGFields_0"_s)->width(), GetParam().columns[20].toInt());
    }
};

TEST_P(Layout, StoredMediumAndFileTypeLayBothSidesOut)
{
    addHeads(u"L"_s, medium(), fileType(), medium(), fileType());
    open();
    for (const QString& side : {u"optSRCFields_"_s, u"optTRGFields_"_s})
        EXPECT_TRUE(find<QRadioButton>(side + QString::number(medium().toInt()))->isChecked());
    expectSource();
    expectTarget();
}

// The same layouts reached by the user: a file type typed while the JET medium allows it,
// then the medium clicked (the file medium for none), JET after ODBC and ODBC after the file.
TEST_P(Layout, ClickedMediumAndTypedFileTypeLayBothSidesOut)
{
    addHeads(u"L"_s, 2, u"Paradox 5.0"_s, 2, u"Paradox 5.0"_s);
    open();
    for (const QString& name : {u"cmbSrcFields_1"_s, u"cmbTrgFields_1"_s}) {
        auto* box = find<QComboBox>(name);
        click(box);
        retype(box->lineEdit(), fileType());
    }
    for (const QString& side : {u"optSRCFields_"_s, u"optTRGFields_"_s}) {
        if (medium().toInt() > 0) // by way of the other one, which lays its side out anew
            click(find<QRadioButton>(side + (medium().toInt() == 2 ? u'1' : u'0')));
        click(find<QRadioButton>(side + QString::number(medium().toInt())));
    }
    expectSource();
    expectTarget();
}

INSTANTIATE_TEST_SUITE_P(MainWindow, Layout, ::testing::ValuesIn(caseTable(u"ui/layouts.tsv"_s)),
                         caseName);

TEST_F(MainWindowTest, ChoosingExcelInTheSourceBoxShowsTheFileButtonAtOnce)
{
    addHeads(u"L"_s, 2, u"dBase III"_s, 0);
    open();
    auto* button = find<QPushButton>(u"cmdFileDLG_0"_s);
    EXPECT_FALSE(button->isVisible());
    auto* fileType = find<QComboBox>(u"cmbSrcFields_1"_s);
    click(fileType);
    fileType->setCurrentIndex(4); // "MS Access"; the next entry is "MS Excel 8.0"
    QTest::keyClick(fileType, Qt::Key_Down);
    EXPECT_EQ(fileType->currentText(), u"MS Excel 8.0"_s);
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(find<QLineEdit>(u"txtSRCFields_0"_s)->width(), NarrowPath);
    EXPECT_EQ(button->x() - (find<QLineEdit>(u"txtSRCFields_0"_s)->geometry().right() + 1), 3);
}

// The run's buttons, the all-or-nothing choice and the line about the last run sit in free
// space of the window.
TEST_F(MainWindowTest, RunButtonsOverlapNoOtherControl)
{
    addHeads(u"A"_s);
    open();
    for (const char* name : {"cmdPreview", "cmdCheck", "chkAllOrNothing", "cmdRun", "lblRunResult",
                             "cmdOpenFolder", "cmdJournal"}) {
        const QWidget* w = find<QWidget>(QString::fromLatin1(name));
        ASSERT_TRUE(w);
        EXPECT_TRUE(w->isVisible()) << name;
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << name;
        for (const QWidget* other :
             w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(other == w || !other->geometry().intersects(w->geometry()))
                << name << " " << other->objectName().toStdString();
        }
    }
}

// The text of every field is shown whole in the height the design gives the field: inside its frame
// and the pixel a line edit keeps free above and below its text; every caption whole in its width.
TEST_F(MainWindowTest, FieldTextsAndCaptionsFitTheirPlace)
{
    addHeads(u"A"_s);
    open();
    for (const QLineEdit* field : window->findChildren<QLineEdit*>()) {
        const int frame = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, field);
        EXPECT_LE(field->fontMetrics().height() + 2 * (frame + 1), field->height())
            << field->objectName().toStdString();
    }
    for (const QLabel* label : window->findChildren<QLabel*>()) // a caption's font shrinks
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << label->objectName().toStdString();
}

} // namespace
} // namespace quendra::test
