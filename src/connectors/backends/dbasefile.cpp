// "dBase III": the data source is a folder, each *.dbf file in it is one table, named
// after the file without its suffix. Tables are listed in the order of their file
// names (ignoring letter case). Text is decoded with the code page the file names: its
// .cpg file, else the language driver byte of its header; Windows-1252 when neither
// says anything. A .cpg naming a code page that is not known is refused. Rows are appended to
// existing tables only: a missing table is refused, because nothing tells which columns and widths
// it should have.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/appendedrow.h"
#include "connectors/backends/codepagename.h"
#include "connectors/backends/memorytable.h"
#include "connectors/backends/tablefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QtEndian>
#include <shapefil.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quendra {

namespace {

struct DbfCloser {
    void operator()(DBFInfo* handle) const { DBFClose(handle); }
};
using DbfHandle = std::unique_ptr<DBFInfo, DbfCloser>;

// The code page of the language driver byte of the header ("LDID/87").
QByteArray driverCodec(int driver)
{
    switch (driver) {
    case 0x01:
        return "IBM437";
    case 0x02:
    case 0x37:
        return "IBM850";
    case 0x64:
        return "IBM852";
    case 0x65:
        return "IBM865";
    case 0x66:
        return "IBM866";
    case 0x6A:
        return "IBM737";
    case 0x6B:
        return "IBM857";
    case 0x78:
        return codePageCodec(950);
    case 0x79:
        return codePageCodec(949);
    case 0x7A:
        return codePageCodec(936);
    case 0x7B:
        return codePageCodec(932);
    case 0x7C:
        return codePageCodec(874);
    case 0x7D:
        return "windows-1255";
    case 0x7E:
        return "windows-1256";
    case 0xC8:
        return "windows-1250";
    case 0xC9:
        return "windows-1251";
    case 0xCB:
        return "windows-1253";
    case 0xCA:
        return "windows-1254";
    case 0xCC:
        return "windows-1257";
    default: // 0x03, 0x57, none and everything else: Windows ANSI
        return "windows-1252";
    }
}

// The ICU name of the code page that DBFGetCodePage reports ("LDID/87" from the header
// byte, or the text of the .cpg file); empty when a .cpg names one that is not known.
QByteArray codecName(const char* codePage)
{
    const QByteArray page = QByteArray(codePage ? codePage : "").trimmed().toUpper();
    if (page.startsWith("LDID/"))
        return driverCodec(page.mid(5).toInt());
    if (page.isEmpty())
        return "windows-1252";
    bool numeric = false;
    const int number = page.toInt(&numeric);
    if (numeric)
        return codePageCodec(number);
    if (page.startsWith("ANSI "))
        return "windows-" + page.mid(5);
    if (page.startsWith("CP") && page.mid(2).toInt() >= 1250)
        return "windows-" + page.mid(2);
    if (page.startsWith("8859_")) // the form other programs write for ISO 8859
        return "ISO-8859-" + page.mid(5);
    if (QStringDecoder(page.constData()).isValid())
        return page;
    return {};
}

// The code page of an open table; a .cpg naming one that is not known is refused rather
// than guessed, since a guess changes every letter beyond ASCII without a word.
QByteArray tableCodec(DBFInfo* dbf, const QString& path)
{
    const char* page = DBFGetCodePage(dbf);
    const QByteArray name = codecName(page);
    if (name.isEmpty() || !QStringDecoder(name.constData()).isValid())
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Die Codepage „%1“ der dBase-Datei %2 ist unbekannt.")
                        .arg(QString::fromLatin1(page).trimmed(), QDir::toNativeSeparators(path)));
    return name;
}

DbfHandle openDbf(const QString& path, const char* access)
{
    DbfHandle handle(DBFOpen(QFile::encodeName(path).constData(), access));
    if (!handle)
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Die dBase-Datei %1 kann nicht geöffnet werden.")
                        .arg(QDir::toNativeSeparators(path)));
    return handle;
}

struct DbfField {
    QString name;
    char type = 'C';
    int width = 0;
    int decimals = 0;
    int offset = 0;
};

std::vector<DbfField> dbfFields(DBFInfo* dbf, QStringDecoder& decoder)
{
    std::vector<DbfField> fields;
    for (int i = 0; i < DBFGetFieldCount(dbf); ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        DbfField field;
        DBFGetFieldInfo(dbf, i, name, &field.width, &field.decimals);
        field.name = decoder.decode(QByteArrayView(name));
        field.type = DBFGetNativeFieldType(dbf, i);
        field.offset = dbf->panFieldOffset[i];
        fields.push_back(field);
    }
    return fields;
}

