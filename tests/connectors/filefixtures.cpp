#include "filefixtures.h"

#include <QDataStream>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <cmath>
#include <cstdlib>
#include <shapefil.h>
#include <stdexcept>
extern "C" { // pxlib declares its functions without C linkage for C++
#include <paradox.h>
}

namespace quendra::test {

QByteArray ansi(const char* utf8)
{
    QStringEncoder encode("windows-1252");
    return encode(QString::fromUtf8(utf8));
}

// A dBase table nr N5, name C40, betrag N12.2, datum D, notiz C40 in Windows-1252;
// rows: nullptr cells are NULL (blank, as dBase III has it).
void createDbf(const QString& path, const std::vector<std::vector<const char*>>& rows)
{
    DBFHandle dbf = DBFCreateEx(QFile::encodeName(path).constData(), "LDID/87");
    if (!dbf)
        throw std::runtime_error("DBFCreateEx failed");
    DBFAddField(dbf, "NR", FTInteger, 5, 0);
    DBFAddField(dbf, "NAME", FTString, 40, 0);
    DBFAddField(dbf, "BETRAG", FTDouble, 12, 2);
    DBFAddNativeFieldType(dbf, "DATUM", 'D', 8, 0);
    DBFAddField(dbf, "NOTIZ", FTString, 40, 0);
    for (size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < 5; ++c) {
            const char* cell = rows[r][c];
            if (!cell)
                DBFWriteAttributeDirectly(dbf, int(r), c, const_cast<char*>(""));
            else if (c == 0)
                DBFWriteIntegerAttribute(dbf, int(r), c, std::atoi(cell));
            else if (c == 2)
                DBFWriteDoubleAttribute(dbf, int(r), c, std::atof(cell));
            else if (c == 3)
                DBFWriteAttributeDirectly(dbf, int(r), c, const_cast<char*>(cell));
            else
                DBFWriteStringAttribute(dbf, int(r), c, ansi(cell).constData());
        }
    }
    DBFClose(dbf);
    QFile::remove(QFileInfo(path).path() + QLatin1Char('/') + QFileInfo(path).completeBaseName() +
                  QStringLiteral(".cpg"));
}

void createParadox(const QString& path)
{
    createParadox(path, {{"NR", pxfLong, 4},
                         {"NAME", pxfAlpha, 40},
                         {"BETRAG", pxfNumber, 8},
                         {"DATUM", pxfDate, 4},
                         {"NOTIZ", pxfAlpha, 40}});
}

void createParadox(const QString& path, const std::vector<ParadoxColumn>& columns)
{
    pxdoc_t* doc = PX_new();
    const int count = int(columns.size());
    auto* f = static_cast<pxfield_t*>(doc->malloc(doc, count * sizeof(pxfield_t), "test"));
    for (int i = 0; i < count; ++i)
        f[i] = {PX_strdup(doc, columns[size_t(i)].name), columns[size_t(i)].type,
                columns[size_t(i)].length, 0};
    if (PX_create_file(doc, f, count, QFile::encodeName(path).constData(), pxfFileTypNonIndexDB) <
        0)
        throw std::runtime_error("PX_create_file failed");
    PX_set_value(doc, "codepage", 1252.0f);
    PX_close(doc);
    PX_delete(doc);
}

QString monitorMdb()
{
    QDirIterator it(QStringLiteral(QUENDRA_FIXTURES_DIR), {QStringLiteral("Monitor.mdb")},
                    QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

namespace {

void record(QByteArray& out, quint16 type, const QByteArray& body)
{
    QDataStream s(&out, QIODevice::Append);
    s.setByteOrder(QDataStream::LittleEndian);
    s << type << quint16(body.size());
    out += body;
}

// A cell record's body: format byte, column, row, then the value bytes.
QByteArray cell(quint8 format, quint16 column, quint16 row, const QByteArray& value)
{
    QByteArray body;
    QDataStream s(&body, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s << format << column << row;
    return body + value;
}

QByteArray le(double number)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s.setFloatingPointPrecision(QDataStream::DoublePrecision);
    s << number;
    return bytes;
}

// A number as Lotus 1-2-3 Release 3 stores it: 80-bit extended precision (64-bit
// mantissa with its leading one, 15-bit exponent biased by 16383, sign).
QByteArray extended(double number)
{
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(number), &exponent); // in [0.5, 1)
    const auto mantissa = quint64(std::ldexp(fraction, 64));
    const quint16 top = number == 0 ? 0 : quint16((number < 0 ? 0x8000 : 0) + exponent - 1 + 16383);
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s << mantissa << top;
    return bytes;
}

// A Release 3 cell record's body: row, sheet, column, then the value bytes.
QByteArray cell3(quint16 row, quint8 column, const QByteArray& value, quint8 sheet = 0)
{
    QByteArray body;
    QDataStream s(&body, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s << row << sheet << column;
    return body + value;
}

} // namespace

QByteArray lotusWk3(bool password)
{
    QByteArray out;
    QByteArray bof = QByteArray::fromHex("0010"); // version: Release 3
    bof.append(24, '\0');
    bof[10] = 1; // the last sheet: two sheets
    record(out, 0x0000, bof);
    if (password)
        record(out, 0x0002, QByteArray(16, '\x5A')); // the keys of a password
    record(out, 0x0016,
           cell3(0, 0,
                 QByteArray("'Gr\x94\xE1"
                            "e",
                            7) +
                     '\0')); // ö ß in 850
    record(out, 0x0017, cell3(0, 1, extended(12345678.91)));
    record(out, 0x0017, cell3(1, 0, extended(-0.1)));
    record(out, 0x0017, cell3(1, 1, extended(44962433480.87)));
    record(out, 0x0016, cell3(0, 0, QByteArray("'zweites") + '\0', 1));
    record(out, 0x0001, {});
    return out;
}

QByteArray lotusWk1()
{
    constexpr quint8 General = 0xFF, Date = 0xF2; // protected; date: day-month-year
    QByteArray out;
    record(out, 0x0000, QByteArray::fromHex("0604")); // BOF, WK1
    record(out, 0x000F,
           cell(General, 0, 0,
                QByteArray("'M\x81"
                           "ller",
                           8))); // ü: 0x81
    record(out, 0x000D, cell(General, 1, 0, QByteArray::fromHex("2a00")));
    record(out, 0x000E, cell(General, 0, 1, le(12345678.91)));
    record(out, 0x000E, cell(General, 1, 1, le(44962433480.87)));
    record(out, 0x000E, cell(General, 0, 2, le(-0.1)));
    record(out, 0x000E, cell(General, 1, 2, le(1e15)));
    record(out, 0x000E, cell(Date, 2, 0, le(45352))); // 01.03.2024
    // 1+2 as integer constants (opcode 5), addition (9), end (3); stored result 7
    const QByteArray formula = QByteArray::fromHex("0501000502000903");
    record(out, 0x0010, cell(General, 2, 1, le(7) + QByteArray::fromHex("0800") + formula));
    record(out, 0x0001, {});
    return out;
}

QString workbook()
{
    return QStringLiteral(QUENDRA_TEST_DATA_DIR "/files/quendra-test.xls");
}

} // namespace quendra::test
