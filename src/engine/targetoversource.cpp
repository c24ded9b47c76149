#include "engine/targetoversource.h"

#include "common/error.h"
#include "common/fileidentity.h"
#include "connectors/filetypes.h"

#include <QDir>

namespace quendra {

namespace {

// The file that holds the data a head names: the text file itself, or what the
// connectors say a database head names. Empty when it names no existing file.
QString dataFile(Medium medium, const QString& path, const QString& fileType, const QString& table)
{
    if (medium == Medium::TextFile)
        return path;
    return medium == Medium::DatabaseFile ? databaseDataFile(path, fileType, table) : QString();
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
    if (src.frommedium != Medium::TextFile && trg.frommedium != Medium::TextFile)
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
