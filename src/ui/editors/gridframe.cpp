#include "ui/editors/gridframe.h"

#include "common/error.h"
#include "common/recordnavigation.h"
#include "config/clsinitdbconnect.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHash>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>
#include <QScopedValueRollback>

using namespace Qt::StringLiterals;

namespace quendra::ui {

// The grid shows the rows through this proxy, which only changes the column captions.
class ColumnCaptions : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    void setCaption(int section, const QString& caption)
    {
        m_captions.insert(section, caption);
        Q_EMIT headerDataChanged(Qt::Horizontal, section, section);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            const auto it = m_captions.constFind(section);
            if (it != m_captions.constEnd())
                return *it;
        }
        return QIdentityProxyModel::headerData(section, orientation, role);
    }

private:
    QHash<int, QString> m_captions;
};

// The window sees every key press before the focused control does, so that the same
// keys move through the rows in all three windows whichever control has the focus.
class KeyPreview : public QObject {
public:
    explicit KeyPreview(GridFrame* frame) : QObject(frame), m_frame(frame)
    {
        qApp->installEventFilter(this); // Qt takes a destroyed filter off the list itself
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        if (static_cast<QWidget*>(watched)->window() != m_frame || !m_frame->isVisible())
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const int code = keyCode(key->key());
        if (code == 0)
            return false;
        int shift = 0;
        if (key->modifiers() & Qt::ShiftModifier)
            shift |= 1;
        if (key->modifiers() & Qt::ControlModifier)
            shift |= 2;
        if (key->modifiers() & Qt::AltModifier)
            shift |= 4;
        return m_frame->Form_KeyDown(code, shift);
    }

private:
    // The key codes the shortcuts are given in; 0 for every other key.
    static int keyCode(int key)
    {
        switch (key) {
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Down:
            return 40;
        default:
            return 0;
        }
    }

    GridFrame* m_frame;
};

namespace {

// What the window toolkit says to a negative width or height.
[[noreturn]] void invalidPropertyValue()
{
    throw Error(380, {}, QStringLiteral("Ungültiger Eigenschaftswert"));
}

void setWidthChecked(QWidget* w, int width)
{
    if (width < 0)
        invalidPropertyValue();
    w->resize(width, w->height());
}

void setHeightChecked(QWidget* w, int height)
{
    if (height < 0)
        invalidPropertyValue();
    w->resize(w->width(), height);
}

// One step of the resize rule: a step that fails is skipped without a message.
template <class Step> void resizeStep(Step&& step) noexcept
{
    try {
        step();
    } catch (...) {
    }
}

enum class Arrow { First, Previous, Next, Last };

// The four navigation images: 16 x 16 pixels, black arrows on a light grey ground.
QIcon navigationIcon(Arrow arrow)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor(0xC0, 0xC0, 0xC0));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const bool left = arrow == Arrow::First || arrow == Arrow::Previous;
    const bool bar = arrow == Arrow::First || arrow == Arrow::Last;
    const qreal tip = left ? 4.0 : 12.0;
    const qreal base = left ? 9.0 : 7.0;
    const qreal shift = bar ? (left ? 1.5 : -1.5) : 0.0;
    p.drawPolygon(QPolygonF(
        {QPointF(base + shift, 3.5), QPointF(base + shift, 12.5), QPointF(tip + shift, 8.0)}));
    if (bar)
        p.drawRect(left ? QRectF(3.5, 4, 2, 8) : QRectF(10.5, 4, 2, 8));
    p.end();
    return QIcon(pixmap);
}

QPushButton* makeButton(QWidget* strip, const char* name, const QString& caption, int leftTwips,
                        int widthTwips)
{
    auto* button = new QPushButton(caption, strip);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(twips(leftTwips), 0, twips(widthTwips), twips(300));
    // Enter in a box must not press a button: no button is a dialog default.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QPushButton* makeNavButton(QWidget* strip, const char* name, Arrow arrow, int leftTwips)
{
    QPushButton* button = makeButton(strip, name, QString(), leftTwips, 345);
    button->setIcon(navigationIcon(arrow));
    button->setIconSize(QSize(16, 16));
    return button;
}

} // namespace

FrameGrid::FrameGrid(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the grid for the next control of the window's tab order.
    setTabKeyNavigation(false);
    // Rows as high as a text box, as in the field panel.
    verticalHeader()->setMinimumSectionSize(twips(285));
    verticalHeader()->setDefaultSectionSize(twips(285));
}

