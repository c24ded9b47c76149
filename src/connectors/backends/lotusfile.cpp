// "Lotus 1-2-3": the data source is a .wk1, .wks, .wk3, .wk4 or .123 spreadsheet, read
// through libwps. Every sheet is a table, named as the sheet (Sheet1, Sheet2, ... where
// the file names none), its columns made as sheetgrid.h says. Rows without any value are
// skipped. A formula cell gives its stored result; labels are read in the code page the
// file names, else as code page 850 (DOS); a label holding a control character is refused,
// as libwps would drop it. The whole file is read before any table is made, so a refused
// file leaves nothing behind. Writing Lotus files is not offered.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/littleendian.h"
#include "connectors/backends/sheetgrid.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <librevenge-stream/librevenge-stream.h>
#include <libwps/libwps.h>

#include <algorithm>
#include <cmath>

namespace quendra {

namespace {

using librevenge::RVNGPropertyList;

// The cells libwps reports, sheet by sheet; every other call is a part of the document
// that a table does not take (styles, charts, drawings, headers).
class SheetCollector : public librevenge::RVNGSpreadsheetInterface {
public:
    struct Sheet {
        QString name;
        QMap<int, QMap<int, QVariant>> cells; // row -> column -> value
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
        text_.clear();
        inCell_ = true;
        value_ = cellValue(p);
    }
    void closeSheetCell() override
    {
        inCell_ = false;
        if (value_.isNull() && !text_.isEmpty())
            value_ = text_;
        if (!value_.isNull() && !sheets.empty() && row_ >= 0 && column_ >= 0)
            sheets.back().cells[row_][column_] = value_;
    }
    void insertText(const librevenge::RVNGString& text) override
    {
        if (inCell_ && ignored_ == 0)
            text_ += QString::fromUtf8(text.cstr());
    }
    void insertSpace() override { addChar(u' '); }
    void insertTab() override { addChar(u'\t'); }
    void insertLineBreak() override { addChar(u'\n'); }
    void closeParagraph() override { paragraphEnded_ = true; }
    void openParagraph(const RVNGPropertyList&) override
    {
        if (paragraphEnded_ && inCell_ && !text_.isEmpty())
            text_ += u'\n';
        paragraphEnded_ = false;
    }

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
    void addChar(char16_t c)
    {
        if (inCell_ && ignored_ == 0)
            text_ += QChar(c);
    }

    // A cell's number or date; NULL for a label (its text follows) or an empty cell.
    static QVariant cellValue(const RVNGPropertyList& p)
    {
        const auto* type = p["librevenge:value-type"];
        if (!type)
            return {};
        const QByteArray kind(type->getStr().cstr());
        if (kind == "date" || kind == "time") {
            const auto part = [&](const char* name) {
                const auto* value = p[name];
                return value ? value->getInt() : 0;
            };
            const QDate date(part("librevenge:year"), part("librevenge:month"),
                             part("librevenge:day"));
            const QTime time(part("librevenge:hours"), part("librevenge:minutes"),
                             part("librevenge:seconds"));
            if (kind == "time" || !date.isValid())
                return time.isValid() ? QVariant(time.toString(u"HH:mm:ss")) : QVariant();
            return time.isValid() && time != QTime(0, 0) ? QVariant(QDateTime(date, time))
                                                         : QVariant(date);
        }
        if (kind == "string" || kind == "text")
            return {};
        const auto* value = p["librevenge:value"];
        if (!value)
            return {};
        const double number = value->getDouble();
        return std::isfinite(number) ? QVariant(number) : QVariant();
    }

