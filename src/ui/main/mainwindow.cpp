#include "ui/main/mainwindow.h"

#include "common/globals.h"

namespace quendra::ui {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(globals().appLabel);
}

} // namespace quendra::ui
