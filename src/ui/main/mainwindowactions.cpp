// The buttons of the main window: file choice, the editors, the raw data view and the run.
#include "common/error.h"
#include "common/globals.h"
#include "common/messagehandler.h"
#include "connectors/clsadoconnect.h"
#include "connectors/filetypes.h"
#include "engine/headconnection.h"
#include "engine/rundefinition.h"
#include "ui/editors/frmbody.h"
#include "ui/editors/frmdataview.h"
#include "ui/main/filechooser.h"
#include "ui/main/flagcheckbox.h"
#include "ui/main/mainwindow.h"
#include "ui/main/mainwindowside.h"
#include "ui/main/modaldialog.h"
#include "ui/main/runoutcome.h"
#include "ui/run/frmcounter.h"

#include <QComboBox>
#include <QLineEdit>

namespace quendra::ui {

namespace {

// What a cancelled file dialog reports.
constexpr qint32 CancelError = 32755;

FileRequest fileRequest(int index, const QString& path)
{
    FileRequest r;
    r.initialDir = startAt(path);
    if (index == 1) {
        r.save = true;
        r.title = QStringLiteral("Ziel-Datei öffnen");
        r.filter = QStringLiteral("Textdatei *.txt|*.txt|CSV-Datei *.csv|*.csv|Alle Dateien|*.*");
    } else {
        r.title = QStringLiteral("Quell-Datei öffnen");
        r.filter = QStringLiteral("Alle Dateien|*.*");
    }
    return r;
}

} // namespace

// Fills the path field of the source (0) or target (1) from a file dialog. The new path
// is an edit of the head, saved with the next save of the window.
void MainWindow::cmdFileDLG_Click(int index)
{
    trapHandler("Main.cmdFileDLG_Click", [&] {
        Side& s = index == 0 ? *m_src : *m_trg;
        QLineEdit* path = s.c.txt.value(0);
        const std::optional<QString> chosen =
            fileChooser().choose(this, fileRequest(index, path->text()));
        if (!chosen)
            throw Error(CancelError, QString(), QStringLiteral("Abbrechen wurde gewählt."));
        path->setText(*chosen);
        s.changed = true;
        if (s.mapper)
            s.mapper->submit();
        if (index == 0)
            path->setFocus();
    });
}

// "Detail" (0 source, 1 target) opens the field definition editor; "Anzeigen" (2) the raw
// data of a database source as its fields stand.
void MainWindow::cmdButton_Click(int index)
{
    trapHandler("Main.cmdButton_Click", [&] {
        if (index == 0 || index == 1) {
            frmBody body(this);
            body.setTable(index);
            showModal(body);
            return;
        }
        frmDataView viewer(this);
        std::unique_ptr<clsADOConnect> connector;
        // The source as the head's fields stand, opened as a run opens it.
        SrcHead head;
        head.frommedium = storedMedium(*m_src);
        if (isDatabase(head.frommedium)) {
            const HeadControls& c = m_src->c;
            head.path = c.txt.value(0)->text();
            head.filetype = c.cmb.value(1)->currentText();
            head.header = c.chk.value(6)->checkState() != Qt::Unchecked ? 1 : 0;
            head.dbtable = c.txt.value(2)->text();
            head.sqlstring = c.txt.value(5)->text();
            connector = openDatabaseSource(head, false);
            viewer.setDBClass(connector.get());
        }
        showModal(viewer);
    });
}

// Saves both heads, loads them again for the TransID in the choice box and runs it while
// the progress window counts the records.
bool MainWindow::prepareRun()
{
    if (m_running)
        return false;
    m_src->changed = true;
    m_trg->changed = true;
    // Loading the heads again would drop an edit that could not be saved.
    if (!dbUpdate())
        return false;
    init_Data();
    return true;
}

void MainWindow::cmdRun_Click()
{
    if (!prepareRun())
        return;
    m_running = true;
    RunOptions options;
    options.allOrNothing = m_chkAllOrNothing->isChecked();
    RunResult result;
    {
        frmCounter counter(this);
        options.confirmRepeat = [&](const QString& question) {
            return confirmRepeat(&counter, question);
        };
        result = runDefinition(currentTransID(), &counter, options);
    }
    m_running = false;
    // The boxes come after the progress window has gone; then the keyboard goes back to
    // the main window.
    showRunOutcome(result);
    // A repeat the user did not want needs no error box.
    if (!result.refused)
        showRunResult(result);
    activateWindow();
}

} // namespace quendra::ui
