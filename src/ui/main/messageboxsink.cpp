#include "ui/main/messageboxsink.h"

#include <QMessageBox>

namespace quendra::ui {

void MessageBoxSink::show(const MessageBoxData& box)
{
    const QMessageBox::Icon icon =
        box.style == StyleWarning ? QMessageBox::Warning : QMessageBox::Critical;
    QMessageBox dialog(icon, box.title, box.text, QMessageBox::Ok, m_parent);
    dialog.exec();
}

} // namespace quendra::ui
