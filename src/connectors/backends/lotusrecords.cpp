#include "connectors/backends/lotusrecords.h"

#include "common/error.h"
#include "connectors/backends/codepagename.h"
#include "connectors/backends/littleendian.h"
#include "connectors/backends/sheetgrid.h"

#include <QDir>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <span>

namespace quendra {

namespace {

constexpr unsigned EndOfFile = 0x01;

// The record types that hold a cell, and their length: exact, or at least (minimum).
struct CellRecord {
    unsigned type;
    int length;
    bool minimum;
};
// Release 1 and 2: format byte, column and row (16 bits each), then the value.
constexpr CellRecord Release2Cells[] = {
    {0x0C, 5, false},  // blank
    {0x0D, 7, false},  // integer
    {0x0E, 13, false}, // number
    {0x0F, 5, true},   // label
    {0x10, 15, true},  // formula: its result, the formula's length and the formula
    {0x33, 5, true},   // text result of the formula before it
};
// Release 3 and later: row (16 bits), sheet and column (8 bits each), then the value.
constexpr CellRecord Release3Cells[] = {
    {0x14, 4, false},  // ERR
    {0x15, 4, false},  // NA
    {0x16, 4, true},   // label
    {0x17, 14, false}, // number in 80 bits
    {0x18, 6, false},  // number in 16 bits
    {0x19, 14, true},  // formula, its result in 80 bits
    {0x1A, 4, true},   // text result of a formula
    {0x25, 8, false},  // number in 32 bits
    {0x27, 12, false}, // number in 64 bits
    {0x28, 12, true},  // formula, its result in 64 bits
};

const QString ErrValue = QStringLiteral("#VALUE!");
const QString NaValue = QStringLiteral("#N/A");

// What a formula's result says of a text result, which follows in a record of its own.
enum class Text { None, May, Must };

class Walker {
public:
    Walker(const QByteArray& bytes, const QString& path) : m_bytes(bytes), m_path(path) {}

    LotusBook read()
    {
        if (m_bytes.size() < 6 || u16(m_bytes, 0) != 0x0000 || u16(m_bytes, 2) < 2)
            throw refusal(QStringLiteral("Die Datei %1 ist keine Lotus-1-2-3-Tabelle."));
        const unsigned version = u16(m_bytes, 4);
        m_book.release3 = version >= 0x1000 && version <= 0x1005;
        if (!m_book.release3 && (version < 0x0404 || version > 0x0406))
            throw refusal(QStringLiteral("Die Datei %1 ist keine Lotus-1-2-3-Tabelle."));
        if (m_book.release3 && u16(m_bytes, 2) >= 12)
            m_book.sheets = quint8(m_bytes[4 + 10]) + 1; // the last sheet of its range
        const qsizetype end = walk(0, true);
        if (end < 0)
            throw refusal(QStringLiteral("Die Lotus-1-2-3-Tabelle %1 ist unvollständig: sie endet "
                                         "vor ihrem Schlussdatensatz."));
        checkAfterEnd(end);
        resolveTextResults();
        return std::move(m_book);
    }

private:
    // Walks the records from at; returns the offset behind the first end record, or -1
    // when the chain breaks off before one.
    qsizetype walk(qsizetype at, bool take)
    {
        while (at + 4 <= m_bytes.size()) {
            const unsigned type = u16(m_bytes, at);
            const qsizetype end = at + 4 + u16(m_bytes, at + 2);
            if (end > m_bytes.size())
                return -1;
            if (type == EndOfFile)
                return end;
            if (take)
                record(type, QByteArrayView(m_bytes).sliced(at + 4, end - at - 4), at);
            else if (cellRecord(type))
                throw damaged(at, QStringLiteral("hinter dem Schlussdatensatz bei Byte %1 folgen "
                                                 "weitere Zellen")
                                      .arg(m_endAt));
            at = end;
        }
        return -1;
    }

