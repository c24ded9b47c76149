#pragma once

#include <QString>
#include <QStringList>

namespace quendra {

// Where a program finds its configuration database, by the folder it runs from.
//
// A program runs installed when the shared data of an installation lies beside its
// folder as the packages lay it out (bin/../share/quendra, QUENDRA_DATA_FROM_BIN) and
// holds the demo configuration init.mdb. Such a program uses init.mdb in the user's
// configuration folder ($XDG_CONFIG_HOME/quendra, ~/.config/quendra), which it makes
// from the demo at the first start (provideUserConfig). Any other program, as one that
// runs from its build folder, uses init.mdb beside itself.
//
// The user's folder follows the XDG rules: $XDG_CONFIG_HOME, else $HOME/.config, else
// .config in the home folder of the user database. A variable that holds a relative path
// is ignored, as the rules say, with a warning: a run from another folder would otherwise
// find another configuration.
struct ConfigLocation {
    QString dbPath;       // the init.mdb to use
    QString dataFolder;   // the installation's shared data; empty when not installed
    QStringList warnings; // German: variables that were ignored
};

ConfigLocation configLocation(const QString& programFolder);
// The location for the running program (the working folder before QCoreApplication).
ConfigLocation programConfigLocation();

// The name of the configuration database, and of the demo in the shared data.
inline constexpr QLatin1StringView ConfigDbName("init.mdb");

} // namespace quendra
