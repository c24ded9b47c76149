#pragma once

#include "engine/runresult.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

namespace quendra {

struct Definition;

// What a run does with the records it composes.
enum class RunMode {
    Write,   // writes them to the target
    Preview, // composes the first records into memory and hands each to the observer
    Check,   // composes every record into memory, lists the faulty ones
};

// Records a preview composes when not told otherwise, and at most.
constexpr qint64 DefaultPreviewRecords = 20;
constexpr qint64 MaxPreviewRecords = 1000;
// Faulty records a check run lists one by one; beyond them it only counts.
constexpr qint64 MaxListedFaults = 1000;

// One source record of a preview or check run and what became of it.
struct RecordOutcome {
    qint64 number = 0;
    std::vector<QString> source; // the source fields' values
    std::vector<QString> target; // the target fields' values as composed (valid without error)
    // Exactly the bytes the run writes for the record to a text target (lines with
    // CR LF, in the target's code page); for a database target one line of UTF-8 text
    // with each column's name and the value as it is bound. Empty after an error.
    QByteArray bytes;
    std::optional<RunMessage> error; // the message the run would stop with
};

// Receives a preview's or check run's records as they are composed.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // Before the first record: the definition being run.
    virtual void start(const Definition& definition) { (void)definition; }
    virtual void record(const RecordOutcome& outcome) = 0;
};

struct RunOptions {
    RunMode mode = RunMode::Write;
    qint64 previewRecords = DefaultPreviewRecords;
    // Writing: the target changes only when the whole run succeeds (a text file is
    // replaced, a database takes all rows in one transaction); after an error it is as
    // it was before.
    bool allOrNothing = false;
    RunObserver* observer = nullptr; // not owned; may be nullptr
    // Writing: takes the source's identity (RunResult::source) while the run reads it.
    bool identifySource = false;
    // Writing: a source that an earlier successful run of the definition converted into
    // the same target (the same SHA-256) is a repeat. It goes ahead when again is set or
    // confirmRepeat, asked with a question that tells of the earlier run, answers true;
    // otherwise the run stops before anything is written, its error followed by
    // repeatAdvice (how to convert it anyway).
    bool again = false;
    std::function<bool(const QString& question)> confirmRepeat{};
    QString repeatAdvice{};
    // Set by runDefinition for the engine: handed the source's identity before the target
    // first changes; throws quendra::Error to stop the run there.
    std::function<void(const SourceIdentity& source)> checkSource{};
    // Set by runDefinition for the engine, with identifySource: what must be settled
    // before the target first changes, whatever the source (the journal's row of the run
    // written). ready tells whether pass would wait; pass throws quendra::Error to stop
    // the run there.
    struct Gate {
        std::function<bool()> ready;
        std::function<void()> pass;
    } beforeTarget{};
};

// "1 Datensatz", "250 Datensätze".
QString recordCountText(qint64 records);
// "250 Datensätze, 3 mit Fehler – nichts geschrieben": the closing line of a preview or
// check run.
QString nothingWrittenSummary(const RunResult& result);
// "… und 3 weitere Datensätze mit Fehler": the faulty records a check run does not list.
QString moreFaultsText(qint64 rest);

} // namespace quendra
