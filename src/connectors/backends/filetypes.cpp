// The file types of the media catalogue, one row each: the connection strings their heads
// get, how those are recognised, which back-end reads them and which writes them, or why
// this platform cannot.
#include "connectors/backends/filetypes.h"

#include "common/error.h"

#include <QDir>
#include <QFileInfo>

namespace quendra {

namespace {

constexpr char LotusRefusal[] =
    "Lotus-1-2-3-Dateien können hier nur gelesen werden. Bitte als Ziel eine CSV-Datei "
    "(Dateityp \"Text\") oder eine dBase-Tabelle (Dateityp \"dBase III\") verwenden.";
constexpr char AccessRefusal[] =
    "Access-Datenbanken (Jet/ACE) können hier nur gelesen werden. Bitte als Ziel eine "
    "SQLite-Datenbank (Dateityp \"MS Access\"), eine dBase-Tabelle oder eine CSV-Datei "
    "(Dateityp \"Text\") verwenden.";
constexpr char OdsRefusal[] =
    "OpenDocument-Tabellen können hier nur gelesen werden. Bitte als Ziel eine "
    "Excel-Arbeitsmappe (Dateityp \"MS Excel 12.0\") oder eine CSV-Datei (Dateityp \"Text\") "
    "verwenden.";
constexpr char ExcelRefusal[] =
    "Excel-8.0-Dateien können hier nur gelesen werden. Bitte als Ziel eine Excel-Arbeitsmappe "
    "(Dateityp \"MS Excel 12.0\"), eine CSV-Datei (Dateityp \"Text\") oder eine dBase-Tabelle "
    "(Dateityp \"dBase III\") verwenden.";

constexpr char Jet[] = "PROVIDER=Microsoft.Jet.OLEDB.4.0;";

// "MS Access" names an SQLite file, read and written through SQL, or a Jet file, which
// its reader copies into memory and which cannot be written.
constexpr FileTypeSupport Rows[] = {
    {"dBase III", Jet, "Extended Properties=DBASE III;", false, "jet", "dbase",
     BackendKind::MemoryCopy, makeDbaseReader, makeDbaseWriter, nullptr, "dbf", false},
    {"IBM AS/400", "Provider=IBMDA400;", "", false, "ibmda400", "", BackendKind::Odbc, nullptr,
     nullptr, nullptr, "", false},
    {"Lotus 1-2-3", Jet, "Extended Properties=Lotus WK3;", false, "jet", "lotus",
     BackendKind::MemoryCopy, makeLotusReader, nullptr, LotusRefusal, "", false},
    {"MS Access", Jet, "", false, "jet", "", BackendKind::DatabaseFile, makeJetReader, nullptr,
     AccessRefusal, "", false},
    {"MS Excel 8.0", "Provider=Microsoft.Jet.OLEDB.4.0;", "Extended Properties=\"Excel 8.0;", true,
     "jet", "excel", BackendKind::MemoryCopy, makeExcelReader, nullptr, ExcelRefusal, "", true},
    {"MS Excel 12.0", "Provider=Microsoft.ACE.OLEDB.12.0;", "Extended Properties=\"Excel 12.0 Xml;",
     true, "jet", "excel 12.0", BackendKind::MemoryCopy, makeXlsxReader, makeXlsxWriter, nullptr,
     "", true, true},
    {"OpenDocument", "Provider=Quendra.OpenDocument;", "Extended Properties=\"OpenDocument;", true,
     "quendra.opendocument", "opendocument", BackendKind::MemoryCopy, makeOdsReader, nullptr,
     OdsRefusal, "", true},
    {"Paradox 5.0", Jet, "Extended Properties=Paradox 5.x;Data Source=", false, "jet", "paradox",
     BackendKind::MemoryCopy, makeParadoxReader, makeParadoxWriter, nullptr, "db", false},
    {"Text", Jet, "Extended Properties=\"text;", true, "jet", "text", BackendKind::MemoryCopy,
     makeCsvFolderReader, makeCsvFolderWriter, nullptr, "csv txt", false},
    {nullptr, "PROVIDER=MSDASQL;", "", false, "msdasql", "", BackendKind::Odbc, nullptr, nullptr,
     nullptr, "", false},
};
constexpr const FileTypeSupport& TextRow = Rows[std::size(Rows) - 2]; // the last named row

bool providerMatches(const char* wanted, const QString& provider)
{
    if (QLatin1String(wanted) == u"jet")
        return provider.startsWith(u"microsoft.jet.oledb") ||
               provider.startsWith(u"microsoft.ace.oledb");
    // "MSDASQL" or a versioned "MSDASQL.1"
    return provider == QLatin1String(wanted) ||
           provider.startsWith(QLatin1String(wanted) + QLatin1Char('.'));
}

} // namespace

const FileTypeSupport& fileTypeRow(const QString& fileType)
{
    for (const FileTypeSupport& row : Rows) {
        if (row.name && fileType == QLatin1String(row.name))
            return row;
    }
    return TextRow;
}

QStringList tableFileSuffixes(const QString& fileType)
{
    for (const FileTypeSupport& row : Rows) {
        if (row.name && fileType == QLatin1String(row.name))
            return QString::fromLatin1(row.tableFiles).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    return {};
}

std::span<const FileTypeSupport> fileTypeSupport()
{
    return Rows;
}

const FileTypeSupport* recogniseFileType(const QString& provider, const QString& extendedProperties)
{
    const QString wanted = provider.trimmed().toLower();
    const QString first = extendedProperties.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
    const FileTypeSupport* found = nullptr;
    for (const FileTypeSupport& row : Rows) {
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

} // namespace quendra
