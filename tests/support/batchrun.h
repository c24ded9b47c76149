#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

namespace quendra::test {

// What a run of quendra-run left: exit status (-1 when it did not end normally),
// standard output and standard error.
struct BatchResult {
    int exitCode = -1;
    QString out, err;
};

// Starts quendra-run with args under the locale (LC_ALL); childSetup, when given, runs
// in the child before the program starts (resource limits, signal dispositions).
void startBatch(QProcess& process, const QStringList& args,
                const QString& locale = QStringLiteral("de_DE.UTF-8"),
                const std::function<void()>& childSetup = {});
// Waits (up to a minute) for a started run to end.
BatchResult finishBatch(QProcess& process);
// Child setups: the file at path on descriptor fd (path nullptr: fd closed); no file
// growing beyond bytes, as on a full disk; the signal pending from the start (blocked
// until the program unblocks it); for root, the user nobody, for whom protections count.
std::function<void()> withDescriptor(int fd, const char* path);
std::function<void()> withFullDisk(unsigned long bytes);
std::function<void()> withPendingSignal(int signal);
std::function<void()> asNobody();
// The process id of a process that has ended.
long endedProcessId();

// Both in one.
BatchResult runBatch(const QStringList& args, const QString& locale = QStringLiteral("de_DE.UTF-8"),
                     const std::function<void()>& childSetup = {});

} // namespace quendra::test
