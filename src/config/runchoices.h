#pragma once

#include <QString>

namespace quendra {

// How the main window runs a definition, kept per TransID in Quendra's own table
// quendraRunChoice of init.mdb (made at the first choice; the definition tables keep
// their columns). Read and written through the configuration database of globals().
// Throws quendra::Error when init.mdb cannot be read or written.

// Whether the target changes only when the whole run succeeds; false when never chosen.
bool loadAllOrNothing(const QString& transId);
void storeAllOrNothing(const QString& transId, bool on);

} // namespace quendra
