#include "connectors/filetypes.h"

#include "common/error.h"
#include "connectors/backends/filetypes.h"
#include "connectors/backends/tablefolder.h"
#include "connectors/textencoding.h"

#include <QFileInfo>

namespace quendra {

namespace {
// The connection string of a source read in encoding.
QString sourceText(Medium medium, const QString& path, const QString& fileType, bool header,
                   const QString& encoding)
{
    QString result = getADOProvider(medium, path, fileType, header);
    const TextEncoding e = textEncoding(encoding);
    if (readsInSourceEncoding(medium, fileType) && e != TextEncoding::Ansi) {
        const QString properties = QLatin1String(fileTypeRow(fileType).extendedProperties);
        result.replace(properties, properties + (isUtf8(e) ? QStringLiteral("CharacterSet=65001;")
                                                           : QStringLiteral("CharacterSet=OEM;")));
    }
    return result;
}

} // namespace

QStringList fileTypeNames()
{
    QStringList names;
    for (const FileTypeSupport& row : fileTypeSupport()) {
        if (row.name)
            names << QString::fromLatin1(row.name);
    }
    return names;
}

QString getADOProvider(Medium medium, const QString& path, const QString& fileType, bool header)
{
    if (medium == Medium::OdbcSource) {
        return QLatin1String(OdbcSourceType.providerText) + QStringLiteral("dsn=") + path +
               QStringLiteral(";uid=;pwd=;database=") + path + QLatin1Char(';');
    }
    if (medium != Medium::DatabaseFile)
        return {};
    const FileTypeSupport& row = fileTypeRow(fileType);
    QString result = QLatin1String(row.providerText) + QStringLiteral("Data Source=") + path +
                     QLatin1Char(';') + QLatin1String(row.extendedProperties);
    if (row.header)
        result += (header ? QStringLiteral("HDR=Yes;") : QStringLiteral("HDR=No;")) +
                  QStringLiteral("\";");
    return result;
}

DatabaseConnection describeConnection(Medium medium, const QString& path, const QString& fileType,
                                      bool header, const QString& encoding)
{
    DatabaseConnection c;
    if (medium == Medium::OdbcSource) {
        c = odbcConnection(path);
    } else if (medium == Medium::DatabaseFile) {
        const FileTypeSupport& row = fileTypeRow(fileType);
        c.fileType = &row;
        c.dataSource = path;
        c.header = header && row.header;
        const TextEncoding e = textEncoding(encoding);
        if (readsInSourceEncoding(medium, fileType) && e != TextEncoding::Ansi)
            c.encoding = isUtf8(e) ? QStringLiteral("UTF-8") : QStringLiteral("ASCII");
    }
    c.text = sourceText(medium, path, fileType, header, encoding);
    return c;
}

bool readsInSourceEncoding(Medium medium, const QString& fileType)
{
    return medium == Medium::TextFile ||
           (medium == Medium::DatabaseFile && fileTypeRow(fileType).textSource);
}

void checkFileType(Medium medium, const QString& fileType)
{
    if (medium != Medium::DatabaseFile || fileType.isEmpty())
        return;
    const QStringList names = fileTypeNames();
    if (names.contains(fileType))
        return;
    QStringList known;
    for (const QString& name : names)
        known << QStringLiteral("„%1“").arg(name);
    throw standardError(errnum::InvalidProcedureCall,
                        QStringLiteral("Den Dateityp „%1“ gibt es nicht; bekannt sind %2")
                            .arg(fileType, known.join(QStringLiteral(", "))));
}

bool getFileTypeHeader(const QString& fileType)
{
    return fileTypeRow(fileType).header;
}

bool writesWholeFile(Medium medium, const QString& fileType)
{
    return medium == Medium::DatabaseFile && fileTypeRow(fileType).wholeFile;
}

bool getFileTypeFileButton(const QString& fileType)
{
    return fileTypeRow(fileType).fileButton;
}

QString databaseDataFile(const QString& path, const QString& fileType, const QString& table)
{
    if (path.trimmed().isEmpty())
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

} // namespace quendra
