#include "common/functions.h"

#include "common/error.h"
#include "common/globals.h"

#include <QStringList>

namespace quendra {

int fileTypeRow(const QString& fileType)
{
    const auto& rows = globals().fileTypes;
    for (int i = 0; i < TextFileTypeRow; ++i) {
        if (rows[i].name == fileType)
            return i;
    }
    return TextFileTypeRow;
}

void checkFileType(qint16 medium, const QString& fileType)
{
    if (medium != 2 || fileType.isEmpty() || fileTypeRow(fileType) != TextFileTypeRow ||
        fileType == globals().fileTypes[TextFileTypeRow].name)
        return;
    QStringList known;
    for (const FileTypeRow& row : globals().fileTypes)
        known << QStringLiteral("„%1“").arg(row.name);
    throw standardError(errnum::InvalidProcedureCall,
                        QStringLiteral("Den Dateityp „%1“ gibt es nicht; bekannt sind %2")
                            .arg(fileType, known.join(QStringLiteral(", "))));
}

QString getADOProvider(qint16 medium, const QString& path, const QString& fileType, bool header)
{
    if (medium == 1) {
        return QStringLiteral("PROVIDER=MSDASQL;dsn=") + path +
               QStringLiteral(";uid=;pwd=;database=") + path + QLatin1Char(';');
    }
    if (medium != 2)
        return {};
    const FileTypeRow& row = globals().fileTypes[fileTypeRow(fileType)];
    QString result = row.provider + QStringLiteral("Data Source=") + path + QLatin1Char(';') +
                     row.extendedProperties;
    if (row.header)
        result += (header ? QStringLiteral("HDR=Yes;") : QStringLiteral("HDR=No;")) +
                  QStringLiteral("\";");
    return result;
}

bool getFileTypeHeader(const QString& fileType)
{
    return globals().fileTypes[fileTypeRow(fileType)].header;
}

QVariant nz(const QVariant& value, const QVariant& defaultValue)
{
    return value.isNull() ? defaultValue : value;
}

QString Repeat(const QString& text, int count)
{
    return count > 0 ? text.repeated(count) : QString();
}

} // namespace quendra
