#include "ui/editors/frmbody.h"

#include "common/globals.h"
#include "config/clsinitdbconnect.h"
#include "config/configsql.h"
#include "ui/editors/frmtrgconvert.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDataWidgetMapper>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <span>

using namespace Qt::StringLiterals;

namespace quendra::ui {

// The delegate through which the panel's boxes show and write their columns: a box
// writes only when it is committed by itself (when it is left, or before the frame
// moves), and a check box writes 1 or 0.
class BoundFieldDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void commit(QWidget* box) { Q_EMIT commitData(box); }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override
    {
        if (const auto* check = qobject_cast<QCheckBox*>(editor)) {
            // An empty column shows as a clear box; leaving it clear keeps it empty.
            if (!check->isChecked() && index.data(Qt::EditRole).isNull())
                return;
            model->setData(index, check->isChecked() ? 1 : 0);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }
};

namespace {

enum class Mode { Both, Source, Target };
enum class Input { Text, Combo, Check };

// One entry of the field panel: positions in twips.
struct PanelEntry {
    int index;
    Input input;
    const char* column;
    const char16_t* caption; // label caption, or the check box's own caption
    int left;
    int top;
    Mode mode;
    int labelLeft = 120; // labels stand at left 120 and at the top of their input
    int labelTop = -1;   // unless stated
};

const PanelEntry Panel[] = {
    {0, Input::Text, "field", u"Feld:", 1560, 120, Mode::Both},
    {1, Input::Text, "length", u"Länge:", 1560, 435, Mode::Both},
    {2, Input::Text, "decscale", u"Dezimalstellen:", 1560, 740, Mode::Both},
    {3, Input::Combo, "fieldtype", u"Feld-Typ:", 1560, 1055, Mode::Both},
    {4, Input::Combo, "format", u"Format:", 1560, 1370, Mode::Both},
    {5, Input::Text, "description", u"Beschreibung:", 1560, 1705, Mode::Both},
    {6, Input::Text, "pos", u"Position:", 1560, 2040, Mode::Source},
    {7, Input::Text, "splitdelimiter", u"Split-Delimiter:", 1560, 2375, Mode::Source},
    {8, Input::Text, "defaultvalue", u"Standard Wert:", 1560, 2040, Mode::Target},
    {9, Input::Combo, "srcfield", u"Von Feld:", 1560, 2375, Mode::Target},
    {10, Input::Combo, "adjustment", u"Ausrichtung:", 1560, 2705, Mode::Target},
    {11, Input::Combo, "chkfield", u"Prüfung:", 1560, 3000, Mode::Target},
    {12, Input::Text, "sort", u"Sort:", 6825, 105, Mode::Both, 5280, 105},
    {13, Input::Check, "plus", u"+ Vorzeichen", 5250, 420, Mode::Target},
    {14, Input::Check, "0padding", u"0 voranstellen", 5250, 735, Mode::Target},
    {15, Input::Check, "LTrim", u"LTrim", 5250, 1050, Mode::Target},
    {16, Input::Text, "Command", u"Befehl:", 6795, 1365, Mode::Target, 5250, 1365},
};

// The grid's column captions by column name.
struct GridCaption {
    const char* column;
    const char16_t* caption;
};

const GridCaption SourceCaptions[] = {
    {"field", u"Feldname"},
    {"length", u"Länge"},
    {"decscale", u"Dezimalstellen"},
    {"fieldtype", u"Feld-Typ"},
    {"format", u"Format"},
    {"description", u"Beschreibung"},
    {"pos", u"Position"},
    {"splitdelimiter", u"Split Delimiter"},
    {"sort", u"Sort"},
};

const GridCaption TargetCaptions[] = {
    {"field", u"Feldname"},
    {"length", u"Länge"},
    {"decscale", u"Dezimalstellen"},
    {"fieldtype", u"Feld-Typ"},
    {"format", u"Format"},
    {"description", u"Beschreibung"},
    {"defaultvalue", u"Standard Wert"},
    {"srcfield", u"Von Feld"},
    {"adjustment", u"Ausrichtung"},
    {"chkfield", u"Prüfung"},
    {"sort", u"Sort"},
    {"plus", u"+ Vorzeichen"},
    {"0padding", u"0 voranstellen"},
    {"ltrim", u"Führende Blanks entfernen"},
    {"command", u"Funktion"},
};

QString arrayName(const char* array, int index)
{
    return QString::fromLatin1(array) + QLatin1Char('(') + QString::number(index) +
           QLatin1Char(')');
}

} // namespace

frmBody::frmBody(QWidget* parent) : GridFrame(Kind::Editor, "frmBody", parent)
{
    setWindowTitle(u"Detail"_s); // the design title; Form_Load replaces it
    setInnerSize(10305, 6255);
    // The inner area at left 1110, top 345 of the screen.
    setGeometry(twips(1110), twips(345), width(), height());

    picFields = new QWidget(this);
    picFields->setObjectName(u"picFields"_s);
    picFields->setGeometry(0, 0, twips(10305), twips(3375));
    setTopStrip(picFields);

    for (const PanelEntry& e : Panel) {
        QWidget* input = nullptr;
        switch (e.input) {
        case Input::Text: {
            auto* text = new QLineEdit(picFields);
            text->setObjectName(arrayName("txtFields", e.index));
            text->setGeometry(twips(e.left), twips(e.top), twips(3375), twips(285));
            connect(text, &QLineEdit::textEdited, this, [this] { recordChanged = true; });
            txtFields[e.index] = text;
            input = text;
            break;
        }
        case Input::Combo: {
            auto* combo = new QComboBox(picFields);
            combo->setObjectName(arrayName("cmbFields", e.index));
            combo->setGeometry(twips(e.left), twips(e.top), twips(3375), twips(315));
            combo->setEditable(true);
            // A box to type any text into, or to pick from: no completion, no insertion,
            // letter case kept as typed.
            combo->setCompleter(nullptr);
            combo->setInsertPolicy(QComboBox::NoInsert);
            const int index = e.index;
            connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, index] {
                recordChanged = true;
                if (index == 3)
                    fillCmbFormat();
            });
            connect(combo, &QComboBox::activated, this, [this] { recordChanged = true; });
            cmbFields[e.index] = combo;
            input = combo;
            break;
        }
        case Input::Check: {
            auto* check = new QCheckBox(QString::fromUtf16(e.caption), picFields);
            check->setObjectName(arrayName("chkFields", e.index));
            check->setGeometry(twips(e.left), twips(e.top), twips(1760), twips(330));
            connect(check, &QCheckBox::clicked, this, [this, check] {
                recordChanged = true;
                commitBox(check);
            });
            chkFields[e.index] = check;
            input = check;
            break;
        }
        }
        input->installEventFilter(this);
        if (e.input != Input::Check) {
            auto* label = new QLabel(QString::fromUtf16(e.caption), picFields);
            label->setObjectName(arrayName("lblLabels", e.index));
            label->setGeometry(twips(e.labelLeft), twips(e.labelTop >= 0 ? e.labelTop : e.top),
                               twips(1395), twips(255));
            lblLabels[e.index] = label;
        }
    }
    chkFields[13]->setToolTip(
        u"Erzwingt das Aufbereiten einer positiven Zahl mit einem + als Vorzeichen"_s);
    chkFields[14]->setToolTip(u"Füllt voranstehende leerzeichen mit 0"_s);
    chkFields[15]->setToolTip(u"Entfernt führende Blanks."_s);

    cmdTrgConvert = new QPushButton(u"&Umsetzung"_s, picButtons);
    cmdTrgConvert->setObjectName(u"cmdTrgConvert"_s);
    cmdTrgConvert->setGeometry(twips(2520), 0, twips(1095), twips(300));
    cmdTrgConvert->setToolTip(u"Umsetzungstabelle"_s);
    cmdTrgConvert->setAutoDefault(false);
    connect(cmdTrgConvert, &QPushButton::clicked, this, &frmBody::cmdTrgConvert_Click);
    cmdClose->move(twips(8040), 0);

    // The tab order (inputs named by their columns).
    setTabChain({txtFields[0],  txtFields[1],  txtFields[2],  cmbFields[3],  cmbFields[4],
                 txtFields[8],  txtFields[6],  txtFields[7],  cmbFields[9],  cmbFields[10],
                 cmbFields[11], txtFields[12], chkFields[13], chkFields[14], chkFields[15],
                 txtFields[16], cmdAdd,        txtFields[5],  grdDataGrid,   cmdDelete,
                 cmdTrgConvert, cmdClose,      cmdFirst,      cmdPrevious,   cmdNext,
                 cmdLast});
    txtFields[0]->setFocus();

    m_delegate = new BoundFieldDelegate(this);
    m_mapper = new QDataWidgetMapper(this);
    m_mapper->setItemDelegate(m_delegate);
    m_mapper->setSubmitPolicy(QDataWidgetMapper::AutoSubmit);
}

