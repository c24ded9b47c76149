#include "transfer.h"

#include "common/error.h"
#include "common/globals.h"
#include "common/messagehandler.h"
#include "common/replacementfile.h"
#include "common/streamoutput.h"
#include "config/definitionexport.h"
#include "config/definitionimport.h"
#include "config/definitionstore.h"
#include "config/jetmigration.h"
#include "startup.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <variant>

namespace quendra::transfer {

const char usage[] =
    "Aufruf: quendra-run [--config DATEI] --export TRANSID\n"
    "        quendra-run [--config DATEI] --export-all ORDNER\n"
    "        quendra-run [--config DATEI] --import DATEI|- [--replace | --as NEUE_TRANSID]\n"
    "        quendra-run [--config DATEI] --migrate ALTE.mdb [--replace]\n"
    "\n"
    "  --export TRANSID     schreibt die Definition als Text (TOML) auf die Standardausgabe\n"
    "  --export-all ORDNER  schreibt jede Definition in eine Datei TRANSID.toml im Ordner\n"
    "  --import DATEI       liest eine Definition aus der Datei (- für die Standardeingabe)\n"
    "  --replace            ersetzt eine vorhandene Definition gleichen Namens\n"
    "  --as NEUE_TRANSID    speichert die Definition unter einem anderen Namen\n"
    "  --migrate ALTE.mdb   übernimmt eine alte Konfiguration (Access/Jet) in die\n"
    "                       Konfigurationsdatenbank; ist diese selbst die Jet-Datei, bleibt\n"
    "                       sie als init.mdb.access erhalten; hat sie schon Definitionen,\n"
    "                       wird sie nur mit --replace ersetzt\n";

namespace {

enum class Action { None, Export, ExportAll, Import, Migrate };

struct Call {
    QString config;
    Action action = Action::None;
    QString operand;
    ImportChoice choice;
};

// The call, or what is wrong with it.
std::variant<Call, QString> parse(const QStringList& args)
{
    Call c;
    const auto value = [&](qsizetype& i, QString& into) {
        if (++i >= args.size() || args[i].isEmpty())
            return std::optional<QString>(
                QStringLiteral("Nach %1 fehlt ein Wert.").arg(args[i - 1]));
        if (!into.isEmpty())
            return std::optional<QString>(
                QStringLiteral("%1 ist mehr als einmal angegeben.").arg(args[i - 1]));
        into = args[i];
        return std::optional<QString>();
    };
    const struct {
        const char* option;
        Action action;
    } actions[] = {{"--export", Action::Export},
                   {"--export-all", Action::ExportAll},
                   {"--import", Action::Import},
                   {"--migrate", Action::Migrate}};
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        const auto action =
            std::find_if(std::begin(actions), std::end(actions),
                         [&](const auto& a) { return arg == QLatin1StringView(a.option); });
        std::optional<QString> wrong;
        if (action != std::end(actions)) {
            if (c.action != Action::None)
                return QStringLiteral("Von --export, --export-all, --import und --migrate ist "
                                      "höchstens eine erlaubt.");
            wrong = value(i, c.operand);
            c.action = action->action;
        } else if (arg == u"--config") {
            wrong = value(i, c.config);
        } else if (arg.startsWith(u"--config=")) {
            c.config = arg.mid(9);
            if (c.config.isEmpty())
                wrong = QStringLiteral("Nach --config= fehlt der Name einer Datei.");
        } else if (arg == u"--replace") {
            c.choice.replace = true;
        } else if (arg == u"--as") {
            wrong = value(i, c.choice.newId);
        } else {
            wrong = QStringLiteral("„%1“ gehört nicht zu diesem Aufruf.").arg(arg);
        }
        if (wrong)
            return *wrong;
    }
    if (c.choice.replace && c.action != Action::Import && c.action != Action::Migrate)
        return QStringLiteral("--replace gilt nur mit --import oder --migrate.");
    if (!c.choice.newId.isEmpty() && c.action != Action::Import)
        return QStringLiteral("--as gilt nur mit --import.");
    return c;
}

QByteArray readInput(const QString& operand, const QString& name)
{
    QFile file;
    const bool standardInput = operand == u"-";
    const bool opened = standardInput ? file.open(stdin, QIODevice::ReadOnly)
                                      : (file.setFileName(operand), file.open(QIODevice::ReadOnly));
    if (!opened)
        throw Error(errnum::FileNotFound, {},
                    QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2")
                        .arg(QDir::toNativeSeparators(operand), file.errorString()));
    return readDefinitionFile(file, name);
}

void warn(const QStringList& warnings)
{
    for (const QString& w : warnings)
        showError(nullptr, StyleWarning, QStringLiteral("quendra-run"), w);
}

void exportAll(const QSqlDatabase& db, const QString& folder)
{
    if (!QDir().mkpath(folder))
        throw Error(errnum::PathNotFound, {},
                    QStringLiteral("Der Ordner %1 kann nicht angelegt werden.")
                        .arg(QDir::toNativeSeparators(folder)));
    QStringList written;
    for (const QString& id : definitionIds(db)) {
        const QString name = definitionFileName(id);
        // Names that differ only where a file name cannot follow must not overwrite each other.
        if (written.contains(name, Qt::CaseInsensitive))
            throw Error(errnum::FileAlreadyOpen, {},
                        QStringLiteral("Die Definitionen \"%1\" und eine vorige ergeben beide den "
                                       "Dateinamen %2; bitte eine umbenennen.")
                            .arg(id, name));
        written << name;
        const DefinitionText text = exportDefinition(db, id);
        warn(text.warnings);
        writeWholeFile(QDir(folder).filePath(name), text.text);
    }
}

void carryOut(const Call& c)
{
    // A new user's first export or import finds the configuration a run would make; a
    // migration makes its own.
    if (!startup::prepare(c.action != Action::Migrate))
        return;
    if (c.action == Action::Migrate) {
        const QStringList lines =
            migrateJetConfiguration(c.operand, globals().configDbPath, c.choice.replace);
        writeStandardOutput((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        checkStandardOutput();
        return;
    }
    const auto connection = openDefinitionStore();
    const QSqlDatabase db = connection->database();
    switch (c.action) {
    case Action::Export: {
        const DefinitionText text = exportDefinition(db, c.operand);
        warn(text.warnings);
        writeStandardOutput(text.text);
        checkStandardOutput();
        break;
    }
    case Action::ExportAll:
        exportAll(db, c.operand);
        break;
    case Action::Import: {
        const QString name = QDir::toNativeSeparators(
            c.operand == u"-" ? QStringLiteral("Standardeingabe") : c.operand);
        warn(importDefinition(db, readInput(c.operand, name), name, c.choice).warnings);
        break;
    }
    case Action::None:
    case Action::Migrate:
        break;
    }
}

} // namespace

int wrongCall(const QString& what, const char* usage)
{
    std::fputs(
        (QStringLiteral("quendra-run: ") + what + QStringLiteral("\n\n")).toUtf8().constData(),
        stderr);
    std::fputs(usage, stderr);
    return 2;
}

std::optional<int> runIfAsked(const QStringList& args)
{
    const bool asked = std::any_of(args.begin(), args.end(), [](const QString& arg) {
        for (const char* option :
             {"--export", "--export-all", "--import", "--migrate", "--replace", "--as"}) {
            if (arg == QLatin1StringView(option))
                return true;
        }
        return false;
    });
    if (!asked)
        return std::nullopt;
    const auto parsed = parse(args);
    if (const QString* wrong = std::get_if<QString>(&parsed))
        return wrongCall(*wrong, usage);
    const Call* call = &std::get<Call>(parsed);
    startup::begin(call->config);
    StreamMessageSink sink(stderr);
    setMessageSink(&sink);
    try {
        carryOut(*call);
    } catch (...) {
        showCurrentError(QStringLiteral("quendra-run"));
    }
    setMessageSink(nullptr);
    return sink.errorCount() > 0 ? 1 : 0;
}

} // namespace quendra::transfer
