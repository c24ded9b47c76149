// "MS Excel 12.0": the data source is an Excel 2007 or later workbook (.xlsx, .xlsm), a zip
// of XML parts, read by Quendra itself. Every worksheet is a table, named as the sheet, in
// workbook order, its columns made as sheetgrid.h says, read as a stream so that a sheet
// of a million rows takes the memory of a few thousand; the shared texts are held once.
// A cell keeps its value: texts (shared, inline, rich text with its runs joined), numbers
// as stored, dates and times by the cell's number format (1900 or 1904 date system),
// logicals, error values as Excel shows them, formulas by their stored result. An .xls
// workbook under this file type is read as the "MS Excel 8.0" reader reads it.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/cellformats.h"
#include "connectors/backends/sheetgrid.h"
#include "connectors/backends/tableplaceholders.h"
#include "connectors/backends/zippackage.h"
#include "values/regionaltext.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <charconv>
#include <cstring>
#include <optional>
#include <vector>

namespace quendra {

namespace {

constexpr qsizetype MaxText = 1 << 20; // bytes of one cell's text; Excel holds 32,767 characters

// The part a relationship's target names, from the folder of the part that holds it.
QString resolvedPart(const QString& from, const QString& target)
{
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    const QString folder = from.section(u'/', 0, -2);
    return QDir::cleanPath(folder.isEmpty() ? target : folder + u'/' + target);
}

QString relsOf(const QString& part)
{
    const QString folder = part.section(u'/', 0, -2);
    return (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("_rels/") +
           part.section(u'/', -1) + QStringLiteral(".rels");
}

// The relationships of one part: id to type (its last word) and target part.
struct Relationships : XmlHandler {
    struct Target {
        QString type;
        QString part;
    };
    QString from;
    QHash<QString, Target> byId;

    void start(std::string_view name, const char** attributes) override
    {
        const char* id = xmlAttribute(attributes, "Id");
        const char* type = xmlAttribute(attributes, "Type");
        const char* target = xmlAttribute(attributes, "Target");
        const char* mode = xmlAttribute(attributes, "TargetMode");
        if (name != "Relationship" || !id || !type || !target ||
            (mode && mode != std::string_view("Internal")))
            return;
        byId.insert(QString::fromUtf8(id), {QString::fromUtf8(type).section(u'/', -1),
                                            resolvedPart(from, QString::fromUtf8(target))});
    }
    void end(std::string_view) override {}
    void text(std::string_view) override {}

    QString partOfType(const char* type) const
    {
        for (const Target& t : byId) {
            if (t.type == QLatin1String(type))
                return t.part;
        }
        return {};
    }
};

Relationships relationships(const ZipPackage& zip, const QString& part)
{
    Relationships rels;
    rels.from = part;
    const QString file = relsOf(part);
    if (zip.has(file))
        zip.parse(file, rels);
    return rels;
}

// workbook.xml: the date system and the sheets in their order.
struct Workbook : XmlHandler {
    struct Sheet {
        QString name;
        QString id;
    };
    bool dates1904 = false;
    std::vector<Sheet> sheets;

    void start(std::string_view name, const char** attributes) override
    {
        if (name == "workbookPr") {
            const char* flag = xmlAttribute(attributes, "date1904");
            dates1904 = flag && (flag == std::string_view("1") || flag == std::string_view("true"));
        } else if (name == "sheet") {
            const char* sheet = xmlAttribute(attributes, "name");
            const char* id = xmlAttribute(attributes, "id");
            if (sheet && id)
                sheets.push_back({QString::fromUtf8(sheet), QString::fromUtf8(id)});
        }
    }
    void end(std::string_view) override {}
    void text(std::string_view) override {}
};

// styles.xml: which cell formats (xf records of cellXfs, in their order) show a date.
struct Styles : XmlHandler {
    QHash<int, bool> customDate; // numFmtId: shows a date or time
    std::vector<bool> dateXf;
    bool inCellXfs = false;

    void start(std::string_view name, const char** attributes) override
    {
        const char* id = xmlAttribute(attributes, "numFmtId");
        if (name == "numFmt" && id) {
            const char* code = xmlAttribute(attributes, "formatCode");
            customDate.insert(std::atoi(id), code && formatShowsDate(QString::fromUtf8(code)));
        } else if (name == "cellXfs") {
            inCellXfs = true;
        } else if (name == "xf" && inCellXfs) {
            const int format = id ? std::atoi(id) : 0;
            dateXf.push_back(customDate.contains(format) ? customDate.value(format)
                                                         : builtInFormatShowsDate(format));
        }
    }
    void end(std::string_view name) override { inCellXfs = inCellXfs && name != "cellXfs"; }
    void text(std::string_view) override {}
};

// The text of a string item (a shared text, an inline text): its t elements joined,
// without the phonetic hints (rPh) some East Asian workbooks carry.
struct StringItem {
    QByteArray text;
    bool inT = false;
    int phonetic = 0;

    void start(std::string_view name)
    {
        inT = name == "t" && phonetic == 0;
        phonetic += name == "rPh";
    }
    void end(std::string_view name)
    {
        inT = false;
        phonetic -= name == "rPh" && phonetic > 0;
    }
    bool take(std::string_view characters)
    {
        if (inT)
            text.append(characters.data(), qsizetype(characters.size()));
        return text.size() <= MaxText;
    }
};

// sharedStrings.xml, held once as UTF-8 one after the other.
struct SharedStrings : XmlHandler {
    const ZipPackage& zip;
    QByteArray all;
    std::vector<qsizetype> ends;
    StringItem item;

    explicit SharedStrings(const ZipPackage& zip) : zip(zip) {}
    void start(std::string_view name, const char**) override
    {
        if (name == "si")
            item = {};
        item.start(name);
    }
    void end(std::string_view name) override
    {
        item.end(name);
        if (name == "si") {
            all += item.text;
            ends.push_back(all.size());
        }
    }
    void text(std::string_view characters) override
    {
        if (!item.take(characters))
            zip.damaged(QStringLiteral("ein gemeinsamer Text ist länger als 1 MB."));
    }
    std::optional<QString> at(size_t index) const
    {
        if (index >= ends.size())
            return std::nullopt;
        const qsizetype begin = index == 0 ? 0 : ends[index - 1];
        return QString::fromUtf8(all.constData() + begin, ends[index] - begin);
    }
};

struct Formats {
    bool dates1904 = false;
    std::vector<bool> dateXf;
    RegionalText text;
};

// One worksheet, row by row into its table.
struct SheetReader : XmlHandler {
    const ZipPackage& zip;
    const SharedStrings& strings;
    const Formats& formats;
    const QString& sheet;
    SheetRows& table;

    QVariantList row;
    qint64 rowNumber = 0; // 1-based number of the current row
    bool inSheetData = false;
    bool inRow = false;
    bool inCell = false;
    bool inValue = false;
    int column = 0; // 0-based column of the current cell
    std::string type;
    int xf = 0;
    QByteArray value;
    StringItem inlineText;

    SheetReader(const ZipPackage& zip, const SharedStrings& strings, const Formats& formats,
                const QString& sheet, SheetRows& table)
        : zip(zip), strings(strings), formats(formats), sheet(sheet), table(table)
    {
    }

    [[noreturn]] void badCell(const QString& why) const
    {
        zip.damaged(QStringLiteral("Tabelle \"%1\", Zelle %2 %3")
                        .arg(sheet, cellName(unsigned(rowNumber - 1), unsigned(column)), why));
    }

    void start(std::string_view name, const char** attributes) override
    {
        if (name == "sheetData") {
            inSheetData = true;
        } else if (inSheetData && name == "row") {
            const char* r = xmlAttribute(attributes, "r");
            rowNumber = r ? std::atoll(r) : rowNumber + 1;
            if (rowNumber < 1 || rowNumber > SheetRowsMax)
                zip.damaged(QStringLiteral("Tabelle \"%1\" hat eine Zeile %2 außerhalb von 1 "
                                           "bis 1048576.")
                                .arg(sheet)
                                .arg(rowNumber));
            inRow = true;
            row.clear();
            column = -1;
        } else if (inRow && name == "c") {
            startCell(attributes);
        } else if (inCell && name == "v") {
            inValue = true;
        } else if (inCell) {
            inlineText.start(name);
        }
    }

    void startCell(const char** attributes)
    {
        const char* r = xmlAttribute(attributes, "r");
        ++column;
        if (r) {
            int letters = 0, number = 0;
            for (; *r >= 'A' && *r <= 'Z' && letters < 4; ++r, ++letters)
                number = number * 26 + (*r - 'A' + 1);
            if (letters == 0 || letters > 3)
                badCell(QStringLiteral("hat keinen gültigen Namen."));
            column = number - 1;
        }
        if (column >= SheetColumns || column < row.size())
            badCell(QStringLiteral("liegt außerhalb der Tabelle oder vor einer anderen Zelle "
                                   "ihrer Zeile."));
        const char* t = xmlAttribute(attributes, "t");
        type = t ? t : "n";
        const char* s = xmlAttribute(attributes, "s");
        xf = s ? std::atoi(s) : 0;
        value.resize(0); // keeps its capacity for the next cell
        inlineText = {};
        inCell = true;
    }

    void end(std::string_view name) override
    {
        if (name == "sheetData") {
            inSheetData = false;
        } else if (inCell && name == "c") {
            inCell = false;
            row.resize(column);
            row.append(cellValue());
        } else if (inRow && name == "row") {
            inRow = false;
            table.addRow(row);
        } else if (name == "v") {
            inValue = false;
        } else if (inCell) {
            inlineText.end(name);
        }
    }

    void text(std::string_view characters) override
    {
        if (inValue)
            value.append(characters.data(), qsizetype(characters.size()));
        else if (inCell)
            inlineText.take(characters);
        if (value.size() > MaxText || inlineText.text.size() > MaxText)
            badCell(QStringLiteral("enthält mehr als 1 MB Text."));
    }

    QVariant cellValue() const
    {
        if (type == "inlineStr")
            return QString::fromUtf8(inlineText.text);
        if (value.isEmpty()) // an empty cell with a format, or a formula without its result
            return {};
        if (type == "s") {
            bool ok = false;
            const qulonglong index = value.trimmed().toULongLong(&ok);
            const std::optional<QString> text = ok ? strings.at(size_t(index)) : std::nullopt;
            if (!text)
                badCell(QStringLiteral("verweist auf den gemeinsamen Text %1, den es nicht "
                                       "gibt.")
                            .arg(QString::fromUtf8(value)));
            return *text;
        }
        if (type == "str" || type == "e")
            return QString::fromUtf8(value);
        if (type == "b")
            return value.trimmed() != "0";
        if (type == "d")
            return isoDate();
        return number();
    }

    QVariant number() const
    {
        const QByteArray digits = value.trimmed();
        double number = 0;
        const auto [end, error] =
            std::from_chars(digits.constData(), digits.constData() + digits.size(), number);
        if (error != std::errc() || end != digits.constData() + digits.size())
            badCell(QStringLiteral("enthält keine Zahl, sondern „%1“.")
                        .arg(QString::fromUtf8(digits.left(100))));
        const bool date =
            xf >= 0 && size_t(xf) < formats.dateXf.size() && formats.dateXf[size_t(xf)];
        return date ? serialDateValue(number, formats.dates1904, formats.text)
                    : cellNumberValue(digits, number);
    }

    QVariant isoDate() const
    {
        const QString text = QString::fromUtf8(value).trimmed();
        const QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
        if (dt.isValid())
            return dt.time() == QTime(0, 0) ? QVariant(dt.date()) : QVariant(dt);
        const QDate date = QDate::fromString(text, Qt::ISODate);
        const QTime time = QTime::fromString(text, Qt::ISODateWithMs);
        if (!date.isValid() && !time.isValid())
            badCell(QStringLiteral("enthält kein Datum, sondern „%1“.").arg(text.left(100)));
        return date.isValid() ? QVariant(date) : QVariant(time);
    }
};

// A workbook opened for its sheets: what every sheet's cells need (the date system, the
// formats that show dates, the shared texts) read first.
struct OpenWorkbook {
    ZipPackage zip;
    Workbook workbook;
    Relationships rels;
    Formats formats;
    SharedStrings strings{zip};

    explicit OpenWorkbook(const QString& path) : zip(path, QStringLiteral("Excel-Arbeitsmappe"))
    {
        const QString book = relationships(zip, QString()).partOfType("officeDocument");
        if (book.isEmpty())
            zip.damaged(QStringLiteral("es fehlt der Verweis auf die Arbeitsmappe (_rels/.rels)."));
        zip.parse(book, workbook);
        rels = relationships(zip, book);
        formats.dates1904 = workbook.dates1904;
        if (const QString part = rels.partOfType("styles"); !part.isEmpty()) {
            Styles styles;
            zip.parse(part, styles);
            formats.dateXf = std::move(styles.dateXf);
        }
        if (const QString part = rels.partOfType("sharedStrings"); !part.isEmpty())
            zip.parse(part, strings);
    }

    // The part of the sheet's cells; empty for a chart sheet, which holds none.
    QString cellsPart(const Workbook::Sheet& sheet) const
    {
        const auto target = rels.byId.constFind(sheet.id);
        if (target == rels.byId.cend())
            zip.damaged(QStringLiteral("der Teil der Tabelle \"%1\" ist nicht verzeichnet.")
                            .arg(sheet.name));
        return target->type == u"worksheet" ? target->part : QString();
    }
};

void readWorkbook(const QString& path, bool header, QSqlDatabase& db)
{
    const OpenWorkbook book(path);
    for (const Workbook::Sheet& sheet : book.workbook.sheets) {
        const QString part = book.cellsPart(sheet);
        if (part.isEmpty())
            continue;
        SheetTable table(db, sheet.name, header);
        SheetReader reader(book.zip, book.strings, book.formats, sheet.name, table);
        book.zip.parse(part, reader);
        table.finish();
    }
}

// One worksheet's records, read as the run takes them.
class XlsxSheetStream : public SheetStream {
public:
    XlsxSheetStream(std::unique_ptr<OpenWorkbook> book, const QString& sheet, const QString& part,
                    bool header)
        : m_book(std::move(book)), m_sheet(sheet), m_records(header),
          m_reader(m_book->zip, m_book->strings, m_book->formats, m_sheet, m_records),
          m_part(m_book->zip, part, m_reader)
    {
    }

    bool next(QVariantList& row) override
    {
        return trapped("XlsxFile.load", [&] {
            while (!m_records.take(row)) {
                if (m_ended)
                    return false;
                m_ended = !m_part.parseMore();
            }
            return true;
        });
    }

private:
    std::unique_ptr<OpenWorkbook> m_book;
    QString m_sheet;
    SheetRecords m_records;
    SheetReader m_reader;
    XmlPartReader m_part;
    bool m_ended = false;
};

class XlsxReader : public FileTypeReader {
public:
    void load(const DataSourceLocation& location, QSqlDatabase& memoryDb) override
    {
        if (isCompoundDocument(location.dataSource)) {
            Excel8Type.makeReader()->load(location, memoryDb);
            return;
        }
        trapped("XlsxFile.load", [&] {
            if (!QFileInfo(location.dataSource).isFile())
                throw standardError(errnum::FileNotFound, location.dataSource);
            readWorkbook(location.dataSource, location.header, memoryDb);
        });
    }

    std::unique_ptr<SheetStream> openSheet(const DataSourceLocation& location,
                                           const QString& table) override
    {
        if (!QFileInfo(location.dataSource).isFile() || !isZipFile(location.dataSource))
            return nullptr; // an .xls workbook, or an error the copy reports
        return trapped("XlsxFile.load", [&]() -> std::unique_ptr<SheetStream> {
            auto book = std::make_unique<OpenWorkbook>(location.dataSource);
            QStringList names;
            QStringList parts;
            for (const Workbook::Sheet& sheet : book->workbook.sheets) {
                if (const QString part = book->cellsPart(sheet); !part.isEmpty()) {
                    names << sheet.name;
                    parts << part;
                }
            }
            const qsizetype at = namedTable(names, table);
            if (at < 0)
                return nullptr;
            return std::make_unique<XlsxSheetStream>(std::move(book), names.at(at), parts.at(at),
                                                     location.header);
        });
    }
};

} // namespace

std::unique_ptr<FileTypeWriter> makeXlsxWriter(); // xlsxfile_writer.cpp

static std::unique_ptr<FileTypeReader> makeXlsxReader()
{
    return std::make_unique<XlsxReader>();
}

const FileTypeSupport Excel12Type{.name = "MS Excel 12.0",
                                  .providerText = "Provider=Microsoft.ACE.OLEDB.12.0;",
                                  .extendedProperties = "Extended Properties=\"Excel 12.0 Xml;",
                                  .header = true,
                                  .makeReader = makeXlsxReader,
                                  .makeWriter = makeXlsxWriter,
                                  .fileButton = true,
                                  .wholeFile = true};

} // namespace quendra
