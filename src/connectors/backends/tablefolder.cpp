// Where the tables of a folder data source (dBase, Paradox, CSV) lie.
#include "connectors/backends/tablefolder.h"

#include "common/error.h"

#include <QDir>

namespace quendra {

namespace {
// Error 76 unless folder names an existing folder; a file is told apart.
void requireFolder(const QString& folder)
{
    if (!folder.isEmpty() && QFileInfo(folder).isFile())
        throw standardError(errnum::PathNotFound,
                            QStringLiteral("%1 ist eine Datei; dieser Dateityp erwartet einen "
                                           "Ordner, dessen Dateien die Tabellen sind")
                                .arg(QDir::toNativeSeparators(folder)));
    if (folder.isEmpty() || !QDir(folder).exists())
        throw standardError(errnum::PathNotFound, folder);
}
} // namespace

QFileInfoList folderTableFiles(const QString& folder, const QStringList& suffixes)
{
    requireFolder(folder);
    const QDir dir(folder);
    QFileInfoList result;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        if (suffixes.contains(entry.suffix().toLower()))
            result << entry;
    }
    return result;
}

QString findTableFile(const QString& folder, const QString& table, const QStringList& suffixes)
{
    const QDir dir(folder);
    QStringList candidates;
    for (const QString& suffix : suffixes)
        candidates << table + QLatin1Char('.') + suffix;
    const int hash = table.lastIndexOf(QLatin1Char('#'));
    if (hash > 0)
        candidates << table.left(hash) + QLatin1Char('.') + table.mid(hash + 1);
    if (suffixes.contains(QFileInfo(table).suffix().toLower()))
        candidates << table;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    // An exact name wins over one that differs only in letter case.
    for (const QString& candidate : candidates) {
        if (QFileInfo(dir.filePath(candidate)).isFile())
            return dir.filePath(candidate);
    }
    for (const QString& candidate : candidates) {
        for (const QFileInfo& entry : entries) {
            if (entry.fileName().compare(candidate, Qt::CaseInsensitive) == 0)
                return entry.filePath();
        }
    }
    return {};
}

QString tableFileToAppend(const DataSourceLocation& location, const QString& table,
                          const QStringList& suffixes, const QString& missingText)
{
    requireFolder(location.dataSource);
    const QString path = findTableFile(location.dataSource, table, suffixes);
    if (path.isEmpty())
        throw Error(errnum::FileNotFound, {},
                    missingText.arg(table, QDir::toNativeSeparators(location.dataSource)));
    return path;
}

} // namespace quendra
