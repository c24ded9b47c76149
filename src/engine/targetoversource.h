#pragma once

#include "engine/definition.h"

namespace quendra {

// Refuses a definition whose target would write into the file its source reads: a text
// target that is the source's file (creating the target empties it), or a file table of a
// database target that is the text source being read (the run would read its own
// output). Files are compared as the system sees them (device and inode), so another
// spelling of the path, a link or a relative path are recognised. Two database media may
// share a table: the source is read completely before the first row is added.
// Throws error 75 naming both paths; opens nothing and creates nothing.
void refuseTargetOverSource(const SrcHead& src, const TrgHead& trg);

} // namespace quendra
