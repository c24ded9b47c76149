#pragma once

#include "common/configlocation.h"

namespace quendra {

// Gives a new user of an installed program a configuration to start with: when the
// user's init.mdb is missing, it is made from the demo in the installation's shared
// data. The demo's text files are named by their file names: a source is read from the
// shared data folder, a target is written beside the user's init.mdb. Does nothing for
// a program that runs from its build folder or was given another configuration
// (globals().configDbPath, --config), nor when the file exists. Throws quendra::Error
// when the file cannot be made (a damaged demo is named as the shipped file); no
// half-made file is left behind.
void provideUserConfig(const ConfigLocation& location);

// What every start of a program does before it opens its configuration
// (globals().configDbPath): warns of environment variables the location ignored, removes
// what killed processes left beside init.mdb and says so (warnings through showError),
// and, unless told not to, gives a new user the demo (provideUserConfig). where: the
// boxes' where-text. Throws as provideUserConfig.
void prepareConfiguration(const QString& where, bool provideDemo = true);

} // namespace quendra
