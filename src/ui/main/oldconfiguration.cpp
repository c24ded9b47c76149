#include "ui/main/oldconfiguration.h"

#include "common/globals.h"
#include "common/messagehandler.h"
#include "config/jetconfigreader.h"
#include "config/jetmigration.h"
#include "ui/main/modaldialog.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace quendra::ui {

namespace {

// A path as the shell takes it: in single quotes unless it is plain.
QString shellWord(const QString& path)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    return QLatin1Char('\'') + QString(path).replace(QLatin1Char('\''), QStringLiteral("'\\''")) +
           QLatin1Char('\'');
}

void inform(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Quendra"), text, QMessageBox::Ok,
                    parent);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse); // the command can be copied
    showModal(box);
}

} // namespace

bool offerOldConfiguration(QWidget* parent)
{
    const QString path = globals().configDbPath;
    if (!isJetFile(path))
        return true;
    QMessageBox ask(QMessageBox::Question, QStringLiteral("Quendra"),
                    QStringLiteral("init.mdb stammt aus einer älteren Version. Jetzt übernehmen?"),
                    QMessageBox::NoButton, parent);
    QPushButton* yes = ask.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    ask.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
    showModal(ask);
    if (ask.clickedButton() != yes) {
        const QString file = shellWord(QDir::toNativeSeparators(path));
        inform(parent,
               QStringLiteral("Die Konfiguration %1 stammt aus einer älteren Version und wurde "
                              "nicht übernommen. Ohne sie kann Quendra nicht arbeiten und wird "
                              "jetzt beendet.\n\nÜbernehmen Sie sie beim nächsten Start mit "
                              "„Ja“ oder im Terminal mit\n\n"
                              "quendra-run --migrate %2 --config %2")
                   .arg(QDir::toNativeSeparators(path), file));
        return false;
    }
    return trapHandler("Main.MigrateConfig", [&] {
        const QStringList lines = migrateJetConfiguration(path, path, false);
        inform(parent, QStringLiteral("Die alte Konfiguration wurde übernommen.\n\n") +
                           lines.join(QLatin1Char('\n')));
    });
}

} // namespace quendra::ui
