#include "common/leftoverfiles.h"

#include "common/replacementfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <csignal>
#include <limits>
#include <unistd.h>

namespace quendra {

namespace {

// SQLite's journal, write-ahead log and shared memory beside a database.
const char* const companions[] = {"", "-journal", "-wal", "-shm"};

bool processRuns(qint64 pid)
{
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// The leftovers of dead processes in the folder of file.
void removeBeside(const QString& file, QStringList& removed)
{
    const QFileInfo info(file);
    const QString name = QRegularExpression::escape(info.fileName());
    static const QString companion = QStringLiteral("(?:-journal|-wal|-shm)?");
    const QRegularExpression partial(u'^' + name + QStringLiteral(R"(\.(\d{1,10})\.neu)") +
                                     companion + u'$');
    const QRegularExpression replacement(QStringLiteral(R"(^\.)") + name +
                                         QStringLiteral(R"(\.(\d{1,10})\.[A-Za-z0-9]{6})") +
                                         companion + u'$');
    const QDir folder = info.dir();
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        QRegularExpressionMatch m = partial.match(entry);
        if (!m.hasMatch())
            m = replacement.match(entry);
        const qint64 pid = m.hasMatch() ? m.captured(1).toLongLong() : 0;
        if (pid == 0 || pid == QCoreApplication::applicationPid() || processRuns(pid))
            continue;
        const QString path = folder.filePath(entry);
        if (QFile::remove(path))
            removed << QStringLiteral("Die Datei %1 blieb von einem abgebrochenen Lauf "
                                      "(Prozess %2, der nicht mehr läuft) übrig und wurde "
                                      "entfernt.")
                           .arg(QDir::toNativeSeparators(path))
                           .arg(pid);
    }
}

} // namespace

QString freshPartialPath(const QString& path)
{
    const QString partial =
        QStringLiteral("%1.%2.neu").arg(path).arg(QCoreApplication::applicationPid());
    for (const char* suffix : companions)
        QFile::remove(partial + QLatin1StringView(suffix));
    return partial;
}

QByteArray replacementPattern(const QString& file)
{
    const QFileInfo info(file);
    return QFile::encodeName(info.dir().filePath(QStringLiteral(".%1.%2.XXXXXX")
                                                     .arg(info.fileName())
                                                     .arg(QCoreApplication::applicationPid())));
}

QStringList removeLeftovers(const QString& path)
{
    QStringList removed;
    if (path.isEmpty())
        return removed;
    const QString linked = linkedFile(path);
    removeBeside(linked, removed);
    if (QFileInfo(path).absoluteFilePath() != linked)
        removeBeside(QFileInfo(path).absoluteFilePath(), removed);
    return removed;
}

} // namespace quendra
