// quendra-run: runs stored conversion definitions without a window.
#include "common/error.h"
#include "common/globals.h"
#include "common/messagehandler.h"
#include "common/qtmessages.h"
#include "common/stoprequest.h"
#include "common/streamoutput.h"
#include "engine/rundefinition.h"

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

// After a stop from outside the remaining definitions are not started.
void reportSkipped(const QStringList& transIds)
{
    const Error err(errnum::UserInterrupt, {},
                    QStringLiteral("Abgebrochen: nicht ausgeführt wurden %1.")
                        .arg(transIds.join(QStringLiteral(", "))));
    showError(&err, StyleCritical, QStringLiteral("quendra-run"));
}

} // namespace

int main(int argc, char** argv)
{
    // The only regular expressions run over a few configuration statements per run;
    // compiling them to machine code costs more than it saves (a tenth of a small run).
    if (!qEnvironmentVariableIsSet("QT_ENABLE_REGEXP_JIT"))
        qputenv("QT_ENABLE_REGEXP_JIT", "0");
    QCoreApplication app(argc, argv);
    installQtMessageFilter();
    installStopSignals();
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
    bool failed = false;
    for (qsizetype i = 0; i < args->transIds.size(); ++i) {
        if (stopRequested()) {
            reportSkipped(args->transIds.mid(i));
            break;
        }
        const RunResult result = runDefinition(args->transIds[i], progress.get());
        showRunResult(result);
        failed = failed || result.failed();
    }
    setMessageSink(nullptr);
    return failed || stopRequested() ? 1 : 0;
}
