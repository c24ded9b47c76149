#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace quendra {

// The journal of the runs that wrote: one row per run in Quendra's own table quendraJournal
// of init.mdb (made at the first run; the definition tables keep their columns, and the
// journal travels neither with an exported definition nor with a migration). A run writes
// its row when it starts and completes it when it ends, so that a run that was killed
// leaves a row that the next start marks "abgebrochen". Read and written through the
// configuration database of globals(); every function throws quendra::Error when init.mdb
// cannot be read or written (a lock of another program among them, see isLockedError).

// How a run ended, as the journal says it.
namespace journalstatus {
inline QString running()
{
    return QStringLiteral("läuft");
}
inline QString succeeded()
{
    return QStringLiteral("erfolgreich");
}
inline QString failed()
{
    return QStringLiteral("Fehler");
}
inline QString stopped()
{
    return QStringLiteral("gestoppt");
} // a signal or the user
inline QString refused()
{
    return QStringLiteral("nicht umgesetzt");
} // a repeat, not wanted
inline QString abandoned()
{
    return QStringLiteral("abgebrochen");
} // ended without a word
} // namespace journalstatus

struct JournalEntry {
    qint64 id = 0;
    QString transId;
    QString program;    // "quendra" (the window) or "quendra-run"
    QDateTime started;  // UTC
    QDateTime ended;    // UTC; invalid while running or when the run was killed
    QString user, host; // who ran it where
    qint64 pid = 0;
    QString processMark; // processStartMark of the running process
    QString source;      // path, or data source and table or query
    qint64 sourceSize = -1;
    QDateTime sourceModified; // UTC
    qint64 sourceRows = -1;
    QByteArray sourceSha256;
    QString target; // path, or data source and table
    qint64 recordsRead = -1;
    qint64 recordsWritten = -1;
    QString checkLines; // the check lines written, one a line
    bool allOrNothing = false;
    QString status;
    QString message;
};

// Rows the journal keeps when nothing else is set; the oldest beyond the limit are dropped
// as a new run starts. 0 keeps no journal: no row is written and no repeat is refused.
constexpr int DefaultJournalRows = 10000;
int journalRowsKept();
void setJournalRowsKept(int rows);

// Writes the row of a run that starts (status "läuft") and drops the oldest rows beyond
// the limit; returns the row's id.
qint64 journalStart(const JournalEntry& entry);
// Completes the row entry.id (from journalStart) with everything entry holds.
void journalFinish(const JournalEntry& entry);
// Marks "abgebrochen" the rows still "läuft" whose process of this machine has ended.
// Rows of another machine stay as they are: whether that process still runs is not known
// here.
void settleAbandonedRuns();

// The rows of transId (all when empty) that started at or after since (all when invalid),
// newest first.
std::vector<JournalEntry> journalEntries(const QString& transId = {}, const QDateTime& since = {});
// The latest successful run of transId into target from a source with this SHA-256.
std::optional<JournalEntry> earlierSuccess(const QString& transId, const QString& target,
                                           const QByteArray& sha256);

// The earliest run before ownId still running (after settleAbandonedRuns) of transId into
// target from a source with this SHA-256 or one not yet known.
std::optional<JournalEntry> runningSameSource(qint64 ownId, const QString& transId,
                                              const QString& target, const QByteArray& sha256);

// The journal as a table shows it (the batch runner's listing and the window "Protokoll"):
// the headings, and the texts of a row under them, times in local time.
QStringList journalHeadings();
QStringList journalCells(const JournalEntry& entry);

} // namespace quendra