QItemSelectionModel::SelectionFlags FrameGrid::selectionCommand(const QModelIndex& index,
                                                                const QEvent* event) const
{
    const QItemSelectionModel::SelectionFlags flags = QTableView::selectionCommand(index, event);
    return flags.testFlag(QItemSelectionModel::Deselect)
               ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
               : flags;
}

void FrameGrid::commitOpenEditor()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    QWidget* editor = window()->focusWidget();
    if (!editor || !viewport()->isAncestorOf(editor))
        return;
    while (editor->parentWidget() != viewport())
        editor = editor->parentWidget();
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

GridFrame::GridFrame(Kind kind, const char* formName, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_formName(formName)
{
    setObjectName(QString::fromLatin1(formName));

    grdDataGrid = new FrameGrid(this);
    grdDataGrid->setObjectName(u"grdDataGrid"_s);
    m_captions = new ColumnCaptions(this);
    grdDataGrid->setModel(m_captions);
    connect(grdDataGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &GridFrame::gridCurrentChanged);

    picButtons = new QWidget(this);
    picButtons->setObjectName(u"picButtons"_s);
    picButtons->resize(picButtons->width(), twips(300));
    if (kind == Kind::Editor) {
        cmdAdd = makeButton(picButtons, "cmdAdd", u"&Neu"_s, 120, 1095);
        cmdDelete = makeButton(picButtons, "cmdDelete", u"&Löschen"_s, 1320, 1095);
        connect(cmdAdd, &QPushButton::clicked, this, &GridFrame::cmdAdd_Click);
        connect(cmdDelete, &QPushButton::clicked, this, &GridFrame::cmdDelete_Click);
    }
    cmdClose = makeButton(picButtons, "cmdClose", u"S&chließen"_s, 0, 1215);
    connect(cmdClose, &QPushButton::clicked, this, &GridFrame::cmdClose_Click);

    picStatBox = new QWidget(this);
    picStatBox->setObjectName(u"picStatBox"_s);
    picStatBox->resize(picStatBox->width(), twips(300));
    cmdFirst = makeNavButton(picStatBox, "cmdFirst", Arrow::First, 0);
    cmdPrevious = makeNavButton(picStatBox, "cmdPrevious", Arrow::Previous, 345);
    lblStatus = new QLabel(picStatBox);
    lblStatus->setObjectName(u"lblStatus"_s);
    lblStatus->setGeometry(twips(690), 0, lblStatus->width(), twips(285));
    lblStatus->setAutoFillBackground(true);
    QPalette white = lblStatus->palette();
    white.setColor(QPalette::Window, Qt::white);
    lblStatus->setPalette(white);
    lblStatus->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblStatus->setLineWidth(1);
    cmdNext = makeNavButton(picStatBox, "cmdNext", Arrow::Next, 0);
    cmdLast = makeNavButton(picStatBox, "cmdLast", Arrow::Last, 0);
    connect(cmdFirst, &QPushButton::clicked, this, &GridFrame::cmdFirst_Click);
    connect(cmdPrevious, &QPushButton::clicked, this, &GridFrame::cmdPrevious_Click);
    connect(cmdNext, &QPushButton::clicked, this, &GridFrame::cmdNext_Click);
    connect(cmdLast, &QPushButton::clicked, this, &GridFrame::cmdLast_Click);

    m_keys = new KeyPreview(this);
}

GridFrame::~GridFrame()
{
    delete m_keys;
    // A window object that ends without having been closed still writes (Form_Terminate).
    if (m_kind == Kind::Editor && m_loaded)
        Form_Terminate();
    disconnect(m_moveConnection);
    m_captions->setSourceModel(nullptr);
    m_cursor.reset();
}

void GridFrame::setVisible(bool visible)
{
    if (visible && !m_loaded) {
        m_loaded = true;
        QScopedValueRollback loading(m_loading, true);
        handler("Form_Load", [&] { formLoad(); });
    }
    QDialog::setVisible(visible);
}

void GridFrame::done(int result)
{
    if (m_closing)
        return; // a close from inside the closing steps: the outer call ends it
    QScopedValueRollback closing(m_closing, true);
    commitTypedValue();
    QDialog::done(result);
    Form_Unload();
    if (m_kind == Kind::Editor && m_loaded)
        Form_Terminate();
    m_loaded = false; // showing the window again loads it again
}

QWidget* GridFrame::firstStrip() const
{
    return picStatBox;
}

void GridFrame::commitTypedValue()
{
    grdDataGrid->commitOpenEditor();
}

clsInitDBConnect& GridFrame::createCursor()
{
    m_cursor = std::make_unique<clsInitDBConnect>();
    useNavigation(m_cursor.get());
    return *m_cursor;
}

clsInitDBConnect& GridFrame::cursor() const
{
    if (!m_cursor)
        throw standardError(errnum::ObjectMissing);
    return *m_cursor;
}

void GridFrame::useNavigation(RecordNavigation* navigation)
{
    disconnect(m_moveConnection);
    m_nav = navigation;
    if (m_nav)
        m_moveConnection = m_nav->connectMoveComplete(this, [this] { clsDB_MoveComplete(); });
}

RecordNavigation& GridFrame::nav() const
{
    if (!m_nav)
        throw standardError(errnum::ObjectMissing);
    return *m_nav;
}

void GridFrame::bindGrid()
{
    m_captions->setSourceModel(m_nav ? m_nav->dataMember(u"Primary"_s) : nullptr);
    syncGridToCurrentRow();
}

int GridFrame::columnOf(const QString& name) const
{
    const QAbstractItemModel* rows = m_captions->sourceModel();
    if (!rows)
        return -1;
    for (int c = 0; c < rows->columnCount(); ++c) {
        if (rows->headerData(c, Qt::Horizontal).toString().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

void GridFrame::setColumnCaption(const QString& column, const QString& caption)
{
    const int c = columnOf(column);
    if (c >= 0)
        m_captions->setCaption(c, caption);
}

void GridFrame::hideColumn(const QString& column)
{
    const int c = columnOf(column);
    if (c >= 0)
        grdDataGrid->setColumnHidden(c, true);
}

void GridFrame::setInnerSize(int widthTwips, int heightTwips)
{
    resize(twips(widthTwips), twips(heightTwips));
}

void GridFrame::setTopStrip(QWidget* strip)
{
    m_topStrip = strip;
    alignStrips();
}

void GridFrame::setTabChain(std::initializer_list<QWidget*> chain)
{
    QWidget* before = nullptr;
    for (QWidget* w : chain) {
        if (before)
            setTabOrder(before, w);
        before = w;
    }
}

void GridFrame::cmdFirst_Click()
{
    handler("cmdFirst_Click", [&] {
        commitTypedValue();
        nav().MoveFirst();
    });
}

void GridFrame::cmdPrevious_Click()
{
    handler("cmdPrevious_Click", [&] {
        commitTypedValue();
        nav().MovePrevious();
    });
}

void GridFrame::cmdNext_Click()
{
    handler("cmdNext_Click", [&] {
        commitTypedValue();
        nav().MoveNext();
    });
}

void GridFrame::cmdLast_Click()
{
    handler("cmdLast_Click", [&] {
        commitTypedValue();
        nav().MoveLast();
    });
}

void GridFrame::cmdClose_Click()
{
    reject();
}

void GridFrame::cmdAdd_Click()
{
    handler("cmdAdd_Click", [&] {
        commitTypedValue();
        clsInitDBConnect& db = cursor();
        db.MoveLast();
        db.AddNew();
        newRowFilling();
        grdDataGrid->setFocus();
    });
}

void GridFrame::cmdDelete_Click()
{
    handler("cmdDelete_Click", [&] { cursor().Delete(); });
}

void GridFrame::dbUpdate()
{
    handler("dbUpdate", [&] {
        if (recordChanged) {
            cursor().update();
            recordChanged = false;
        }
    });
}

void GridFrame::clsDB_MoveComplete()
{
    // A failure is reported here rather than let out of the cursor's notification.
    const bool wasBusy = std::exchange(m_busy, true);
    trap("clsDB_MoveComplete",
         [&] { lblStatus->setText(u"Record: "_s + QString::number(nav().AbsolutePosition())); });
    syncGridToCurrentRow();
    rowChanged();
    m_busy = wasBusy;
}

bool GridFrame::Form_KeyDown(int keyCode, int shift)
{
    constexpr int Ctrl = 2;
    bool handled = true;
    trap("Form_KeyDown", [&] {
        switch (keyCode) {
        case 27: // Escape
            cmdClose_Click();
            break;
        case 35: // End
            cmdLast_Click();
            break;
        case 36: // Home
            cmdFirst_Click();
            break;
        case 38: // Up
        case 33: // Page Up
            if (shift == Ctrl)
                cmdFirst_Click();
            else
                cmdPrevious_Click();
            break;
        case 40: // Down
        case 34: // Page Down
            if (shift == Ctrl)
                cmdLast_Click();
            else
                cmdNext_Click();
            break;
        default:
            handled = false;
        }
    });
    return handled;
}

void GridFrame::Form_Resize()
{
    // 1. The grid's own alignment is off: the frame places it in step 3.
    // 2. Its height: from the top of the button strip up to the first strip's height.
    resizeStep([&] { setHeightChecked(grdDataGrid, picButtons->y() - firstStrip()->height()); });
    // 3. Aligned to the bottom of the free area: directly above the button strip, the
    //    full width.
    resizeStep([&] {
        grdDataGrid->setGeometry(0, picButtons->y() - grdDataGrid->height(), width(),
                                 grdDataGrid->height());
    });
    // 4. "S&chließen" at the right edge.
    resizeStep([&] { cmdClose->move(width() - cmdClose->width() - twips(120), cmdClose->y()); });
    // 5. The status label: the outer width less 1500 twips.
    resizeStep([&] { setWidthChecked(lblStatus, frameGeometry().width() - twips(1500)); });
    // 6., 7. The forward buttons after it.
    resizeStep([&] { cmdNext->move(lblStatus->width() + twips(700), cmdNext->y()); });
    resizeStep([&] { cmdLast->move(cmdNext->x() + twips(340), cmdLast->y()); });
}

void GridFrame::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    alignStrips();
    Form_Resize();
}

void GridFrame::Form_Unload()
{
    // The mouse pointer of the whole screen back to the default arrow.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

void GridFrame::Form_Terminate()
{
    // A cursor that never opened holds nothing to write (its failure was shown when the
    // window loaded).
    if (!m_cursor || !m_cursor->dataMember(u"Primary"_s))
        return;
    recordChanged = true;
    dbUpdate();
}

void GridFrame::alignStrips()
{
    // The strips keep to their edges as aligned controls do: the status strip at the
    // bottom, the button strip above it, the field panel (if any) at the top.
    const int h = height();
    const int w = width();
    picStatBox->setGeometry(0, h - picStatBox->height(), w, picStatBox->height());
    picButtons->setGeometry(0, picStatBox->y() - picButtons->height(), w, picButtons->height());
    if (m_topStrip)
        m_topStrip->setGeometry(0, 0, w, m_topStrip->height());
}

void GridFrame::syncGridToCurrentRow() noexcept
{
    const bool wasBusy = std::exchange(m_busy, true);
    qint64 pos = -1;
    try {
        if (m_nav)
            pos = m_nav->AbsolutePosition();
    } catch (...) {
        pos = -1;
    }
    const int rows = m_captions->rowCount();
    if (pos >= 1 && pos <= rows) {
        int column = grdDataGrid->currentIndex().column();
        if (column < 0 || grdDataGrid->isColumnHidden(column)) {
            column = 0;
            for (int c = 0; c < m_captions->columnCount(); ++c) {
                if (!grdDataGrid->isColumnHidden(c)) {
                    column = c;
                    break;
                }
            }
        }
        const QModelIndex index = m_captions->index(static_cast<int>(pos - 1), column);
        if (index != grdDataGrid->currentIndex() ||
            !grdDataGrid->selectionModel()->isRowSelected(index.row(), {}))
            grdDataGrid->setCurrentIndex(index);
        grdDataGrid->scrollTo(index);
    } else if (grdDataGrid->selectionModel()) {
        grdDataGrid->selectionModel()->clear();
    }
    m_busy = wasBusy;
}

void GridFrame::gridCurrentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (m_busy || !current.isValid() || !m_nav)
        return;
    qint64 pos = -1;
    try {
        pos = m_nav->AbsolutePosition();
    } catch (...) {
    }
    if (current.row() + 1 != pos) {
        // The user chose another row: the cursor moves there (writing the row it leaves).
        handler("grdDataGrid_RowColChange",
                [&] { m_nav->setAbsolutePosition(qint64{current.row()} + 1); });
    } else if (current.column() != previous.column()) {
        gridColumnChanged();
    }
}

} // namespace quendra::ui
