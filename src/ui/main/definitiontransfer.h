#pragma once

class QComboBox;
class QString;

namespace quendra::ui {

class MainWindow;

// The definition choice's context menu: "Definition exportieren …" writes the chosen
// definition to a text file, "Definition importieren …" reads one; a name that exists
// already is replaced, stored under a new name or left alone, as the user answers.
void addDefinitionTransfer(MainWindow& window, QComboBox& choice);

// The two entries: each stores the window's pending edits first and asks for the file.
void exportChosen(MainWindow& window, const QString& transId);
void importChosen(MainWindow& window, QComboBox& choice);

} // namespace quendra::ui
