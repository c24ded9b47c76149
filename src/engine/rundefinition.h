#pragma once

#include "engine/runoptions.h"

#include <QString>

namespace quendra {

class ProgressSink;

// The one way to run a stored definition, shared by the main window, the batch runner and
// the tests: creates the engine for transId (which loads the definition from init.mdb),
// runs it and returns how it ended. A definition that cannot be loaded fails under
// "Main.RunFileConvert", the run itself under "clsFileConvert.RunConvert". progress may be
// nullptr (no display); it is not owned. options: write (the default), preview or check.
RunResult runDefinition(const QString& transId, ProgressSink* progress = nullptr,
                        const RunOptions& options = {});

} // namespace quendra
