#pragma once

#include <QString>
#include <QtGlobal>

namespace quendra {

// Where a head's records are, as its column FromMedium stores it. A stored number that
// names none of these is kept as it is and refused when a run or a window opens the head.
enum class Medium : qint16 {
    TextFile = 0,     // a delimited or fixed-length text file
    OdbcSource = 1,   // a table or query of an ODBC data source
    DatabaseFile = 2, // a database file or folder of a catalogue file type
};

constexpr bool isKnown(Medium medium)
{
    return medium == Medium::TextFile || medium == Medium::OdbcSource ||
           medium == Medium::DatabaseFile;
}

// A database medium: the head is reached through a database connector.
constexpr bool isDatabase(Medium medium)
{
    return medium == Medium::OdbcSource || medium == Medium::DatabaseFile;
}

enum class HeadSide { Source, Target };

// The known media with their stored numbers, as a message lists them.
QString knownMedia();

// Refuses a medium that is none of the three, naming the stored number and the known ones.
void checkMedium(Medium medium, HeadSide side);

} // namespace quendra
