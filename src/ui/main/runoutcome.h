#pragma once

#include "engine/runresult.h"

#include <QString>
#include <QTime>

class QWidget;

namespace quendra::ui {

// The main window's lines about the last run of "Ausführen": which definition, when, how
// it ended ("DEMO um 11:32:05 fertig: 12 Datensätze geschrieben.", or where it stopped),
// and on a line of its own where it writes ("Ziel: /…/buchungen_export.txt").
QString runOutcomeText(const QString& transId, const RunResult& result, const QTime& at);

// Asks whether a source that went into the same target before is to be converted again:
// true for "Trotzdem umsetzen", false for "Abbrechen" (also when the box is closed).
bool confirmRepeat(QWidget* parent, const QString& question);

} // namespace quendra::ui
