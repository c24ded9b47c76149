#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quendra {

// Files that stand in for another until they are complete. Both kinds carry the number
// of the process that makes them, so that what a killed process left can be told from
// what a running one is still writing:
// - "NAME.PID.neu": a user's new configuration made from the demo, renamed to NAME when
//   it is complete;
// - ".NAME.PID.XXXXXX": the replacement of a file (ReplacementFile), a migration's new
//   configuration among them.
// Either may have the journal SQLite keeps beside a database it writes.

// The partial name of path for this process. What an earlier, killed process with the
// same number left under that name is removed first.
QString freshPartialPath(const QString& path);

// The name pattern of a replacement for file (links already followed), for mkostemp.
QByteArray replacementPattern(const QString& file);

// Removes the partial and replacement files beside the file at path (beside the link
// and beside the file it names) that were left by processes that no longer run. Returns
// one German sentence per file removed, for a warning.
QStringList removeLeftovers(const QString& path);

} // namespace quendra
