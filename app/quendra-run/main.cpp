// quendra-run: runs stored conversion definitions without a window.
#include "common/error.h"
#include "common/globals.h"
#include "common/messagehandler.h"
#include "common/qtmessages.h"
#include "common/stoprequest.h"
#include "common/streamoutput.h"
#include "common/version.h"
#include "connectors/textencoding.h"
#include "engine/definition.h"
#include "engine/rundefinition.h"
#include "journal.h"
#include "startup.h"
#include "transfer.h"

#include <QCoreApplication>
#include <QStringEncoder>
#include <QStringList>
#include <cstdio>
#include <langinfo.h>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <variant>

using namespace quendra;

namespace {

const char usage[] =
    "Aufruf: quendra-run [--config DATEI] TRANSID...\n"
    "        quendra-run [--config DATEI] --preview[=N] | --check | --all-or-nothing TRANSID...\n"
    "        quendra-run --help | --version\n"
    "\n"
    "Führt die gespeicherten Umsetzungen TRANSID nacheinander ohne Fenster aus.\n"
    "\n"
    "  --config DATEI    Konfigurationsdatenbank (Vorgabe: installiert\n"
    "                    ~/.config/quendra/init.mdb, sonst init.mdb im Programmordner)\n"
    "  --preview[=N]     schreibt nichts: gibt die Bytes aus, die die Umsetzung für die\n"
    "                    ersten N Datensätze (Vorgabe 20, höchstens 1000) schreiben würde;\n"
    "                    bei einem Datenbankziel je Datensatz eine Zeile mit Spalten und\n"
    "                    Werten. Fehler erscheinen auf der Standardfehlerausgabe.\n"
    "  --check           schreibt nichts: liest die ganze Quelle und listet jeden\n"
    "                    fehlerhaften Datensatz, dann die Prüfsummen der guten\n"
    "  --all-or-nothing  das Ziel ändert sich nur, wenn die ganze Umsetzung gelingt\n"
    "  --again           setzt auch eine Quelle um, die schon einmal erfolgreich in\n"
    "                    dasselbe Ziel umgesetzt wurde (ohne: Fehler, nichts geschrieben)\n"
    "  --help            diese Hilfe\n"
    "  --version         die Version\n"
    "\n"
    "Meldungen erscheinen auf der Standardfehlerausgabe. Exit-Status: 0 ohne Fehler,\n"
    "1 wenn eine Fehlermeldung kam, 2 bei falschem Aufruf.\n";

struct Arguments {
    QString config;
    QStringList transIds;
    RunOptions run;
    bool help = false;
    bool version = false;
    int modes = 0;        // --preview, --check and --all-or-nothing given; at most one may be
    bool journal = false; // --journal: lists the journal instead of running
    journal::Request listing;
};

// One option of the command line: its name, whether it takes a value (none, one that
// may follow as the next argument, or one only after "="), what values it takes (for the
// message about a wrong one) and what it sets. apply returns false for a value it cannot
// take.
struct Option {
    enum Value { None, Required, Optional };
    const char* name;
    Value value;
    const char* values;
    bool (*apply)(Arguments& a, const std::optional<QString>& value);
};

const Option optionTable[] = {
    {"--help", Option::None, "",
     [](Arguments& a, const std::optional<QString>&) { return a.help = true; }},
    {"-h", Option::None, "",
     [](Arguments& a, const std::optional<QString>&) { return a.help = true; }},
    {"--version", Option::None, "",
     [](Arguments& a, const std::optional<QString>&) { return a.version = true; }},
    {"--config", Option::Required, "der Name einer Datei",
     [](Arguments& a, const std::optional<QString>& v) {
         a.config = *v;
         return !a.config.isEmpty();
     }},
    {"--preview", Option::Optional, "eine Zahl von 1 bis 1000",
     [](Arguments& a, const std::optional<QString>& v) {
         ++a.modes;
         a.run.mode = RunMode::Preview;
         if (!v)
             return true;
         bool ok = false;
         a.run.previewRecords = v->toLongLong(&ok);
         return ok && a.run.previewRecords >= 1 && a.run.previewRecords <= MaxPreviewRecords;
     }},
    {"--check", Option::None, "",
     [](Arguments& a, const std::optional<QString>&) {
         ++a.modes;
         a.run.mode = RunMode::Check;
         return true;
     }},
    {"--all-or-nothing", Option::None, "",
     [](Arguments& a, const std::optional<QString>&) {
         ++a.modes;
         return a.run.allOrNothing = true;
     }},
    {"--again", Option::None, "",
     [](Arguments& a, const std::optional<QString>&) { return a.run.again = true; }},
    {"--journal", Option::None, "",
     [](Arguments& a, const std::optional<QString>&) { return a.journal = true; }},
    {"--since", Option::Required, "ein Datum wie 31.01.2026 oder 2026-01-31, auch mit HH:MM",
     [](Arguments& a, const std::optional<QString>& v) {
         a.listing.since = journal::parseSince(*v);
         return a.listing.since.isValid();
     }},
    {"--json", Option::None, "",
     [](Arguments& a, const std::optional<QString>&) { return a.listing.json = true; }},
    {"--journal-rows", Option::Required, "eine Zahl ab 0",
     [](Arguments& a, const std::optional<QString>& v) {
         bool ok = false;
         a.listing.rows = v->toInt(&ok);
         return ok && a.listing.rows >= 0;
     }},
};

// Applies one option argument (at args[i]; a required value may take the next one).
// Returns what is wrong with it, nothing when it is right.
std::optional<QString> applyOption(const QStringList& args, qsizetype& i, Arguments& a)
{
    const QString& arg = args[i];
    const qsizetype eq = arg.indexOf(QLatin1Char('='));
    const QString name = eq < 0 ? arg : arg.left(eq);
    for (const Option& o : optionTable) {
        if (name != QLatin1StringView(o.name))
            continue;
        std::optional<QString> value;
        if (eq >= 0)
            value = arg.mid(eq + 1);
        if (o.value == Option::None && value)
            return QStringLiteral("%1 nimmt keinen Wert.").arg(name);
        if (o.value == Option::Required && !value) {
            if (++i >= args.size())
                return QStringLiteral("Nach %1 fehlt %2.").arg(name, QString::fromUtf8(o.values));
            value = args[i];
        }
        if (!o.apply(a, value))
            return QStringLiteral("%1: „%2“ geht nicht, erwartet wird %3.")
                .arg(name, value.value_or(QString()), QString::fromUtf8(o.values));
        return std::nullopt;
    }
    return QStringLiteral("Die Option %1 gibt es nicht.").arg(arg);
}

// What is wrong with the options of the journal, when something is; a listing takes at
// most one TRANSID, the limit none.
std::optional<QString> checkJournalCall(Arguments& a)
{
    const bool rows = a.listing.rows >= 0;
    if (a.journal && rows)
        return QStringLiteral("Von --journal und --journal-rows ist höchstens eine erlaubt.");
    if (!a.journal && (a.listing.json || a.listing.since.isValid()))
        return QStringLiteral("%1 gilt nur mit --journal.")
            .arg(a.listing.json ? QStringLiteral("--json") : QStringLiteral("--since"));
    if ((a.journal || rows) && a.modes > 0)
        return QStringLiteral("--preview, --check und --all-or-nothing gelten nicht mit %1.")
            .arg(rows ? QStringLiteral("--journal-rows") : QStringLiteral("--journal"));
    if (rows && !a.transIds.isEmpty())
        return QStringLiteral("--journal-rows gilt für alle Definitionen, nicht für „%1“.")
            .arg(a.transIds.first());
    if (a.journal && a.transIds.size() > 1)
        return QStringLiteral("Nach --journal ist höchstens eine TRANSID erlaubt.");
    a.listing.config = a.config;
    a.listing.transId = a.transIds.value(0);
    return std::nullopt;
}

// Reads the command line; what is wrong with it, when something is.
std::variant<Arguments, QString> parseArguments(const QStringList& args)
{
    Arguments a;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1StringView("--")) {
            a.transIds += args.mid(i + 1);
            break;
        }
        if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            if (const std::optional<QString> wrong = applyOption(args, i, a))
                return *wrong;
        } else {
            a.transIds << arg;
        }
    }
    if (a.help || a.version)
        return a;
    if (const std::optional<QString> wrong = checkJournalCall(a))
        return *wrong;
    if (a.journal || a.listing.rows >= 0)
        return a;
    if (a.modes > 1)
        return QStringLiteral("Von --preview, --check und --all-or-nothing ist höchstens eine "
                              "erlaubt.");
    if (a.transIds.isEmpty())
        return QStringLiteral("Es fehlt die TRANSID der Definition, die ausgeführt werden soll.");
    return a;
}

