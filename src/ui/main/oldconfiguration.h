#pragma once

class QWidget;

namespace quendra::ui {

// At start: when the configuration database (globals().configDbPath) is a Jet file of an
// older version, asks whether to take it over now. On "Ja" it becomes the SQLite
// configuration (the Jet file is kept as init.mdb.access) and a box says how many rows of
// each table were taken over; a refusal is shown as an error. On "Nein" nothing changes,
// and a box says how to take it over later. Returns whether the program can go on with
// its configuration: false after "Nein" or a refusal, when it should end.
bool offerOldConfiguration(QWidget* parent = nullptr);

} // namespace quendra::ui
