// The main window's preview, check run and all-or-nothing choice.
#include "common/globals.h"
#include "common/messagehandler.h"
#include "config/runchoices.h"
#include "engine/rundefinition.h"
#include "ui/common/twips.h"
#include "ui/main/mainwindow.h"
#include "ui/main/modaldialog.h"
#include "ui/run/frmcounter.h"
#include "ui/run/frmpreview.h"

#include <QCheckBox>
#include <QPushButton>

namespace quendra::ui {

namespace {
// Runs the current definition into memory while the progress window counts, then shows
// the records in the preview window.
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
    if (result.failure) {
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
}

void MainWindow::loadRunChoices()
{
    m_chkAllOrNothing->setChecked(false);
    trapHandler("Main.loadRunChoices",
                [&] { m_chkAllOrNothing->setChecked(loadAllOrNothing(currentTransID())); });
}

void MainWindow::storeRunChoices()
{
    trapHandler("Main.chkAllOrNothing_Click",
                [&] { storeAllOrNothing(currentTransID(), m_chkAllOrNothing->isChecked()); });
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
