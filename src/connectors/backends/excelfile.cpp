// "MS Excel 8.0": the data source is an .xls workbook (Excel 97 to 2003), read through
// FreeXL. Every worksheet is a table, named as the sheet, in workbook order, its columns
// made as sheetgrid.h says. Rows without any value are skipped. A formula cell gives its
// stored result, a logical cell Wahr or Falsch. Both Excel date systems (1900 and 1904)
// give the same dates. Writing workbooks is not offered. An Excel 2007 workbook (.xlsx)
// under this file type is read as "MS Excel 12.0" reads it.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/biffcells.h"
#include "connectors/backends/cellformats.h"
#include "connectors/backends/childprobe.h"
#include "connectors/backends/sheetgrid.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <freexl.h>

#include <QHash>

#include <cmath>
#include <vector>

namespace quendra {

namespace {

struct XlsCloser {
    void operator()(const void* handle) const { freexl_close(handle); }
};
using XlsHandle = std::unique_ptr<const void, XlsCloser>;

QVariant cellValue(const FreeXL_CellValue& cell)
{
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return qlonglong(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return cell.value.double_value;
    case FREEXL_CELL_DATE:
        return QDate::fromString(QString::fromLatin1(cell.value.text_value), Qt::ISODate);
    case FREEXL_CELL_DATETIME:
        return QDateTime::fromString(QString::fromLatin1(cell.value.text_value),
                                     u"yyyy-MM-dd HH:mm:ss");
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_TIME:
        return QString::fromUtf8(cell.value.text_value);
    default:
        return {};
    }
}

// The cells FreeXL does not report as they are (formula results, logicals), of one
// sheet, keyed by row and column.
using SheetCells = QHash<quint64, QVariant>;

quint64 cellKey(unsigned row, unsigned column)
{
    return (quint64(row) << 16) | column;
}

// The active sheet's cells, row by row, without rows that hold no value at all.
SheetGrid readSheet(const void* xls, const QString& path, const SheetCells& ownCells)
{
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(xls, &rows, &columns) != FREEXL_OK)
        throwUnreadableWorkbook(path);
    SheetGrid grid;
    for (unsigned int r = 0; r < rows; ++r) {
        QVariantList row;
        bool any = false;
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(xls, r, c, &cell) != FREEXL_OK)
                throwUnreadableWorkbook(path);
            const auto own = ownCells.constFind(cellKey(r, c));
            row << (own != ownCells.cend() ? *own : cellValue(cell));
            any = any || !row.constLast().isNull();
        }
        if (any)
            grid.push_back(row);
    }
    return grid;
}

struct Sheet {
    QString name;
    SheetGrid grid;
};

// Every sheet of the workbook at path (native: its name for the file system).
std::vector<Sheet> readWorkbook(const QString& path, const QByteArray& native)
{
    const void* raw = nullptr;
    const int opened = freexl_open(native.constData(), &raw);
    const XlsHandle xls(raw);
    unsigned int sheets = 0;
    if (opened != FREEXL_OK || freexl_get_info(raw, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK)
        throwUnreadableWorkbook(path);
    std::vector<SheetCells> ownCells(sheets);
    for (const BiffCell& cell : readBiffCells(path)) {
        if (cell.sheet < int(sheets))
            ownCells[size_t(cell.sheet)].insert(cellKey(cell.row, cell.column), cell.value);
    }
    std::vector<Sheet> workbook;
    for (unsigned short s = 0; s < sheets; ++s) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(raw, s, &name) != FREEXL_OK ||
            freexl_select_active_worksheet(raw, s) != FREEXL_OK)
            throwUnreadableWorkbook(path);
        workbook.push_back({QString::fromUtf8(name), readSheet(raw, path, ownCells[s])});
    }
    return workbook;
}

class ExcelReader : public FileTypeReader {
public:
    void load(const DataSourceLocation& location, QSqlDatabase& memoryDb) override
    {
        if (isZipFile(location.dataSource)) {
            Excel12Type.makeReader()->load(location, memoryDb);
            return;
        }
        trapped("ExcelFile.load", [&] {
            const QString& path = location.dataSource;
            requireDataFile(path);
            const QByteArray native = QFile::encodeName(path);
            // FreeXL reads some malformed workbooks past its own buffers.
            readInChildFirst([&] { readWorkbook(path, native); }, path,
                             QStringLiteral("Die Excel-Arbeitsmappe %1 ist beschädigt: die "
                                            "Bibliothek FreeXL kann sie nicht lesen.")
                                 .arg(QDir::toNativeSeparators(path)));
            for (const Sheet& sheet : readWorkbook(path, native))
                loadSheetGrid(sheet.grid, sheet.name, location.header, memoryDb);
        });
    }
};

} // namespace

static std::unique_ptr<FileTypeReader> makeExcelReader()
{
    return std::make_unique<ExcelReader>();
}

const FileTypeSupport Excel8Type{
    .name = "MS Excel 8.0",
    .providerText = "Provider=Microsoft.Jet.OLEDB.4.0;",
    .extendedProperties = "Extended Properties=\"Excel 8.0;",
    .header = true,
    .makeReader = makeExcelReader,
    .refusal = "Excel-8.0-Dateien können hier nur gelesen werden. Bitte als Ziel eine "
               "Excel-Arbeitsmappe (Dateityp \"MS Excel 12.0\"), eine CSV-Datei (Dateityp "
               "\"Text\") oder eine dBase-Tabelle (Dateityp \"dBase III\") verwenden.",
    .fileButton = true};

} // namespace quendra
