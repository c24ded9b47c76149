// "OpenDocument": the data source is an OpenDocument spreadsheet (.ods), a zip whose part
// content.xml holds the tables, read by Quendra itself as a stream. Every table is a
// table, named as it is, in document order, its columns made as sheetgrid.h says. A cell
// keeps its value: numbers (also percentages and currency amounts) as stored, dates,
// date-times and times of day, logicals, texts (paragraphs joined by line breaks, without
// the cell's notes), error values as the spreadsheet shows them. Repeated rows and cells
// are repeated only where they hold a value: the empty rest of a sheet, which a file
// writes as one row repeated a million times, takes no time. The cells a merged range
// covers are empty. Writing is not offered.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/cellformats.h"
#include "connectors/backends/sheetgrid.h"
#include "connectors/backends/zippackage.h"
#include "values/regionaltext.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <charconv>
#include <cstring>

namespace quendra {

namespace {

constexpr qsizetype MaxText = 1 << 20;
// Cells a table may come to through repeated rows and cells (a million rows of 200).
constexpr qint64 MaxCells = 200'000'000;

constexpr char Office[] = "urn:oasis:names:tc:opendocument:xmlns:office:1.0|";
constexpr char Calc[] = "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0|";

// The attribute of that namespace and local name; nullptr when there is none.
const char* attribute(const char** attributes, const char* space, std::string_view name)
{
    const size_t prefix = std::strlen(space);
    for (; *attributes; attributes += 2) {
        const std::string_view full(attributes[0]);
        if (full.size() == prefix + name.size() && full.starts_with(space) && full.ends_with(name))
            return attributes[1];
    }
    return nullptr;
}

qint64 repeats(const char** attributes, std::string_view name)
{
    const char* count = xmlAttribute(attributes, name);
    const qint64 n = count ? std::atoll(count) : 1;
    return std::clamp<qint64>(n, 1, SheetRowsMax + 1); // more are beyond the sheet either way
}

// An ISO 8601 duration (PT12H30M00S, P1DT2H) as seconds; -1 when it is none.
double durationSeconds(const QString& text)
{
    static const QRegularExpression Duration(
        QStringLiteral(R"(^(-)?P(?:(\d+)D)?(?:T(?:(\d+)H)?(?:(\d+)M)?(?:(\d+(?:[.,]\d+)?)S)?)?$)"));
    const QRegularExpressionMatch m = Duration.match(text.trimmed());
    if (!m.hasMatch() || m.captured(1) == u"-")
        return -1;
    return m.captured(2).toDouble() * 86400 + m.captured(3).toDouble() * 3600 +
           m.captured(4).toDouble() * 60 + QString(m.captured(5)).replace(u',', u'.').toDouble();
}

struct ContentReader : XmlHandler {
    const ZipPackage& zip;
    QSqlDatabase& db;
    bool header;
    const RegionalText regional;

    std::unique_ptr<SheetTable> table;
    QString sheet;
    qint64 rowNumber = 0; // rows of the table so far, the empty ones counted
    qint64 rowRepeats = 1;
    qint64 cells = 0; // cells of the table so far, the repeated ones counted
    QVariantList row;
    qint64 emptyCells = 0; // empty cells after the last value of the row, not yet placed
    bool inRow = false;

    // The cell being read.
    bool inCell = false;
    qint64 cellRepeats = 1;
    QVariant value;       // from the cell's attributes
    bool textual = false; // the value is the cell's text
    QString cellText;
    int paragraphs = 0;
    int inParagraph = 0;
    int skipped = 0; // depth inside a note or a table within the cell

    ContentReader(const ZipPackage& zip, QSqlDatabase& db, bool header)
        : zip(zip), db(db), header(header)
    {
    }

    [[noreturn]] void badCell(const QString& why) const
    {
        zip.damaged(
            QStringLiteral("Tabelle \"%1\", Zelle %2 %3")
                .arg(sheet, cellName(unsigned(rowNumber), unsigned(row.size() + emptyCells)), why));
    }

