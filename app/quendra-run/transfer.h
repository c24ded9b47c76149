#pragma once

#include <QStringList>
#include <optional>

// Export, import and taking over of definitions from the batch runner. The options live
// here, apart from those of a run.
namespace quendra::transfer {

// The exit status when the command line (the program name first) asks for an export,
// import or migration: the call is carried out; nothing when it asks for a run.
std::optional<int> runIfAsked(const QStringList& args);

// The call and the options of export and import, for the help text.
extern const char usage[];

// A wrong call: says on standard error what was wrong, then shows the usage; returns the
// exit status 2.
int wrongCall(const QString& what, const char* usage);

} // namespace quendra::transfer
