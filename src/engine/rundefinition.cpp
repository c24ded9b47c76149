#include "engine/rundefinition.h"

#include "common/fileidentity.h"
#include "common/globals.h"
#include "common/messagehandler.h"
#include "common/processmark.h"
#include "config/configconnection.h"
#include "config/configsql.h"
#include "config/journalstartrow.h"
#include "config/runjournal.h"
#include "engine/clsfileconvert.h"
#include "engine/targetwriter.h"

#include <QCoreApplication>
#include <QSysInfo>
#include <functional>
#include <memory>
#include <optional>
#include <pwd.h>
#include <unistd.h>

namespace quendra {

void showRunResult(const RunResult& result)
{
    for (const RunMessage& w : result.warnings)
        showError(&w.error, StyleWarning, w.where, w.note);
    if (result.failure)
        showError(&result.failure->error, StyleCritical, result.failure->where,
                  result.failure->note);
}

QString recordCountText(qint64 records)
{
    return records == 1 ? QStringLiteral("1 Datensatz")
                        : QStringLiteral("%1 Datensätze").arg(records);
}

QString nothingWrittenSummary(const RunResult& result)
{
    return QStringLiteral("%1, %2 mit Fehler – nichts geschrieben")
        .arg(recordCountText(result.records))
        .arg(result.faultyRecords);
}

QString moreFaultsText(qint64 rest)
{
    return QStringLiteral("… und %1 weitere Datensätze mit Fehler").arg(rest);
}

namespace {

// A database source or target as the journal names it: the data source or file, then the
// table or the query.
QString databaseName(const QString& path, const QString& table, const QString& sql = {})
{
    if (!sql.isEmpty())
        return QStringLiteral("%1, Abfrage %2").arg(path, sql.simplified());
    return QStringLiteral("%1, Tabelle %2").arg(path, table);
}

QString sourceName(const Definition& def)
{
    const SrcHead& s = def.src;
    return s.frommedium == Medium::TextFile ? s.path : databaseName(s.path, s.dbtable, s.sqlstring);
}

QString targetName(const Definition& def)
{
    const TrgHead& t = def.trg;
    return t.frommedium == Medium::TextFile ? t.path : databaseName(t.path, t.dbtable);
}

QString userName()
{
    const QString user = qEnvironmentVariable("USER");
    if (!user.isEmpty())
        return user;
    const passwd* entry = ::getpwuid(::getuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(::getuid());
}

JournalEntry startingEntry(const clsFileConvert& engine, const RunOptions& options)
{
    JournalEntry e;
    e.transId = engine.definition().transId;
    e.program = QCoreApplication::applicationName();
    e.started = QDateTime::currentDateTimeUtc();
    e.user = userName();
    e.host = QSysInfo::machineHostName();
    e.pid = QCoreApplication::applicationPid();
    e.processMark = ownProcessStartMark();
    e.source = sourceName(engine.definition());
    e.target = targetName(engine.definition());
    e.allOrNothing = options.allOrNothing;
    return e;
}

void completeEntry(JournalEntry& e, const RunResult& result)
{
    e.ended = QDateTime::currentDateTimeUtc();
    e.recordsRead = result.recordsRead;
    e.recordsWritten = result.recordsWritten;
    e.allOrNothing = result.allOrNothing;
    e.checkLines =
        QStringList(result.checkTexts.begin(), result.checkTexts.end()).join(QLatin1Char('\n'));
    if (result.source) {
        e.sourceSize = result.source->size;
        e.sourceModified = result.source->modified;
        e.sourceRows = result.source->rows;
        e.sourceSha256 = result.source->sha256;
    }
    QStringList messages;
    if (result.failure) {
        const Error& error = result.failure->error;
        e.status = result.refused                            ? journalstatus::refused()
                   : error.number() == errnum::UserInterrupt ? journalstatus::stopped()
                                                             : journalstatus::failed();
        messages << error.description();
        if (!result.failure->note.isEmpty())
            messages.back() += QStringLiteral(" (%1)").arg(result.failure->note);
    } else {
        e.status = journalstatus::succeeded();
    }
    for (const RunMessage& w : result.warnings)
        messages << w.error.description();
    e.message = messages.join(QLatin1Char('\n'));
}

// "am 10.12.2026 um 17:43 Uhr"
QString whenText(const QDateTime& t)
{
    const QDateTime local = t.toLocalTime();
    return QStringLiteral("am %1 um %2 Uhr")
        .arg(local.toString(QStringLiteral("dd.MM.yyyy")), local.toString(QStringLiteral("HH:mm")));
}

// Stops a run whose source went into the same target in an earlier successful run of the
// definition, unless the repeat is wanted. A journal that cannot be read lets the run go
// on with a warning: whether it repeats is then not known.
void guardRepeat(const JournalEntry& run, const SourceIdentity& source, const RunOptions& options,
                 std::vector<RunMessage>& warnings)
{
    if (source.sha256.isEmpty())
        return;
    std::optional<JournalEntry> earlier;
    std::optional<JournalEntry> running;
    // An earlier run of the definition into the same target still going stops this one:
    // its source is not known before its end, so it may be this one.
    const std::optional<Error> fault = journalWrite([&] {
        settleAbandonedRuns();
        running = runningSameSource(run.id, run.transId, run.target, source.sha256);
        earlier = earlierSuccess(run.transId, run.target, source.sha256);
    });
    if (fault) {
        warnings.push_back(RunMessage{
            Error(0, {},
                  QStringLiteral("Ob diese Quelle schon einmal umgesetzt wurde, ist nicht "
                                 "festzustellen: %1")
                      .arg(fault->description())),
            runWhere(),
            {}});
        return;
    }
    if (running) {
        const QDateTime since = running->started.toLocalTime();
        QString text =
            QStringLiteral("Seit dem %2 um %3 Uhr läuft schon ein Lauf von %4 nach %5; die Quelle "
                           "%1 wurde nicht umgesetzt.")
                .arg(run.source, since.toString(QStringLiteral("dd.MM.yyyy")),
                     since.toString(QStringLiteral("HH:mm")), run.transId, running->target);
        if (!options.repeatAdvice.isEmpty())
            text += QLatin1Char(' ') + options.repeatAdvice;
        throw Error(errnum::Repeat, {}, text);
    }
    if (!earlier)
        return;
    const QString told =
        QStringLiteral("Die Quelle %1 wurde %2 schon mit %3 umgesetzt: %4 nach %5.")
            .arg(run.source, whenText(earlier->started), run.transId,
                 recordCountText(earlier->recordsWritten), earlier->target);
    if (options.confirmRepeat &&
        options.confirmRepeat(told + QStringLiteral("\n\nSoll sie noch einmal umgesetzt werden?")))
        return;
    QString text = told + QStringLiteral(" Sie wurde nicht noch einmal umgesetzt.");
    if (!options.repeatAdvice.isEmpty())
        text += QLatin1Char(' ') + options.repeatAdvice;
    throw Error(errnum::Repeat, {}, text);
}

// The error of a run that did not start because its row could not be written.
Error notStarted(const Error& fault)
{
    return Error(fault.number(), fault.source(),
                 QStringLiteral("Die Umsetzung wurde nicht begonnen, weil sie nicht im Protokoll "
                                "der Konfigurationsdatenbank vermerkt werden kann; das Ziel ist "
                                "unverändert. %1")
                     .arg(fault.description()));
}

// The result of a run that did not start, with its error.
RunResult notStartedResult(const clsFileConvert& engine, const Error& error)
{
    RunResult result;
    result.failure = RunMessage{error, runWhere(), {}};
    result.target = targetPlace(engine.definition().trg).text;
    return result;
}

RunMessage journalWarning(const QString& sentence, const Error& fault)
{
    return RunMessage{Error(0, {}, sentence.arg(fault.description())), runWhere(), {}};
}

// A run that goes on without its row.
RunMessage unjournaled(const Error& fault)
{
    return journalWarning(QStringLiteral("Der Lauf wird nicht im Protokoll der "
                                         "Konfigurationsdatenbank vermerkt und nicht mit früheren "
                                         "Läufen verglichen: %1"),
                          fault);
}

// A run whose row is missing or incomplete.
RunMessage notRecorded(const Error& fault)
{
    return journalWarning(
        QStringLiteral("Der Lauf ist nicht im Protokoll der Konfigurationsdatenbank vermerkt: %1"),
        fault);
}

// Whether the run reads or writes a table of the configuration database itself: it would
// meet the journal row's transaction there.
bool usesConfigFile(const Definition& def)
{
    const std::optional<FileIdentity> config = fileIdentity(globals().configDbPath);
    return config && (fileIdentity(def.src.path) == config || fileIdentity(def.trg.path) == config);
}

// A writing run leaves its row in the journal: written as it starts, completed as it
// ends. A run whose row cannot be written as it starts because another program holds
// init.mdb does not start: without the row, neither a second run at the same time nor the
// next start could see it, and the lock passes. A journal refused for any other reason
// (a read-only or damaged file) would stop every run for good: the run goes on without
// its row and says so. The row reaches the disk while the run reads; before its target
// first changes, the run waits for it, so that a killed run leaves it; a run on a table
// of init.mdb waits for it before it starts. Once the target
// has changed, the journal never fails the run; when its end cannot be written, a warning
// says so.
RunResult journaledRun(clsFileConvert& engine, const RunOptions& options)
{
    JournalEntry entry = startingEntry(engine, options);
    std::optional<JournalStartRow> row;
    try {
        row.emplace(entry);
    } catch (...) {
        const Error fault = currentError();
        if (!isLockedError(fault)) {
            RunResult result = engine.RunConvert(options);
            result.warnings.insert(result.warnings.begin(), unjournaled(fault));
            return result;
        }
        return notStartedResult(engine, notStarted(fault));
    }
    if (!row->kept())
        return engine.RunConvert(options);
    entry.id = row->id();
    RunOptions identified = options;
    identified.identifySource = true;
    std::vector<RunMessage> guardWarnings;
    bool passed = false; // the row's fault, if any, is told
    identified.beforeTarget.ready = [&] { return row->ready(); };
    identified.beforeTarget.pass = [&] {
        if (passed)
            return;
        passed = true;
        if (const std::optional<Error>& fault = row->committed()) {
            if (isLockedError(*fault))
                throw notStarted(*fault);
            guardWarnings.push_back(unjournaled(*fault));
        }
    };
    if (!options.again)
        identified.checkSource = [&](const SourceIdentity& source) {
            if (!row->committed())
                guardRepeat(entry, source, options, guardWarnings);
        };
    if (usesConfigFile(engine.definition())) {
        try {
            identified.beforeTarget.pass();
        } catch (...) {
            return notStartedResult(engine, currentError());
        }
    }
    RunResult result = engine.RunConvert(identified);
    result.refused = result.failure && result.failure->error.number() == errnum::Repeat;
    result.warnings.insert(result.warnings.begin(), guardWarnings.begin(), guardWarnings.end());
    if (const std::optional<Error>& fault = row->committed()) {
        if (!passed)
            result.warnings.push_back(notRecorded(*fault));
        return result;
    }
    completeEntry(entry, result);
    if (const std::optional<Error> fault = journalWrite([&] { journalFinish(entry); }))
        result.warnings.push_back(notRecorded(*fault));
    return result;
}

} // namespace

RunResult runDefinition(const QString& transId, ProgressSink* progress, const RunOptions& options)
{
    // The run opens its configuration cursors one after another; they share one
    // connection for the whole run.
    const ConfigConnectionScope configConnection;
    std::unique_ptr<clsFileConvert> engine;
    try {
        engine = std::make_unique<clsFileConvert>(transId, progress);
    } catch (...) {
        RunResult result;
        result.failure = RunMessage{currentError(), QStringLiteral("Main.RunFileConvert"), {}};
        return result;
    }
    if (options.mode != RunMode::Write)
        return engine->RunConvert(options);
    return journaledRun(*engine, options);
}

} // namespace quendra