    void start(std::string_view name, const char** attributes) override
    {
        if (skipped > 0 || (inCell && (name == "annotation" || name == "table"))) {
            ++skipped;
        } else if (inCell) {
            startInCell(name, attributes);
        } else if (name == "table" && !table) {
            const char* title = xmlAttribute(attributes, "name");
            sheet = QString::fromUtf8(title ? title : "");
            table = std::make_unique<SheetTable>(db, sheet, header);
            rowNumber = 0;
            cells = 0;
        } else if (name == "table-row" && table) {
            inRow = true;
            rowRepeats = repeats(attributes, "number-rows-repeated");
            row.clear();
            emptyCells = 0;
        } else if (inRow && (name == "table-cell" || name == "covered-table-cell")) {
            startCell(name == "table-cell" ? attributes : nullptr, attributes);
        }
    }

    // attributes: nullptr for a covered cell, which is empty whatever it holds.
    void startCell(const char** valued, const char** attributes)
    {
        inCell = true;
        cellRepeats = repeats(attributes, "number-columns-repeated");
        value = {};
        textual = false;
        cellText.clear();
        paragraphs = 0;
        inParagraph = 0;
        if (valued)
            readValue(valued);
    }

    void readValue(const char** attributes)
    {
        const char* type = attribute(attributes, Office, "value-type");
        const char* calcType = attribute(attributes, Calc, "value-type");
        const std::string_view kind = type ? type : "";
        if (calcType && calcType == std::string_view("error")) {
            textual = true; // the error value as the cell shows it
        } else if (kind == "float" || kind == "percentage" || kind == "currency") {
            value = number(attribute(attributes, Office, "value"));
        } else if (kind == "date") {
            value = date(attribute(attributes, Office, "date-value"));
        } else if (kind == "time") {
            value = timeOfDay(attribute(attributes, Office, "time-value"));
        } else if (kind == "boolean") {
            const char* flag = attribute(attributes, Office, "boolean-value");
            value = flag && std::string_view(flag) == "true";
        } else if (const char* string = attribute(attributes, Office, "string-value")) {
            value = QString::fromUtf8(string);
        } else {
            textual = kind == "string" || kind.empty();
        }
    }

    QVariant number(const char* stored) const
    {
        const std::string_view digits(stored ? stored : "");
        double n = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
            badCell(QStringLiteral("enthält keine Zahl, sondern „%1“.")
                        .arg(QString::fromUtf8(digits.substr(0, 100))));
        return cellNumberValue(QByteArray(digits.data(), qsizetype(digits.size())), n);
    }

    QVariant date(const char* stored) const
    {
        const QString text = QString::fromUtf8(stored ? stored : "").trimmed();
        const QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
        if (dt.isValid())
            return dt.time() == QTime(0, 0) ? QVariant(dt.date()) : QVariant(dt);
        const QDate day = QDate::fromString(text, Qt::ISODate);
        if (!day.isValid())
            badCell(QStringLiteral("enthält kein Datum, sondern „%1“.").arg(text.left(100)));
        return day;
    }

    // A time of day; a duration of a day or more as the spreadsheet counts days.
    QVariant timeOfDay(const char* stored) const
    {
        const double seconds = durationSeconds(QString::fromUtf8(stored ? stored : ""));
        if (seconds < 0)
            badCell(QStringLiteral("enthält keine Uhrzeit, sondern „%1“.")
                        .arg(QString::fromUtf8(stored ? stored : "").left(100)));
        return serialDateValue(seconds / 86400.0, false, regional);
    }

    void startInCell(std::string_view name, const char** attributes)
    {
        if (!textual)
            return;
        if (name == "p") {
            ++inParagraph;
            if (paragraphs++ > 0)
                cellText += u'\n';
        } else if (name == "s") {
            cellText += QString(int(std::min<qint64>(repeats(attributes, "c"), MaxText + 1)), u' ');
        } else if (name == "tab")
            cellText += u'\t';
        else if (name == "line-break")
            cellText += u'\n';
        if (cellText.size() > MaxText)
            badCell(QStringLiteral("enthält mehr als 1 MB Text."));
    }

