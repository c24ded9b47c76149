#pragma once

#include <QString>

namespace quendra {

// What tells a process apart from a later one that got the same number: the boot of the
// machine and the moment the process started ("boot id/start tick" from /proc). Empty when
// the system does not say (no /proc, or no such process).
QString processStartMark(qint64 pid);
// The mark of the calling process.
QString ownProcessStartMark();

// Whether the process pid of this machine that had mark is still running. A process is
// taken as running when the system cannot tell (an empty mark), so that nothing that
// may still be going on is declared ended.
bool processStillRunning(qint64 pid, const QString& mark);

} // namespace quendra
