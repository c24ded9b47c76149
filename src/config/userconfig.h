#pragma once

#include "common/configlocation.h"

namespace quendra {

// Gives a new user of an installed program a configuration to start with: when the
// user's init.mdb is missing, it is made from the demo in the installation's shared
// data. The demo's text files are named by their file names: a source is read from the
// shared data folder, a target is written beside the user's init.mdb. Does nothing for
// a program that runs from its build folder or was given another configuration
// (globals().configDbPath, --config), nor when the file exists. Throws quendra::Error
// when the file cannot be made; no half-made file is left behind.
void provideUserConfig(const ConfigLocation& location);
// The same for the running program.
void provideUserConfig();

} // namespace quendra
