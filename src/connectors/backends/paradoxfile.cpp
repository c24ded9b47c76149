// "Paradox 5.0": the data source is a folder whose *.db files are the tables (in the
// order of their file names, ignoring letter case), or one .db file, which is then the
// only table. Files are read through pxlib; text is decoded with the table's code page
// (Windows-1252 when the header names none). Encrypted (password-protected) tables are
// refused.
//
// Appending rewrites the table: pxlib cannot add to an existing file, so the writer
// copies every record byte for byte (NULLs and text stay exactly as they were) into a
// new file next to the table, adds the new rows there and, when the row set is released,
// puts the new file in place of the old one in one rename. Until then, and whenever
// anything fails, the table stays untouched. pxlib writes the new file in the format of
// Paradox 7, which Paradox 5 programs cannot open. Tables with a primary key are not
// appended to, because their index would no longer match.
#include "connectors/backends/paradoxfile.h"

#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/codepagename.h"
#include "connectors/backends/littleendian.h"
#include "connectors/backends/memorytable.h"
#include "connectors/backends/tablefolder.h"
#include "connectors/backends/valueconversion.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace quendra {

namespace {

constexpr long kSdnOffset = 1721425; // serial day number of the day before 1.1.0001
constexpr double kMsPerDay = 86400000.0;

void collectMessage(pxdoc_t*, int, const char* message, void* data)
{
    static_cast<QString*>(data)->operator=(QString::fromLocal8Bit(message).trimmed());
}

[[noreturn]] void throwPx(qint32 number, const QString& text, const QString& detail)
{
    throw Error(number, {},
                detail.isEmpty() ? text : text + QStringLiteral(" (") + detail + QLatin1Char(')'));
}

QDate dateFromDays(long days)
{
    int year = 0, month = 0, day = 0;
    PX_SdnToGregorian(days + kSdnOffset, &year, &month, &day);
    return QDate(year, month, day);
}

ColumnKind columnKind(char type)
{
    switch (type) {
    case pxfShort:
    case pxfLong:
    case pxfAutoInc:
        return ColumnKind::Integer;
    case pxfNumber:
    case pxfCurrency:
    case pxfBCD:
        return ColumnKind::Real;
    case pxfDate:
    case pxfTimestamp:
        return ColumnKind::Date;
    case pxfLogical:
        return ColumnKind::Boolean;
    default:
        return ColumnKind::Text;
    }
}

// The length a field of this type has, 0 for types of any length. pxlib copies a
// number field into a buffer of its type's size by the length the header gives, so a
// longer field would overwrite its stack.
int fixedLength(char type)
{
    switch (type) {
    case pxfLogical:
        return 1;
    case pxfShort:
        return 2;
    case pxfLong:
    case pxfAutoInc:
    case pxfDate:
    case pxfTime:
        return 4;
    case pxfNumber:
    case pxfCurrency:
    case pxfTimestamp:
        return 8;
    default:
        return 0;
    }
}

// Whether the chain of data blocks the header starts stays inside the file, visits no
// block twice, holds no more records in a block than fit and the records the header counts. pxlib
// follows the chain without these checks and loops for ever on a broken file, so the chain is
// walked here first. file: the table, open for reading; head: its complete header.
bool blockChainIsSound(QFile& file, const QByteArray& head)
{
    const qint64 recordSize = u16(head, 0x00);
    const qint64 headerSize = u16(head, 0x02);
    const qint64 blockSize = qint64(std::uint8_t(head[0x05])) * 0x400;
    const qint64 records = u32(head, 0x06);
    qint64 recordsInChain = 0;
    std::vector<bool> seen(0x10000, false);
    for (int block = u16(head, 0x0E); block != 0;) {
        const qint64 at = headerSize + (block - 1) * blockSize;
        if (seen[std::size_t(block)] || blockSize == 0 || recordSize == 0 || at + 6 > file.size() ||
            !file.seek(at))
            return false;
        seen[std::size_t(block)] = true;
        const QByteArray blockHead = file.read(6);
        if (blockHead.size() < 6)
            return false;
        // The block's record bytes beyond its first record, -recordSize when it is empty.
        const auto moreBytes = qint16(u16(blockHead, 4));
        const qint64 inBlock = std::max<qint64>(0, moreBytes / recordSize + 1);
        if (inBlock > (blockSize - 6) / recordSize || at + 6 + inBlock * recordSize > file.size())
            return false; // more records than the block has room for, or than the file holds
        recordsInChain += inBlock;
        block = u16(blockHead, 0);
    }
    return recordsInChain >= records;
}

// Whether the header has a data header after its first 0x58 bytes, which pxlib reads
// only for tables of version 4 and later (byte 0x39 from 5 to 12) of these file types.
bool hasDataHeader(const QByteArray& head)
{
    const int type = std::uint8_t(head[0x04]);
    const int version = std::uint8_t(head[0x39]);
    return (type == 0 || type == 2 || type == 3 || type == 5 || type == 6 || type == 8) &&
           version >= 5 && version <= 12;
}

// Whether the field count is one Paradox allows (1 to 255) and the header has room for
// each field's type, name pointer and a name of at least its end byte after the table
// name. pxlib reads that many names byte by byte, up to 299 bytes each, also beyond the
// end of the file: a count of tens of thousands keeps it busy for minutes.
bool fieldCountFits(const QByteArray& head, qint64 headerSize)
{
    const int fields = u16(head, 0x21);
    const qint64 start = hasDataHeader(head) ? 0x78 : 0x58;
    const qint64 tableName = std::uint8_t(head[0x39]) == 12 ? 261 : 79;
    return fields >= 1 && fields <= 255 && start + fields * 7 + 4 + tableName <= headerSize;
}

// Whether pxlib would decrypt the data blocks before reading them. pxlib takes the key
// from the header without checking it, so a wrong or damaged key turns every block head
// into noise that it then follows far beyond the end of the file, for ever; the chain
// check above sees only the stored bytes.
// A key of 0xFF00FF00 in the main header means the real key is in the data header.
bool isEncrypted(const QByteArray& head)
{
    const quint32 key = u32(head, 0x25);
    if (key != 0xFF00FF00)
        return key != 0;
    return !hasDataHeader(head) || u32(head, 0x5C) != 0;
}

// What keeps pxlib from reading the file safely, or an empty text. The header must be
// complete: pxlib reads it with no check of the file's length and would go on with
// whatever its memory held.
QString headerFault(const QString& path)
{
    constexpr qint64 kFullHeader = 0x78; // main header and data header
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {}; // pxlib reports what is wrong with opening it
    const QByteArray head = file.read(kFullHeader);
    const qint64 headerSize = head.size() < 4 ? 0 : u16(head, 0x02);
    if (head.size() < kFullHeader || file.size() < headerSize)
        return QStringLiteral("Der Dateikopf ist unvollständig.");
    if (!fieldCountFits(head, headerSize))
        return QStringLiteral("Die Zahl der Felder passt nicht zum Dateikopf.");
    if (isEncrypted(head))
        return QStringLiteral("Verschlüsselte Tabellen werden nicht gelesen.");
    if (!blockChainIsSound(file, head))
        return QStringLiteral("Die Kette der Datenblöcke ist beschädigt.");
    return {};
}

} // namespace

