// "Lotus 1-2-3": the data source is a .wk1, .wks, .wk3, .wk4 or .123 spreadsheet. Every
// sheet is a table, named as the sheet (Sheet1, Sheet2, ... where the file names none),
// its columns made as sheetgrid.h says; a sheet without cells is an empty table. Rows
// without any value are skipped. The cells are read from the file's records
// (lotusrecords.h); for release 3 and later libwps tells the sheets' names and which
// numbers show a date or a time, which those files keep apart from the cells. A formula
// cell gives its stored result, ERR and NA their error values, a date its day by Lotus's
// calendar with its time of day. The whole file is read before any table is made, so a
// refused file leaves nothing behind. Writing Lotus files is not offered.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/cellformats.h"
#include "connectors/backends/lotusrecords.h"
#include "connectors/backends/sheetgrid.h"
#include "values/regionaltext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <librevenge-stream/librevenge-stream.h>
#include <libwps/libwps.h>

#include <algorithm>

namespace quendra {

namespace {

using librevenge::RVNGPropertyList;

quint64 cellKey(int row, int column)
{
    return (quint64(quint32(row)) << 32) | quint32(column);
}

// What libwps reports of the sheets: their names, and for each cell that holds a value
// whether it shows a date or a time. Every other call is a part of the document that a
// table does not take (styles, charts, drawings, headers).
class SheetCollector : public librevenge::RVNGSpreadsheetInterface {
public:
    struct Sheet {
        QString name;
        QHash<quint64, bool> cells; // cellKey -> shows a date or a time
    };
    std::vector<Sheet> sheets;

    void openSheet(const RVNGPropertyList& p) override
    {
        const auto* name = p["librevenge:sheet-name"];
        sheets.push_back({name ? QString::fromUtf8(name->getStr().cstr())
                               : QStringLiteral("Sheet%1").arg(sheets.size() + 1),
                          {}});
        row_ = -1;
    }
    void openSheetRow(const RVNGPropertyList& p) override
    {
        const auto* row = p["librevenge:row"];
        row_ = row ? row->getInt() : row_ + 1;
        column_ = -1;
    }
    void openSheetCell(const RVNGPropertyList& p) override
    {
        const auto* column = p["librevenge:column"];
        column_ = column ? column->getInt() : column_ + 1;
        if (const auto* row = p["librevenge:row"])
            row_ = row->getInt();
        inCell_ = true;
        const auto* type = p["librevenge:value-type"];
        const QByteArray kind(type ? type->getStr().cstr() : "");
        hasValue_ = !kind.isEmpty() && kind != "string" && kind != "text";
        date_ = kind == "date" || kind == "time";
    }
    void closeSheetCell() override
    {
        inCell_ = false;
        if (hasValue_ && !sheets.empty() && row_ >= 0 && column_ >= 0)
            sheets.back().cells.insert(cellKey(row_, column_), date_);
    }
    void insertText(const librevenge::RVNGString& text) override
    {
        if (inCell_ && ignored_ == 0 && text.len() > 0)
            hasValue_ = true;
    }
    void insertSpace() override { insertText(" "); }
    void insertTab() override { insertText("\t"); }
    void insertLineBreak() override { insertText("\n"); }
    void closeParagraph() override {}
    void openParagraph(const RVNGPropertyList&) override {}

