#include "support/batchrun.h"

#include <QProcessEnvironment>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

std::function<void()> withDescriptor(int fd, const char* path)
{
    return [fd, path] {
        ::close(fd);
        if (path && ::open(path, fd == 0 ? O_RDONLY : O_WRONLY) != fd)
            ::_exit(120);
    };
}

std::function<void()> withFullDisk(unsigned long bytes)
{
    return [bytes] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
}

std::function<void()> withPendingSignal(int signal)
{
    return [signal] {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, signal);
        ::sigprocmask(SIG_BLOCK, &set, nullptr);
        ::raise(signal);
    };
}

std::function<void()> asNobody()
{
    return [] {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(121);
    };
}

long endedProcessId()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

BatchResult runBatch(const QStringList& args, const QString& locale,
                     const std::function<void()>& childSetup)
{
    QProcess process;
    startBatch(process, args, locale, childSetup);
    return finishBatch(process);
}

} // namespace quendra::test
