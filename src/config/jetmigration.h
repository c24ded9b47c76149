#pragma once

#include <QString>
#include <QStringList>

namespace quendra {

// Takes an old configuration in a Jet file (oldPath) over into the SQLite configuration
// at targetPath: every row of the six tables with its values unchanged, dbversion's
// customer marker (indiv) too, with the current version. An SQLite file at targetPath is
// replaced in place within one write transaction (its lock held throughout, mode, owner
// and links kept). Otherwise the new file is written beside the target (ReplacementFile),
// checked, and renamed into place; when the target is the old file itself, the Jet file is
// kept unchanged as targetPath + ".access". A target that already holds definitions is
// replaced only when replace is set; a write-protected one never. A stop by signal
// (stopRequested) ends the migration. Throws quendra::Error, with nothing changed, when
// anything is wrong. Returns one line per table: how many rows were taken over; then one
// per other table of the old file, which is not taken over.
QStringList migrateJetConfiguration(const QString& oldPath, const QString& targetPath,
                                    bool replace);

// The name the old Jet file of a configuration is kept under.
QString keptJetPath(const QString& configPath);

} // namespace quendra
