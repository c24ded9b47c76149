#pragma once

namespace quendra {

// Keeps Qt's own diagnostics (driver warnings, connection notes) away from the user:
// Quendra reports every failure that matters as its own German error, with the
// driver's text in it. Debug, info and warning messages of Qt are dropped; critical
// and fatal ones still reach standard error, marked "Qt:". Quendra's own last-resort
// warnings (a destructor that could not complete rows) begin with "Quendra:" and reach
// standard error as they are. Call once at start.
void installQtMessageFilter();

} // namespace quendra