PxDocument::PxDocument() : m_doc(PX_new3(collectMessage, nullptr, nullptr, nullptr, &m_message))
{
    if (!m_doc)
        throw standardError(errnum::OutOfMemory);
}

PxDocument::~PxDocument()
{
    PX_delete(m_doc); // closes the file first where it is still open
}

void PxDocument::open(const QString& path)
{
    const auto unreadable = [&] {
        throwPx(errnum::PathFileAccess,
                QStringLiteral("Die Paradox-Datei %1 kann nicht gelesen werden.")
                    .arg(QDir::toNativeSeparators(path)),
                m_message);
    };
    m_message = headerFault(path);
    if (!m_message.isEmpty() || PX_open_file(m_doc, QFile::encodeName(path).constData()) < 0)
        unreadable();
    m_open = true;
    m_fields.clear();
    // Tables before Paradox 4 store no code page (pxlib leaves the number unset): they and
    // tables with none (0) are read as Windows ANSI; a code page that cannot be named is
    // refused rather than read as Windows ANSI, which would change every letter beyond ASCII.
    const pxhead_t* head = m_doc->px_head;
    const int codePage = head->px_fileversion >= 40 ? head->px_doscodepage : 0;
    m_codec = codePage == 0 ? QByteArray("windows-1252") : codePageCodec(codePage);
    if (m_codec.isEmpty()) {
        m_message = QStringLiteral("Die Codepage %1 ist unbekannt.").arg(codePage);
        unreadable();
    }
    int offset = 0;
    for (int i = 0; i < PX_get_num_fields(m_doc); ++i) {
        const pxfield_t* f = PX_get_field(m_doc, i);
        QStringDecoder decoder(m_codec.constData());
        m_fields.push_back({QString(decoder.decode(QByteArrayView(f->px_fname))), f->px_ftype,
                            f->px_flen, f->px_fdc, offset});
        if (f->px_flen < 0 || (fixedLength(f->px_ftype) && f->px_flen != fixedLength(f->px_ftype)))
            unreadable();
        offset += f->px_flen;
    }
    // The fields are read from a record of the size the header gives: a broken header
    // whose fields need more would read beyond it.
    if (offset > recordSize())
        unreadable();
}