// After a stop from outside the remaining definitions are not started.
void reportSkipped(const QStringList& transIds)
{
    const Error err(errnum::UserInterrupt, {},
                    QStringLiteral("Abgebrochen: nicht ausgeführt wurden %1.")
                        .arg(transIds.join(QStringLiteral(", "))));
    showError(&err, StyleCritical, QStringLiteral("quendra-run"));
}

// A preview writes each good record's bytes to standard output and shows a faulty
// record's message on standard error, in the order of the records. Into a file or a pipe
// the bytes go exactly as the target gets them (a "UTF-8 BOM" target's mark first); a
// terminal shows them as text in its own encoding.
class PreviewPrinter : public RunObserver {
public:
    PreviewPrinter() : m_terminal(isatty(fileno(stdout)) == 1) {}

    void start(const Definition& definition) override
    {
        const TrgHead& head = definition.trg;
        // A database target is listed as "column = value" lines in UTF-8.
        m_encoding =
            head.frommedium == Medium::TextFile ? textEncoding(head.encoding) : TextEncoding::Utf8;
        if (!m_terminal && m_encoding == TextEncoding::Utf8Bom)
            writeStandardOutput(QByteArray(Utf8ByteOrderMark));
    }

    void write(const QByteArray& bytes) const
    {
        if (!m_terminal || bytes.isEmpty()) {
            writeStandardOutput(bytes);
            return;
        }
        // The C locale's ASCII is taken as UTF-8, as terminals nowadays are.
        const char* codeset = nl_langinfo(CODESET);
        QStringEncoder encoder(codeset);
        if (!encoder.isValid() || qstrcmp(codeset, "ANSI_X3.4-1968") == 0)
            encoder = QStringEncoder(QStringConverter::Utf8);
        writeStandardOutput(encoder.encode(decodeText(bytes, m_encoding)));
    }