frmBody::~frmBody() = default;

void frmBody::setTable(int side)
{
    m_table = side;
}

QWidget* frmBody::firstStrip() const
{
    return picFields;
}

void frmBody::formLoad()
{
    clsInitDBConnect& db = createCursor();
    setWindowTitle(globals().appTitle);
    if (m_table == 0)
        db.setTable(u"srcbody"_s);
    else if (m_table == 1)
        db.setTable(u"trgbody"_s);
    db.setOrderBy(u"sort"_s);
    db.setTransID(currentTransID());
    db.init();
    bindGrid();
    bindFields();
    // An empty list opens with one new row that already carries the TransID.
    if (db.AbsolutePosition() == -1)
        db.AddNew();

    for (const QString& type : globals().fieldTypes)
        cmbFields[3]->addItem(type);
    for (const QString& alignment : globals().alignments)
        cmbFields[10]->addItem(alignment);
    for (const QString& kind : globals().sumKinds)
        cmbFields[11]->addItem(kind);

    const bool source = m_table == 0;
    const std::span<const GridCaption> captions =
        source ? std::span<const GridCaption>(SourceCaptions) : TargetCaptions;
    for (const GridCaption& c : captions)
        setColumnCaption(QString::fromLatin1(c.column), QString::fromUtf16(c.caption));
    hideColumn(u"transid"_s);

    // The entries of the other mode share places with these: hidden, not removed.
    for (const PanelEntry& e : Panel) {
        if (e.mode == Mode::Both)
            continue;
        const bool visible = (e.mode == Mode::Source) == source;
        if (e.input == Input::Check && !source)
            continue; // the check boxes keep their design visibility in target mode
        if (e.index == 16 && !source)
            continue; // as does "Befehl:"
        QWidget* input = txtFields[e.index]   ? static_cast<QWidget*>(txtFields[e.index])
                         : cmbFields[e.index] ? static_cast<QWidget*>(cmbFields[e.index])
                                              : static_cast<QWidget*>(chkFields[e.index]);
        input->setVisible(visible);
        if (lblLabels[e.index])
            lblLabels[e.index]->setVisible(visible);
    }
    cmdTrgConvert->setVisible(!source);
    if (!source)
        fillCmbSrcField();

    txtFields[0]->setFocus();
}

