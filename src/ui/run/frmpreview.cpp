#include "ui/run/frmpreview.h"

#include "connectors/filetypes.h"

#include "common/messagehandler.h"
#include "connectors/textencoding.h"
#include "engine/targetwriter.h"
#include "ui/run/previewtexts.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace quendra::ui {

namespace {
const QString FieldColours[] = {QStringLiteral("#e3efff"), QStringLiteral("#fff4d6")};

// The ruler of a fixed-length line: a digit for every column, the tens marked.
QString ruler(qsizetype width)
{
    QString text;
    for (qsizetype i = 1; i <= width; ++i)
        text += i % 10 == 0 ? QString::number((i / 10) % 10) : QString::number(i % 10);
    return text;
}

// Written text as rich text: blanks as "·"; a character that is not the one composed at
// its place (composed empty: none is compared) red, saying what it was.
QString shownText(QStringView written, QStringView composed)
{
    QString html;
    for (qsizetype k = 0; k < written.size(); ++k) {
        const QString c = QString(written[k]).toHtmlEscaped();
        if (k < composed.size() && composed[k] != written[k])
            html += QStringLiteral("<span style=\"color: white; background-color: red\" "
                                   "title=\"„%1“ wird als „%2“ geschrieben\">%2</span>")
                        .arg(QString(composed[k]).toHtmlEscaped(), c);
        else if (written[k] == QLatin1Char(' '))
            html += QStringLiteral("<span style=\"color: gray\">·</span>");
        else
            html += c;
    }
    return html;
}

QString monospace(const QString& html)
{
    return QStringLiteral("<span style=\"font-family: monospace; white-space: pre\">") + html +
           QStringLiteral("</span>");
}
} // namespace

frmPreview::frmPreview(RunMode mode, const QString& transId, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_table(new QTableWidget(0, 4, this)),
      m_detail(new QPlainTextEdit(this)), m_warnings(new QLabel(this)), m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(
        (mode == RunMode::Check ? QStringLiteral("Prüflauf – ") : QStringLiteral("Vorschau – ")) +
        transId);
    m_table->setHorizontalHeaderLabels({QStringLiteral("Nr."), QStringLiteral("Quelle"),
                                        QStringLiteral("Ziel"), QStringLiteral("Fehler")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setWordWrap(false);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Every row counts for a column's width, the check lines after a thousand records too.
    m_table->horizontalHeader()->setResizeContentsPrecision(-1);
    // A check run is read for its errors: they stand right after the record's number.
    if (mode == RunMode::Check)
        m_table->horizontalHeader()->moveSection(3, 1);
    m_detail->setObjectName(QStringLiteral("txtDetail"));
    m_detail->setReadOnly(true);
    m_detail->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_warnings->setObjectName(QStringLiteral("lblWarnings"));
    m_warnings->setWordWrap(true);
    m_warnings->setStyleSheet(QStringLiteral("color: #8a4b00"));
    m_warnings->hide();
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_table->viewport()->installEventFilter(this);
    connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row) { showDetail(row); });
    auto* close = new QPushButton(QStringLiteral("Schliessen"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_table);
    split->addWidget(m_detail);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split);
    layout->addWidget(m_warnings);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    resize(1000, 560);
}

void frmPreview::start(const Definition& definition)
{
    m_def = definition;
    if (m_def.trg.fixlength != 0 && m_def.trg.frommedium == Medium::TextFile &&
        m_mode == RunMode::Preview) {
        qsizetype width = 0;
        for (const trgBodyRec& f : m_def.trgFields)
            width += f.length;
        addRow(QString(), QString(), monospace(ruler(width).toHtmlEscaped()), QString());
        m_firstRecordRow = 1;
    }
}

