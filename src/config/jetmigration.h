#pragma once

#include <QString>
#include <QStringList>

namespace quendra {

// Takes an old configuration in a Jet file (oldPath) over into the SQLite configuration
// at targetPath: every row of the six tables with its values unchanged, dbversion's
// customer marker (indiv) too, with the current version. The new file is written beside
// the target under a name of its own, checked, and renamed into place. When the target
// is the old file itself, the Jet file is kept unchanged as targetPath + ".access". A
// target that already holds definitions is replaced only when replace is set. Throws
// quendra::Error, with nothing written, when anything is wrong. Returns one line per
// table: how many rows were taken over; then one per other table of the old file, which
// is not taken over.
QStringList migrateJetConfiguration(const QString& oldPath, const QString& targetPath,
                                    bool replace);

// The name the old Jet file of a configuration is kept under.
QString keptJetPath(const QString& configPath);

} // namespace quendra
