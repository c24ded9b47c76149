// The record loop of a run: reads the source, composes and writes or lists each record.
#include "common/error.h"
#include "common/leftoverfiles.h"
#include "common/progress.h"
#include "common/stoprequest.h"
#include "connectors/filetypes.h"
#include "engine/fileconvertstate.h"
#include "engine/headconnection.h"
#include "engine/indivtorven.h"
#include "engine/sourcewatch.h"
#include "engine/targetoversource.h"

#include <algorithm>

namespace quendra {

namespace {
// Why a run failed, as far as it decides what the target holds.
enum class Failure {
    Other,
    Stopped,       // someone asked the run to stop before a record
    SourceChanged, // another program shortened the source during the run
};

// What the target holds after a failed run, said here alone and added to its error. An
// all-or-nothing run, failed for whatever reason, left its target as it was, so that its
// error never reads like that of a run that wrote part. Another run wrote the records
// before the failure; a preview or check run wrote nothing.
Error withTargetState(const Error& e, RunMode mode, bool allOrNothing, Failure failure)
{
    QString state;
    if (mode != RunMode::Write)
        state = failure == Failure::Stopped ? QStringLiteral(" Es wurde nichts geschrieben.")
                                            : QString();
    else if (allOrNothing)
        state = QStringLiteral("\nDas Ziel ist unverändert.");
    else if (failure == Failure::Stopped)
        state = QStringLiteral(" Das Ziel enthält die Datensätze davor vollständig, aber keine "
                               "Prüfsummen.");
    else if (failure == Failure::SourceChanged)
        state = QStringLiteral(" Das Ziel ist unvollständig.");
    if (state.isEmpty())
        return e;
    return Error(e.number(), e.source(), e.description() + state, e.helpFile(), e.helpContext());
}

// A database source read once through for its identity, apart from the run's reading.
void readAllValues(const clsFileConvert& engine, ValueFingerprint& values)
{
    const Definition& def = engine.definition();
    const HeadSource again = openSource(def.src, def.srcFields.size(), true);
    for (RecordReader& reader = *again.reader; !reader.isEOF(); reader.MoveNext())
        values.addRecord(reader, again.fieldCount);
}

// The run stops before a record when someone asked it to: a signal, or the user in the
// progress window.
Error stoppedError(qint64 record, RunMode mode)
{
    const bool check = mode == RunMode::Check;
    const QString run = check                      ? QStringLiteral("Der Prüflauf")
                        : mode == RunMode::Preview ? QStringLiteral("Die Vorschau")
                                                   : QStringLiteral("Die Umsetzung");
    return Error(errnum::UserInterrupt, {},
                 QStringLiteral("%1 wurde%2 abgebrochen, bevor Datensatz %3 %4 wurde.")
                     .arg(run, stoppedBySignal())
                     .arg(record)
                     .arg(check ? QStringLiteral("geprüft") : QStringLiteral("umgesetzt")));
}

// A source that delivered fewer records than it held at the start was changed by
// another program during the run; the target would look complete but is not.
void checkSourceComplete(const RecordReader& reader, qint64 total, qint64 read)
{
    if (total > 0 && read < total)
        throw Error(errnum::NoCurrentRecord, {},
                    QStringLiteral("Die Quelle endete nach %1 von %2 Datensätzen: sie wurde "
                                   "während der Umsetzung von einem anderen Programm "
                                   "verändert.")
                        .arg(read)
                        .arg(total));
    reader.checkComplete(read);
}

// The bytes of target records held back in memory at most (where the target cannot take
// a new file beside it) while the source's file is hashed; then the run waits for the
// hash. As much as a text target's write buffer holds anyway: a larger buffer costs fresh
// pages and copies of what it held, more than the wait saves where the processor is
// shared, and about as much where the hash has a core of its own.
constexpr qint64 HoldLimit = qint64(1) << 20;

// The blocks of a text source go to the watch as the run reads them, until it is through.
class HandedBlocks {
public:
    HandedBlocks(RecordReader& reader, ReadBlocks* blocks) : m_reader(reader)
    {
        m_reader.handBlocks(blocks);
    }
    ~HandedBlocks() { m_reader.handBlocks(nullptr); }
    HandedBlocks(const HandedBlocks&) = delete;
    HandedBlocks& operator=(const HandedBlocks&) = delete;

private:
    RecordReader& m_reader;
};

// Where the records of a run with these options go.
TargetOutput outputOf(const RunOptions& options)
{
    if (options.mode != RunMode::Write)
        return TargetOutput::Memory;
    return options.allOrNothing ? TargetOutput::AllOrNothing : TargetOutput::Write;
}
} // namespace

// Composes the current record into memory; a faulty record is listed and leaves no trace.
void clsFileConvert::Impl::listRecord(clsFileConvert& engine, const SourceView& source,
                                      RunResult& result, RunObserver* observer)
{
    RecordOutcome outcome;
    outcome.number = record;
    const Saved before = save();
    try {
        takeRecord(*source.reader, source.fieldCount);
        engine.runTargedConvert(false);
        outcome.bytes = target->takeOutput();
    } catch (...) {
        RunMessage message{currentError(), runWhere(), runNote()};
        restore(before);
        target->takeOutput();
        if (qint64(result.recordFaults.size()) < MaxListedFaults)
            result.recordFaults.push_back(message);
        ++result.faultyRecords;
        outcome.error = std::move(message);
    }
    field = -1;
    ++result.records;
    if (observer) {
        settleFromValues();
        outcome.source = fromValues;
        if (!outcome.error)
            outcome.target = toValues;
        observer->record(outcome);
    }
}

RunResult clsFileConvert::RunConvert(const RunOptions& options)
{
    RunResult result;
    const bool listing = options.mode != RunMode::Write;
    const qint64 limit = options.mode == RunMode::Preview
                             ? std::clamp<qint64>(options.previewRecords, 0, MaxPreviewRecords)
                             : -1;
    if (d->progress)
        d->progress->open();
    HeadSource source;
    Failure failure = Failure::Other;
    bool allOrNothing = options.allOrNothing; // the target changes only when the run succeeds
    // The source's identity: a file is hashed beside the run, a database source over the
    // values the run reads; it may stop the run before the target changes.
    std::optional<SourceWatch> watch;
    std::optional<HandedBlocks> handed;
    // A text target written record by record holds its first records back while the
    // source's file is hashed beside the run and the gate waits, until they let them go.
    bool holding = false;
    const auto letGo = [&] {
        holding = false;
        d->record = 0; // a refusal, or the target that cannot be opened, is about no record
        watch->checkBeforeCommit();
        d->target->letGo();
    };
    try {
        d->target->setOutput(outputOf(options));
        allOrNothing = options.allOrNothing || d->target->allOrNothing();
        refuseTargetOverSource(d->def.src, d->def.trg);
        d->target->checkUsable();
        // What a killed run left beside its target file (a new file that was to replace it).
        const TrgHead& trg = d->def.trg;
        if (options.mode == RunMode::Write &&
            (d->target->isText() || writesWholeFile(trg.frommedium, trg.filetype))) {
            for (const QString& removed : removeLeftovers(trg.path))
                result.warnings.push_back(RunMessage{Error(0, {}, removed), runWhere(), {}});
        }
        // A progress display shows the record count, which a database source only has
        // when it is held as a whole; without one, it is read record by record.
        source = openSource(d->def.src, d->def.srcFields.size(), !d->progress);
        if (const QString note = source.reader->note(); !note.isEmpty())
            result.warnings.insert(result.warnings.begin(),
                                   RunMessage{Error(0, {}, note), runWhere(), {}});
        if (options.identifySource && !listing) {
            // A target that takes each record as it comes waits for the check before it
            // changes: the file is hashed ahead of the run. Otherwise the identity is taken
            // as the run reads, without reading the file twice.
            const bool early = options.checkSource && !allOrNothing;
            watch.emplace(d->def.src.frommedium == Medium::TextFile ? getFromPath() : QString(),
                          options.checkSource, options.beforeTarget, early);
            if (!early && watch->blocks())
                handed.emplace(*source.reader, watch->blocks());
            holding = !allOrNothing && d->target->isText() &&
                      (options.checkSource ? watch->hashesFile() : bool(options.beforeTarget.pass));
            if (holding)
                d->target->holdBack();
            else if (!allOrNothing && options.checkSource)
                watch->checkFirst([&](ValueFingerprint& values) { readAllValues(*this, values); });
            else if (!allOrNothing)
                watch->checkBeforeCommit(); // the gate alone, before the first record
        }
        if (options.observer)
            options.observer->start(d->def);
        RecordReader& reader = *source.reader;
        // The record count only feeds the progress display; without one it is not counted
        // (a text file would be read twice for it, and is at its first line after opening
        // anyway). An empty source has no first record to return to: a database row set
        // would refuse the move, so there is nothing to count.
        qint64 total = 0;
        if (!reader.isEOF() && d->progress) {
            reader.MoveLast();
            total = reader.AbsolutePosition();
            reader.MoveFirst();
        }
        const SourceView view{&reader, source.fieldCount};
        qint64 done = 0, read = 0;
        while (!reader.isEOF() && (limit < 0 || done < limit)) {
            if (holding && (watch->ready() || d->target->heldBytes() >= HoldLimit))
                letGo();
            d->record = reader.AbsolutePosition();
            if (stopRequested() || (d->progress && d->progress->stopRequested())) {
                result.stopped = true;
                failure = Failure::Stopped;
                throw stoppedError(d->record, options.mode);
            }
            if (d->progress)
                d->progress->setCount(d->record, total);
            if (listing) {
                d->listRecord(*this, view, result, options.observer);
            } else {
                if (watch)
                    watch->addRecord(reader, source.fieldCount);
                d->takeRecord(reader, source.fieldCount);
                runTargedConvert(false);
            }
            result.recordsRead = read = d->record;
            ++done;
            reader.MoveNext();
        }
        d->record = 0;
        if (limit < 0) {
            failure = Failure::SourceChanged;
            checkSourceComplete(reader, total, read);
            failure = Failure::Other;
        }
        if (d->torven)
            indivTorven::torvenRunCorrectAmount(*this, true);
        if (d->def.trg.chkrecord != 0 && d->target->isText() && d->checks->started() &&
            d->target->isOpen()) {
            result.checkTexts = d->checks->lines(d->regional);
            result.checkTexts.insert(result.checkTexts.begin(), QStringLiteral("Prüfsumme:"));
            for (const QString& line : result.checkTexts)
                d->target->writeLine(line);
        }
        if (listing)
            result.checkLines = d->target->takeOutput();
        if (holding)
            letGo();
        if (watch)
            watch->checkBeforeCommit();
        d->target->close();
        const QString replaced = d->target->replacementWarning();
        if (!replaced.isEmpty())
            result.warnings.push_back(RunMessage{Error(0, {}, replaced), runWhere(), {}});
    } catch (...) {
        Error err = currentError();
        // The records before the failure go into the target, unless the check refuses the
        // source: then the refusal is the run's error, and the target stays as it was.
        if (holding) {
            try {
                const qint64 failed = d->record;
                letGo();
                d->record = failed;
            } catch (...) {
                err = currentError();
                failure = Failure::Other;
            }
        }
        const qint64 inHand = d->record;
        d->target->completeAfterFailure(err, d->record);
        if (d->record != inHand)
            d->field = -1; // the error is about an earlier record's row as a whole
        if (source.reader && source.reader->shortened())
            failure = Failure::SourceChanged;
        err = withTargetState(err, options.mode, allOrNothing, failure);
        result.failure = RunMessage{err, runWhere(), d->runNote()};
    }
    if (const QString note = d->target->note(); !note.isEmpty())
        result.warnings.insert(result.warnings.begin(),
                               RunMessage{Error(0, {}, note), runWhere(), {}});
    result.allOrNothing = allOrNothing;
    result.recordsWritten = result.failure && allOrNothing ? 0 : d->target->recordsWritten();
    if (watch)
        result.source = watch->result();
    d->settleFromValues(); // while the source's last line is still there
    d->record = 0;
    d->field = -1;
    if (d->progress)
        d->progress->close();
    d->target->release();
    // After the run: a file the run made (a workbook, say) is there now.
    const TargetPlace place = targetPlace(d->def.trg);
    result.target = place.text;
    result.targetFolder = place.folder;
    return result;
}

} // namespace quendra
