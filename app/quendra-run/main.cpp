// quendra-run: runs stored conversion definitions without a window.
#include "common/globals.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    quendra::initGlobals();
    return 0;
}