    int row_ = -1;
    int column_ = -1;
    int ignored_ = 0;
    bool inCell_ = false;
    bool paragraphEnded_ = false;
    QVariant value_;
    QString text_;
};

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void refuse(const QString& text, const QString& path)
{
    throw Error(errnum::PathFileAccess, {}, text.arg(native(path)));
}

// The text of a label record (WK1 0x0F and a formula's text result 0x33; 0x16 from release 3
// on) with its cell, or no cell for any other record.
struct LabelRecord {
    int row = -1;
    int column = -1;
    QByteArrayView text;
};

LabelRecord labelOf(QByteArrayView data, unsigned type, bool release3)
{
    if (!release3 && (type == 0x0F || type == 0x33) && data.size() >= 5)
        return {u16(data, 3), u16(data, 1), data.sliced(5)};
    if (release3 && type == 0x16 && data.size() >= 4)
        return {u16(data, 0), int(quint8(data[3])), data.sliced(4)};
    return {};
}

// libwps passes no control character of a label on (a tab is dropped, a line break turned
// into a paragraph), so a label holding one would arrive changed: it is refused by its cell.
void checkLabelText(const LabelRecord& label, const QString& path)
{
    const auto end = std::find(label.text.begin(), label.text.end(), '\0');
    if (std::none_of(label.text.begin(), end, [](char c) { return quint8(c) < 0x20; }))
        return;
    throw Error(errnum::PathFileAccess, {},
                QStringLiteral("Die Lotus-1-2-3-Tabelle %1 enthält in Zelle %2 ein Steuerzeichen "
                               "(einen Tabulator oder Zeilenumbruch), das beim Lesen verloren "
                               "ginge.")
                    .arg(native(path), cellName(label.row, label.column)));
}

// Lotus files are a chain of records (type and length, two little-endian bytes each)
// from a beginning-of-file record (type 0, its first word the version) to an end-of-file
// record (type 1). libwps reads a file cut short as if it were complete, so the chain is
// walked first: the end-of-file record must end exactly where the file does.
void checkRecordChain(const QByteArray& bytes, const QString& path)
{
    if (bytes.size() < 6 || u16(bytes, 0) != 0x0000)
        refuse(QStringLiteral("Die Datei %1 ist keine Lotus-1-2-3-Tabelle."), path);
    const bool release3 = u16(bytes, 4) >= 0x1000;
    qsizetype at = 0;
    while (at + 4 <= bytes.size()) {
        const unsigned type = u16(bytes, at);
        const qsizetype end = at + 4 + qsizetype(u16(bytes, at + 2));
        if (type == 0x0001 && end == bytes.size())
            return;
        if (end <= bytes.size()) {
            const QByteArrayView data(bytes.constData() + at + 4, end - at - 4);
            if (const LabelRecord label = labelOf(data, type, release3); label.row >= 0)
                checkLabelText(label, path);
        }
        at = end;
    }
    refuse(QStringLiteral("Die Lotus-1-2-3-Tabelle %1 ist unvollständig: sie endet vor ihrem "
                          "Schlussdatensatz."),
           path);
}

std::vector<SheetCollector::Sheet> readLotus(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw standardError(errnum::PathFileAccess, path);
    const QByteArray bytes = file.readAll();
    checkRecordChain(bytes, path);

    librevenge::RVNGStringStream stream(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                        unsigned(bytes.size()));
    libwps::WPSKind kind = libwps::WPS_TEXT;
    libwps::WPSCreator creator = libwps::WPS_MSWORKS;
    bool needsEncoding = false;
    const libwps::WPSConfidence confidence =
        libwps::WPSDocument::isFileFormatSupported(&stream, kind, creator, needsEncoding);
    if (confidence == libwps::WPS_CONFIDENCE_NONE || kind != libwps::WPS_SPREADSHEET)
        refuse(QStringLiteral("Die Datei %1 ist keine Lotus-1-2-3-Tabelle."), path);
    const QString encrypted = QStringLiteral("Die Lotus-1-2-3-Tabelle %1 ist passwortgeschützt.");
    if (confidence == libwps::WPS_CONFIDENCE_SUPPORTED_ENCRYPTION)
        refuse(encrypted, path);

    SheetCollector collector;
    stream.seek(0, librevenge::RVNG_SEEK_SET);
    const libwps::WPSResult result =
        libwps::WPSDocument::parse(&stream, &collector, "", needsEncoding ? "CP850" : "");
    if (result == libwps::WPS_ENCRYPTION_ERROR)
        refuse(encrypted, path);
    if (result != libwps::WPS_OK)
        refuse(QStringLiteral("Die Lotus-1-2-3-Tabelle %1 ist beschädigt: die Bibliothek libwps "
                              "kann sie nicht lesen."),
               path);
    return std::move(collector.sheets);
}

// The sheet's cells as rows of one width, without rows that hold no value at all.
SheetGrid gridOf(const SheetCollector::Sheet& sheet)
{
    int width = 0;
    for (const auto& row : sheet.cells) {
        if (!row.isEmpty())
            width = std::max(width, row.lastKey() + 1);
    }
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
            if (!QFileInfo(path).isFile())
                throw standardError(errnum::FileNotFound, path);
            for (const SheetCollector::Sheet& sheet : readLotus(path))
                loadSheetGrid(gridOf(sheet), sheet.name, location.header, memoryDb);
        });
    }
};

} // namespace

std::unique_ptr<FileTypeReader> makeLotusReader()
{
    return std::make_unique<LotusReader>();
}

} // namespace quendra