    // After the end record Lotus reads nothing: a further part of the file (release 4 keeps
    // its formats there, behind a beginning record of their own) or stray bytes are left
    // alone, cells in a chain of records are not.
    void checkAfterEnd(qsizetype end)
    {
        m_endAt = end - 4;
        if (end + 4 <= m_bytes.size() && u16(m_bytes, end) == 0x0000)
            return;
        walk(end, false);
    }

    const CellRecord* cellRecord(unsigned type) const
    {
        const std::span<const CellRecord> records =
            m_book.release3 ? std::span<const CellRecord>(Release3Cells) : Release2Cells;
        for (const CellRecord& r : records) {
            if (r.type == type)
                return &r;
        }
        return nullptr;
    }

    void record(unsigned type, QByteArrayView data, qsizetype at)
    {
        if (!m_book.release3 && type == 0x4B && data.size() == 2)
            throw refusal(QStringLiteral("Die Lotus-1-2-3-Tabelle %1 ist passwortgeschützt."));
        if (!m_book.release3 && type == 0x07 && data.size() >= 5)
            m_defaultFormat = quint8(data[4]); // the sheet's format, for cells that keep none
        const CellRecord* kind = cellRecord(type);
        if (!kind)
            return; // widths, names, print settings, charts: no cell
        if (kind->minimum ? data.size() < kind->length : data.size() != kind->length)
            throw damaged(at, QStringLiteral("ein Zelldatensatz der Art %1 ist %2 statt %3%4 "
                                             "Bytes lang")
                                  .arg(type)
                                  .arg(data.size())
                                  .arg(kind->minimum ? QStringLiteral("mindestens ") : QString())
                                  .arg(kind->length));
        LotusCell cell;
        cell.offset = at;
        if (m_book.release3) {
            cell.row = u16(data, 0);
            cell.sheet = quint8(data[2]);
            cell.column = quint8(data[3]);
            if (cell.sheet >= m_book.sheets)
                throw damaged(at, QStringLiteral("die Zelle %1 liegt auf Blatt %2, die Datei "
                                                 "nennt aber nur %3 Blätter")
                                      .arg(cellName(cell.row, cell.column))
                                      .arg(cell.sheet + 1)
                                      .arg(m_book.sheets));
            release3Value(type, data.sliced(4), cell);
        } else {
            cell.column = u16(data, 1);
            cell.row = u16(data, 3);
            if (cell.column > 255)
                throw damaged(at, QStringLiteral("eine Zelle liegt in Spalte %1, jenseits der "
                                                 "letzten Spalte IV")
                                      .arg(cell.column + 1));
            release2Value(type, data, cell);
        }
        if (type == 0x33 || type == 0x1A) {
            m_texts.insert(key(cell), cell);
            return;
        }
        if (type == 0x0C)
            return;
        if (m_cells.contains(key(cell)))
            throw damaged(at, QStringLiteral("die Zelle %1 ist zweimal gespeichert")
                                  .arg(cellName(cell.row, cell.column)));
        if (m_text != Text::None && type != 0x10 && type != 0x19 && type != 0x28)
            cell.value = ErrValue; // a number no cell can hold: Lotus shows ERR
        else if (m_text != Text::None)
            m_pending.insert(key(cell), m_text);
        m_text = Text::None;
        m_cells.insert(key(cell), m_book.cells.size());
        m_book.cells.push_back(cell);
    }

