#include "ui/main/definitiontransfer.h"

#include "common/error.h"
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
        const QString start = QDir::home().filePath(definitionFileName(transId));
        const auto path = fileChooser().choose(
            &window, {true, QStringLiteral("Definition exportieren"), start, Filter});
        if (!path)
            return;
        writeWholeFile(*path, text.text);
        for (const QString& warning : text.warnings)
            showError(nullptr, StyleWarning, QStringLiteral("Main.mnuExport_Click"), warning);
    });
}

// One question about a definition of the same name: replace it, or the new name typed;
// nothing when the user cancels.
std::optional<ImportChoice> askOnce(QWidget* parent, const QString& transId)
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

// How an import meets a definition of the same name: nothing when the user cancels.
// A new name is asked for again as long as it is taken too.
std::optional<ImportChoice> askForExisting(QWidget* parent, const QSqlDatabase& db,
                                           const QString& fileId)
{
    ImportChoice how;
    for (QString name = fileId; definitionExists(db, name);) {
        const auto answer = askOnce(parent, name);
        if (!answer || answer->replace)
            return answer ? ImportChoice{true, name == fileId ? QString() : name} : answer;
        how.newId = name = answer->newId;
    }
    return how;
}

void importChosen(MainWindow& window, QComboBox& choice)
{
    if (!window.dbUpdate())
        return;
    trapHandler("Main.mnuImport_Click", [&] {
        const auto path = fileChooser().choose(
            &window, {false, QStringLiteral("Definition importieren"), QDir::homePath(), Filter});
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
        const auto how = askForExisting(&window, store->database(), definitionIdOf(text, name));
        if (!how)
            return;
        const ImportResult result = importDefinition(store->database(), text, name, *how);
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
