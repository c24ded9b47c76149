#include "ui/main/messageboxsink.h"

#include <QApplication>
#include <QMessageBox>

namespace quendra::ui {

void MessageBoxSink::show(const MessageBoxData& box)
{
    const QMessageBox::Icon icon =
        box.style == StyleWarning ? QMessageBox::Warning : QMessageBox::Critical;
    QWidget* parent = m_parent ? m_parent : QApplication::activeWindow();
    QMessageBox dialog(icon, box.title, box.text, QMessageBox::Ok, parent);
    dialog.exec();
}

} // namespace quendra::ui
