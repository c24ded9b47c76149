// The file types of the media catalogue, one row each: the connection strings their heads
// get, which back-end reads them and which writes them, or why this platform cannot.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/sheetgrid.h"

#include <QDir>
#include <QFileInfo>
#include <array>

namespace quendra {

// Served through ODBC: no reader of its own.
const FileTypeSupport As400Type{
    .name = "IBM AS/400", .providerText = "Provider=IBMDA400;", .backend = BackendKind::Odbc};

// Medium 1, an ODBC data source.
const FileTypeSupport OdbcSourceType{
    .name = nullptr, .providerText = "PROVIDER=MSDASQL;", .backend = BackendKind::Odbc};

namespace {

// The catalogue, in its order, the ODBC data source last; made at first use, so that no
// other file's start-up can find it still empty.
const auto& rows()
{
#define QUENDRA_FILE_TYPE_ROW(row) row,
    static const std::array rows = {QUENDRA_FILE_TYPES(QUENDRA_FILE_TYPE_ROW)};
#undef QUENDRA_FILE_TYPE_ROW
    return rows;
}

// The row of the exact (case-sensitive) name; nullptr when there is none.
const FileTypeSupport* namedRow(QAnyStringView fileType)
{
    for (const FileTypeSupport& row : rows()) {
        if (row.name && fileType == QLatin1String(row.name))
            return &row;
    }
    return nullptr;
}

} // namespace

const FileTypeSupport& fileTypeRow(const QString& fileType)
{
    const FileTypeSupport* row = namedRow(fileType);
    return row ? *row : *namedRow(TextType.name);
}

QStringList tableFileSuffixes(const QString& fileType)
{
    const FileTypeSupport* row = namedRow(fileType);
    return row ? QString::fromLatin1(row->tableFiles).split(QLatin1Char(' '), Qt::SkipEmptyParts)
               : QStringList();
}

std::span<const FileTypeSupport> fileTypeSupport()
{
    return rows();
}

void requireDataFile(const QString& path)
{
    const QFileInfo info(path);
    if (info.isFile())
        return;
    if (!info.exists())
        throw standardError(errnum::FileNotFound, path);
    throw Error(errnum::PathFileAccess, {},
                (info.isDir() ? QStringLiteral("%1 ist ein Ordner, keine Datei.")
                              : QStringLiteral("%1 ist keine gewöhnliche Datei, sondern eine "
                                               "benannte Pipe oder ein Gerät."))
                    .arg(QDir::toNativeSeparators(path)));
}

std::unique_ptr<SheetStream> FileTypeReader::openSheet(const DataSourceLocation&, const QString&)
{
    return nullptr;
}

} // namespace quendra
