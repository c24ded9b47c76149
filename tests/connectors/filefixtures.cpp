#include "filefixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
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
// rows: nullptr cells are NULL.
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
                DBFWriteNULLAttribute(dbf, int(r), c);
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

QString workbook()
{
    return QStringLiteral(QUENDRA_TEST_DATA_DIR "/files/quendra-test.xls");
}

} // namespace quendra::test
