// quendra-run: runs stored conversion definitions without a window.
#include "common/error.h"
#include "common/globals.h"
#include "common/messagehandler.h"
#include "common/streamoutput.h"
#include "engine/clsfileconvert.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

using namespace quendra;

namespace {

const char usage[] =
    "Aufruf: quendra-run [--config DATEI] TRANSID...\n"
    "\n"
    "Führt die gespeicherten Umsetzungen TRANSID nacheinander ohne Fenster aus.\n"
    "\n"
    "  --config DATEI  Konfigurationsdatenbank (Vorgabe: init.mdb im Programmordner)\n"
    "  --help          diese Hilfe\n"
    "\n"
    "Meldungen erscheinen auf der Standardfehlerausgabe. Exit-Status: 0 ohne Fehler,\n"
    "1 wenn eine Fehlermeldung kam, 2 bei falschem Aufruf.\n";

struct Arguments {
    QString config;
    QStringList transIds;
    bool help = false;
};

// Reads the command line; nothing when it is wrong.
std::optional<Arguments> parseArguments(const QStringList& args)
{
    Arguments a;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1StringView("--help") || arg == QLatin1StringView("-h")) {
            a.help = true;
        } else if (arg == QLatin1StringView("--config")) {
            if (++i >= args.size() || args[i].isEmpty())
                return std::nullopt;
            a.config = args[i];
        } else if (arg.startsWith(QLatin1StringView("--config="))) {
            a.config = arg.mid(9);
            if (a.config.isEmpty())
                return std::nullopt;
        } else if (arg == QLatin1StringView("--")) {
            a.transIds += args.mid(i + 1);
            break;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return std::nullopt;
        } else {
            a.transIds << arg;
        }
    }
    if (!a.help && a.transIds.isEmpty())
        return std::nullopt;
    return a;
}

// Creates the engine for the current TransID and runs it; a creation failure is shown
// as the main window's run button shows it.
void runOne(ProgressSink* progress)
{
    std::unique_ptr<clsFileConvert> engine;
    try {
        engine = std::make_unique<clsFileConvert>(progress);
    } catch (...) {
        showCurrentError(QStringLiteral("Main.cmdRun_Click"));
        return;
    }
    engine->RunConvert();
}

} // namespace

int main(int argc, char** argv)
{
    // The only regular expressions run over a few configuration statements per run;
    // compiling them to machine code costs more than it saves (a tenth of a small run).
    if (!qEnvironmentVariableIsSet("QT_ENABLE_REGEXP_JIT"))
        qputenv("QT_ENABLE_REGEXP_JIT", "0");
    QCoreApplication app(argc, argv);
    const std::optional<Arguments> args = parseArguments(QCoreApplication::arguments());
    if (!args) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (args->help) {
        std::fputs(usage, stdout);
        return 0;
    }
    applyRegionalDefault();
    initGlobals(args->config);

    std::unique_ptr<TerminalProgress> progress;
    if (isatty(fileno(stderr)))
        progress = std::make_unique<TerminalProgress>(stderr);
    StreamMessageSink sink(stderr, progress.get());
    setMessageSink(&sink);
    for (const QString& transId : args->transIds) {
        setCurrentTransID(transId);
        runOne(progress.get());
    }
    setMessageSink(nullptr);
    return sink.errorCount() > 0 ? 1 : 0;
}
