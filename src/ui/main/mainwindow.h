#pragma once

#include <QMainWindow>

namespace quendra::ui {

// The main window: choice of the definition, its two heads, and the actions.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};

} // namespace quendra::ui