void PxDocument::create(const QString& path, const PxDocument& source)
{
    const int count = int(source.m_fields.size());
    // pxlib owns the field list of a table it creates and frees it with its own allocator.
    auto* fields = static_cast<pxfield_t*>(
        m_doc->malloc(m_doc, sizeof(pxfield_t) * size_t(count), "PxDocument::create"));
    for (int i = 0; i < count; ++i) {
        const pxfield_t* from = PX_get_field(source.m_doc, i);
        fields[i] = {PX_strdup(m_doc, from->px_fname), from->px_ftype, from->px_flen, from->px_fdc};
    }
    if (PX_create_file(m_doc, fields, count, QFile::encodeName(path).constData(),
                       pxfFileTypNonIndexDB) < 0)
        throwPx(errnum::PathFileAccess,
                QStringLiteral("Die Paradox-Datei %1 kann nicht angelegt werden.")
                    .arg(QDir::toNativeSeparators(path)),
                m_message);
    m_open = true;
    m_fields = source.m_fields;
    m_codec = source.m_codec;
    const int codePage = source.m_doc->px_head->px_doscodepage;
    PX_set_value(m_doc, "codepage", float(codePage == 0 ? 1252 : codePage));
    PX_set_tablename(m_doc, source.m_doc->px_head->px_tablename);
}

void PxDocument::putRecord(QByteArray record)
{
    if (PX_put_record(m_doc, record.data()) < 0)
        throwPx(errnum::PathFileAccess,
                QStringLiteral("In die Paradox-Datei kann nicht geschrieben werden."), m_message);
}

void PxDocument::close()
{
    if (m_open)
        PX_close(m_doc);
    m_open = false;
}

int PxDocument::recordCount() const
{
    return PX_get_num_records(m_doc);
}

int PxDocument::recordSize() const
{
    return PX_get_recordsize(m_doc);
}

QByteArray PxDocument::record(int index)
{
    QByteArray data(recordSize(), '\0');
    if (!PX_get_record(m_doc, index, data.data()))
        throwPx(errnum::PathFileAccess,
                QStringLiteral("Datensatz %1 der Paradox-Datei ist nicht lesbar.").arg(index + 1),
                m_message);
    return data;
}