    void record(const RecordOutcome& outcome) override
    {
        write(outcome.bytes);
        if (outcome.error) {
            std::fflush(stdout);
            showError(&outcome.error->error, StyleCritical, outcome.error->where,
                      outcome.error->note);
        }
    }

private:
    bool m_terminal;
    TextEncoding m_encoding = TextEncoding::Ansi;
};

// A check run's list on standard output: every faulty record's message (the first
// MaxListedFaults), the number of the rest, the check lines over the good records and
// the closing line.
void printCheck(const RunResult& result)
{
    StreamMessageSink out(stdout);
    MessageSink* errors = setMessageSink(&out);
    for (const RunMessage& m : result.recordFaults)
        showError(&m.error, StyleCritical, m.where, m.note);
    setMessageSink(errors);
    QString text;
    const qint64 rest = result.faultyRecords - qint64(result.recordFaults.size());
    if (rest > 0)
        text += moreFaultsText(rest) + QStringLiteral("\n\n");
    for (const QString& line : result.checkTexts)
        text += line + QLatin1Char('\n');
    text += nothingWrittenSummary(result) + QLatin1Char('\n');
    writeStandardOutput(text.toUtf8());
}

bool runOne(const QString& transId, const Arguments& args, TerminalProgress* progress)
{
    RunOptions options = args.run;
    options.repeatAdvice = QStringLiteral("Mit --again wird sie trotzdem umgesetzt.");
    PreviewPrinter printer;
    if (options.mode == RunMode::Preview)
        options.observer = &printer;
    const RunResult result = runDefinition(transId, progress, options);
    if (options.mode == RunMode::Preview)
        printer.write(result.checkLines);
    else if (options.mode == RunMode::Check && !result.failure)
        printCheck(result);
    showRunResult(result);
    return !result.failed();
}

// Help and version on standard output; 1 when it could not take them.
int printHelp(const char* text)
{
    writeStandardOutput(QByteArray(text));
    StreamMessageSink sink(stderr);
    setMessageSink(&sink);
    const bool written = trapHandler("quendra-run", checkStandardOutput);
    setMessageSink(nullptr);
    return written ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    // The only regular expressions run over a few configuration statements per run;
    // compiling them to machine code costs more than it saves (a tenth of a small run).
    if (!qEnvironmentVariableIsSet("QT_ENABLE_REGEXP_JIT"))
        qputenv("QT_ENABLE_REGEXP_JIT", "0");
    guardStandardDescriptors();
    QCoreApplication app(argc, argv);
    installQtMessageFilter();
    installStopSignals();
    if (const std::optional<int> status = transfer::runIfAsked(QCoreApplication::arguments()))
        return *status;
    const auto parsed = parseArguments(QCoreApplication::arguments());
    if (const QString* wrong = std::get_if<QString>(&parsed)) {
        const QStringList given = QCoreApplication::arguments();
        const bool journalCall = given.contains(QStringLiteral("--journal")) ||
                                 given.contains(QStringLiteral("--journal-rows"));
        return transfer::wrongCall(*wrong, journalCall ? journal::usage : usage);
    }
    const Arguments* args = &std::get<Arguments>(parsed);
    if (!args->help && !args->version && (args->journal || args->listing.rows >= 0))
        return journal::run(args->listing);
    startup::begin(args->config);
    if (args->help)
        return printHelp(
            (std::string(usage) + "\n" + transfer::usage + "\n" + journal::usage).c_str());
    if (args->version)
        return printHelp("quendra-run " QUENDRA_VERSION "\n");

    std::unique_ptr<TerminalProgress> progress;
    if (isatty(fileno(stderr)))
        progress = std::make_unique<TerminalProgress>(stderr);
    StreamMessageSink sink(stderr, progress.get());
    setMessageSink(&sink);
    const bool configured = startup::prepare();
    bool failed = !configured;
    for (qsizetype i = 0; configured && i < args->transIds.size(); ++i) {
        if (stopRequested()) {
            reportSkipped(args->transIds.mid(i));
            break;
        }
        failed = !runOne(args->transIds[i], *args, progress.get()) || failed;
        // Output nobody receives would be computed for nothing.
        if (!trapHandler("quendra-run", checkStandardOutput)) {
            failed = true;
            break;
        }
    }
    setMessageSink(nullptr);
    return failed || stopRequested() ? 1 : 0;
}
