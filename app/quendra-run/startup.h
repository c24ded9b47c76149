#pragma once

#include <QString>

// What every call of the batch runner does first, whatever it was asked for.
namespace quendra::startup {

// The regional default and the globals for the configuration given (--config; empty for
// the usual one).
void begin(const QString& config);

// Before the configuration is opened, with messages going to standard error: the warnings
// about its location, what killed processes left beside it, and for a new user the demo
// (unless provideDemo is false: a migration makes the configuration itself). False when
// that failed and was reported.
bool prepare(bool provideDemo = true);

} // namespace quendra::startup
