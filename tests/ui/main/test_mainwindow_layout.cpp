// Which head fields are shown and usable for each medium and file type.
#include "mainwindowfixture.h"
#include "support/casename.h"
#include "ui/main/flagcheckbox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace quendra::test {
namespace {
using quendra::test::PrintTo; // rows print their name

constexpr int FullPath = 225;   // 3375 twips
constexpr int NarrowPath = 197; // 3375 - 375 - 50 twips

struct SourceLayout {
    bool fileType, header, table, delimiterShown, sqlShown, anzeigen, fileButton;
    int pathWidth;
};
struct TargetLayout {
    bool fileType, header, table, delimiter, textSign, fixLength, sumRecord, fileButton;
    int pathWidth;
};
struct LayoutCase {
    const char* name;
    int medium;
    const char* fileType;
    SourceLayout src;
    TargetLayout trg;
};

const LayoutCase LayoutCases[] = {
    {"File",
     0,
     "",
     {false, false, false, true, false, false, true, NarrowPath},
     {false, false, false, true, true, true, true, true, NarrowPath}},
    {"FileExcel",
     0,
     "MS Excel 8.0",
     {false, false, false, true, false, false, true, NarrowPath},
     {false, false, false, true, true, true, true, true, NarrowPath}},
    {"Odbc",
     1,
     "",
     {false, false, true, false, true, true, false, FullPath},
     {false, false, true, false, false, false, false, false, FullPath}},
    {"OdbcExcel",
     1,
     "MS Excel 8.0",
     {false, false, true, false, true, true, false, FullPath},
     {false, false, true, false, false, false, false, false, FullPath}},
    {"JetExcel",
     2,
     "MS Excel 8.0",
     {true, true, true, false, true, true, true, NarrowPath},
     {true, true, true, false, false, false, false, false, FullPath}},
    {"JetDBase",
     2,
     "dBase III",
     {true, false, true, false, true, true, false, FullPath},
     {true, false, true, false, false, false, false, false, FullPath}},
    {"JetEmpty",
     2,
     "",
     {true, true, true, false, true, true, false, FullPath},
     {true, true, true, false, false, false, false, false, FullPath}},
};

class Layout : public MainWindowTest, public ::testing::WithParamInterface<LayoutCase> {
protected:
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
    void expectSource(const SourceLayout& e)
    {
        expectRow("lblSRCLabels", "cmbSrcFields", 1, e.fileType, true);
        expectRow("lblSRCLabels", "chkSRCFields", 6, e.header, true);
        expectRow("lblSRCLabels", "txtSRCFields", 2, e.table, true);
        expectRow("lblSRCLabels", "txtSRCFields", 3, true, e.delimiterShown);
        expectRow("lblSRCLabels", "txtSRCFields", 5, true, e.sqlShown);
        EXPECT_FALSE(find<QWidget>(u"cmbSrcFields_4"_s)->isVisible());
        EXPECT_FALSE(find<QLabel>(u"lblSRCLabels_4"_s)->isVisible());
        EXPECT_EQ(find<QPushButton>(u"cmdButton_2"_s)->isEnabled(), e.anzeigen);
        EXPECT_EQ(find<QPushButton>(u"cmdFileDLG_0"_s)->isVisible(), e.fileButton);
        EXPECT_EQ(find<QLineEdit>(u"txtSRCFields_0"_s)->width(), e.pathWidth);
    }
    void expectTarget(const TargetLayout& e)
    {
        expectRow("lblTRGLabels", "cmbTrgFields", 1, e.fileType, true);
        expectRow("lblTRGLabels", "chkTRGFields", 6, e.header, true);
        expectRow("lblTRGLabels", "txtTRGFields", 2, e.table, true);
        expectRow("lblTRGLabels", "txtTRGFields", 3, e.delimiter, true);
        expectRow("lblTRGLabels", "txtTRGFields", 5, e.textSign, true);
        expectRow("lblTRGLabels", "cmbTrgFields", 9, true, true);
        EXPECT_EQ(find<QWidget>(u"chkTRGFields_7"_s)->isEnabled(), e.fixLength);
        EXPECT_EQ(find<QWidget>(u"chkTRGFields_8"_s)->isEnabled(), e.sumRecord);
        EXPECT_TRUE(find<QLabel>(u"lblTRGLabels_7"_s)->isEnabled());
        EXPECT_TRUE(find<QLabel>(u"lblTRGLabels_8"_s)->isEnabled());
        EXPECT_FALSE(find<QWidget>(u"cmbTrgFields_4"_s)->isVisible());
        EXPECT_EQ(find<QPushButton>(u"cmdFileDLG_1"_s)->isVisible(), e.fileButton);
        EXPECT_EQ(find<QLineEdit>(u"txtTRGFields_0"_s)->width(), e.pathWidth);
    }
};

TEST_P(Layout, StoredMediumAndFileTypeLayBothSidesOut)
{
    const LayoutCase& c = GetParam();
    const QString fileType = QString::fromLatin1(c.fileType);
    addHeads(u"L"_s, c.medium, fileType, c.medium, fileType);
    open();
    EXPECT_TRUE(find<QRadioButton>(u"optSRCFields_"_s + QString::number(c.medium))->isChecked());
    expectSource(c.src);
    expectTarget(c.trg);
    EXPECT_TRUE(sink.boxes.empty());
}

// The same layouts reached by the user: a file type typed while the JET medium allows it,
// then the medium clicked.
TEST_P(Layout, ClickedMediumAndTypedFileTypeLayBothSidesOut)
{
    const LayoutCase& c = GetParam();
    addHeads(u"L"_s, 2, u"Paradox 5.0"_s, 2, u"Paradox 5.0"_s);
    open();
    for (const QString& name : {u"cmbSrcFields_1"_s, u"cmbTrgFields_1"_s}) {
        auto* fileType = find<QComboBox>(name);
        click(fileType);
        retype(fileType->lineEdit(), QString::fromLatin1(c.fileType));
    }
    for (const QString& side : {u"optSRCFields_"_s, u"optTRGFields_"_s}) {
        if (c.medium == 2)
            click(find<QRadioButton>(side + u'1'));
        click(find<QRadioButton>(side + QString::number(c.medium)));
    }
    expectSource(c.src);
    expectTarget(c.trg);
    EXPECT_TRUE(sink.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(MainWindow, Layout, ::testing::ValuesIn(LayoutCases),
                         [](const auto& info) { return std::string(info.param.name); });

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

// Preview, check run and the all-or-nothing choice sit in free space of the window.
TEST_F(MainWindowTest, RunChoicesOverlapNoOtherControl)
{
    addHeads(u"A"_s);
    open();
    for (const char* name : {"cmdPreview", "cmdCheck", "chkAllOrNothing"}) {
        const QWidget* w = find<QWidget>(QString::fromLatin1(name));
        ASSERT_TRUE(w);
        EXPECT_TRUE(w->isVisible()) << name;
        for (const QWidget* other :
             w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(other == w || !other->geometry().intersects(w->geometry()))
                << name << " " << other->objectName().toStdString();
        }
    }
}

} // namespace
} // namespace quendra::test
