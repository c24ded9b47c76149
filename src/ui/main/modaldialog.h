#pragma once

#include <functional>

class QDialog;

namespace quendra::ui {

// Shows a window modally (exec) and returns its result. Tests install a hook instead, so
// that they see which window an action opened without blocking on it.
using ModalHook = std::function<int(QDialog&)>;

int showModal(QDialog& dialog);
// Installs the hook (an empty one restores exec); returns the one installed before.
ModalHook setModalHook(ModalHook hook);

} // namespace quendra::ui
