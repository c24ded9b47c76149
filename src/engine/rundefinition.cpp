#include "engine/rundefinition.h"

#include "common/messagehandler.h"
#include "config/configconnection.h"
#include "engine/clsfileconvert.h"

#include <memory>

namespace quendra {

void showRunResult(const RunResult& result)
{
    for (const RunMessage& w : result.warnings)
        showError(&w.error, StyleWarning, w.where, w.note);
    if (result.failure)
        showError(&result.failure->error, StyleCritical, result.failure->where,
                  result.failure->note);
}

QString nothingWrittenSummary(const RunResult& result)
{
    const QString records = result.records == 1
                                ? QStringLiteral("1 Datensatz")
                                : QStringLiteral("%1 Datensätze").arg(result.records);
    return QStringLiteral("%1, %2 mit Fehler – nichts geschrieben")
        .arg(records)
        .arg(result.faultyRecords);
}

QString moreFaultsText(qint64 rest)
{
    return QStringLiteral("… und %1 weitere Datensätze mit Fehler").arg(rest);
}

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
    return engine->RunConvert(options);
}

} // namespace quendra
