#pragma once

#include <QDateTime>
#include <QString>

// The journal of the runs, printed by the batch runner.
namespace quendra::journal {

// A call of the journal, read by the command line of a run.
struct Request {
    QString config;
    QString transId; // only this definition's runs; all when empty
    QDateTime since; // only runs begun at or after it; all when invalid
    bool json = false;
    int rows = -1; // --journal-rows: sets the rows kept instead of printing
};

// Prints the journal (or sets the rows it keeps); returns the exit status.
int run(const Request& request);

// A point in local time as a user types it (--since); invalid when it is none.
QDateTime parseSince(const QString& text);

// The call and its options, for the help text.
extern const char usage[];

} // namespace quendra::journal
