#pragma once

namespace quendra {

// A request from outside to stop the conversion under way: SIGTERM or SIGINT once
// installStopSignals() has run, or requestStop() (a window's cancel button). A run
// checks it before each record and then ends as a failed run does, so that its target
// holds complete records only. The flag is a plain signal-safe variable.
void installStopSignals();
void requestStop(int signal = 0);
bool stopRequested();
// The signal that asked for the stop, 0 for requestStop() without one or no request.
int stopSignal();
// Forgets a request (before a new run that the user starts again).
void clearStopRequest();

} // namespace quendra
