#pragma once

#include "common/error.h"
#include "engine/sourceidentity.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace quendra {

// The procedure that a run's own messages come from.
inline QString runWhere()
{
    return QStringLiteral("clsFileConvert.RunConvert");
}

// One message of a run: the error, the procedure that reports it (runWhere() for the
// run's own) and where the run stood ("Datensatz 17, Feld BETRAG"; empty outside the record loop).
struct RunMessage {
    Error error;
    QString where;
    QString note;
};

// How a run ended: done, done with warnings, or stopped by an error. The run shows
// nothing itself; the window and the batch runner show the result each in their way.
struct RunResult {
    std::optional<RunMessage> failure;
    std::vector<RunMessage> warnings;

    // Preview and check run: the records composed, the faulty ones among them, the
    // messages of the first MaxListedFaults faulty ones, and the bytes of the check
    // lines over the good records (as written to a text target; empty without them).
    qint64 records = 0;
    qint64 faultyRecords = 0;
    std::vector<RunMessage> recordFaults;
    QByteArray checkLines;
    std::vector<QString> checkTexts; // the same lines as text (also of a writing run)

    // A writing run: the source records read, the records the target holds of this run
    // (after an error those before it; none when the target was kept as it was), whether
    // the target changed only as a whole, and the source's identity when it was asked for.
    qint64 recordsRead = 0;
    qint64 recordsWritten = 0;
    bool allOrNothing = false;
    std::optional<SourceIdentity> source;

    // Whether the run was stopped from outside before a record (failure says so), and
    // where it writes: the text file's full path, a database file or folder
    // with the table, or the table of an ODBC data source; targetFolder is the folder
    // that holds the target (empty for a data source).
    bool stopped = false;
    // Whether the run stopped before writing because its source had gone into the same
    // target before and the repeat was not wanted (failure says when).
    bool refused = false;
    QString target;
    QString targetFolder;

    bool failed() const { return failure.has_value() || faultyRecords > 0; }
};

// Shows the warnings (style 48) and then the error (style 16) through the installed
// message sink, each as the box of its procedure.
void showRunResult(const RunResult& result);

} // namespace quendra