    void release2Value(unsigned type, QByteArrayView data, LotusCell& cell)
    {
        int format = quint8(data[0]);
        if ((format & 0x7F) == 0x7F)
            format = m_defaultFormat;
        if ((format & 0x70) == 0x70) { // a special format: dates and times among them
            const int special = format & 0x0F;
            if (special == 2 || special == 3 || special == 4 || special == 9 || special == 10)
                cell.shows = LotusCell::Shows::Date;
            else if (special == 7 || special == 8 || special == 11 || special == 12)
                cell.shows = LotusCell::Shows::Time;
        }
        switch (type) {
        case 0x0D:
            cell.value = double(qint16(u16(data, 5)));
            break;
        case 0x0E:
        case 0x10:
            cell.value = doubleValue(data.sliced(5));
            if (type == 0x10 && 15 + qsizetype(u16(data, 13)) != data.size())
                throw damaged(cell.offset, QStringLiteral("die Formel der Zelle %1 ist nicht so "
                                                          "lang, wie ihr Datensatz angibt")
                                               .arg(cellName(cell.row, cell.column)));
            break;
        case 0x0F:
            cell.value = labelText(data.sliced(5), cell, true);
            break;
        case 0x33:
            cell.value = labelText(data.sliced(5), cell, false);
            break;
        }
    }

    void release3Value(unsigned type, QByteArrayView data, LotusCell& cell)
    {
        switch (type) {
        case 0x14:
            cell.value = ErrValue;
            break;
        case 0x15:
            cell.value = NaValue;
            break;
        case 0x16:
            cell.value = labelText(data, cell, true);
            break;
        case 0x1A:
            cell.value = labelText(data, cell, false);
            break;
        case 0x17:
        case 0x19:
            cell.value = extendedValue(data, cell);
            break;
        case 0x18:
            cell.value = smallNumber(qint16(u16(data, 0)));
            break;
        case 0x25:
            cell.value = packedNumber(u32(data, 0));
            break;
        case 0x27:
        case 0x28:
            cell.value = doubleValue(data);
            break;
        }
    }

    // A double; not a number (a NaN or an infinity) is ERR, or says that the formula's
    // result is text.
    QVariant doubleValue(QByteArrayView data)
    {
        const double number = qFromLittleEndian<double>(data.data());
        if (std::isfinite(number))
            return number;
        m_text = Text::May;
        return ErrValue;
    }

    // A number in 80 bits (the x87 extended format): sign and exponent in its last two
    // bytes. An exponent of all ones with the sign set marks Lotus's own values.
    QVariant extendedValue(QByteArrayView data, LotusCell& cell)
    {
        const quint64 mantissa = qFromLittleEndian<quint64>(data.data());
        const unsigned signExponent = u16(data, 8);
        const int exponent = int(signExponent & 0x7FFF);
        if (exponent == 0x7FFF) {
            switch (signExponent == 0xFFFF ? quint8(data[7]) : 0xFF) {
            case 0x00:
                return {}; // blank
            case 0xD0:
                return NaValue;
            case 0xE0:
                m_text = Text::Must;
                return ErrValue;
            default: // 0xC0, and infinities and NaNs of the number format
                return ErrValue;
            }
        }
        if (mantissa == 0)
            return 0.0;
        const long double magnitude = std::ldexp((long double)mantissa, exponent - 16383 - 63);
        if (magnitude > DBL_MAX || magnitude < DBL_MIN) {
            cell.fault = QStringLiteral("eine Zahl außerhalb des darstellbaren Bereichs (mehr "
                                        "als 307 Stellen vor oder hinter dem Komma)");
            return {};
        }
        return (signExponent & 0x8000) ? -double(magnitude) : double(magnitude);
    }

    // A number in 16 bits: an integer in its upper 15 bits, or (lowest bit set) a 12-bit
    // integer times or through one of eight factors.
    static double smallNumber(qint16 bits)
    {
        if (!(bits & 1))
            return bits >> 1;
        static constexpr double Factors[] = {5000, 500, -20, -200, -2000, -20000, -16, -64};
        const double factor = Factors[(bits >> 1) & 7];
        const double integer = bits >> 4;
        return factor > 0 ? integer * factor : integer / -factor;
    }

