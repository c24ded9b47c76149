#pragma once

#include <QString>

namespace quendra {

// A request from outside to stop the conversion under way: SIGTERM or SIGINT once
// installStopSignals() has run. A run checks it before each record and then ends as a
// failed run does, so that its target holds complete records only. The flag is a plain
// signal-safe variable.
void installStopSignals();
bool stopRequested();
// The signal that asked for the stop, 0 when none did.
int stopSignal();
// " durch das Signal SIGTERM" (or SIGINT) for a message about the stop; empty when no
// signal asked for it.
QString stoppedBySignal();

} // namespace quendra
