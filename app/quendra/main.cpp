// quendra: the desktop program.
#include "common/beep.h"
#include "common/globals.h"
#include "common/qtmessages.h"
#include "config/userconfig.h"
#include "ui/common/qttranslations.h"
#include "ui/main/mainwindow.h"
#include "ui/main/messageboxsink.h"
#include "ui/main/oldconfiguration.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Before the application object: it already has things to say (a missing
    // XDG_RUNTIME_DIR) that are no concern of the user.
    quendra::installQtMessageFilter();
    QApplication app(argc, argv);
    quendra::ui::installQtTranslations();
    quendra::applyRegionalDefault();
    quendra::initGlobals();
    quendra::setBeepHook([] { QApplication::beep(); });
    // Boxes of the start-up already go to the screen, in front of the window once it exists.
    quendra::ui::MessageBoxSink boxes;
    quendra::setMessageSink(&boxes);
    quendra::trapHandler("Main", [] { quendra::prepareConfiguration(QStringLiteral("Main")); });
    // Without a configuration it can use the window would only show errors.
    if (!quendra::ui::offerOldConfiguration()) {
        quendra::setMessageSink(nullptr);
        return 1;
    }
    quendra::ui::MainWindow window;
    window.show();
    const int status = app.exec();
    quendra::setMessageSink(nullptr);
    return status;
}