    // A number in 32 bits: 26 bits of integer, a sign, and a power of ten to multiply or
    // divide by.
    static double packedNumber(quint32 bits)
    {
        static constexpr double Tens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double integer = double(bits >> 6) * ((bits & 0x20) ? -1 : 1);
        return (bits & 0x10) ? integer / Tens[bits & 15] : integer * Tens[bits & 15];
    }

    // A label's text up to its closing zero byte, without the alignment character that
    // starts a label (' " ^ \).
    QVariant labelText(QByteArrayView text, const LotusCell& cell, bool aligned) const
    {
        text = text.first(
            std::min(text.size(), text.indexOf('\0') < 0 ? text.size() : text.indexOf('\0')));
        if (aligned && !text.isEmpty() && QByteArrayView("'\"^\\").contains(text.front()))
            text = text.sliced(1);
        if (std::any_of(text.begin(), text.end(), [](char c) { return quint8(c) < 0x20; }))
            throw Error(errnum::PathFileAccess, {},
                        QStringLiteral("Die Lotus-1-2-3-Tabelle %1 enthält in Zelle %2 ein "
                                       "Steuerzeichen (einen Tabulator oder Zeilenumbruch), das "
                                       "beim Lesen verloren ginge.")
                            .arg(native(), cellName(cell.row, cell.column)));
        if (text.isEmpty())
            return {};
        QStringDecoder decoder(codePageCodec(850).constData());
        return QString(decoder.decode(text));
    }

    // A formula's text result belongs to the formula of its cell, whose own result says
    // that it is text; a formula without the text it announces is not guessed at.
    void resolveTextResults()
    {
        for (LotusCell& cell : m_book.cells) {
            const auto text = m_texts.constFind(key(cell));
            const Text pending = m_pending.value(key(cell), Text::None);
            if (text != m_texts.cend() && pending != Text::None)
                cell.value = text->value;
            else if (text != m_texts.cend())
                throw damaged(text->offset, QStringLiteral("zur Zelle %1 ist ein Textergebnis "
                                                           "gespeichert, aber keine Formel, "
                                                           "die Text ergibt")
                                                .arg(cellName(cell.row, cell.column)));
            else if (pending == Text::Must)
                throw damaged(cell.offset, QStringLiteral("das Textergebnis der Formel in "
                                                          "Zelle %1 fehlt")
                                               .arg(cellName(cell.row, cell.column)));
        }
        for (const LotusCell& text : std::as_const(m_texts)) {
            if (!m_cells.contains(key(text)))
                throw damaged(text.offset, QStringLiteral("zur Zelle %1 ist ein Textergebnis "
                                                          "gespeichert, aber keine Formel")
                                               .arg(cellName(text.row, text.column)));
        }
    }

    static quint64 key(const LotusCell& cell)
    {
        return (quint64(cell.sheet) << 48) | (quint64(cell.row) << 24) | quint64(cell.column);
    }

    QString native() const { return QDir::toNativeSeparators(m_path); }

    Error refusal(const QString& text) const
    {
        return Error(errnum::PathFileAccess, {}, text.arg(native()));
    }

    Error damaged(qsizetype at, const QString& what) const
    {
        return Error(errnum::PathFileAccess, {},
                     QStringLiteral("Die Lotus-1-2-3-Tabelle %1 ist beschädigt: %2 (Datensatz "
                                    "bei Byte %3).")
                         .arg(native(), what)
                         .arg(at));
    }

    const QByteArray& m_bytes;
    const QString& m_path;
    LotusBook m_book;
    int m_defaultFormat = 0x71; // general
    qsizetype m_endAt = -1;
    QHash<quint64, size_t> m_cells;    // key -> index in m_book.cells
    QHash<quint64, LotusCell> m_texts; // text results, by key
    QHash<quint64, Text> m_pending;    // formulas whose result may be or is text
    Text m_text = Text::None;          // what the record being read says of its result
};

} // namespace

LotusBook readLotusRecords(const QByteArray& bytes, const QString& path)
{
    return Walker(bytes, path).read();
}

} // namespace quendra
