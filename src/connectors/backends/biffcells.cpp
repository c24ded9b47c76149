// Reads formula results and logical cells straight from the workbook stream, because
// FreeXL leaves formula cells empty and reports logicals as the numbers 1 and 0. The
// file is a compound document (a small FAT file system); its stream "Workbook" holds
// BIFF8 records: the sheets' positions in the globals part, then one part per sheet.
#include "connectors/backends/biffcells.h"

#include "common/error.h"
#include "connectors/backends/cellformats.h"
#include "connectors/backends/littleendian.h"
#include "connectors/backends/sheetgrid.h"
#include "values/regionaltext.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QtEndian>

#include <cstring>
#include <optional>

namespace quendra {

namespace {

constexpr quint32 EndOfChain = 0xFFFFFFFE;

// The compound document: sectors, the allocation table and the directory.
class CompoundFile {
public:
    CompoundFile(QByteArray bytes, const QString& path) : m_bytes(std::move(bytes)), m_path(path)
    {
        if (m_bytes.size() < 512 || !m_bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
            throwUnreadableWorkbook(path);
        const quint16 shift = u16(m_bytes, 0x1E);
        if (shift != 9 && shift != 12)
            throwUnreadableWorkbook(path);
        m_sectorSize = qsizetype(1) << shift;
        m_sectorCount = size_t(m_bytes.size() / m_sectorSize);
        m_miniCutoff = u32(m_bytes, 0x38);
        readFat();
        m_directory = chain(u32(m_bytes, 0x30));
        m_miniFat = chain(u32(m_bytes, 0x3C));
    }

    // The named stream; empty when there is none.
    QByteArray stream(const char16_t* name) const
    {
        const QString wanted = QString::fromUtf16(name);
        for (qsizetype at = 0; at + 128 <= m_directory.size(); at += 128) {
            const quint16 nameBytes = u16(m_directory, at + 0x40);
            if (m_directory.at(at + 0x42) != 2 || nameBytes < 2 || nameBytes > 64)
                continue;
            const QString entry = QString::fromUtf16(
                reinterpret_cast<const char16_t*>(m_directory.constData() + at), nameBytes / 2 - 1);
            if (entry.compare(wanted, Qt::CaseInsensitive) != 0)
                continue;
            const quint32 size = u32(m_directory, at + 0x78);
            const quint32 start = u32(m_directory, at + 0x74);
            const QByteArray data = size < m_miniCutoff ? miniChain(start) : chain(start);
            if (data.size() < qsizetype(size))
                throwUnreadableWorkbook(m_path);
            return data.left(size);
        }
        return {};
    }

private:
    void readFat()
    {
        std::vector<quint32> fatSectors;
        for (int i = 0; i < 109; ++i)
            fatSectors.push_back(u32(m_bytes, 0x4C + 4 * i));
        quint32 difat = u32(m_bytes, 0x44);
        for (size_t n = 0;
             difat < EndOfChain && n < std::min<size_t>(u32(m_bytes, 0x48), m_sectorCount); ++n) {
            const QByteArray sector = sectorAt(difat);
            for (qsizetype at = 0; at + 4 < sector.size(); at += 4)
                fatSectors.push_back(u32(sector, at));
            difat = u32(sector, sector.size() - 4);
        }
        const quint32 count = std::min<quint32>(u32(m_bytes, 0x2C), quint32(fatSectors.size()));
        for (quint32 i = 0; i < count; ++i) {
            const QByteArray sector = sectorAt(fatSectors[i]);
            for (qsizetype at = 0; at + 4 <= sector.size(); at += 4)
                m_fat.push_back(u32(sector, at));
        }
    }

    QByteArray sectorAt(quint32 sector) const
    {
        const qsizetype at = (qsizetype(sector) + 1) * m_sectorSize;
        if (at + m_sectorSize > m_bytes.size())
            throwUnreadableWorkbook(m_path);
        return m_bytes.mid(at, m_sectorSize);
    }

    // The sectors of a chain joined; a chain that loops or leaves the table is unreadable.
    QByteArray chain(quint32 sector) const
    {
        QByteArray data;
        for (size_t steps = 0; sector < EndOfChain; ++steps) {
            if (sector >= m_fat.size() || steps > m_sectorCount)
                throwUnreadableWorkbook(m_path);
            data += sectorAt(sector);
            sector = m_fat[sector];
        }
        return data;
    }

    QByteArray miniChain(quint32 sector) const
    {
        // The mini stream is the root entry's (the first directory entry's) chain.
        if (m_directory.size() < 128)
            throwUnreadableWorkbook(m_path);
        const QByteArray mini = chain(u32(m_directory, 0x74));
        QByteArray data;
        for (qsizetype steps = 0; sector < EndOfChain; ++steps) {
            const qsizetype at = qsizetype(sector) * 64;
            if (qsizetype(sector) * 4 + 4 > m_miniFat.size() || at + 64 > mini.size() ||
                steps * 4 > m_miniFat.size())
                throwUnreadableWorkbook(m_path);
            data += mini.mid(at, 64);
            sector = u32(m_miniFat, qsizetype(sector) * 4);
        }
        return data;
    }

    QByteArray m_bytes;
    QString m_path;
    qsizetype m_sectorSize = 512;
    size_t m_sectorCount = 0; // sectors the file holds: no chain is longer
    quint32 m_miniCutoff = 4096;
    std::vector<quint32> m_fat;
    QByteArray m_directory;
    QByteArray m_miniFat;
};

QString errorText(quint8 code)
{
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    default:
        return QStringLiteral("#N/A");
    }
}

// The text of a STRING record: character count, flags (bit 0: two bytes a character).
QString stringRecord(const QByteArray& data)
{
    if (data.size() < 3)
        return {};
    const quint16 count = u16(data, 0);
    if (data.at(2) & 1) {
        const qsizetype n = std::min<qsizetype>(count, (data.size() - 3) / 2);
        QString text(n, Qt::Uninitialized);
        for (qsizetype i = 0; i < n; ++i)
            text[i] = QChar(u16(data, 3 + 2 * i));
        return text;
    }
    return QString::fromLatin1(data.mid(3, count));
}

// The characters of one piece of a text: a flags byte (bit 0: two bytes a character),
// then up to `wanted` characters; nullopt when the piece holds a part of a character or
// characters beyond those wanted.
std::optional<QString> pieceText(const QByteArray& piece, qsizetype at, qsizetype wanted)
{
    if (at >= piece.size() || (piece.at(at) & 0x0C)) // rich text and extended text: not read
        return std::nullopt;
    const bool wide = piece.at(at) & 1;
    const qsizetype bytes = piece.size() - at - 1;
    const qsizetype n = wide ? bytes / 2 : bytes;
    if (n > wanted || (wide && bytes % 2 != 0))
        return std::nullopt;
    if (!wide)
        return QString::fromLatin1(piece.constData() + at + 1, n);
    QString text(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        text[i] = QChar(u16(piece, at + 1 + 2 * i));
    return text;
}

// The text of a STRING record and its CONTINUE records: the character count, then the
// characters in pieces. Each piece starts with its own flags byte, so 8-bit and UTF-16
// pieces may alternate. nullopt unless the pieces hold exactly the announced count.
std::optional<QString> continuedText(const std::vector<QByteArray>& pieces)
{
    if (pieces.front().size() < 3)
        return std::nullopt;
    const quint16 count = u16(pieces.front(), 0);
    QString text;
    qsizetype at = 2; // the first piece's flags follow the count
    for (const QByteArray& piece : pieces) {
        const std::optional<QString> part = pieceText(piece, at, count - text.size());
        if (!part)
            return std::nullopt;
        text += *part;
        at = 0;
    }
    return text.size() == count ? std::optional<QString>(text) : std::nullopt;
}

// A worksheet's name in its BOUNDSHEET record: one byte count, flags, the characters.
QString sheetName(const QByteArray& data)
{
    if (data.size() < 8)
        return {};
    const QByteArray piece = data.mid(7, 1 + (data.at(7) & 1 ? 2 : 1) * quint8(data.at(6)));
    return pieceText(piece, 0, quint8(data.at(6))).value_or(QString());
}

// What the globals part says about numbers: the date system, and which cell formats
// (XF records, in their order) show a date or a time.
struct NumberFormats {
    bool dates1904 = false;
    QHash<quint16, bool> customDate; // FORMAT index: shows a date or time
    std::vector<bool> dateXf;
    RegionalText m_text;

    void read(quint16 type, const QByteArray& data)
    {
        if (type == 0x0022 && data.size() >= 2) // DATEMODE
            dates1904 = u16(data, 0) == 1;
        else if (type == 0x041E && data.size() >= 5) // FORMAT
            customDate.insert(u16(data, 0), formatShowsDate(stringRecord(data.mid(2))));
        else if (type == 0x00E0 && data.size() >= 4) // XF
            dateXf.push_back(showsDate(u16(data, 2)));
    }

    bool isDate(quint16 xf) const { return xf < dateXf.size() && dateXf[xf]; }

    // A formula's number in a date format, as the date, date-time or time it stands for.
    QVariant value(double serial, quint16 xf) const
    {
        return isDate(xf) ? serialDateValue(serial, dates1904, m_text) : QVariant(serial);
    }

private:
    bool showsDate(quint16 format) const
    {
        if (customDate.contains(format))
            return customDate.value(format);
        return builtInFormatShowsDate(format);
    }
};

// A worksheet as the globals part lists it: where its part starts, and its name.
struct SheetPart {
    quint32 at = 0;
    QString name;
};

// A text result whose stored pieces do not add up to the character count it announces
// is not guessed at: the cell would otherwise come out cut short or garbled.
[[noreturn]] void throwBrokenText(const QString& path, const QString& sheet, const BiffCell& cell)
{
    throw Error(errnum::PathFileAccess, {},
                QStringLiteral("Die Excel-Arbeitsmappe %1 ist beschädigt: Das Textergebnis der "
                               "Formel in Tabelle \"%2\", Zelle %3 ist nicht vollständig "
                               "gespeichert und kann nicht gelesen werden.")
                    .arg(QDir::toNativeSeparators(path), sheet, cellName(cell.row, cell.column)));
}

// The STRING record at `at` and the CONTINUE records that follow it; `at` moves past them.
std::vector<QByteArray> textPieces(const QByteArray& book, qsizetype& at)
{
    std::vector<QByteArray> pieces;
    do {
        const quint16 length = u16(book, at + 2);
        pieces.push_back(book.mid(at + 4, length));
        at += 4 + length;
    } while (at + 4 <= book.size() && u16(book, at) == 0x003C);
    return pieces;
}

// Whether a record may not stand between a formula and the STRING record holding its
// text result: the sheet's EOF and the records of other cells.
bool endsCellRecords(quint16 type)
{
    switch (type) {
    case 0x000A: // EOF
    case 0x0006: // FORMULA
    case 0x00BD: // MULRK
    case 0x00BE: // MULBLANK
    case 0x00FD: // LABELSST
    case 0x0201: // BLANK
    case 0x0203: // NUMBER
    case 0x0204: // LABEL
    case 0x0205: // BOOLERR
    case 0x027E: // RK
        return true;
    default:
        return false;
    }
}

struct SheetReader {
    const QByteArray& book;
    const NumberFormats& formats;
    const QString& path;
    int sheet;
    QString name;
    std::vector<BiffCell>& cells;

    // One sheet's part of the stream, from its BOF record to its EOF record.
    void read(qsizetype at)
    {
        bool textPending = false; // a formula with a text result waits for its STRING record
        while (at + 4 <= book.size()) {
            const quint16 type = u16(book, at);
            if (type == 0x0207 && textPending) {
                const std::optional<QString> text = continuedText(textPieces(book, at));
                if (!text)
                    throwBrokenText(path, name, cells.back());
                cells.back().value = *text;
                textPending = false;
                continue;
            }
            if (textPending && endsCellRecords(type)) // the STRING record is missing
                throwBrokenText(path, name, cells.back());
            const quint16 length = u16(book, at + 2);
            const QByteArray data = book.mid(at + 4, length);
            at += 4 + length;
            if (type == 0x000A) // EOF
                return;
            if ((type == 0x0006 || type == 0x0205) && data.size() >= 8)
                cells.push_back(cell(type, data, textPending));
        }
    }

    BiffCell cell(quint16 type, const QByteArray& data, bool& textPending) const
    {
        BiffCell cell{sheet, u16(data, 0), u16(data, 2), {}};
        if (type == 0x0205) { // BOOLERR: value, then 1 for an error code
            cell.value =
                data.at(7) ? QVariant(errorText(quint8(data.at(6)))) : QVariant(data.at(6) != 0);
        } else if (data.size() >= 14 && u16(data, 12) == 0xFFFF) {
            switch (data.at(6)) {
            case 0:
                textPending = true;
                break;
            case 1:
                cell.value = data.at(8) != 0;
                break;
            case 2:
                cell.value = errorText(quint8(data.at(8)));
                break;
            default: // an empty text
                break;
            }
        } else if (data.size() >= 14) {
            double number = 0;
            std::memcpy(&number, data.constData() + 6, sizeof number);
            cell.value = formats.value(qFromLittleEndian(number), u16(data, 4));
        }
        return cell;
    }
};

} // namespace

std::vector<BiffCell> readBiffCells(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throwUnreadableWorkbook(path);
    const CompoundFile compound(file.readAll(), path);
    const QByteArray book = compound.stream(u"Workbook");
    std::vector<BiffCell> cells;
    // The globals part describes the number formats and lists each worksheet with the
    // position of its part.
    NumberFormats formats;
    std::vector<SheetPart> sheets;
    for (qsizetype at = 0; at + 4 <= book.size();) {
        const quint16 type = u16(book, at);
        const quint16 length = u16(book, at + 2);
        const QByteArray data = book.mid(at + 4, length);
        formats.read(type, data);
        if (type == 0x0085 && data.size() >= 6 && data.at(5) == 0) // BOUNDSHEET, a worksheet
            sheets.push_back({u32(data, 0), sheetName(data)});
        if (type == 0x000A) // EOF of the globals
            break;
        at += 4 + length;
    }
    for (size_t sheet = 0; sheet < sheets.size(); ++sheet) {
        SheetReader reader{book, formats, path, int(sheet), sheets[sheet].name, cells};
        reader.read(sheets[sheet].at);
    }
    return cells;
}

void throwUnreadableWorkbook(const QString& path)
{
    throw Error(errnum::PathFileAccess, {},
                QStringLiteral("Die Datei %1 ist keine lesbare Excel-Arbeitsmappe (.xls).")
                    .arg(QDir::toNativeSeparators(path)));
}

} // namespace quendra
