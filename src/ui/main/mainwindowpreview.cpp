// The main window's preview, check run, the choices kept in Quendra's own tables (all or
// nothing, the source's encoding), how the last run ended and the journal of the runs.
#include "common/error.h"
#include "common/globals.h"
#include "common/messagehandler.h"
#include "config/configconnection.h"
#include "config/runchoices.h"
#include "config/sourceencoding.h"
#include "connectors/textencoding.h"
#include "engine/rundefinition.h"
#include "ui/common/twips.h"
#include "ui/editors/frmjournal.h"
#include "ui/main/mainwindow.h"
#include "ui/main/mainwindowside.h"
#include "ui/main/modaldialog.h"
#include "ui/main/runoutcome.h"
#include "ui/run/frmcounter.h"
#include "ui/run/frmpreview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTime>
#include <QUrl>

namespace quendra::ui {

namespace {
// Runs the current definition into memory while the progress window counts, then shows
// the records in the preview window, also those before a stop ("Abbrechen"); a run that
// could not go on shows its error instead.
void showListing(QWidget* parent, RunMode mode)
{
    frmPreview preview(mode, currentTransID(), parent);
    RunOptions options;
    options.mode = mode;
    options.observer = &preview;
    RunResult result;
    {
        frmCounter counter(parent);
        result = runDefinition(currentTransID(), &counter, options);
    }
    if (result.failure && !result.stopped) {
        showRunResult(result);
        return;
    }
    preview.finish(result);
    showModal(preview);
}
} // namespace

// Below the target frame, between the choice box and "Ausführen", where no control of
// the window stands.
void MainWindow::buildRunChoices(QWidget* client)
{
    const auto button = [&](const QString& caption, const char* name, int left) {
        auto* b = new QPushButton(caption, client);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(twipsRect(left, 4200, 1095, 375));
        return b;
    };
    m_cmdPreview = button(QStringLiteral("Vorschau"), "cmdPreview", 3840);
    m_cmdCheck = button(QStringLiteral("Prüflauf"), "cmdCheck", 5040);
    m_chkAllOrNothing = new QCheckBox(QStringLiteral("Alles oder nichts"), client);
    m_chkAllOrNothing->setObjectName(QStringLiteral("chkAllOrNothing"));
    m_chkAllOrNothing->setGeometry(twipsRect(6240, 4230, 1740, 315));
    m_chkAllOrNothing->setToolTip(
        QStringLiteral("Das Ziel ändert sich nur, wenn die ganze Umsetzung gelingt; nach einem "
                       "Fehler bleibt es, wie es war."));
    connect(m_cmdPreview, &QPushButton::clicked, this, &MainWindow::cmdPreview_Click);
    connect(m_cmdCheck, &QPushButton::clicked, this, &MainWindow::cmdCheck_Click);
    connect(m_chkAllOrNothing, &QCheckBox::clicked, this, [this] { storeRunChoices(); });

    // In the source frame below the delimiter, where no row of the head stands.
    QGroupBox* von = m_src->c.frame;
    m_lblSrcEncoding = new QLabel(QStringLiteral("Kodierung:"), von);
    m_lblSrcEncoding->setObjectName(QStringLiteral("lblSrcEncoding"));
    m_lblSrcEncoding->setGeometry(twipsRect(120, 2520, 1440, 255));
    m_lblSrcEncoding->setFont(m_src->c.labels.value(3)->font()); // as the captions above
    m_cmbSrcEncoding = new QComboBox(von);
    m_cmbSrcEncoding->setObjectName(QStringLiteral("cmbSrcEncoding"));
    m_cmbSrcEncoding->addItems(sourceEncodingWords());
    m_cmbSrcEncoding->setGeometry(twipsRect(1560, 2520, 3375, 315));
    m_cmbSrcEncoding->setToolTip(
        QStringLiteral("In welcher Kodierung die Quelldatei geschrieben ist. Eine Datei, die mit "
                       "der UTF-8-Markierung (Byte-Order-Mark) beginnt, wird immer als UTF-8 "
                       "gelesen."));
    connect(m_cmbSrcEncoding, &QComboBox::activated, this, [this] {
        const QString wanted = m_cmbSrcEncoding->currentText();
        if (!followTypedTransID())
            return loadRunChoices();
        m_cmbSrcEncoding->setCurrentText(wanted);
        trapHandler("Main.cmbSrcEncoding_Click", [&] {
            storeSourceEncoding(ConfigConnection::shared(globals().configDbPath)->database(),
                                currentTransID(), wanted);
        });
    });
}

// A row of its own below the design's area. The right end stays free.
void MainWindow::buildRunOutcome(QWidget* client)
{
    m_lblRunResult = new QLabel(client);
    m_lblRunResult->setObjectName(QStringLiteral("lblRunResult"));
    m_lblRunResult->setGeometry(twipsRect(240, 4635, 7200, 420));
    m_lblRunResult->setTextFormat(Qt::PlainText);
    m_lblRunResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_cmdOpenFolder = new QPushButton(QStringLiteral("Ordner öffnen"), client);
    m_cmdOpenFolder->setObjectName(QStringLiteral("cmdOpenFolder"));
    m_cmdOpenFolder->setGeometry(twipsRect(7560, 4650, 1575, 375));
    m_cmdOpenFolder->setToolTip(QStringLiteral("Öffnet den Ordner des Ziels im Dateimanager."));
    m_cmdOpenFolder->setEnabled(false);
    connect(m_cmdOpenFolder, &QPushButton::clicked, this, &MainWindow::cmdOpenFolder_Click);
    // The journal of the runs, under "Schliessen".
    m_cmdJournal = new QPushButton(QStringLiteral("Protokoll"), client);
    m_cmdJournal->setObjectName(QStringLiteral("cmdJournal"));
    m_cmdJournal->setGeometry(twipsRect(9360, 4650, 1095, 375));
    m_cmdJournal->setToolTip(QStringLiteral("Zeigt die Läufe, die geschrieben haben, den "
                                            "neuesten zuerst."));
    connect(m_cmdJournal, &QPushButton::clicked, this, &MainWindow::cmdJournal_Click);
}

void MainWindow::cmdJournal_Click()
{
    trapHandler("Main.cmdJournal_Click", [&] {
        frmJournal journal(this);
        showModal(journal);
    });
}

// The whole text as tooltip; a line too long for the row (a long path) is shortened in
// its middle.
void MainWindow::showRunOutcome(const RunResult& result)
{
    const QString text = runOutcomeText(currentTransID(), result, QTime::currentTime());
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = m_lblRunResult->fontMetrics().elidedText(line, Qt::ElideMiddle,
                                                        m_lblRunResult->width());
    m_lblRunResult->setText(lines.join(QLatin1Char('\n')));
    m_lblRunResult->setToolTip(text);
    m_runFolder = result.targetFolder;
    m_cmdOpenFolder->setEnabled(!m_runFolder.isEmpty() && QFileInfo(m_runFolder).isDir());
}

void MainWindow::cmdOpenFolder_Click()
{
    trapHandler("Main.cmdOpenFolder_Click", [&] {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(m_runFolder)))
            throw Error(errnum::PathNotFound, {},
                        QStringLiteral("Der Ordner %1 kann nicht geöffnet werden: es fehlt ein "
                                       "Programm, das Ordner zeigt (xdg-open).")
                            .arg(QDir::toNativeSeparators(m_runFolder)));
    });
}

void MainWindow::loadRunChoices()
{
    m_chkAllOrNothing->setChecked(false);
    m_cmbSrcEncoding->setCurrentText(defaultSourceEncoding());
    trapHandler("Main.loadRunChoices", [&] {
        m_chkAllOrNothing->setChecked(loadAllOrNothing(currentTransID()));
        m_cmbSrcEncoding->setCurrentText(loadSourceEncoding(
            ConfigConnection::shared(globals().configDbPath)->database(), currentTransID()));
    });
}

void MainWindow::storeRunChoices()
{
    const bool wanted = m_chkAllOrNothing->isChecked();
    if (!followTypedTransID())
        return loadRunChoices();
    m_chkAllOrNothing->setChecked(wanted);
    trapHandler("Main.chkAllOrNothing_Click", [&] { storeAllOrNothing(currentTransID(), wanted); });
}

void MainWindow::cmdPreview_Click()
{
    showListingOf(RunMode::Preview);
}

void MainWindow::cmdCheck_Click()
{
    showListingOf(RunMode::Check);
}

void MainWindow::showListingOf(RunMode mode)
{
    if (!prepareRun())
        return;
    m_running = true;
    showListing(this, mode);
    m_running = false;
    activateWindow();
}

} // namespace quendra::ui
