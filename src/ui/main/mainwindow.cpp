#include "ui/main/mainwindow.h"

#include "common/error.h"
#include "common/globals.h"
#include "common/messagehandler.h"
#include "config/configrowset.h"
#include "ui/common/twips.h"
#include "ui/main/definitiontransfer.h"
#include "ui/main/flagcheckbox.h"
#include "ui/main/mainwindowside.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace quendra::ui {

namespace {

QPushButton* addButton(const QString& caption, const char* name, const QRect& geometry,
                       QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

std::unique_ptr<clsInitDBConnect> openHead(const QString& table)
{
    auto cursor = std::make_unique<clsInitDBConnect>();
    cursor->setTable(table);
    cursor->setTransID(currentTransID());
    cursor->init();
    return cursor;
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), m_src(std::make_unique<Side>()), m_trg(std::make_unique<Side>())
{
    setObjectName(QStringLiteral("Main"));
    buildControls();
    connectSide(*m_src);
    connectSide(*m_trg);
    Form_Load();
}

// The bindings go before the cursors they point into.
MainWindow::~MainWindow()
{
    m_src->mapper.reset();
    m_trg->mapper.reset();
}

void MainWindow::buildControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    // The design's area, and a row below it for how the last run ended.
    setFixedSize(twips(10575), twips(5145));
    // The design's captions fit beside their fields in an 8 point font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    m_src->c = buildHeadFrame(HeadControls::Source, client);
    m_trg->c = buildHeadFrame(HeadControls::Target, client);

    m_lblConfig = new QLabel(QStringLiteral("Konfiguration:"), client);
    m_lblConfig->setObjectName(QStringLiteral("lblConfig"));
    m_lblConfig->setGeometry(twipsRect(240, 4200, 1455, 255));
    m_cmbTransID = new QComboBox(client);
    m_cmbTransID->setObjectName(QStringLiteral("cmbTransID"));
    m_cmbTransID->setEditable(true);
    m_cmbTransID->setInsertPolicy(QComboBox::NoInsert);
    m_cmbTransID->setGeometry(twipsRect(1680, 4200, 1935, 315));
    addDefinitionTransfer(*this, *m_cmbTransID);
    m_cmdRun =
        addButton(QStringLiteral("Ausführen"), "cmdRun", twipsRect(8040, 4200, 1095, 375), client);
    m_cmdClose = addButton(QStringLiteral("S&chliessen"), "cmdClose",
                           twipsRect(9360, 4200, 1095, 375), client);

    QGroupBox* von = m_src->c.frame;
    m_cmdButton[0] =
        addButton(QStringLiteral("Detail"), "cmdButton_0", twipsRect(3840, 3480, 1095, 375), von);
    m_cmdButton[1] = addButton(QStringLiteral("Detail"), "cmdButton_1",
                               twipsRect(3840, 3480, 1095, 375), m_trg->c.frame);
    m_cmdButton[2] =
        addButton(QStringLiteral("Anzeigen"), "cmdButton_2", twipsRect(2640, 3480, 1095, 375), von);
    m_cmdButton[2]->setToolTip(QStringLiteral(
        "Über diese Befehlstaste können die unaufbereiteten Daten angezeigt werden."));

    for (int i = 0; i < 3; ++i)
        connect(m_cmdButton[i], &QPushButton::clicked, this, [this, i] { cmdButton_Click(i); });
    connect(m_cmdRun, &QPushButton::clicked, this, &MainWindow::cmdRun_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &MainWindow::close);
    connect(m_cmbTransID, &QComboBox::activated, this, [this] { onTransIDChosen(); });
    buildRunChoices(client);
    buildRunOutcome(client);
}

// Every edit of a head field sets the side's changed flag; leaving the field saves.
// Only the user's own edits count: filling the fields from the row is no edit.
void MainWindow::connectSide(Side& s)
{
    const bool src = s.c.side == HeadControls::Source;
    for (QLineEdit* edit : std::as_const(s.c.txt)) {
        connect(edit, &QLineEdit::textEdited, this, [&s] { s.changed = true; });
        edit->installEventFilter(this);
    }
    for (auto it = s.c.cmb.cbegin(); it != s.c.cmb.cend(); ++it) {
        QComboBox* box = it.value();
        const int index = it.key();
        auto edited = [this, &s, index, src] {
            s.changed = true;
            if (index == 1) {
                trapHandler(src ? "Main.cmbSrcFields_Change" : "Main.cmbTrgFields_Change",
                            [&] { layoutSide(s, storedMedium(s)); });
            }
        };
        connect(box, &QComboBox::textActivated, this, edited);
        connect(box->lineEdit(), &QLineEdit::textEdited, this, edited);
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }
    for (FlagCheckBox* check : std::as_const(s.c.chk)) {
        connect(check, &QCheckBox::clicked, this, [&s] { s.changed = true; });
        check->installEventFilter(this);
    }
    for (int m = 0; m < 3; ++m) {
        connect(s.c.opt[static_cast<size_t>(m)], &QRadioButton::clicked, this,
                [this, &s, m] { onMediumClicked(s, Medium(m)); });
    }
    const int fileIndex = src ? 0 : 1;
    connect(s.c.fileButton, &QPushButton::clicked, this,
            [this, fileIndex] { cmdFileDLG_Click(fileIndex); });
}

// Leaving a head field saves the heads. Losing the focus to another window (a message box)
// or to a list's popup is not leaving the field.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            dbUpdate();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::Form_Load()
{
    trapHandler("Main.Form_Load", [&] {
        setWindowTitle(globals().appLabel);
        initTransID();
        init_Data();
    });
}

void MainWindow::initTransID()
{
    trapHandler("Main.initTransID", [&] {
        clsInitDBConnect heads;
        heads.setTable(QStringLiteral("srchead"));
        heads.init();
        for (; !heads.isEOF(); heads.MoveNext()) {
            const QVariant id = heads.value(QStringLiteral("transid"));
            if (id.isNull()) {
                throw Error(94, QString(),
                            QStringLiteral("Unzulässige Verwendung von Null: ein Quellkopf "
                                           "(srchead) hat keine TransID."));
            }
            m_cmbTransID->addItem(id.toString());
            if (m_cmbTransID->currentText().isEmpty())
                m_cmbTransID->setEditText(id.toString());
        }
    });
}

void MainWindow::init_Data()
{
    trapHandler("Main.init_Data", [&] {
        // An empty box names the definition with the empty TransID, not one without any.
        const QString transId = m_cmbTransID->currentText();
        setCurrentTransID(transId.isNull() ? QStringLiteral("") : transId);
        std::unique_ptr<clsInitDBConnect> src = openHead(QStringLiteral("srchead"));
        std::unique_ptr<clsInitDBConnect> trg = openHead(QStringLiteral("trghead"));
        loadSide(*m_src, std::move(src));
        loadSide(*m_trg, std::move(trg));
        selectMedium(*m_src);
        selectMedium(*m_trg);
        bindChoices(*m_src);
        bindChoices(*m_trg);
        layoutSide(*m_src, storedMedium(*m_src));
        layoutSide(*m_trg, storedMedium(*m_trg));
    });
    loadRunChoices();
}

// Binds the side's text fields and check boxes to the new cursor's head row, which is
// started when the definition has none yet. The choice boxes are bound later.
void MainWindow::loadSide(Side& s, std::unique_ptr<clsInitDBConnect> cursor)
{
    s.mapper.reset();
    s.cursor = std::move(cursor);
    s.changed = false;
    for (QComboBox* box : std::as_const(s.c.cmb))
        box->setEditText(QString());

    ConfigRowSet& rows = s.cursor->record();
    s.mapper = std::make_unique<QDataWidgetMapper>();
    s.mapper->setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
    s.mapper->setModel(&rows);
    for (auto it = s.c.txt.cbegin(); it != s.c.txt.cend(); ++it)
        s.mapper->addMapping(it.value(), rows.fieldIndex(s.c.column(it.key())));
    for (auto it = s.c.chk.cbegin(); it != s.c.chk.cend(); ++it)
        s.mapper->addMapping(it.value(), rows.fieldIndex(s.c.column(it.key())), "flag");
    connect(&rows, &ConfigRowSet::currentRowChanged, s.mapper.get(),
            &QDataWidgetMapper::setCurrentIndex);
    s.mapper->setCurrentIndex(s.cursor->AbsolutePosition() - 1);
    if (s.cursor->AbsolutePosition() == -1)
        s.cursor->AddNew();
}

void MainWindow::bindChoices(Side& s)
{
    ConfigRowSet& rows = s.cursor->record();
    for (auto it = s.c.cmb.cbegin(); it != s.c.cmb.cend(); ++it)
        s.mapper->addMapping(it.value(), rows.fieldIndex(s.c.column(it.key())), "currentText");
    s.mapper->revert(); // shows the row in the newly bound boxes
}

// The medium stored in the head row; 0 when it is NULL.
Medium MainWindow::storedMedium(const Side& s) const
{
    if (!s.cursor)
        throw standardError(errnum::ObjectMissing);
    const QVariant value = s.cursor->value(QStringLiteral("frommedium"));
    if (value.isNull())
        return Medium::TextFile;
    bool ok = false;
    const qint16 medium = value.toString().trimmed().toShort(&ok);
    if (!ok)
        throw standardError(errnum::TypeMismatch, value.toString());
    return Medium(medium);
}

void MainWindow::selectMedium(Side& s)
{
    const Medium medium = storedMedium(s);
    if (!isKnown(medium)) {
        throw Error(340, QString(),
                    QStringLiteral("Für das gespeicherte Medium %1 gibt es keine Auswahl (%2).")
                        .arg(qint16(medium))
                        .arg(knownMedia()));
    }
    s.c.opt[static_cast<size_t>(medium)]->setChecked(true);
    layoutSide(s, medium);
}

void MainWindow::layoutSide(const Side& s, Medium medium)
{
    if (s.c.side == HeadControls::Source)
        srcODBC(medium);
    else
        trgODBC(medium);
}

// Choosing a medium writes it into the head row and marks the head as changed, so that it
// is saved like every other edit.
void MainWindow::onMediumClicked(Side& s, Medium medium)
{
    const bool src = s.c.side == HeadControls::Source;
    trapHandler(src ? "Main.optSRCFields_Click" : "Main.optTRGFields_Click", [&] {
        if (!s.cursor)
            throw standardError(errnum::ObjectMissing);
        s.cursor->setValue(QStringLiteral("frommedium"), int(medium));
        s.changed = true;
        layoutSide(s, medium);
    });
}

// Another definition is loaded only when the heads of the shown one are saved: loading
// releases the cursors, and with them any edit that could not be written.
void MainWindow::onTransIDChosen()
{
    if (!dbUpdate()) {
        m_cmbTransID->setEditText(currentTransID());
        return;
    }
    if (m_cmbTransID->currentText() != currentTransID())
        init_Data();
}

// A choice stored for the definition belongs to the one named in the box: a name typed
// there and not yet taken over is taken over first, as choosing it from the list does.
bool MainWindow::followTypedTransID()
{
    if (m_cmbTransID->currentText() != currentTransID())
        onTransIDChosen();
    return m_cmbTransID->currentText() == currentTransID();
}

bool MainWindow::dbUpdate()
{
    return trapHandler("Main.dbUpdate", [&] {
        for (Side* s : {m_src.get(), m_trg.get()}) {
            if (!s->changed)
                continue;
            if (!s->cursor)
                throw standardError(errnum::ObjectMissing);
            s->mapper->submit();
            s->cursor->update();
            s->changed = false;
        }
    });
}

// Closing saves an edit still in the field that has the focus; while a run is going the
// window stays.
void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_running) {
        event->ignore();
        return;
    }
    dbUpdate();
    event->accept();
}

} // namespace quendra::ui
