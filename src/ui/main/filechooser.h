#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace quendra::ui {

// One request for a file name, as the main window's file buttons make it.
struct FileRequest {
    bool save = false;  // a Save dialog (the target) rather than an Open dialog
    QString title;      // "Quell-Datei öffnen"
    QString initialDir; // where the dialog starts: a folder, or a file in it (see startAt)
    QString filter;     // "Beschreibung|Muster|Beschreibung|Muster"
};

// Where the window gets file names from: a QFileDialog in the program, a scripted answer in
// tests, so that no test blocks on a modal dialog.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen file with its full path; nothing when the user cancelled.
    virtual std::optional<QString> choose(QWidget* parent, const FileRequest& request) = 0;
};

// Installs the chooser (not owned; nullptr restores the QFileDialog).
void setFileChooser(FileChooser* chooser);
FileChooser& fileChooser();

// "Textdatei *.txt|*.txt|Alle Dateien|*.*" as a QFileDialog filter list, each pattern
// named once ("Textdatei (*.txt);;Alle Dateien (*)"); "*.*" matches names without a dot too.
QString toQtFilter(const QString& pipeFilter);

// Where a file dialog for a path field starts: the path itself when its folder exists
// (the dialog then shows that folder with the file chosen), else the user's home folder.
// A relative path counts from the working folder, as a run opens it.
QString startAt(const QString& path);

} // namespace quendra::ui
