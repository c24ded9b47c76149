#pragma once

#include <QString>
#include <QtGlobal>
#include <chrono>
#include <functional>

namespace quendra {

// Some file libraries crash or loop without end on a damaged file (found by fuzzing:
// FreeXL reads past its buffers, libmdb loops on a property block of length zero). So
// that such a file ends in an error instead, the reading is first tried in a child
// process, whose standard error is thrown away: it survives when it comes through or
// refuses the file by throwing (the caller then reads it again and reports that itself);
// it is ended when it has not finished within the limit (none when the limit is zero).
// Where no child can be made, the work counts as survived: the file is read as it is.
enum class ChildOutcome { Survived, Crashed, TimedOut };
ChildOutcome tryInChild(const std::function<void()>& work, std::chrono::milliseconds limit);

// The time a library is given to read a file of `bytes` in the child: a minute and a
// second for each megabyte, or the seconds the environment variable QUENDRA_READ_TIMEOUT
// names (0: no limit), for slow machines and builds.
std::chrono::milliseconds readingTimeLimit(qint64 bytes);

// Tries work in a child with the reading time limit of the file at path; throws
// quendra::Error 75 with `damaged` when it crashed, and one that says the reading took
// too long and how to allow more time when it ran out of time.
void readInChildFirst(const std::function<void()>& work, const QString& path,
                      const QString& damaged);

} // namespace quendra
