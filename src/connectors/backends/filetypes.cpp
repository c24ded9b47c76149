// The file types of the media catalogue, one row each: the connection strings their heads
// get, how those are recognised, which back-end reads them and which writes them, or why
// this platform cannot.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/sheetgrid.h"

#include <QDir>
#include <QFileInfo>
#include <array>

namespace quendra {

namespace {

// Served through ODBC: no reader of its own.
constexpr FileTypeSupport As400Type{.name = "IBM AS/400",
                                    .providerText = "Provider=IBMDA400;",
                                    .provider = "ibmda400",
                                    .backend = BackendKind::Odbc};
// Medium 1, an ODBC data source.
constexpr FileTypeSupport OdbcSource{.name = nullptr,
                                     .providerText = "PROVIDER=MSDASQL;",
                                     .provider = "msdasql",
                                     .backend = BackendKind::Odbc};

// The catalogue, in its order, the ODBC data source last; made at first use, so that no
// other file's start-up can find it still empty.
const auto& rows()
{
    static const std::array rows = {DbaseIIIType, As400Type,   LotusType,        AccessType,
                                    Excel8Type,   Excel12Type, OpenDocumentType, Paradox5Type,
                                    TextType,     OdbcSource};
    return rows;
}

bool providerMatches(const char* wanted, const QString& provider)
{
    if (QLatin1String(wanted) == u"jet")
        return provider.startsWith(u"microsoft.jet.oledb") ||
               provider.startsWith(u"microsoft.ace.oledb");
    // "MSDASQL" or a versioned "MSDASQL.1"
    return provider == QLatin1String(wanted) ||
           provider.startsWith(QLatin1String(wanted) + QLatin1Char('.'));
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

const FileTypeSupport* recogniseFileType(const QString& provider, const QString& extendedProperties)
{
    const QString wanted = provider.trimmed().toLower();
    const QString first = extendedProperties.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
    const FileTypeSupport* found = nullptr;
    for (const FileTypeSupport& row : rows()) {
        if (!providerMatches(row.provider, wanted))
            continue;
        // ODBC providers take no extended properties; Jet rows are told apart by them
        // ("Excel 12.0 Xml" is not "Excel 8.0").
        const QLatin1String property(row.property);
        if (row.backend == BackendKind::Odbc)
            return &row;
        if ((property.isEmpty() ? first.isEmpty() : first.startsWith(property)) &&
            (!found || property.size() > qsizetype(qstrlen(found->property))))
            found = &row;
    }
    return found;
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
