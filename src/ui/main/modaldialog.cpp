#include "ui/main/modaldialog.h"

#include <QDialog>
#include <utility>

namespace quendra::ui {

namespace {
ModalHook installedHook;
}

int showModal(QDialog& dialog)
{
    return installedHook ? installedHook(dialog) : dialog.exec();
}

ModalHook setModalHook(ModalHook hook)
{
    return std::exchange(installedHook, std::move(hook));
}

} // namespace quendra::ui
