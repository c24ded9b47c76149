#include "ui/main/oldconfiguration.h"

#include "common/globals.h"
#include "common/messagehandler.h"
#include "config/jetconfigreader.h"
#include "config/jetmigration.h"
#include "ui/main/modaldialog.h"

#include <QMessageBox>
#include <QPushButton>

namespace quendra::ui {

void offerOldConfiguration(QWidget* parent)
{
    const QString path = globals().configDbPath;
    if (!isJetFile(path))
        return;
    QMessageBox ask(QMessageBox::Question, QStringLiteral("Quendra"),
                    QStringLiteral("init.mdb stammt aus einer älteren Version. Jetzt übernehmen?"),
                    QMessageBox::NoButton, parent);
    QPushButton* yes = ask.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    ask.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
    showModal(ask);
    if (ask.clickedButton() != yes)
        return;
    trapHandler("Main.MigrateConfig", [&] {
        const QStringList lines = migrateJetConfiguration(path, path, false);
        QMessageBox done(QMessageBox::Information, QStringLiteral("Quendra"),
                         QStringLiteral("Die alte Konfiguration wurde übernommen.\n\n") +
                             lines.join(QLatin1Char('\n')),
                         QMessageBox::Ok, parent);
        showModal(done);
    });
}

} // namespace quendra::ui
