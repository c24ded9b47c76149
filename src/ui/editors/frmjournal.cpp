#include "ui/editors/frmjournal.h"

#include "common/globals.h"
#include "config/runjournal.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <set>

using namespace Qt::StringLiterals;

namespace quendra::ui {

namespace {
// The first entry of the filter box: no filter.
const QString AllRuns = u"(alle)"_s;
} // namespace

JournalRows::JournalRows(QObject* parent) : QObject(parent) {}

void JournalRows::load(const QString& transId)
{
    m_model.clear();
    QStringList headings = journalHeadings();
    headings << u"Meldung"_s;
    m_model.setHorizontalHeaderLabels(headings);
    for (const JournalEntry& e : journalEntries(transId)) {
        QList<QStandardItem*> row;
        const QStringList cells = journalCells(e) << e.message;
        for (const QString& cell : cells)
            row << new QStandardItem(cell);
        for (const int counted : {0, 5, 6}) // Nr, gelesen, geschrieben
            row[counted]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_model.appendRow(row);
    }
    m_position = m_model.rowCount() > 0 ? 1 : -1;
    Q_EMIT MoveComplete();
}

QAbstractItemModel* JournalRows::dataMember(const QString& name)
{
    return name == u"Primary" ? &m_model : nullptr;
}

QMetaObject::Connection JournalRows::connectMoveComplete(QObject* receiver,
                                                         std::function<void()> slot)
{
    return connect(this, &JournalRows::MoveComplete, receiver, std::move(slot));
}

void JournalRows::moveTo(qint64 position)
{
    if (position >= 1 && position <= m_model.rowCount())
        m_position = position;
    Q_EMIT MoveComplete();
}

frmJournal::frmJournal(QWidget* parent) : GridFrame(Kind::Viewer, "frmJournal", parent)
{
    setWindowTitle(u"Protokoll"_s);
    setInnerSize(12000, 6255);
    m_filter = new QWidget(this);
    m_filter->setObjectName(u"picFilter"_s);
    m_filter->resize(twips(12000), twips(495));
    auto* label = new QLabel(u"TransID:"_s, m_filter);
    label->setGeometry(twipsRect(120, 120, 900, 255));
    m_cmbTransID = new QComboBox(m_filter);
    m_cmbTransID->setObjectName(u"cmbTransID"_s);
    m_cmbTransID->setGeometry(twipsRect(1080, 90, 2400, 315));
    label->setBuddy(m_cmbTransID);
    setTopStrip(m_filter);
    cmdClose->move(twips(10785), 0);
    grdDataGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabChain({m_cmbTransID, grdDataGrid, cmdClose, cmdFirst, cmdPrevious, cmdNext, cmdLast});
    useNavigation(&m_rows);
}

void frmJournal::formLoad()
{
    m_rows.load({});
    // The definitions that ran, each once, in the order of their names.
    std::set<QString> ids;
    for (const JournalEntry& e : journalEntries())
        ids.insert(e.transId);
    const QSignalBlocker quiet(m_cmbTransID);
    m_cmbTransID->clear();
    m_cmbTransID->addItem(AllRuns);
    for (const QString& id : ids)
        m_cmbTransID->addItem(id);
    connect(m_cmbTransID, &QComboBox::currentIndexChanged, this, &frmJournal::filterChosen,
            Qt::UniqueConnection);
    showRows();
    m_cmbTransID->setFocus();
}

void frmJournal::showRows()
{
    bindGrid();
    grdDataGrid->resizeColumnsToContents();
}

void frmJournal::filterChosen()
{
    handler("cmbTransID_Click", [&] {
        const int chosen = m_cmbTransID->currentIndex();
        m_rows.load(chosen > 0 ? m_cmbTransID->currentText() : QString());
        showRows();
    });
}

} // namespace quendra::ui