// The most digits a double carries exactly: wider numbers are kept as decimal text.
constexpr int ExactDoubleDigits = 15;

ColumnKind columnKind(const DbfField& field)
{
    switch (field.type) {
    case 'N':
        if (field.decimals == 0 && field.width <= 18)
            return ColumnKind::Integer;
        [[fallthrough]];
    case 'F':
        return field.width <= ExactDoubleDigits ? ColumnKind::Real : ColumnKind::Text;
    case 'D':
        return ColumnKind::Date;
    case 'L':
        return ColumnKind::Boolean;
    default:
        return ColumnKind::Text;
    }
}

// A number cell as the regional text of the number ("-1234,5"), by the value layer's
// rules: no leading zeros, no trailing zeros after the decimal separator. Empty when the
// cell is no number.
QString decimalText(const QByteArray& cell, const RegionalSettings& regional)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?\\d*(?:\\.\\d*)?$"));
    const QString text = QString::fromLatin1(cell);
    if (!number.match(text).hasMatch() ||
        std::none_of(cell.begin(), cell.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    RegionalSettings printed;
    printed.decimalSeparator = QLatin1Char('.');
    printed.groupSeparator = QChar();
    DecimalNumber n;
    parseNumber(text, printed, n);
    QString out;
    formatPlainNumber(out, n, regional);
    return out;
}

// Where a cell was read from, for an error: file, table, row (1-based) and column.
struct CellPlace {
    const QFileInfo& file;
    int row;
};

[[noreturn]] void throwBadCell(const CellPlace& place, const DbfField& field,
                               const QByteArray& cell, const char* what)
{
    throw Error(errnum::TypeMismatch, {},
                QStringLiteral("In der dBase-Datei %1 (Tabelle %2) steht in Zeile %3, Spalte "
                               "%4 %5, %6.")
                    .arg(QDir::toNativeSeparators(place.file.filePath()),
                         place.file.completeBaseName(), QString::number(place.row), field.name,
                         quotedValue(QString::fromLatin1(cell)), QString::fromUtf8(what)));
}

// A blank cell is NULL for every type (dBase III has no other NULL); so are a date of
// zeros and the "?" of an unknown logical. A number or date cell that holds anything
// else than a number or a real day ("12abc", "1*5", 20230230) is an error: reading it
// as empty would change the value without a word. So is a number cell of asterisks
// only: dBase writes them for a number too wide for its column, shapelib and GDAL for
// a NULL, and nothing in the file tells the two apart.
QVariant cellValue(const DbfField& field, QByteArrayView raw, QStringDecoder& decoder,
                   const CellPlace& place, const RegionalSettings& regional)
{
    const QByteArray trimmed = raw.toByteArray().trimmed();
    if (trimmed.isEmpty())
        return {};
    switch (field.type) {
    case 'N':
    case 'F': {
        if (trimmed.count('*') == trimmed.size())
            throwBadCell(place, field, trimmed,
                         "nur Sternchen: eine Zahl, die nicht in die Spalte passte, oder ein "
                         "leerer Wert, wie ihn manche Programme schreiben. Welches von beiden, "
                         "lässt sich nicht erkennen; bitte die Datei prüfen");
        bool ok = false;
        switch (columnKind(field)) {
        case ColumnKind::Integer: {
            const qlonglong whole = trimmed.toLongLong(&ok);
            if (ok)
                return whole;
            break;
        }
        case ColumnKind::Real: {
            const double number = trimmed.toDouble(&ok);
            if (ok && std::isfinite(number))
                return number;
            break;
        }
        default: {
            const QString text = decimalText(trimmed, regional);
            if (!text.isEmpty())
                return text;
            break;
        }
        }
        throwBadCell(place, field, trimmed, "keine Zahl");
    }
    case 'D': {
        if (trimmed.count('0') == trimmed.size())
            return {};
        const QDate date = QDate::fromString(QString::fromLatin1(trimmed), u"yyyyMMdd");
        if (!date.isValid())
            throwBadCell(place, field, trimmed, "kein gültiges Datum (jjjjmmtt)");
        return date;
    }
    case 'L':
        if (QByteArrayView("TtYy").contains(trimmed.at(0)))
            return 1;
        if (QByteArrayView("FfNn").contains(trimmed.at(0)))
            return 0;
        return {};
    default: {
        QByteArray text = raw.toByteArray();
        while (!text.isEmpty() && (text.endsWith(' ') || text.endsWith('\0')))
            text.chop(1);
        return QString(decoder.decode(text));
    }
    }
}

void loadDbf(const QFileInfo& file, QSqlDatabase& db)
{
    const DbfHandle dbf = openDbf(file.filePath(), "rb");
    QStringDecoder decoder(tableCodec(dbf.get(), file.filePath()).constData());
    const std::vector<DbfField> fields = dbfFields(dbf.get(), decoder);
    QStringList names;
    for (const DbfField& field : fields)
        names << field.name;
    names = usableColumnNames(names);
    QList<TableColumn> columns;
    for (size_t i = 0; i < fields.size(); ++i)
        columns << TableColumn{names.at(int(i)), columnKind(fields[i])};

    MemoryTableBuilder table(db, freeTableName(db, file.completeBaseName(), file.suffix()),
                             columns);
    const RegionalSettings regional = RegionalSettings::fromLocale();
    for (int record = 0; record < DBFGetRecordCount(dbf.get()); ++record) {
        const char* tuple = DBFReadTuple(dbf.get(), record);
        if (!tuple)
            throw Error(errnum::PathFileAccess, {},
                        QStringLiteral("Datensatz %1 der dBase-Datei %2 ist nicht lesbar.")
                            .arg(record + 1)
                            .arg(QDir::toNativeSeparators(file.filePath())));
        if (tuple[0] == '*') // deleted, not yet packed
            continue;
        QVariantList values;
        for (const DbfField& field : fields)
            values << cellValue(field, QByteArrayView(tuple + field.offset, field.width), decoder,
                                CellPlace{file, record + 1}, regional);
        table.addRow(values);
    }
    table.finish();
}

class DbaseReader : public FileTypeReader {
public:
    void load(const DataSourceLocation& location, QSqlDatabase& memoryDb) override
    {
        trapped("DbaseFile.load", [&] {
            const QFileInfoList files = folderTableFiles(location.dataSource, location.tableFiles);
            for (const QFileInfo& file : files)
                loadDbf(file, memoryDb);
        });
    }
};

// Appends rows to one .dbf file. Every value of a row is checked and turned into its
// bytes before the first byte is written, so that a bad value leaves the file as it was;
// the header's record count is brought up to date after each row.
class DbaseRecord : public AppendedRow {
public:
    explicit DbaseRecord(const QString& path)
        : AppendedRow("DbaseFile"), m_path(path), m_dbf(openDbf(path, "rb+")),
          m_codec(tableCodec(m_dbf.get(), path))
    {
        QStringDecoder decoder(m_codec.constData());
        m_fields = dbfFields(m_dbf.get(), decoder);
    }

    int fieldsCount() const override { return int(m_fields.size()); }

protected:
    void writeRow(const std::vector<QVariant>& values) override
    {
        if (!m_dbf)
            throwUnwritable(); // since a row failed
        std::vector<QByteArray> cells;
        for (size_t i = 0; i < m_fields.size(); ++i)
            cells.push_back(cellBytes(m_fields[i], values[i], int(i)));
        const int record = DBFGetRecordCount(m_dbf.get());
        for (size_t i = 0; i < cells.size(); ++i) {
            if (!DBFWriteAttributeDirectly(m_dbf.get(), record, int(i), cells[i].data()))
                throwUnwritable();
        }
        DBFUpdateHeader(m_dbf.get());
        // shapelib reports a failed write (a full disk) to nobody: the file's length tells.
        // An end mark that did not fit counts too, for its stream would close with a
        // header of garbage.
        const QByteArray tail =
            m_dbf->bWriteEndOfFileChar ? QByteArrayLiteral("\x1A") : QByteArray();
        if (QFileInfo(m_path).size() < rowsEnd(record + 1) + tail.size()) {
            takeBack(record);
            throwUnwritable();
        }
        m_tail = tail;
    }

private:
    [[noreturn]] void throwUnwritable() const
    {
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("In die dBase-Datei %1 kann nicht geschrieben werden.")
                        .arg(QDir::toNativeSeparators(m_path)));
    }

    // What follows the last row (an end mark, or nothing): an appended row writes over it.
    QByteArray tail() const
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly) || !file.seek(rowsEnd(DBFGetRecordCount(m_dbf.get()))))
            return {};
        return file.readAll();
    }

    qint64 rowsEnd(int records) const
    {
        return m_dbf->nHeaderLength + qint64(records) * m_dbf->nRecordLength;
    }

    // Leaves the file as it was before the row: its count, its length and its end mark.
    // shapelib's stream failed and would write a header of garbage: it is closed unwritten,
    // and the header the file had is written again.
    void takeBack(int records)
    {
        const qint64 end = rowsEnd(records);
        m_dbf->bUpdated = false;
        m_dbf.reset();
        QByteArray head = m_head;
        qToLittleEndian(quint32(records), head.data() + 4);
        QFile file(m_path);
        if (file.open(QIODevice::ReadWrite) && file.write(head) == head.size() &&
            file.resize(end + m_tail.size()) && file.seek(end))
            file.write(m_tail);
    }

    QByteArray fileHead() const
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.read(32) : QByteArray();
    }

    static ColumnType columnType(const DbfField& field)
    {
        switch (field.type) {
        case 'N':
        case 'F': {
            // Readers take a dBase number as a double: only what a double gives back goes in.
            NumberColumn number = NumberColumn::binary();
            number.scale = field.decimals;
            return {ValueKind::Number, number};
        }
        case 'D':
            return {ValueKind::Date, {}};
        case 'L':
            return {ValueKind::Boolean, {}};
        default:
            return {ValueKind::Text, {}};
        }
    }

    [[noreturn]] static void throwTooWide(const DbfField& field, const QVariant& value,
                                          const QString& why)
    {
        throw Error(errnum::Overflow, {},
                    QStringLiteral("Der Wert %1 passt nicht in die Spalte %2 (%3).")
                        .arg(quotedValue(value.toString()), field.name, why));
    }

    // The cell's bytes, exactly as wide as the field; blanks ("?" for a logical) for NULL.
    QByteArray cellBytes(const DbfField& field, const QVariant& value, int ordinal)
    {
        const QVariant typed = rules().forColumn(value, columnType(field), field.name);
        QByteArray bytes;
        if (!typed.isNull()) {
            switch (field.type) {
            case 'N':
            case 'F': // the digits of the number the double gives back, which is the one given
                bytes = decimalText(shortestDecimal(typed.toDouble()), field.decimals).toLatin1();
                break;
            case 'D':
                bytes = typed.toDate().toString(u"yyyyMMdd").toLatin1();
                break;
            case 'L':
                bytes = typed.toBool() ? "T" : "F";
                break;
            default:
                bytes = encodeText(m_codec, typed.toString(), ordinal);
                break;
            }
        }
        if (bytes.size() > field.width)
            throwTooWide(field, value, QStringLiteral("Breite %1").arg(field.width));
        if (field.type == 'L' && bytes.isEmpty())
            bytes = "?"; // the unknown logical
        const bool rightAligned = field.type == 'N' || field.type == 'F';
        return rightAligned ? bytes.rightJustified(field.width, ' ')
                            : bytes.leftJustified(field.width, ' ');
    }

    QString m_path;
    DbfHandle m_dbf;
    QByteArray m_codec;
    std::vector<DbfField> m_fields;
    QByteArray m_tail = tail();
    QByteArray m_head = fileHead(); // the first 32 bytes, with the date and the row count
};

} // namespace

static std::unique_ptr<FileTypeReader> makeDbaseReader()
{
    return std::make_unique<DbaseReader>();
}

static std::unique_ptr<FileTypeWriter> makeDbaseWriter()
{
    return std::make_unique<FolderTableWriter<DbaseRecord>>(
        "DbaseFile.openTable",
        QStringLiteral("Die dBase-Tabelle %1 gibt es im Ordner %2 nicht. Legen Sie die "
                       "Zieltabelle mit ihren Spalten an."));
}

const FileTypeSupport DbaseIIIType{.name = "dBase III",
                                   .providerText = JetProvider,
                                   .extendedProperties = "Extended Properties=DBASE III;",
                                   .makeReader = makeDbaseReader,
                                   .makeWriter = makeDbaseWriter,
                                   .tableFiles = "dbf"};

} // namespace quendra
