// The Lotus 1-2-3 reader on the sheets of the test data (filefixtures.h).
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/filefixtures.h"
#include "memorydb.h"
#include "support/filebytes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;
using quendra::test::MemoryDb;
using quendra::test::rowTexts;

namespace {

struct LotusCase {
    const char* name;
    QByteArray bytes;
    std::vector<QStringList> rows; // of the table Sheet1 when it loads
    const char* error;             // part of the German error when it is refused
    QStringList tables = {u"Sheet1"_s};
};

const QByteArray Sheet = test::readFile(test::dataFile("kunden.wk1"));
// A column of a label and numbers keeps them as regional text; dates likewise.
const std::vector<QStringList> SheetRows = {{u"Müller"_s, u"42"_s, u"01.03.2024"_s},
                                            {u"12345678,91"_s, u"44962433480.87"_s, u"7"_s},
                                            {u"-0,1"_s, u"1e+15"_s, u"NULL"_s}};

// A WK1 record of a page header (0x26) or footer (0x25): 242 bytes of text.
QByteArray pageText(const char* type, const char* text)
{
    return QByteArray(type, 1) + QByteArray("\0\xF2\0", 3) +
           QByteArray(text).leftJustified(242, '\0');
}

TEST(LotusFileTest, SheetsLoadOrAreRefusedBeforeAnyTableIsMade)
{
    const LotusCase cases[] = {
        {"complete", Sheet, SheetRows, nullptr},
        // Release 3 keeps numbers in 80 bits; they arrive as exactly as in a WK1 sheet.
        {"release 3",
         test::readFile(test::dataFile("kunden.wk3")),
         {{u"Größe"_s, u"12345678.91"_s}, {u"-0,1"_s, u"44962433480.87"_s}},
         nullptr,
         {u"Sheet1"_s, u"Sheet2"_s}},
        {"with a password",
         test::readFile(test::dataFile("kunden-passwort.wk3")),
         {},
         "ist passwortgeschützt"},
        {"an unknown version",
         QByteArray(Sheet).replace(4, 2, "\x34\x12"),
         {},
         "ist keine Lotus-1-2-3-Tabelle"},
        // Page header and footer are print settings, not cells: the cells stay as they are.
        {"with a page header and footer",
         QByteArray(Sheet).insert(6, pageText("\x25", "Fuss") + pageText("\x26", "Kopf")),
         SheetRows, nullptr},
        {"a tab in a label moved to AZ2",
         QByteArray(Sheet).replace(QByteArray("\0\0\0\0'M\x81ller", 11),
                                   QByteArray("\x33\0\1\0'M\tller", 11)),
         {},
         "in Zelle AZ2 ein Steuerzeichen"},
        {"a label without its closing NUL",
         QByteArray(Sheet).replace(QByteArray("\x0f\0\x0d\0\xff\0\0\0\0'M\x81ller\0", 17),
                                   QByteArray("\x0f\0\x0c\0\xff\0\0\0\0'M\x81ller", 16)),
         SheetRows, nullptr},
        {"a line break in a release 3 label",
         test::readFile(test::dataFile("kunden.wk3")).replace("zweites", "zwe\r\nes"),
         {},
         "in Zelle A1 ein Steuerzeichen"},
        {"without its end record", Sheet.left(Sheet.size() - 4), {}, "ist unvollständig"},
        {"its first record alone", Sheet.left(6), {}, "ist unvollständig"},
        {"bytes behind the end record", Sheet + "x", {}, "ist unvollständig"},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(u"tabelle.wk1"_s);
    for (const LotusCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeFile(path, c.bytes);
        MemoryDb mem;
        try {
            makeLotusReader()->load(DataSourceLocation{u"Lotus 1-2-3"_s, path, false, {}},
                                    mem.db());
            ASSERT_FALSE(c.error) << "no error";
            ASSERT_EQ(mem.tables(), c.tables);
            EXPECT_EQ(mem.texts(u"Sheet1"_s), c.rows);
            for (const QString& more : c.tables.mid(1))
                EXPECT_EQ(rowTexts(mem.rows(more).at(0)), QStringList{u"zweites"_s});
        } catch (const Error& e) {
            ASSERT_TRUE(c.error) << e.description().toStdString();
            EXPECT_EQ(e.number(), errnum::PathFileAccess);
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.error)))
                << e.description().toStdString();
            EXPECT_TRUE(mem.tables().isEmpty());
        }
    }
}

} // namespace
