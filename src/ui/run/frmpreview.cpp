#include "ui/run/frmpreview.h"

#include "connectors/filetypes.h"

#include "common/messagehandler.h"
#include "connectors/codepage.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
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

QString monospace(const QString& html)
{
    return QStringLiteral("<span style=\"font-family: monospace; white-space: pre\">") + html +
           QStringLiteral("</span>");
}
} // namespace

frmPreview::frmPreview(RunMode mode, const QString& transId, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_table(new QTableWidget(0, 4, this)),
      m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(
        (mode == RunMode::Check ? QStringLiteral("Prüflauf – ") : QStringLiteral("Vorschau – ")) +
        transId);
    m_table->setHorizontalHeaderLabels({QStringLiteral("Nr."), QStringLiteral("Quelle"),
                                        QStringLiteral("Ziel"), QStringLiteral("Fehler")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    auto* close = new QPushButton(QStringLiteral("Schliessen"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    resize(1000, 440);
}

void frmPreview::start(const Definition& definition)
{
    m_def = definition;
    if (m_def.trg.fixlength != 0 && m_def.trg.frommedium == 0 && m_mode == RunMode::Preview) {
        qsizetype width = 0;
        for (const trgBodyRec& f : m_def.trgFields)
            width += f.length;
        addRow(QString(), QString(), monospace(ruler(width).toHtmlEscaped()), QString());
    }
}

QString frmPreview::targetLine(const std::vector<QString>& values) const
{
    const CodePages& cp = CodePages::instance();
    const TrgHead& head = m_def.trg;
    const bool text = head.frommedium == 0;
    const bool oem = head.encoding == QLatin1StringView("ASCII");
    const QString between = text ? head.delimiter : QStringLiteral(" | ");
    QString html;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            html += QStringLiteral("<span style=\"color: gray\">") + between.toHtmlEscaped() +
                    QStringLiteral("</span>");
        const bool quoted = text && i < m_def.trgFields.size() &&
                            m_def.trgFields[i].fieldtype == QLatin1StringView("Text");
        const QString value = quoted ? head.textsign + values[i] + head.textsign : values[i];
        html += QStringLiteral("<span style=\"background-color: %1\">").arg(FieldColours[i % 2]);
        for (const QChar c : value) {
            if (c == QLatin1Char(' '))
                html += QStringLiteral("<span style=\"color: gray\">·</span>");
            else if (text && !cp.holds(c.unicode(), oem))
                html += QStringLiteral("<span style=\"color: white; background-color: red\" "
                                       "title=\"wird als ? geschrieben\">") +
                        QString(c).toHtmlEscaped() + QStringLiteral("</span>");
            else
                html += QString(c).toHtmlEscaped();
        }
        html += QStringLiteral("</span>");
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
           outcome.error ? QString() : targetLine(outcome.target),
           outcome.error ? errorBoxText(&outcome.error->error, outcome.error->note)
                               .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                               .trimmed()
                         : QString());
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
    auto* item = new QTableWidgetItem(error.section(QLatin1Char('\n'), -1));
    item->setToolTip(error);
    if (!error.isEmpty())
        item->setForeground(Qt::darkRed);
    m_table->setItem(row, 3, item);
}

void frmPreview::finish(const RunResult& result)
{
    for (const QString& line : result.checkTexts)
        addRow(QString(), QString(), monospace(line.toHtmlEscaped()), QString());
    const qint64 rest = result.faultyRecords - m_faultRows;
    if (m_mode == RunMode::Check && rest > 0)
        addRow(QString(), QString(), QString(), moreFaultsText(rest));
    QString status = nothingWrittenSummary(result);
    if (writesWholeFile(m_def.trg.frommedium, m_def.trg.filetype))
        status += QStringLiteral(" (die Ausführung schreibt die Arbeitsmappe %1 ganz neu)")
                      .arg(m_def.trg.path);
    m_status->setText(status);
    m_table->resizeColumnsToContents();
    m_table->resizeRowsToContents();
    // Long source records must leave room for the target line.
    m_table->setColumnWidth(1, std::min(m_table->columnWidth(1), 280));
}

QString frmPreview::status() const
{
    return m_status->text();
}

} // namespace quendra::ui
