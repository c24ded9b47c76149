// quendra: the desktop program.
#include "common/beep.h"
#include "common/globals.h"
#include "common/qtmessages.h"
#include "ui/main/mainwindow.h"
#include "ui/main/messageboxsink.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    quendra::installQtMessageFilter();
    quendra::applyRegionalDefault();
    quendra::initGlobals();
    quendra::setBeepHook([] { QApplication::beep(); });
    quendra::ui::MainWindow window;
    quendra::ui::MessageBoxSink boxes(&window);
    quendra::setMessageSink(&boxes);
    window.show();
    const int status = app.exec();
    quendra::setMessageSink(nullptr);
    return status;
}
