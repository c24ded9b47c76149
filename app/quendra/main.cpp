// quendra: the desktop program.
#include "common/globals.h"
#include "ui/main/mainwindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    quendra::initGlobals();
    quendra::ui::MainWindow window;
    window.show();
    return app.exec();
}