    void setDocumentMetaData(const RVNGPropertyList&) override {}
    void startDocument(const RVNGPropertyList&) override {}
    void endDocument() override {}
    void definePageStyle(const RVNGPropertyList&) override {}
    void defineEmbeddedFont(const RVNGPropertyList&) override {}
    void openPageSpan(const RVNGPropertyList&) override {}
    void closePageSpan() override {}
    void openHeader(const RVNGPropertyList&) override { ++ignored_; }
    void closeHeader() override { --ignored_; }
    void openFooter(const RVNGPropertyList&) override { ++ignored_; }
    void closeFooter() override { --ignored_; }
    void defineSheetNumberingStyle(const RVNGPropertyList&) override {}
    void closeSheet() override {}
    void closeSheetRow() override {}
    void defineChartStyle(const RVNGPropertyList&) override {}
    void openChart(const RVNGPropertyList&) override {}
    void closeChart() override {}
    void openChartTextObject(const RVNGPropertyList&) override {}
    void closeChartTextObject() override {}
    void openChartPlotArea(const RVNGPropertyList&) override {}
    void closeChartPlotArea() override {}
    void insertChartAxis(const RVNGPropertyList&) override {}
    void openChartSerie(const RVNGPropertyList&) override {}
    void closeChartSerie() override {}
    void defineParagraphStyle(const RVNGPropertyList&) override {}
    void defineCharacterStyle(const RVNGPropertyList&) override {}
    void openSpan(const RVNGPropertyList&) override {}
    void closeSpan() override {}
    void openLink(const RVNGPropertyList&) override {}
    void closeLink() override {}
    void defineSectionStyle(const RVNGPropertyList&) override {}
    void openSection(const RVNGPropertyList&) override {}
    void closeSection() override {}
    void insertField(const RVNGPropertyList&) override {}
    void openOrderedListLevel(const RVNGPropertyList&) override {}
    void openUnorderedListLevel(const RVNGPropertyList&) override {}
    void closeOrderedListLevel() override {}
    void closeUnorderedListLevel() override {}
    void openListElement(const RVNGPropertyList&) override {}
    void closeListElement() override {}
    void openFootnote(const RVNGPropertyList&) override { ++ignored_; }
    void closeFootnote() override { --ignored_; }
    void openComment(const RVNGPropertyList&) override { ++ignored_; }
    void closeComment() override { --ignored_; }
    void openFrame(const RVNGPropertyList&) override { ++ignored_; }
    void closeFrame() override { --ignored_; }
    void insertBinaryObject(const RVNGPropertyList&) override {}
    void openTextBox(const RVNGPropertyList&) override {}
    void closeTextBox() override {}
    void openTable(const RVNGPropertyList&) override {}
    void openTableRow(const RVNGPropertyList&) override {}
    void closeTableRow() override {}
    void openTableCell(const RVNGPropertyList&) override {}
    void closeTableCell() override {}
    void insertCoveredTableCell(const RVNGPropertyList&) override {}
    void closeTable() override {}
    void openGroup(const RVNGPropertyList&) override {}
    void closeGroup() override {}
    void defineGraphicStyle(const RVNGPropertyList&) override {}
    void drawRectangle(const RVNGPropertyList&) override {}
    void drawEllipse(const RVNGPropertyList&) override {}
    void drawPolygon(const RVNGPropertyList&) override {}
    void drawPolyline(const RVNGPropertyList&) override {}
    void drawPath(const RVNGPropertyList&) override {}
    void drawConnector(const RVNGPropertyList&) override {}
    void insertEquation(const RVNGPropertyList&) override {}

private:
    int row_ = -1;
    int column_ = -1;
    int ignored_ = 0;
    bool inCell_ = false;
    bool hasValue_ = false;
    bool date_ = false;
};

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void refuse(const QString& text, const QString& path)
{
    throw Error(errnum::PathFileAccess, {}, text.arg(native(path)));
}

using Wps = std::unique_ptr<librevenge::RVNGStringStream>;

Wps wpsStream(const QByteArray& bytes)
{
    return std::make_unique<librevenge::RVNGStringStream>(
        reinterpret_cast<const unsigned char*>(bytes.constData()), unsigned(bytes.size()));
}

// What libwps makes of a release 3 file: its sheets' names and which cells show dates.
std::vector<SheetCollector::Sheet> wpsSheets(const QByteArray& bytes, const QString& path,
                                             bool needsEncoding)
{
    SheetCollector collector;
    const Wps stream = wpsStream(bytes);
    const libwps::WPSResult result =
        libwps::WPSDocument::parse(stream.get(), &collector, "", needsEncoding ? "CP850" : "");
    if (result == libwps::WPS_ENCRYPTION_ERROR)
        refuse(QStringLiteral("Die Lotus-1-2-3-Tabelle %1 ist passwortgeschützt."), path);
    if (result != libwps::WPS_OK)
        refuse(QStringLiteral("Die Lotus-1-2-3-Tabelle %1 ist beschädigt: die Bibliothek libwps "
                              "kann sie nicht lesen."),
               path);
    return std::move(collector.sheets);
}

bool isNumber(const LotusCell& cell)
{
    return cell.value.typeId() == QMetaType::Double;
}

struct LotusSheet {
    QString name;
    QMap<int, QMap<int, QVariant>> cells; // row -> column -> value
};

class LotusReading {
public:
    LotusReading(const QString& path) : m_path(path) {}

