#pragma once

namespace quendra {

class ProgressSink;

// The one way to run a stored definition, shared by the main window, the batch runner and
// the tests: creates the engine for the current TransID (which loads the definition from
// init.mdb) and runs it. A definition that cannot be loaded is shown in an error box under
// "Main.RunFileConvert"; errors of the run itself are shown by the run. progress may be
// nullptr (no display); it is not owned.
void runDefinition(ProgressSink* progress = nullptr);

} // namespace quendra
