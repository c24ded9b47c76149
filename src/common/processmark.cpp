#include "common/processmark.h"

#include <QFile>
#include <unistd.h>

namespace quendra {

namespace {

QByteArray readSmallFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(4096) : QByteArray();
}

// Field 22 of /proc/PID/stat, the start time in clock ticks after boot. The process's
// name (field 2) stands in parentheses and may hold blanks, so counting starts after it.
QByteArray startTick(qint64 pid)
{
    const QByteArray stat = readSmallFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return {};
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    return fields.size() > 19 ? fields[19] : QByteArray(); // field 3 is fields[0]
}

} // namespace

QString processStartMark(qint64 pid)
{
    const QByteArray boot = readSmallFile(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    const QByteArray tick = startTick(pid);
    if (boot.trimmed().isEmpty() || tick.isEmpty())
        return {};
    return QString::fromLatin1(boot.trimmed() + '/' + tick);
}

QString ownProcessStartMark()
{
    static const QString mark = processStartMark(::getpid());
    return mark;
}

bool processStillRunning(qint64 pid, const QString& mark)
{
    if (mark.isEmpty() || pid <= 0)
        return true;
    // After a reboot every process of before has ended; otherwise the number must still
    // belong to the process that started then.
    return processStartMark(pid) == mark;
}

} // namespace quendra