    std::vector<LotusSheet> read()
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly))
            throw standardError(errnum::PathFileAccess, m_path);
        const QByteArray bytes = file.readAll();
        const Wps stream = wpsStream(bytes);
        libwps::WPSKind kind = libwps::WPS_TEXT;
        libwps::WPSCreator creator = libwps::WPS_MSWORKS;
        bool needsEncoding = false;
        const libwps::WPSConfidence confidence =
            libwps::WPSDocument::isFileFormatSupported(stream.get(), kind, creator, needsEncoding);
        if (confidence == libwps::WPS_CONFIDENCE_SUPPORTED_ENCRYPTION)
            refuse(QStringLiteral("Die Lotus-1-2-3-Tabelle %1 ist passwortgeschützt."), m_path);
        const LotusBook book = readLotusRecords(bytes, m_path);
        std::vector<LotusSheet> sheets(size_t(book.sheets));
        std::vector<SheetCollector::Sheet> wps;
        // libwps takes a release 3 file of a few records for none; without it no number
        // could show a date.
        const bool wpsReads =
            confidence != libwps::WPS_CONFIDENCE_NONE && kind == libwps::WPS_SPREADSHEET;
        if (book.release3 && wpsReads)
            wps = wpsSheets(bytes, m_path, needsEncoding);
        else if (book.release3 && std::any_of(book.cells.begin(), book.cells.end(), isNumber))
            refuse(QStringLiteral("Die Lotus-1-2-3-Tabelle %1 ist beschädigt: die Bibliothek "
                                  "libwps erkennt sie nicht, und ohne sie ist nicht zu sagen, "
                                  "welche Zahlen ein Datum zeigen."),
                   m_path);
        for (size_t s = 0; s < sheets.size(); ++s) {
            sheets[s].name = s < wps.size() && !wps[s].name.isEmpty()
                                 ? wps[s].name
                                 : QStringLiteral("Sheet%1").arg(s + 1);
        }
        QSet<quint64> seen[256];
        for (const LotusCell& cell : book.cells) {
            const quint64 key = cellKey(cell.row, cell.column);
            seen[cell.sheet].insert(key);
            const bool date = book.release3 ? size_t(cell.sheet) < wps.size() &&
                                                  wps[size_t(cell.sheet)].cells.value(key)
                                            : cell.shows != LotusCell::Shows::Number;
            const QVariant value = valueOf(cell, date, sheets[size_t(cell.sheet)].name);
            if (!value.isNull())
                sheets[size_t(cell.sheet)].cells[cell.row][cell.column] = value;
        }
        // A cell libwps finds and the records do not would be lost: a kind of record
        // this reader does not know.
        for (size_t s = 0; s < wps.size(); ++s) {
            for (auto c = wps[s].cells.cbegin(); c != wps[s].cells.cend(); ++c) {
                if (s >= sheets.size() || !seen[s].contains(c.key()))
                    throw Error(errnum::PathFileAccess, {},
                                QStringLiteral("Die Lotus-1-2-3-Tabelle %1 enthält in Tabelle "
                                               "\"%2\", Zelle %3 einen Wert in einem Datensatz, "
                                               "den Quendra nicht lesen kann.")
                                    .arg(native(m_path),
                                         s < sheets.size() ? sheets[s].name : QString(),
                                         cellName(unsigned(c.key() >> 32), unsigned(c.key()))));
            }
        }
        return sheets;
    }

private:
    // The value a cell gives its table: a number in a date or time format as the date,
    // refused when it is none.
    QVariant valueOf(const LotusCell& cell, bool date, const QString& sheet) const
    {
        if (!cell.fault.isEmpty())
            refuseCell(cell, sheet, cell.fault);
        if (!date || !isNumber(cell))
            return cell.value;
        if (const QVariant day = serialDateValue(cell.value.toDouble(), false, m_text);
            day.typeId() != QMetaType::Double)
            return day;
        refuseCell(cell, sheet,
                   QStringLiteral("die Zahl %1 in einem Datumsformat, die kein Tag zwischen dem "
                                  "01.01.1900 und dem 31.12.9999 ist")
                       .arg(m_text.toText(cell.value)));
    }

    [[noreturn]] void refuseCell(const LotusCell& cell, const QString& sheet,
                                 const QString& what) const
    {
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Die Lotus-1-2-3-Tabelle %1 enthält in Tabelle \"%2\", Zelle "
                                   "%3 %4 (Datensatz bei Byte %5).")
                        .arg(native(m_path), sheet,
                             cellName(unsigned(cell.row), unsigned(cell.column)), what,
                             QString::number(cell.offset)));
    }

    const QString& m_path;
    const RegionalText m_text;
};

// The sheet's cells as rows of one width, without rows that hold no value at all.
SheetGrid gridOf(const LotusSheet& sheet)
{
    int width = 0;
    for (const auto& row : sheet.cells)
        width = std::max(width, row.lastKey() + 1);
    SheetGrid grid;
    for (const auto& row : sheet.cells) {
        QVariantList values(width);
        for (auto cell = row.cbegin(); cell != row.cend(); ++cell)
            values[cell.key()] = cell.value();
        grid.push_back(values);
    }
    return grid;
}

class LotusReader : public FileTypeReader {
public:
    void load(const DataSourceLocation& location, QSqlDatabase& memoryDb) override
    {
        trapped("LotusFile.load", [&] {
            const QString& path = location.dataSource;
            requireDataFile(path);
            for (const LotusSheet& sheet : LotusReading(path).read())
                loadSheetGrid(gridOf(sheet), sheet.name, location.header, memoryDb);
        });
    }
};

} // namespace

static std::unique_ptr<FileTypeReader> makeLotusReader()
{
    return std::make_unique<LotusReader>();
}

const FileTypeSupport LotusType{
    .name = "Lotus 1-2-3",
    .providerText = JetProvider,
    .extendedProperties = "Extended Properties=Lotus WK3;",
    .makeReader = makeLotusReader,
    .refusal = "Lotus-1-2-3-Dateien können hier nur gelesen werden. Bitte als Ziel eine CSV-Datei "
               "(Dateityp \"Text\") oder eine dBase-Tabelle (Dateityp \"dBase III\") verwenden."};

} // namespace quendra
