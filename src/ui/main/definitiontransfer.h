#pragma once

class QComboBox;

namespace quendra::ui {

class MainWindow;

// The definition choice's context menu: "Definition exportieren …" writes the chosen
// definition to a text file, "Definition importieren …" reads one; a name that exists
// already is replaced, stored under a new name or left alone, as the user answers.
// Each entry stores the window's pending edits first and asks for the file.
void addDefinitionTransfer(MainWindow& window, QComboBox& choice);

} // namespace quendra::ui
