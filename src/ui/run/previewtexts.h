#pragma once

#include "engine/definition.h"
#include "engine/runoptions.h"

#include <QString>
#include <vector>

namespace quendra::ui {

// The texts of the preview and check run window, apart from the window.

// A faulty record's error on one line, with record and field as its box names them:
// "Datensatz 18, Feld BETRAG: Typen unverträglich: "310,2x"".
QString errorLine(const RunMessage& message);

// Everything about one record of the list, whole: its number, each source field and
// each target field with its name and value, and the error box's text.
QString recordDetail(const Definition& definition, const RecordOutcome& outcome);

// The window's status line: what was composed and that nothing was written; after a
// stop, where the run was stopped.
QString listingStatus(const RunResult& result);

} // namespace quendra::ui
