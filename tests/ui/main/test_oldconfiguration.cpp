// The question at start when init.mdb is an old Jet configuration.
#include "ui/main/oldconfiguration.h"

#include "common/globals.h"
#include "config/jetconfigreader.h"
#include "support/filebytes.h"
#include "ui/main/modaldialog.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

TEST(OldConfiguration, IsTakenOverOnYesAndLeftAsItWasOnNo)
{
    const QByteArray jet =
        test::readFile(u"" QUENDRA_TEST_DATA_DIR "/files/altkonfiguration.mdb"_s);
    for (const bool yes : {false, true}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"init.mdb"_s);
        test::writeFile(path, jet);
        initGlobals(path);
        QStringList shown;
        const ui::ModalHook previous = ui::setModalHook([&](QDialog& dialog) {
            auto* box = qobject_cast<QMessageBox*>(&dialog);
            shown << (box ? box->text() : dialog.objectName());
            for (QAbstractButton* button : box ? box->buttons() : QList<QAbstractButton*>()) {
                if (button->text() == (yes ? u"Ja"_s : u"Nein"_s))
                    button->click();
            }
            return 0;
        });
        EXPECT_EQ(ui::offerOldConfiguration(), yes) << "the program ends after \"Nein\"";
        ui::setModalHook(previous);
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_EQ(shown[0], u"init.mdb stammt aus einer älteren Version. Jetzt übernehmen?"_s);
        EXPECT_EQ(isJetFile(path), !yes);
        EXPECT_EQ(test::readFile(path + u".access"_s), yes ? jet : QByteArray("<fehlt>"));
        // One box after the answer: what was taken over, or how to take it over later.
        EXPECT_EQ(shown.size(), 2);
        EXPECT_TRUE(
            shown.last().contains(yes ? u"srcHead: 2 Zeilen übernommen"_s
                                      : u"quendra-run --migrate %1 --config %1"_s.arg(path)))
            << shown.last().toStdString();
    }
}

} // namespace
