#include "support/batchrun.h"

#include <QProcessEnvironment>

namespace quendra::test {

void startBatch(QProcess& process, const QStringList& args, const QString& locale,
                const std::function<void()>& childSetup)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), locale);
    process.setProcessEnvironment(env);
    if (childSetup)
        process.setChildProcessModifier(childSetup);
    process.start(QStringLiteral(QUENDRA_RUN_BINARY), args);
    process.waitForStarted();
}

BatchResult finishBatch(QProcess& process)
{
    process.waitForFinished(60000);
    const bool normal =
        process.exitStatus() == QProcess::NormalExit && process.state() == QProcess::NotRunning;
    return {normal ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

BatchResult runBatch(const QStringList& args, const QString& locale,
                     const std::function<void()>& childSetup)
{
    QProcess process;
    startBatch(process, args, locale, childSetup);
    return finishBatch(process);
}

} // namespace quendra::test
