#pragma once

#include <QString>
#include <array>

namespace quendra {

// The process-wide tables, built once by initGlobals and read-only afterwards.
struct Globals {
    QString configDbPath; // the init.mdb to use: the one named, or programConfigLocation's
    QString appTitle;     // "Quendra"
    QString versionText;  // QUENDRA_VERSION, from the project version
    QString appLabel;     // "Quendra (<version>)"
    std::array<QString, 2> specDelimiters;
    std::array<QString, 4> fieldTypes;
    std::array<std::array<QString, 7>, 3> formats; // column 0: field type, 1..6: formats
    std::array<QString, 2> sumKinds;
    std::array<QString, 2> alignments;
};

// Builds the tables. configDbPath overrides the configuration database path (the batch
// runner's --config, tests); empty means the one programConfigLocation finds.
void initGlobals(const QString& configDbPath = {});
// Regional settings for a process without any (the C or POSIX locale): numbers and dates
// then follow German conventions, as the program's texts do. Call once at start.
void applyRegionalDefault();

// The tables; initGlobals must have run.
const Globals& globals();

// The current TransID: the definition chosen in the main window (or named to the
// batch runner), read by the engine, the editors and the customer module.
const QString& currentTransID();
void setCurrentTransID(const QString& transId);

} // namespace quendra
