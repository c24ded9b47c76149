#include "common/qtmessages.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>

namespace quendra {

namespace {
void filterQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    const bool ours = message.startsWith(QLatin1StringView("Quendra:"));
    if (!ours && type != QtCriticalMsg && type != QtFatalMsg)
        return;
    std::fprintf(stderr, "%s%s\n", ours ? "" : "Qt: ", message.toLocal8Bit().constData());
    std::fflush(stderr);
}
} // namespace

void installQtMessageFilter()
{
    qInstallMessageHandler(filterQtMessage);
}

} // namespace quendra