QVariant PxDocument::value(const QByteArray& record, const PxField& field)
{
    char* data = const_cast<char*>(record.constData()) + field.offset;
    // Paradox stores NULL as a field of zero bytes, whatever its type.
    const QByteArrayView raw(data, field.length);
    if (std::all_of(raw.begin(), raw.end(), [](char c) { return c == '\0'; }))
        return {};
    switch (field.type) {
    case pxfAlpha: {
        const qsizetype end = raw.indexOf('\0');
        QStringDecoder decoder(m_codec.constData());
        return QString(decoder.decode(end < 0 ? raw : raw.first(end)));
    }
    case pxfShort: {
        short number = 0;
        return PX_get_data_short(m_doc, data, field.length, &number) > 0 ? QVariant(number)
                                                                         : QVariant();
    }
    case pxfLong:
    case pxfAutoInc:
    case pxfDate:
    case pxfTime: {
        long number = 0;
        if (PX_get_data_long(m_doc, data, field.length, &number) <= 0)
            return {};
        if (field.type == pxfDate)
            return dateFromDays(number);
        if (field.type == pxfTime)
            return QTime::fromMSecsSinceStartOfDay(int(number)).toString(u"HH:mm:ss");
        return qlonglong(number);
    }
    case pxfNumber:
    case pxfCurrency:
    case pxfTimestamp: {
        double number = 0;
        if (PX_get_data_double(m_doc, data, field.length, &number) <= 0)
            return {};
        if (field.type != pxfTimestamp)
            return number;
        const double days = std::floor(number / kMsPerDay);
        return QDateTime(dateFromDays(long(days)),
                         QTime::fromMSecsSinceStartOfDay(int(number - days * kMsPerDay)));
    }
    case pxfLogical: {
        char flag = 0;
        return PX_get_data_byte(m_doc, data, field.length, &flag) > 0 ? QVariant(flag ? 1 : 0)
                                                                      : QVariant();
    }
    case pxfBCD: {
        char* text = nullptr;
        if (PX_get_data_bcd(m_doc, reinterpret_cast<unsigned char*>(data), field.decimals, &text) <=
                0 ||
            !text)
            return {};
        const QVariant number = printedNumberValue(QByteArray(text), false); // every digit
        m_doc->free(m_doc, text);
        return number;
    }
    default: // memos, binary objects and graphics are not text
        return {};
    }
}

QList<TableColumn> PxDocument::columns() const
{
    QStringList names;
    for (const PxField& field : m_fields)
        names << field.name;
    names = usableColumnNames(names);
    QList<TableColumn> columns;
    for (size_t i = 0; i < m_fields.size(); ++i)
        columns << TableColumn{names.at(int(i)), columnKind(m_fields[i].type)};
    return columns;
}

namespace {

void loadParadox(const QFileInfo& file, QSqlDatabase& db)
{
    PxDocument px;
    px.open(file.filePath());
    MemoryTableBuilder table(db, freeTableName(db, file.completeBaseName(), file.suffix()),
                             px.columns());
    for (int i = 0; i < px.recordCount(); ++i) {
        const QByteArray record = px.record(i);
        QVariantList values;
        for (const PxField& field : px.fields())
            values << px.value(record, field);
        table.addRow(values);
    }
    table.finish();
}

class ParadoxReader : public FileTypeReader {
public:
    void load(const DataSourceLocation& location, QSqlDatabase& memoryDb) override
    {
        trapped("ParadoxFile.load", [&] {
            const QFileInfo source(location.dataSource);
            if (source.isFile()) {
                loadParadox(source, memoryDb);
                return;
            }
            const QFileInfoList files = folderTableFiles(location.dataSource, location.tableFiles);
            for (const QFileInfo& file : files)
                loadParadox(file, memoryDb);
        });
    }
};

} // namespace

static std::unique_ptr<FileTypeReader> makeParadoxReader()
{
    return std::make_unique<ParadoxReader>();
}

const FileTypeSupport Paradox5Type{.name = "Paradox 5.0",
                                   .providerText = JetProvider,
                                   .extendedProperties =
                                       "Extended Properties=Paradox 5.x;Data Source=",
                                   .makeReader = makeParadoxReader,
                                   .makeWriter = makeParadoxWriter,
                                   .tableFiles = "db"};

} // namespace quendra
