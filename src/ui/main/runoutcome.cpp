#include "ui/main/runoutcome.h"

#include "engine/runoptions.h"
#include "ui/main/modaldialog.h"

#include <QMessageBox>
#include <QPushButton>

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
    else if (result.refused)
        text += QStringLiteral("nicht umgesetzt: die Quelle wurde schon umgesetzt");
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

bool confirmRepeat(QWidget* parent, const QString& question)
{
    QMessageBox ask(QMessageBox::Question, QStringLiteral("Quendra"), question,
                    QMessageBox::NoButton, parent);
    ask.setObjectName(QStringLiteral("repeatQuestion"));
    QPushButton* again =
        ask.addButton(QStringLiteral("Trotzdem umsetzen"), QMessageBox::AcceptRole);
    ask.setDefaultButton(ask.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole));
    showModal(ask);
    return ask.clickedButton() == again;
}

} // namespace quendra::ui
