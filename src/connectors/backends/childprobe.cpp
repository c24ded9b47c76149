#include "connectors/backends/childprobe.h"

#include "common/error.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quendra {

ChildOutcome tryInChild(const std::function<void()>& work, std::chrono::milliseconds limit)
{
    constexpr int Refused = 3;
    const pid_t child = ::fork();
    if (child < 0)
        return ChildOutcome::Survived;
    if (child == 0) {
        for (const int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
            std::signal(sig, SIG_DFL);
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0)
            ::dup2(null, STDERR_FILENO);
        try {
            work();
        } catch (...) {
            ::_exit(Refused);
        }
        ::_exit(0);
    }
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + limit;
    // Woken when the child ends (a process file descriptor), else looking every millisecond.
    const int pidfd = int(::syscall(SYS_pidfd_open, child, 0));
    int status = 0;
    bool timedOut = false;
    for (;;) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR))
            break;
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (limit.count() > 0 && left < 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            timedOut = true;
            break;
        }
        pollfd ended{pidfd, POLLIN, 0};
        const int wait = limit.count() > 0 ? int(std::min<qint64>(left + 1, 1000)) : 1000;
        if (pidfd < 0 || ::poll(&ended, 1, wait) < 0)
            std::this_thread::sleep_for(milliseconds(1));
    }
    if (pidfd >= 0)
        ::close(pidfd);
    if (timedOut)
        return ChildOutcome::TimedOut;
    // A child that could not be waited for (status 0) counts as come through.
    const bool survived =
        WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == Refused);
    return survived ? ChildOutcome::Survived : ChildOutcome::Crashed;
}

std::chrono::milliseconds readingTimeLimit(qint64 bytes)
{
    bool ok = false;
    const double seconds = qEnvironmentVariable("QUENDRA_READ_TIMEOUT").toDouble(&ok);
    if (ok && seconds >= 0 && seconds < 1e9)
        return std::chrono::milliseconds(qint64(seconds * 1000));
    return std::chrono::seconds(60 + bytes / (1 << 20));
}

void readInChildFirst(const std::function<void()>& work, const QString& path,
                      const QString& damaged)
{
    const auto limit = readingTimeLimit(QFileInfo(path).size());
    switch (tryInChild(work, limit)) {
    case ChildOutcome::Survived:
        return;
    case ChildOutcome::Crashed:
        throw Error(errnum::PathFileAccess, {}, damaged);
    case ChildOutcome::TimedOut:
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Das Lesen der Datei %1 dauerte länger als %2 Sekunden und "
                                   "wurde abgebrochen: entweder ist sie beschädigt (an manchen "
                                   "Schäden kommt die Bibliothek nie zum Ende), oder das Lesen "
                                   "braucht auf diesem Rechner mehr Zeit. Mehr Zeit gibt die "
                                   "Umgebungsvariable QUENDRA_READ_TIMEOUT (Sekunden, 0 für "
                                   "keine Grenze).")
                        .arg(QDir::toNativeSeparators(path))
                        .arg(double(limit.count()) / 1000.0));
    }
}

} // namespace quendra
