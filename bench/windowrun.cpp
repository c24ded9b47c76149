// The benchmark's window run: the main window on a given init.mdb (offscreen is fine),
// the definition chosen in its list and "Ausführen" clicked, as a user runs it.
//   quendra-windowbench INIT.MDB TRANSID
#include "common/globals.h"
#include "common/streamoutput.h"
#include "ui/main/mainwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("Aufruf: quendra-windowbench INIT.MDB TRANSID\n", stderr);
        return 2;
    }
    quendra::applyRegionalDefault();
    quendra::initGlobals(QString::fromLocal8Bit(argv[1]));
    quendra::StreamMessageSink sink(stderr);
    quendra::setMessageSink(&sink);
    {
        quendra::ui::MainWindow window;
        window.show();
        auto* ids = window.findChild<QComboBox*>(QStringLiteral("cmbTransID"));
        const int index = ids->findText(QString::fromLocal8Bit(argv[2]));
        if (index < 0) {
            std::fputs("Die Definition fehlt in der Liste.\n", stderr);
            return 1;
        }
        ids->setCurrentIndex(index);
        window.findChild<QPushButton*>(QStringLiteral("cmdRun"))->click();
        window.close();
    }
    quendra::setMessageSink(nullptr);
    return sink.errorCount() > 0 ? 1 : 0;
}
