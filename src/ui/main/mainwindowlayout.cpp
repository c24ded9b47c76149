// Which head fields are shown and usable for each medium and file type.
#include "common/messagehandler.h"
#include "connectors/filetypes.h"
#include "ui/common/twips.h"
#include "ui/main/flagcheckbox.h"
#include "ui/main/mainwindow.h"
#include "ui/main/mainwindowside.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quendra::ui {

// The path field is as wide as the reference field, or narrowed to end 50 twips left of
// the file button.
void MainWindow::setPathWidth(const HeadControls& c, QWidget* reference, bool narrow)
{
    QLineEdit* path = c.txt.value(0);
    const int width =
        narrow ? reference->width() - c.fileButton->width() - twips(50) : reference->width();
    path->resize(width, path->height());
}

void MainWindow::srcODBC(Medium medium)
{
    trapHandler("Main.srcODBC", [&] {
        const HeadControls& c = m_src->c;
        if (isDatabase(medium)) {
            c.setRowEnabled(4, false);
            c.setRowVisible(3, false);
            c.setRowVisible(5, true);
            c.setRowEnabled(2, true);
            m_cmdButton[2]->setEnabled(true);
            if (medium == Medium::DatabaseFile) {
                c.setRowEnabled(1, true);
                c.setRowEnabled(6, getFileTypeHeader(c.cmb.value(1)->currentText()));
                const bool pick = getFileTypeFileButton(c.cmb.value(1)->currentText());
                c.fileButton->setVisible(pick);
                setPathWidth(c, c.txt.value(2), pick);
            } else {
                c.setRowEnabled(1, false);
                c.setRowEnabled(6, false);
                c.fileButton->setVisible(false);
                setPathWidth(c, c.txt.value(2), false);
            }
        } else {
            c.setRowEnabled(4, true);
            c.setRowVisible(3, true);
            c.setRowVisible(5, false);
            c.setRowEnabled(1, false);
            c.setRowEnabled(2, false);
            c.setRowEnabled(6, false);
            m_cmdButton[2]->setEnabled(false);
            c.fileButton->setVisible(true);
            setPathWidth(c, c.txt.value(2), true);
        }
        c.setRowVisible(4, false);
        // Text is read in the chosen encoding; a database brings its own.
        const bool text = readsInSourceEncoding(medium, c.cmb.value(1)->currentText());
        m_lblSrcEncoding->setEnabled(text);
        m_cmbSrcEncoding->setEnabled(text);
    });
}

void MainWindow::trgODBC(Medium medium)
{
    trapHandler("Main.trgODBC", [&] {
        const HeadControls& c = m_trg->c;
        if (isDatabase(medium)) {
            for (int i : {4, 3, 5})
                c.setRowEnabled(i, false);
            c.chk.value(7)->setEnabled(false);
            c.chk.value(8)->setEnabled(false);
            c.setRowEnabled(2, true);
            c.fileButton->setVisible(false);
            setPathWidth(c, c.txt.value(3), false);
            c.setRowEnabled(1, medium == Medium::DatabaseFile);
            c.setRowEnabled(6, medium == Medium::DatabaseFile &&
                                   getFileTypeHeader(c.cmb.value(1)->currentText()));
        } else if (medium == Medium::TextFile) {
            for (int i : {4, 3, 5})
                c.setRowEnabled(i, true);
            c.chk.value(7)->setEnabled(true);
            c.chk.value(8)->setEnabled(true);
            c.setRowEnabled(1, false);
            c.setRowEnabled(2, false);
            c.setRowEnabled(6, false);
            c.fileButton->setVisible(true);
            setPathWidth(c, c.txt.value(3), true);
        }
        c.setRowVisible(4, false);
    });
}

} // namespace quendra::ui
