#pragma once

#include <QStringList>
#include <optional>

// The journal of the runs, printed by the batch runner.
namespace quendra::journal {

// The exit status when the command line (the program name first) asks for the journal:
// it is printed; nothing when it asks for something else.
std::optional<int> runIfAsked(const QStringList& args);

// The call and its options, for the help text.
extern const char usage[];

} // namespace quendra::journal
