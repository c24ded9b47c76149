// A file-type reader fed with a mutated file: it either fills the in-memory database or
// refuses the file with a conversion error; it never crashes, hangs or reads out of
// bounds. Built once per file type (QUENDRA_FUZZ_FILETYPE_...). A Lotus sheet that loads
// must hold every cell an independent walk of its records finds.
//
// Input: the bytes of the file.
#include "common.h"

#include "common/error.h"
#include "connectors/backends/biffcells.h"
#include "connectors/backends/filetypes.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

#include <map>
#include <optional>
#include <set>
#include <tuple>

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
const FileType Type{DbaseIIIType.makeReader, u"dBase III", u"tabelle.dbf", true, false};
#elif defined(QUENDRA_FUZZ_FILETYPE_paradox)
const FileType Type{Paradox5Type.makeReader, u"Paradox 5.0", u"tabelle.db", false, false};
#elif defined(QUENDRA_FUZZ_FILETYPE_excel)
const FileType Type{Excel8Type.makeReader, u"MS Excel 8.0", u"mappe.xls", false, true};
#elif defined(QUENDRA_FUZZ_FILETYPE_xlsx)
const FileType Type{Excel12Type.makeReader, u"MS Excel 12.0", u"mappe.xlsx", false, true};
#elif defined(QUENDRA_FUZZ_FILETYPE_ods)
const FileType Type{OpenDocumentType.makeReader, u"OpenDocument", u"tabelle.ods", false, true};
#elif defined(QUENDRA_FUZZ_FILETYPE_lotus)
const FileType Type{LotusType.makeReader, u"Lotus 1-2-3", u"tabelle.wk1", false, false};
#elif defined(QUENDRA_FUZZ_FILETYPE_csvfolder)
const FileType Type{TextType.makeReader, u"Text", u"tabelle.csv", true, true};
#elif defined(QUENDRA_FUZZ_FILETYPE_access)
const FileType Type{AccessType.makeReader, u"MS Access", u"daten.mdb", false, false};
#else
#error "QUENDRA_FUZZ_FILETYPE_... names the file type"
#endif

// Reads every row of every table the reader made, as a user's run would: per table (in
// the order made) its rows and its values that are not NULL.
std::vector<std::pair<int, int>> readAll(const QSqlDatabase& db)
{
    std::vector<std::pair<int, int>> counts;
    QSqlQuery tables(db);
    tables.exec(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid"));
    while (tables.next()) {
        QSqlQuery rows(db);
        rows.exec(QStringLiteral("SELECT * FROM \"%1\"")
                      .arg(tables.value(0).toString().replace(u'"', QStringLiteral("\"\""))));
        auto& [rowCount, values] = counts.emplace_back(0, 0);
        const int columns = rows.record().count();
        for (; rows.next(); ++rowCount) {
            for (int i = 0; i < columns; ++i)
                values += rows.isNull(i) ? 0 : 1;
        }
    }
    return counts;
}

#if defined(QUENDRA_FUZZ_FILETYPE_lotus)
// The oracle of a Lotus sheet, a walk of the record chain of its own: per sheet, the rows
// that hold a value and the number of cells with one (a label with text, a number not
// marked blank, a formula, ERR or NA). Empty when the chain breaks off before its end
// record; then the reader must refuse the file.
std::optional<std::map<int, std::pair<std::set<int>, int>>> lotusCells(const QByteArray& file)
{
    const auto u16 = [&](qsizetype at) { return quint8(file[at]) | quint8(file[at + 1]) << 8; };
    if (file.size() < 6)
        return std::nullopt;
    const bool release3 = u16(4) >= 0x1000;
    std::map<int, std::pair<std::set<int>, int>> sheets;
    std::set<std::tuple<int, int, int>> seen;
    // A label's text, after the character that aligns it, up to its closing zero byte.
    const auto hasText = [](const QByteArray& text) {
        const QByteArray shown = text.split('\0').front();
        return shown.size() > (QByteArray("'\"^\\").contains(shown.left(1)) ? 1 : 0);
    };
    for (qsizetype at = 0; at + 4 <= file.size();) {
        const int type = u16(at), length = u16(at + 2);
        const qsizetype body = at + 4;
        at = body + length;
        if (at > file.size())
            break;
        if (type == 1)
            return sheets;
        bool valued = false;
        if (release3 && length >= 4) // a number of 80 bits (also a formula's result) may be blank
            valued = type == 0x16 ? hasText(file.mid(body + 4, length - 4))
                     : type == 0x17 || type == 0x19
                         ? !file.mid(body + 11, 3).startsWith(QByteArray("\0\xFF\xFF", 3))
                         : (type >= 0x14 && type <= 0x18) || type == 0x25 || type == 0x27 ||
                               type == 0x28;
        else if (!release3 && length >= 5)
            valued = type == 0x0F ? hasText(file.mid(body + 5, length - 5))
                                  : type >= 0x0D && type <= 0x10;
        if (!valued)
            continue;
        const int sheet = release3 ? quint8(file[body + 2]) : 0;
        const int row = release3 ? u16(body) : u16(body + 3);
        const int column = release3 ? quint8(file[body + 3]) : u16(body + 1);
        if (seen.insert({sheet, row, column}).second) {
            sheets[sheet].first.insert(row);
            ++sheets[sheet].second;
        }
    }
    return std::nullopt;
}

// Every cell of the sheet reached its table (none dropped, none invented), its row too.
void checkLotus(const QByteArray& file, const std::vector<std::pair<int, int>>& tables)
{
    const auto sheets = lotusCells(file);
    FUZZ_CHECK(sheets.has_value(), "a sheet without its end record was read");
    for (const auto& [sheet, cells] : *sheets) {
        FUZZ_CHECK(size_t(sheet) < tables.size(), "sheet %d without its table", sheet);
        FUZZ_CHECK(tables[size_t(sheet)].first == int(cells.first.size()),
                   "sheet %d: %d rows, the records hold %zu", sheet, tables[size_t(sheet)].first,
                   cells.first.size());
        FUZZ_CHECK(tables[size_t(sheet)].second == cells.second,
                   "sheet %d: %d values, the records hold %d", sheet, tables[size_t(sheet)].second,
                   cells.second);
    }
}
#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString folder = fuzz::workDir() + QStringLiteral("/daten");
    QDir().mkpath(folder);
    const QString file = folder + QLatin1Char('/') + QString::fromUtf16(Type.fileName);
    fuzz::writeFile(file, reinterpret_cast<const char*>(data), size);

    bool read = true;
#if defined(QUENDRA_FUZZ_FILETYPE_excel)
    // The workbook's own records are read here, in this process, and FreeXL, which the reader
    // tries in a child first, under libFuzzer for one input in four only: making the child
    // takes most of the time.
    try {
        readBiffCells(file);
    } catch (const Error&) {
    }
#if defined(QUENDRA_LIBFUZZER)
    read = qHash(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size))) % 4 == 0;
#endif
#endif
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
            if (read) {
                Type.make()->load(location, db);
                [[maybe_unused]] const auto tables = readAll(db);
#if defined(QUENDRA_FUZZ_FILETYPE_lotus)
                checkLotus(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
                           tables);
#endif
            }
        } catch (const Error&) {
            // A refusal with a message is the right answer to a broken file.
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return 0;
}
