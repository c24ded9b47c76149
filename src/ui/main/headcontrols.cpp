#include "ui/main/headcontrols.h"

#include "common/globals.h"
#include "connectors/filetypes.h"
#include "connectors/textencoding.h"
#include "ui/common/twips.h"
#include "ui/main/flagcheckbox.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace quendra::ui {

namespace {

constexpr int LabelLeft = 120;
constexpr int LabelWidth = 1440; // up to the field
constexpr int FieldLeft = 1560;
constexpr int FieldWidth = 3375;

enum class Kind { Text, Choice, Check };

struct Row {
    int index;
    const char* caption; // UTF-8
    int top;
    Kind kind;
    const char* hint = nullptr;
};

// The rows of each frame, top to bottom; rows sharing a top are shown one at a time.
const Row SourceRows[] = {
    {0, "Pfad:", 720, Kind::Text},
    {1, "Datei-Typ:", 1080, Kind::Choice},
    {6, "Kopfzeile:", 1440, Kind::Check, "Enthält die erste Zeile Spaltenüberschriften?"},
    {2, "Tabelle:", 1800, Kind::Text},
    {3, "Delimiter:", 2160, Kind::Text},
    {4, "Spezial Delimiter:", 2160, Kind::Choice},
    {5, "SQL-Select:", 2160, Kind::Text},
};
const Row TargetRows[] = {
    {0, "Pfad:", 720, Kind::Text},
    {1, "Datei-Typ:", 1080, Kind::Choice},
    {6, "Kopfzeile:", 1440, Kind::Check, "Enthält die erste Zeile Spaltenüberschriften?"},
    {2, "Tabelle:", 1800, Kind::Text},
    {3, "Delimiter:", 2160, Kind::Text},
    {4, "Spezial Delimiter:", 2160, Kind::Choice},
    {5, "Textzeichen:", 2520, Kind::Text, "Texterkennungszeichen"},
    {9, "Zeichenkodierung:", 2880, Kind::Choice},
    {7, "Fixe Länge:", 3240, Kind::Check},
    {8, "Summen-Record:", 3480, Kind::Check},
};

QString arrayName(const char* array, int index)
{
    return QString::fromLatin1(array) + QLatin1Char('_') + QString::number(index);
}

// Every choice list begins with a single blank entry.
QStringList choiceList(int index)
{
    QStringList items{QStringLiteral(" ")};
    const Globals& g = globals();
    if (index == 1) {
        items << fileTypeNames();
    } else if (index == 4) {
        items << g.specDelimiters[0] << g.specDelimiters[1];
    } else if (index == 9) {
        items << targetEncodingWords();
    }
    return items;
}

// A caption wider than its place in the design gets a smaller font rather than losing
// letters.
void fitCaption(QLabel* label)
{
    QFont font = label->font();
    while (QFontMetrics(font).horizontalAdvance(label->text()) > label->width() &&
           font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setFont(font);
}

void addLabel(HeadControls& c, int index, const QString& caption, const QRect& geometry)
{
    auto* label = new QLabel(caption, c.frame);
    label->setObjectName(
        arrayName(c.side == HeadControls::Source ? "lblSRCLabels" : "lblTRGLabels", index));
    label->setGeometry(geometry);
    fitCaption(label);
    c.labels.insert(index, label);
}

void addRow(HeadControls& c, const Row& row)
{
    const bool src = c.side == HeadControls::Source;
    addLabel(c, row.index, QString::fromUtf8(row.caption),
             twipsRect(LabelLeft, row.top, LabelWidth, 255));
    QWidget* field = nullptr;
    switch (row.kind) {
    case Kind::Text: {
        auto* edit = new QLineEdit(c.frame);
        edit->setObjectName(arrayName(src ? "txtSRCFields" : "txtTRGFields", row.index));
        edit->setGeometry(twipsRect(FieldLeft, row.top, FieldWidth, 285));
        c.txt.insert(row.index, edit);
        field = edit;
        break;
    }
    case Kind::Choice: {
        auto* box = new QComboBox(c.frame);
        box->setObjectName(arrayName(src ? "cmbSrcFields" : "cmbTrgFields", row.index));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(choiceList(row.index)); // the text shown is set when a side is loaded
        box->setGeometry(twipsRect(FieldLeft, row.top, FieldWidth, 315));
        c.cmb.insert(row.index, box);
        field = box;
        break;
    }
    case Kind::Check: {
        auto* check = new FlagCheckBox(c.frame);
        check->setObjectName(arrayName(src ? "chkSRCFields" : "chkTRGFields", row.index));
        check->setGeometry(twipsRect(FieldLeft, row.top, 255, 255));
        c.chk.insert(row.index, check);
        field = check;
        break;
    }
    }
    if (row.hint)
        field->setToolTip(QString::fromUtf8(row.hint));
}

} // namespace

QString HeadControls::column(int index) const
{
    switch (index) {
    case 0:
        return QStringLiteral("path");
    case 1:
        return QStringLiteral("filetype");
    case 2:
        return QStringLiteral("dbtable");
    case 3:
        return QStringLiteral("delimiter");
    case 4:
        return QStringLiteral("specdelimiter");
    case 5:
        return side == Source ? QStringLiteral("sqlstring") : QStringLiteral("textsign");
    case 6:
        return QStringLiteral("header");
    case 7:
        return QStringLiteral("fixlength");
    case 8:
        return QStringLiteral("chkrecord");
    case 9:
        return QStringLiteral("encoding");
    default:
        return {};
    }
}

QWidget* HeadControls::field(int index) const
{
    if (QLineEdit* edit = txt.value(index))
        return edit;
    if (QComboBox* box = cmb.value(index))
        return box;
    return chk.value(index);
}

void HeadControls::setRowVisible(int index, bool visible) const
{
    labels.value(index)->setVisible(visible);
    field(index)->setVisible(visible);
}

void HeadControls::setRowEnabled(int index, bool enabled) const
{
    labels.value(index)->setEnabled(enabled);
    field(index)->setEnabled(enabled);
}

HeadControls buildHeadFrame(HeadControls::Side side, QWidget* parent)
{
    HeadControls c;
    c.side = side;
    const bool src = side == HeadControls::Source;
    c.frame = new QGroupBox(src ? QStringLiteral("Von") : QStringLiteral("Nach"), parent);
    c.frame->setObjectName(src ? QStringLiteral("frame") : QStringLiteral("frameTRG"));
    c.frame->setGeometry(src ? twipsRect(120, 120, 5175, 3975) : twipsRect(5400, 120, 5055, 3975));

    const char* mediumCaptions[] = {"Datei:", "ODBC:", "JET:"};
    const int labelLefts[] = {120, 1800, 3840};
    for (int m = 0; m < 3; ++m) {
        addLabel(c, 90 + m, QString::fromLatin1(mediumCaptions[m]),
                 twipsRect(labelLefts[m], 240, 600, 255));
        auto* option = new QRadioButton(c.frame);
        option->setObjectName(arrayName(src ? "optSRCFields" : "optTRGFields", m));
        option->setGeometry(twipsRect(labelLefts[m] + 600, 240, 255, 255));
        c.opt[static_cast<size_t>(m)] = option;
    }
    if (src) {
        for (const Row& row : SourceRows)
            addRow(c, row);
    } else {
        for (const Row& row : TargetRows)
            addRow(c, row);
    }
    c.fileButton = new QPushButton(QStringLiteral("..."), c.frame);
    c.fileButton->setObjectName(arrayName("cmdFileDLG", side));
    c.fileButton->setGeometry(twipsRect(4560, 720, 375, 255));
    c.fileButton->raise(); // over the right end of the full-width path field
    return c;
}

} // namespace quendra::ui
