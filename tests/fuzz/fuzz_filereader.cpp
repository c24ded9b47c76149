// A file-type reader fed with a mutated file: it either fills the in-memory database or
// refuses the file with a conversion error; it never crashes, hangs or reads out of
// bounds. Built once per file type (QUENDRA_FUZZ_FILETYPE_...).
//
// Input: the bytes of the file.
#include "common.h"

#include "common/error.h"
#include "connectors/backends/filetypes.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>

using namespace quendra;

namespace {

struct FileType {
    std::unique_ptr<FileTypeReader> (*make)();
    const char16_t* name;     // catalogue name
    const char16_t* fileName; // the file the input becomes
    bool sourceIsFolder;      // the data source names the folder, not the file
    bool header;
};

#if defined(QUENDRA_FUZZ_FILETYPE_dbase)
const FileType Type{makeDbaseReader, u"dBase III", u"tabelle.dbf", true, false};
#elif defined(QUENDRA_FUZZ_FILETYPE_paradox)
const FileType Type{makeParadoxReader, u"Paradox 5.0", u"tabelle.db", false, false};
#elif defined(QUENDRA_FUZZ_FILETYPE_excel)
const FileType Type{makeExcelReader, u"MS Excel 8.0", u"mappe.xls", false, true};
#elif defined(QUENDRA_FUZZ_FILETYPE_xlsx)
const FileType Type{makeXlsxReader, u"MS Excel 12.0", u"mappe.xlsx", false, true};
#elif defined(QUENDRA_FUZZ_FILETYPE_ods)
const FileType Type{makeOdsReader, u"OpenDocument", u"tabelle.ods", false, true};
#elif defined(QUENDRA_FUZZ_FILETYPE_lotus)
const FileType Type{makeLotusReader, u"Lotus 1-2-3", u"tabelle.wk1", false, false};
#elif defined(QUENDRA_FUZZ_FILETYPE_csvfolder)
const FileType Type{makeCsvFolderReader, u"Text", u"tabelle.csv", true, true};
#elif defined(QUENDRA_FUZZ_FILETYPE_access)
const FileType Type{makeJetReader, u"MS Access", u"daten.mdb", false, false};
#else
#error "QUENDRA_FUZZ_FILETYPE_... names the file type"
#endif

// Reads every row of every table the reader made, as a user's run would.
void readAll(const QSqlDatabase& db)
{
    QSqlQuery tables(db);
    tables.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    while (tables.next()) {
        QSqlQuery rows(db);
        rows.exec(QStringLiteral("SELECT * FROM \"%1\"")
                      .arg(tables.value(0).toString().replace(u'"', QStringLiteral("\"\""))));
        while (rows.next()) {
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString folder = fuzz::workDir() + QStringLiteral("/daten");
    QDir().mkpath(folder);
    const QString file = folder + QLatin1Char('/') + QString::fromUtf16(Type.fileName);
    fuzz::writeFile(file, reinterpret_cast<const char*>(data), size);

    static int counter = 0;
    const QString connection = QStringLiteral("fuzz-%1").arg(++counter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(QStringLiteral(":memory:"));
        FUZZ_CHECK(db.open(), "in-memory database");
        const DataSourceLocation location{QString::fromUtf16(Type.name),
                                          Type.sourceIsFolder ? folder : file, Type.header,
                                          tableFileSuffixes(QString::fromUtf16(Type.name))};
        try {
            Type.make()->load(location, db);
            readAll(db);
        } catch (const Error&) {
            // A refusal with a message is the right answer to a broken file.
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return 0;
}
