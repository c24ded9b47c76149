// The record loop of a run: reads the source, composes and writes or lists each record.
#include "common/error.h"
#include "common/leftoverfiles.h"
#include "common/progress.h"
#include "common/stoprequest.h"
#include "connectors/clsadoconnect.h"
#include "connectors/clsfsconnect.h"
#include "connectors/filetypes.h"
#include "engine/fileconvertstate.h"
#include "engine/indivtorven.h"
#include "engine/sourceidentity.h"
#include "engine/targetoversource.h"

#include <algorithm>

namespace quendra {

namespace {
// The source of a run, opened by medium: a text file or a database table or query.
struct OpenSource {
    std::unique_ptr<clsFSConnect> file;
    std::unique_ptr<clsADOConnect> database;
    RecordReader* reader = nullptr;
    int fieldCount = 0;
};

// forwardOnly: a database source is read record by record, not held as a whole.
OpenSource openSource(const clsFileConvert& engine, const SrcHead& head, bool forwardOnly)
{
    OpenSource s;
    const Medium medium = engine.getFromMedium();
    checkMedium(medium, HeadSide::Source);
    if (medium == Medium::TextFile) {
        s.file = std::make_unique<clsFSConnect>();
        s.file->setEncoding(head.encoding);
        s.file->init(engine.getFromPath(), 1, engine.getFromDelimiter());
        s.fieldCount = s.file->fieldCount();
        s.reader = s.file.get();
        // A delimiter that the first line does not hold would put every whole line into
        // the first field ("\t" typed as two characters, "," for a ";" file).
        const std::size_t fields = engine.definition().srcFields.size();
        if (!s.file->isEOF() && s.fieldCount == 1 && fields > 1)
            throw standardError(errnum::InvalidProcedureCall,
                                QStringLiteral("Das Trennzeichen „%1“ kommt in Zeile 1 nicht "
                                               "vor (Quelldatei %2), die Definition hat aber %3 "
                                               "Quellfelder: jede Zeile käme ganz in das erste "
                                               "Feld. Prüfen Sie das Trennzeichen der Quelle.")
                                    .arg(engine.getFromDelimiter(), engine.getFromPath())
                                    .arg(fields));
    } else {
        checkFileType(medium, engine.getFromFileType());
        s.database = std::make_unique<clsADOConnect>();
        s.database->setSource(getADOProvider(medium, engine.getFromPath(), engine.getFromFileType(),
                                             head.header != 0));
        if (!engine.getFromSQLString().isEmpty())
            s.database->setSQL(engine.getFromSQLString());
        if (!engine.getFromTable().isEmpty())
            s.database->setTable(engine.getFromTable());
        s.database->setForwardOnly(forwardOnly);
        s.database->init();
        s.fieldCount = s.database->record().fieldsCount();
        s.reader = s.database.get();
    }
    return s;
}

// The run stops before a record when someone asked it to: a signal, or the user in the
// progress window. What the target then holds follows from the run's kind (all or
// nothing adds it when the error is reported).
Error stoppedError(qint64 record, RunMode mode, bool allOrNothing)
{
    const bool check = mode == RunMode::Check;
    const QString run = check                      ? QStringLiteral("Der Prüflauf")
                        : mode == RunMode::Preview ? QStringLiteral("Die Vorschau")
                                                   : QStringLiteral("Die Umsetzung");
    const QString state = mode != RunMode::Write ? QStringLiteral(" Es wurde nichts geschrieben.")
                          : allOrNothing         ? QString()
                                         : QStringLiteral(" Das Ziel enthält die Datensätze "
                                                          "davor vollständig, aber keine "
                                                          "Prüfsummen.");
    return Error(errnum::UserInterrupt, {},
                 QStringLiteral("%1 wurde%2 abgebrochen, bevor Datensatz %3 %4 wurde.%5")
                     .arg(run, stoppedBySignal())
                     .arg(record)
                     .arg(check ? QStringLiteral("geprüft") : QStringLiteral("umgesetzt"), state));
}

// A source that delivered fewer records than it held at the start was changed by
// another program during the run; the target would look complete but is not.
void checkSourceComplete(const OpenSource& source, qint64 total, qint64 read, bool allOrNothing)
{
    const QString state = allOrNothing ? QString() : QStringLiteral(" Das Ziel ist unvollständig.");
    if (total > 0 && read < total)
        throw Error(errnum::NoCurrentRecord, {},
                    QStringLiteral("Die Quelle endete nach %1 von %2 Datensätzen: sie wurde "
                                   "während der Umsetzung von einem anderen Programm "
                                   "verändert.%3")
                        .arg(read)
                        .arg(total)
                        .arg(state));
    if (source.file && source.file->endedShort())
        throw Error(errnum::NoCurrentRecord, {},
                    QStringLiteral("Die Quelldatei endete nach %1 Datensätzen, war beim Öffnen "
                                   "aber länger (%2 statt %3 Bytes gelesen): sie wurde während "
                                   "der Umsetzung von einem anderen Programm verändert.%4")
                        .arg(read)
                        .arg(source.file->bytesRead())
                        .arg(source.file->sizeAtOpen())
                        .arg(state));
}

// An all-or-nothing run that failed, for whatever reason, left its target as it was;
// its error says so, so that it never reads like the error of a run that wrote part.
Error withTargetKept(const Error& e)
{
    return Error(e.number(), e.source(),
                 e.description() + QStringLiteral("\nDas Ziel ist unverändert."), e.helpFile(),
                 e.helpContext());
}

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
        takeRecord(*source.reader, source.file, source.fieldCount);
        engine.runTargedConvert(false);
        outcome.bytes = target->takeOutput();
    } catch (...) {
        RunMessage message{currentError(), QStringLiteral("clsFileConvert.RunConvert"), runNote()};
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
    OpenSource source;
    bool allOrNothing = options.allOrNothing; // the target changes only when the run succeeds
    // The source's identity: a file is hashed beside the run, a database source over the
    // values the run reads.
    std::optional<FileFingerprint> fileIdentity;
    std::optional<ValueFingerprint> valueIdentity;
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
                result.warnings.push_back(RunMessage{
                    Error(0, {}, removed), QStringLiteral("clsFileConvert.RunConvert"), {}});
        }
        // A progress display shows the record count, which a database source only has
        // when it is held as a whole; without one, it is read record by record.
        source = openSource(*this, d->def.src, !d->progress);
        if (options.identifySource && !listing) {
            if (source.file)
                fileIdentity.emplace(getFromPath());
            else
                valueIdentity.emplace();
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
        const SourceView view{source.reader, source.file.get(), source.fieldCount};
        qint64 done = 0, read = 0;
        while (!reader.isEOF() && (limit < 0 || done < limit)) {
            d->record = reader.AbsolutePosition();
            if (stopRequested() || (d->progress && d->progress->stopRequested())) {
                result.stopped = true;
                throw stoppedError(d->record, options.mode, allOrNothing);
            }
            if (d->progress)
                d->progress->setCount(d->record, total);
            if (listing) {
                d->listRecord(*this, view, result, options.observer);
            } else {
                if (valueIdentity)
                    valueIdentity->addRecord(reader, source.fieldCount);
                d->takeRecord(reader, source.file.get(), source.fieldCount);
                runTargedConvert(false);
            }
            result.recordsRead = read = d->record;
            ++done;
            reader.MoveNext();
        }
        d->record = 0;
        if (limit < 0)
            checkSourceComplete(source, total, read, allOrNothing);
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
        d->target->close();
        const QString replaced = d->target->replacementWarning();
        if (!replaced.isEmpty())
            result.warnings.push_back(RunMessage{
                Error(0, {}, replaced), QStringLiteral("clsFileConvert.RunConvert"), {}});
    } catch (...) {
        Error err = currentError();
        const qint64 inHand = d->record;
        d->target->completeAfterFailure(err, d->record);
        if (d->record != inHand)
            d->field = -1; // the error is about an earlier record's row as a whole
        if (options.mode == RunMode::Write && allOrNothing)
            err = withTargetKept(err);
        result.failure = RunMessage{err, QStringLiteral("clsFileConvert.RunConvert"), d->runNote()};
    }
    result.allOrNothing = allOrNothing;
    result.recordsWritten = result.failure && allOrNothing ? 0 : d->target->recordsWritten();
    if (fileIdentity && !fileIdentity->result().sha256.isEmpty())
        result.source = fileIdentity->result();
    else if (valueIdentity)
        result.source = valueIdentity->result();
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