void frmBody::bindFields()
{
    QAbstractItemModel* rows = cursor().dataMember(u"Primary"_s);
    m_mapper->setModel(rows);
    const bool target = m_table == 1;
    for (const PanelEntry& e : Panel) {
        QWidget* input = nullptr;
        if (e.input == Input::Text)
            input = txtFields[e.index];
        else if (e.input == Input::Combo)
            input = cmbFields[e.index];
        else if (target)
            input = chkFields[e.index];
        if (!input)
            continue;
        // A box whose column the table lacks stays unbound (and is hidden by the mode).
        const int column = columnOf(QString::fromLatin1(e.column));
        if (column >= 0)
            m_mapper->addMapping(input, column);
        if (e.input == Input::Combo)
            cmbFields[e.index]->addItem(u" "_s);
    }
    showCurrentRow();
}

void frmBody::showCurrentRow()
{
    const qint64 pos = cursor().AbsolutePosition();
    // Without a current row (after the last one) there is nowhere to put a typed value:
    // the panel is shut rather than let a value be typed and lost.
    picFields->setEnabled(pos >= 1);
    if (pos >= 1 && m_mapper->model()) {
        m_mapper->setCurrentIndex(static_cast<int>(pos - 1));
        return;
    }
    for (QLineEdit* text : txtFields) {
        if (text)
            text->clear();
    }
    for (QComboBox* combo : cmbFields) {
        if (combo)
            combo->setEditText(QString());
    }
    for (QCheckBox* check : chkFields) {
        if (check)
            check->setChecked(false);
    }
}

