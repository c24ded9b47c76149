#include "ui/main/runoutcome.h"

#include "engine/runoptions.h"

namespace quendra::ui {

QString runOutcomeText(const QString& transId, const RunResult& result, const QTime& at)
{
    QString text =
        QStringLiteral("%1 um %2 ").arg(transId, at.toString(QStringLiteral("HH:mm:ss")));
    const QString& where = result.failure ? result.failure->note : QString();
    if (!result.failure)
        text +=
            QStringLiteral("fertig: %1 geschrieben").arg(recordCountText(result.recordsWritten)) +
            (result.warnings.empty() ? QString() : QStringLiteral(", mit Warnung"));
    else if (result.stopped)
        text += QStringLiteral("abgebrochen") +
                (where.isEmpty() ? QString() : QStringLiteral(" vor ") + where);
    else
        text += QStringLiteral("mit Fehler beendet") +
                (where.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(where));
    text += QLatin1Char('.');
    if (!result.target.isEmpty())
        text += QStringLiteral("\nZiel: ") + result.target;
    return text;
}

} // namespace quendra::ui