QString frmPreview::targetLine(const RecordOutcome& outcome) const
{
    const TrgHead& head = m_def.trg;
    QByteArrayView bytes(outcome.bytes);
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    // A database target: each column's name and the value it is given, as one line.
    if (head.frommedium != Medium::TextFile)
        return monospace(QString::fromUtf8(bytes).toHtmlEscaped());
    const QString line = decodeText(bytes, textEncoding(head.encoding));
    // What was composed, value by value; where the line holds the values at the lengths
    // they were composed with, each stands on a band of its own colour.
    std::vector<QString> composed;
    qsizetype length = 0;
    for (size_t i = 0; i < outcome.target.size(); ++i) {
        const QStringView qualifier =
            i < m_def.trgFields.size() ? textQualifier(head, m_def.trgFields[i]) : QStringView();
        QString value = qualifier.toString();
        value.append(outcome.target[i]).append(qualifier);
        composed.push_back(std::move(value));
        length += composed.back().size() + (i > 0 ? head.delimiter.size() : 0);
    }
    if (length != line.size())
        return monospace(shownText(line, {}));
    QString html;
    qsizetype at = 0;
    for (size_t i = 0; i < composed.size(); ++i) {
        if (i > 0) {
            html += QStringLiteral("<span style=\"color: gray\">") +
                    line.mid(at, head.delimiter.size()).toHtmlEscaped() + QStringLiteral("</span>");
            at += head.delimiter.size();
        }
        html += QStringLiteral("<span style=\"background-color: %1\">").arg(FieldColours[i % 2]) +
                shownText(QStringView(line).mid(at, composed[i].size()), composed[i]) +
                QStringLiteral("</span>");
        at += composed[i].size();
    }
    return monospace(html);
}

void frmPreview::record(const RecordOutcome& outcome)
{
    if (m_mode == RunMode::Check && (!outcome.error || m_faultRows >= MaxListedFaults))
        return;
    if (outcome.error)
        ++m_faultRows;
    QStringList source;
    for (const QString& v : outcome.source)
        source << v;
    addRow(QString::number(outcome.number), source.join(QStringLiteral(" | ")),
           outcome.error ? QString() : targetLine(outcome),
           outcome.error ? errorLine(*outcome.error) : QString());
    if (outcome.error)
        m_table->item(m_table->rowCount() - 1, 3)
            ->setToolTip(errorBoxText(&outcome.error->error, outcome.error->note)
                             .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_records.push_back(outcome);
}

void frmPreview::addRow(const QString& number, const QString& source, const QString& target,
                        const QString& error)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    m_table->setItem(row, 0, new QTableWidgetItem(number));
    m_table->setItem(row, 1, new QTableWidgetItem(source));
    auto* line = new QLabel(target);
    line->setTextFormat(Qt::RichText);
    m_table->setCellWidget(row, 2, line);
    auto* item = new QTableWidgetItem(error);
    if (!error.isEmpty())
        item->setForeground(Qt::darkRed);
    m_table->setItem(row, 3, item);
}

void frmPreview::showDetail(int row)
{
    const qsizetype i = row - m_firstRecordRow;
    m_detail->setPlainText(i >= 0 && i < qsizetype(m_records.size())
                               ? recordDetail(m_def, m_records[size_t(i)])
                               : QString());
}

void frmPreview::finish(const RunResult& result)
{
    for (const QString& line : result.checkTexts)
        addRow(QString(), QString(), monospace(line.toHtmlEscaped()), QString());
    const qint64 rest = result.faultyRecords - m_faultRows;
    if (m_mode == RunMode::Check && rest > 0)
        addRow(QString(), QString(), QString(), moreFaultsText(rest));
    QStringList warnings;
    for (const RunMessage& w : result.warnings)
        warnings << QStringLiteral("Warnung: ") + w.error.description();
    m_warnings->setText(warnings.join(QLatin1Char('\n')));
    m_warnings->setVisible(!warnings.isEmpty());
    QString status = listingStatus(result);
    if (writesWholeFile(m_def.trg.frommedium, m_def.trg.filetype))
        status += QStringLiteral(" (die Ausführung schreibt die Arbeitsmappe %1 ganz neu)")
                      .arg(m_def.trg.path);
    m_status->setText(status);
    m_table->resizeColumnsToContents();
    m_table->resizeRowsToContents();
    m_errorWidth = m_table->columnWidth(3);
    // The first faulty record is chosen, else the first record.
    const auto faulty = std::find_if(m_records.begin(), m_records.end(),
                                     [](const RecordOutcome& r) { return r.error.has_value(); });
    if (!m_records.empty())
        m_table->setCurrentCell(
            m_firstRecordRow +
                int((faulty == m_records.end() ? m_records.begin() : faulty) - m_records.begin()),
            0);
}

// Narrow contents leave no gap at the right of the list: the error column takes the rest.
bool frmPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table->viewport() && event->type() == QEvent::Resize && m_errorWidth > 0) {
        const int others = m_table->horizontalHeader()->length() - m_table->columnWidth(3);
        m_table->setColumnWidth(3, std::max(m_errorWidth, m_table->viewport()->width() - others));
    }
    return QDialog::eventFilter(watched, event);
}

QString frmPreview::status() const
{
    return m_status->text();
}

} // namespace quendra::ui