void frmBody::rowChanged()
{
    if (!m_mapper->model())
        return;
    try {
        showCurrentRow();
    } catch (...) {
    }
    // The grid's current row changed: the format list follows the row's field type.
    if (isLoaded())
        fillCmbFormat();
}

void frmBody::gridColumnChanged()
{
    fillCmbFormat();
}

void frmBody::commitTypedValue()
{
    GridFrame::commitTypedValue();
    for (QWidget* box = focusWidget(); box && box != this; box = box->parentWidget()) {
        if (m_mapper->mappedSection(box) >= 0) {
            commitBox(box);
            return;
        }
    }
}

void frmBody::commitBox(QWidget* box)
{
    if (!m_mapper->model() || m_mapper->mappedSection(box) < 0)
        return;
    try {
        if (cursor().AbsolutePosition() < 1)
            return; // no current row to take the value
    } catch (...) {
        return;
    }
    m_delegate->commit(box);
}

bool frmBody::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && !isClosing()) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving a text or combo box (not merely another window or a list popping up)
        // writes what it holds: txtFields_LostFocus, cmbFields_LostFocus.
        auto* box = static_cast<QWidget*>(watched);
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            !qobject_cast<QCheckBox*>(box)) {
            commitBox(box);
            dbUpdate();
        }
    }
    return GridFrame::eventFilter(watched, event);
}

void frmBody::fillCmbFormat()
{
    trap("fillCmbFormat", [&] {
        QComboBox* format = cmbFields[4];
        const QString remembered = format->currentText();
        format->clear();
        format->addItem(QString());
        const QString type = cmbFields[3]->currentText();
        for (const auto& row : globals().formats) {
            if (row[0] != type)
                continue;
            for (std::size_t i = 1; i < row.size(); ++i) {
                if (!row[i].isEmpty())
                    format->addItem(row[i]);
            }
            break;
        }
        format->setEditText(remembered);
    });
}

void frmBody::fillCmbSrcField()
{
    trap("fillCmbSrcField", [&] {
        clsInitDBConnect fields;
        // The TransID goes in as an SQL string literal, so that an apostrophe in it works.
        fields.setSQL(u"select field from srcbody where transid="_s +
                      quoteSqlText(currentTransID()) + u" group by field order by field"_s);
        fields.init();
        while (!fields.isEOF()) {
            cmbFields[9]->addItem(fields.value(u"field"_s).toString());
            fields.MoveNext();
        }
    });
}

void frmBody::cmdTrgConvert_Click()
{
    trap("cmdTrgConvert_Click", [&] {
        commitTypedValue();
        const QVariant field = cursor().value(u"field"_s);
        if (field.isNull())
            return;
        frmTrgConvert translations(this);
        translations.setField(field.toString());
        translations.exec();
    });
}

} // namespace quendra::ui
