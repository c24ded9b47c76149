#pragma once

#include "engine/runresult.h"

#include <QString>
#include <QTime>

namespace quendra::ui {

// The main window's lines about the last run of "Ausführen": which definition, when, how
// it ended ("DEMO um 11:32:05 fertig: 12 Datensätze geschrieben.", or where it stopped),
// and on a line of its own where it writes ("Ziel: /…/buchungen_export.txt").
QString runOutcomeText(const QString& transId, const RunResult& result, const QTime& at);

} // namespace quendra::ui
