#include "engine/targetoversource.h"

#include "common/error.h"
#include "common/fileidentity.h"
#include "connectors/backends/filetypes.h"
#include "connectors/backends/tablefolder.h"

#include <QDir>
#include <QFileInfo>

namespace quendra {

namespace {

constexpr qint16 TextFile = 0;
constexpr qint16 DatabaseFile = 2;

// The file that holds the data a head names: the text file itself, or for a database
// file the file of the data source, or in a folder the file of the named table. Empty
// when it names no existing file (ODBC, a table given only by SQL text or placeholder).
QString dataFile(qint16 medium, const QString& path, const QString& fileType, const QString& table)
{
    if (medium == TextFile)
        return path;
    if (medium != DatabaseFile || path.trimmed().isEmpty())
        return {};
    const QFileInfo info(path);
    if (info.isFile())
        return path;
    const QStringList suffixes = tableFileSuffixes(fileType);
    if (!info.isDir() || suffixes.isEmpty() || table.trimmed().isEmpty() ||
        table.contains(QStringLiteral("$TBL(")))
        return {};
    return findTableFile(path, table.trimmed(), suffixes);
}

// Only regular files are compared: reading a terminal or a pipe and writing to the
// same one (/dev/stdin and /dev/stdout of a terminal) destroys nothing.
bool sameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const std::optional<FileIdentity> identity = fileIdentity(a);
    return identity && identity == fileIdentity(b);
}

} // namespace

void refuseTargetOverSource(const SrcHead& src, const TrgHead& trg)
{
    // Between two database media the source is a snapshot; appending to it is harmless.
    if (src.frommedium != TextFile && trg.frommedium != TextFile)
        return;
    const QString from = dataFile(src.frommedium, src.path, src.filetype, src.dbtable);
    const QString to = dataFile(trg.frommedium, trg.path, trg.filetype, trg.dbtable);
    if (!sameFile(from, to))
        return;
    throw Error(errnum::PathFileAccess, {},
                QStringLiteral("Das Ziel „%1“ ist dieselbe Datei wie die Quelle „%2“. Die "
                               "Umsetzung würde ihre eigene Quelle überschreiben und wurde "
                               "deshalb nicht begonnen; bitte ein anderes Ziel wählen.")
                    .arg(QDir::toNativeSeparators(to), QDir::toNativeSeparators(from)));
}

} // namespace quendra
