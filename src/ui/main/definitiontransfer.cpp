#include "ui/main/definitiontransfer.h"

#include "common/error.h"
#include "common/globals.h"
#include "common/messagehandler.h"
#include "common/replacementfile.h"
#include "config/definitionexport.h"
#include "config/definitionimport.h"
#include "config/definitionstore.h"
#include "ui/main/filechooser.h"
#include "ui/main/mainwindow.h"
#include "ui/main/modaldialog.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace quendra::ui {

namespace {

const QString Filter = QStringLiteral("Quendra-Definition *.toml|*.toml|Alle Dateien|*.*");

void exportChosen(MainWindow& window, const QString& transId)
{
    if (!window.dbUpdate())
        return;
    trapHandler("Main.mnuExport_Click", [&] {
        const auto store = openDefinitionStore();
        const DefinitionText text = exportDefinition(store->database(), transId);
        const QString start = QDir(QFileInfo(globals().configDbPath).absolutePath())
                                  .filePath(definitionFileName(transId));
        const auto path = fileChooser().choose(
            &window, {true, QStringLiteral("Definition exportieren"), start, Filter});
        if (!path)
            return;
        writeWholeFile(*path, text.text);
        for (const QString& warning : text.warnings)
            showError(nullptr, StyleWarning, QStringLiteral("Main.mnuExport_Click"), warning);
    });
}

// How an import meets a definition of the same name: nothing when the user cancels.
std::optional<ImportChoice> askForExisting(QWidget* parent, const QString& transId)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Definition importieren"),
                    QStringLiteral("Die Definition \"%1\" gibt es schon.").arg(transId),
                    QMessageBox::NoButton, parent);
    QPushButton* replace = box.addButton(QStringLiteral("Ersetzen"), QMessageBox::AcceptRole);
    QPushButton* rename = box.addButton(QStringLiteral("Neuer Name"), QMessageBox::ActionRole);
    box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    showModal(box);
    if (box.clickedButton() == replace)
        return ImportChoice{true, {}};
    if (box.clickedButton() != rename)
        return std::nullopt;
    QInputDialog name(parent);
    name.setWindowTitle(QStringLiteral("Definition importieren"));
    name.setLabelText(QStringLiteral("Neuer Name (TransID):"));
    name.setTextValue(transId);
    if (showModal(name) != QDialog::Accepted || name.textValue().isEmpty())
        return std::nullopt;
    return ImportChoice{false, name.textValue()};
}

void importChosen(MainWindow& window, QComboBox& choice)
{
    if (!window.dbUpdate())
        return;
    trapHandler("Main.mnuImport_Click", [&] {
        const auto path = fileChooser().choose(
            &window, {false, QStringLiteral("Definition importieren"),
                      QFileInfo(globals().configDbPath).absolutePath(), Filter});
        if (!path)
            return;
        QFile file(*path);
        if (!file.open(QIODevice::ReadOnly))
            throw Error(errnum::FileNotFound, {},
                        QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2")
                            .arg(QDir::toNativeSeparators(*path), file.errorString()));
        const QString name = QDir::toNativeSeparators(*path);
        const QByteArray text = readDefinitionFile(file, name);
        const auto store = openDefinitionStore();
        const QString fileId = definitionIdOf(text, name);
        ImportChoice how;
        if (definitionExists(store->database(), fileId)) {
            const auto answer = askForExisting(&window, fileId);
            if (!answer)
                return;
            how = *answer;
        }
        const ImportResult result = importDefinition(store->database(), text, name, how);
        for (const QString& warning : result.warnings)
            showError(nullptr, StyleWarning, QStringLiteral("Main.mnuImport_Click"), warning);
        const QString& stored = result.transId;
        if (choice.findText(stored) < 0)
            choice.addItem(stored);
        choice.setEditText(stored);
        window.init_Data();
    });
}

} // namespace

void addDefinitionTransfer(MainWindow& window, QComboBox& choice)
{
    auto* exportAction = new QAction(QStringLiteral("Definition exportieren …"), &choice);
    auto* importAction = new QAction(QStringLiteral("Definition importieren …"), &choice);
    choice.addActions({exportAction, importAction});
    choice.setContextMenuPolicy(Qt::ActionsContextMenu);
    const auto enableExport = [&choice, exportAction] {
        exportAction->setEnabled(!choice.currentText().isEmpty());
    };
    enableExport();
    QObject::connect(&choice, &QComboBox::currentTextChanged, exportAction, enableExport);
    QObject::connect(exportAction, &QAction::triggered, &window,
                     [&window, &choice] { exportChosen(window, choice.currentText()); });
    QObject::connect(importAction, &QAction::triggered, &window,
                     [&window, &choice] { importChosen(window, choice); });
}

} // namespace quendra::ui
