#pragma once

#include <functional>

namespace quendra {

// The system beep of a move past the first row. The core has no window toolkit: the GUI
// installs QApplication::beep, tests install a counter; without a hook nothing sounds.
using BeepHook = std::function<void()>;

void beep();
// Installs hook and returns the one installed before.
BeepHook setBeepHook(BeepHook hook);

} // namespace quendra