    void end(std::string_view name) override
    {
        if (skipped > 0) {
            --skipped;
        } else if (inCell && (name == "table-cell" || name == "covered-table-cell")) {
            inCell = false;
            placeCell(textual ? (cellText.isEmpty() ? QVariant() : QVariant(cellText)) : value);
        } else if (inCell && name == "p") {
            --inParagraph;
        } else if (inRow && name == "table-row") {
            inRow = false;
            endRow();
        } else if (name == "table" && table && !inCell) {
            table->finish();
            table.reset();
        }
    }

    void placeCell(const QVariant& cell)
    {
        if (cell.isNull()) {
            emptyCells += cellRepeats;
            return;
        }
        if (row.size() + emptyCells + cellRepeats > SheetColumns)
            badCell(QStringLiteral("liegt jenseits der Spalte %1.").arg(SheetColumns));
        row.resize(row.size() + emptyCells);
        emptyCells = 0;
        for (qint64 i = 0; i < cellRepeats; ++i)
            row.append(cell);
    }

    void endRow()
    {
        const qint64 first = rowNumber;
        rowNumber += rowRepeats;
        if (row.isEmpty())
            return; // empty rows are left out, however many
        if (rowNumber > SheetRowsMax) {
            rowNumber = std::max(first, SheetRowsMax);
            badCell(QStringLiteral("liegt jenseits der Zeile %1.").arg(SheetRowsMax));
        }
        cells += rowRepeats * row.size();
        if (cells > MaxCells)
            badCell(QStringLiteral("bringt die Tabelle über %1 Zellen.").arg(MaxCells));
        for (qint64 i = 0; i < rowRepeats; ++i)
            table->addRow(row);
    }

    void text(std::string_view characters) override
    {
        if (!inCell || !textual || skipped > 0 || inParagraph <= 0)
            return;
        cellText += QString::fromUtf8(characters.data(), qsizetype(characters.size()));
        if (cellText.size() > MaxText)
            badCell(QStringLiteral("enthält mehr als 1 MB Text."));
    }
};

class OdsReader : public FileTypeReader {
public:
    void load(const DataSourceLocation& location, QSqlDatabase& memoryDb) override
    {
        trapped("OdsFile.load", [&] {
            const QString& path = location.dataSource;
            if (!QFileInfo(path).isFile())
                throw standardError(errnum::FileNotFound, path);
            const QString kind = QStringLiteral("OpenDocument-Tabelle");
            if (!isZipFile(path))
                throw Error(errnum::PathFileAccess, {},
                            QStringLiteral("Die Datei %1 ist keine lesbare %2 (.ods).")
                                .arg(QDir::toNativeSeparators(path), kind));
            const ZipPackage zip(path, kind);
            if (!zip.has(QStringLiteral("mimetype")) ||
                zip.bytes(QStringLiteral("mimetype")).trimmed() !=
                    "application/vnd.oasis.opendocument.spreadsheet")
                zip.damaged(QStringLiteral("sie ist kein OpenDocument-Tabellendokument "
                                           "(Teil „mimetype“)."));
            ContentReader content(zip, memoryDb, location.header);
            zip.parse(QStringLiteral("content.xml"), content);
        });
    }
};

} // namespace

static std::unique_ptr<FileTypeReader> makeOdsReader()
{
    return std::make_unique<OdsReader>();
}

const FileTypeSupport OpenDocumentType{
    .name = "OpenDocument",
    .providerText = "Provider=Quendra.OpenDocument;",
    .extendedProperties = "Extended Properties=\"OpenDocument;",
    .header = true,
    .makeReader = makeOdsReader,
    .refusal = "OpenDocument-Tabellen können hier nur gelesen werden. Bitte als Ziel eine "
               "Excel-Arbeitsmappe (Dateityp \"MS Excel 12.0\") oder eine CSV-Datei (Dateityp "
               "\"Text\") verwenden.",
    .fileButton = true};

} // namespace quendra
