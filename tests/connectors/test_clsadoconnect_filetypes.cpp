// Conversions from and to the database file types (CSV folder, dBase, Paradox, Excel,
// Access), and the clear refusals where this platform cannot write or read a type.
#include "common/functions.h"
#include "common/globals.h"
#include "endtoend.h"
#include "support/tempconfigdb.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringEncoder>
#include <cstdlib>
#include <gtest/gtest.h>
#include <shapefil.h>
extern "C" { // pxlib declares its functions without C linkage for C++
#include <paradox.h>
}

using namespace quendra;
using namespace quendra::test;

namespace {

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
    ASSERT_NE(dbf, nullptr);
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

// An empty Paradox table with the same five columns.
void createParadox(const QString& path)
{
    pxdoc_t* doc = PX_new();
    auto* f = static_cast<pxfield_t*>(doc->malloc(doc, 5 * sizeof(pxfield_t), "test"));
    f[0] = {PX_strdup(doc, "NR"), pxfLong, 4, 0};
    f[1] = {PX_strdup(doc, "NAME"), pxfAlpha, 40, 0};
    f[2] = {PX_strdup(doc, "BETRAG"), pxfNumber, 8, 0};
    f[3] = {PX_strdup(doc, "DATUM"), pxfDate, 4, 0};
    f[4] = {PX_strdup(doc, "NOTIZ"), pxfAlpha, 40, 0};
    ASSERT_GE(PX_create_file(doc, f, 5, QFile::encodeName(path).constData(), pxfFileTypNonIndexDB),
              0);
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

const QString Workbook = QStringLiteral(QUENDRA_TEST_DATA_DIR "/files/quendra-test.xls");

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FileTypes : public ::testing::Test {
protected:
    QString folder(const char* name) const
    {
        const QString path = config.filePath(QString::fromLatin1(name));
        QDir().mkpath(path);
        return path;
    }

    TempConfigDb config;
};

TEST_F(FileTypes, CsvTextToDbase)
{
    const QString src = folder("quelle");
    const QString trg = folder("ziel");
    QFile csv(src + QStringLiteral("/kunden.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write(ansi("nr,name,betrag,datum,notiz\r\n1,Müller,\"12,5\",31.12.2005,\r\n"
                   "2,Zoë € Straße,\"-1234,75\",29.02.2024,x\r\n3,,,,leer\r\n"));
    csv.close();
    createDbf(trg + QStringLiteral("/ziel.dbf"), {});
    storeDefinition(config, {2, src, QStringLiteral("Text"), QStringLiteral("$TBL(1)"), {}, true},
                    {2, trg, QStringLiteral("dBase III"), QStringLiteral("ziel")}, TypedFields);

    const auto boxes = runDefinition();
    EXPECT_TRUE(boxes.empty()) << boxesText(boxes).toStdString();
    EXPECT_EQ(readBack(getADOProvider(2, trg, QStringLiteral("dBase III"), false),
                       QStringLiteral("ziel")),
              ExpectedTypedRows);
}

TEST_F(FileTypes, DbaseToParadox)
{
    const QString src = folder("quelle");
    const QString trg = folder("ziel");
    createDbf(src + QStringLiteral("/kunden.dbf"),
              {{"1", "Müller", "12.50", "20051231", nullptr},
               {"2", "Zoë € Straße", "-1234.75", "20240229", "x"},
               {"3", nullptr, nullptr, nullptr, "leer"}});
    createParadox(trg + QStringLiteral("/ziel.db"));
    storeDefinition(config, {2, src, QStringLiteral("dBase III"), QStringLiteral("kunden")},
                    {2, trg, QStringLiteral("Paradox 5.0"), QStringLiteral("ziel")}, TypedFields);

    const auto boxes = runDefinition();
    EXPECT_TRUE(boxes.empty()) << boxesText(boxes).toStdString();
    // The source as read: the NULLs of the third row stay empty.
    EXPECT_EQ(
        readBack(getADOProvider(2, src, QStringLiteral("dBase III"), false),
                 QStringLiteral("kunden")),
        (QStringList{ExpectedTypedRows[0], ExpectedTypedRows[1], QStringLiteral("3||||leer")}));
    EXPECT_EQ(readBack(getADOProvider(2, trg, QStringLiteral("Paradox 5.0"), false),
                       QStringLiteral("ziel")),
              ExpectedTypedRows);
}

TEST_F(FileTypes, ExcelToTextFile)
{
    const QString out = config.filePath(QStringLiteral("out.txt"));
    storeDefinition(config,
                    {2, Workbook, QStringLiteral("MS Excel 8.0"), QStringLiteral("Kunden"),
                     QStringLiteral("select Name, Ort, Umsatz, Seit, Anzahl from $TBL(kun)"), true},
                    {0, out, {}, {}}, TextFields);

    const auto boxes = runDefinition();
    EXPECT_TRUE(boxes.empty()) << boxesText(boxes).toStdString();
    EXPECT_EQ(readAnsiLines(out), (QStringList{QStringLiteral("Müller;Köln;1234,56;01.03.2024;3"),
                                               QStringLiteral("Weiß €;;0,5;31.12.1999;12")}));
}

TEST_F(FileTypes, AccessJetToTextFile)
{
    const QString mdb = monitorMdb();
    if (mdb.isEmpty())
        GTEST_SKIP() << "Monitor.mdb fehlt: scripts/fetch-fixtures.sh build/fixtures ausführen";
    const QString out = config.filePath(QStringLiteral("out.txt"));
    storeDefinition(config,
                    {2,
                     mdb,
                     QStringLiteral("MS Access"),
                     {},
                     QStringLiteral("select ID, LineSpeed, EMail_Address, LastVisit, Comment "
                                    "from $TBL(1)")},
                    {0, out, {}, {}}, TextFields);

    const auto boxes = runDefinition();
    EXPECT_TRUE(boxes.empty()) << boxesText(boxes).toStdString();
    EXPECT_EQ(readAnsiLines(out),
              QStringList{QStringLiteral("1;33600;nobody@sunnyline.co.za;17.06.2000 20:36:24;"
                                         "Example Circuit Added For Monitor Example To Potential "
                                         "New Clients")});
}

// A target this platform cannot write: the run ends with the clear error, and the
// target folder or file is exactly as before.
struct RefusedTarget {
    const char* name;
    const char* fileType;
    const char* textPart;
};

void PrintTo(const RefusedTarget& c, std::ostream* os)
{
    *os << c.name;
}

class RefusedTargets : public FileTypes, public ::testing::WithParamInterface<RefusedTarget> {};

TEST_P(RefusedTargets, ClearErrorAndNothingWritten)
{
    const RefusedTarget& c = GetParam();
    const QString src = config.filePath(QStringLiteral("src.txt"));
    writeAnsiLines(src, {ExpectedTextLines.first()});
    const QString fileType = QString::fromLatin1(c.fileType);
    QString target;
    if (fileType == u"MS Access") {
        const QString mdb = monitorMdb();
        if (mdb.isEmpty())
            GTEST_SKIP() << "Monitor.mdb fehlt: scripts/fetch-fixtures.sh build/fixtures ausführen";
        target = config.filePath(QStringLiteral("ziel.mdb"));
        ASSERT_TRUE(QFile::copy(mdb, target));
    } else if (fileType == u"MS Excel 8.0") {
        target = config.filePath(QStringLiteral("ziel.xls"));
        ASSERT_TRUE(QFile::copy(Workbook, target));
    } else {
        target = folder("ziel");
    }
    const QByteArray before = fileBytes(target);
    const QStringList filesBefore = QDir(config.dir()).entryList(QDir::AllEntries);
    storeDefinition(config, {0, src, {}, {}}, {2, target, fileType, QStringLiteral("$TBL(1)")},
                    TextFields);

    const auto boxes = runDefinition();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains(QString::fromUtf8(c.textPart)))
        << boxes[0].text.toStdString();
    EXPECT_EQ(fileBytes(target), before);
    EXPECT_EQ(QDir(config.dir()).entryList(QDir::AllEntries), filesBefore);
    EXPECT_TRUE(QDir(target).isEmpty() || !QFileInfo(target).isDir());
}

INSTANTIATE_TEST_SUITE_P(
    Types, RefusedTargets,
    ::testing::Values(
        RefusedTarget{"AccessJet", "MS Access",
                      "Access-Datenbanken (Jet/ACE) können hier nur "
                      "gelesen werden"},
        RefusedTarget{"Excel", "MS Excel 8.0", "Excel-8.0-Dateien können hier nur gelesen werden"},
        RefusedTarget{"Lotus", "Lotus 1-2-3", "Lotus-1-2-3-Dateien können hier nicht gelesen"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileTypes, LotusSourceIsRefusedBeforeAnyTargetExists)
{
    const QString out = config.filePath(QStringLiteral("out.txt"));
    storeDefinition(config,
                    {2, config.filePath(QStringLiteral("alt.wk3")), QStringLiteral("Lotus 1-2-3"),
                     QStringLiteral("A")},
                    {0, out, {}, {}}, TextFields);
    const auto boxes = runDefinition();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("als CSV (Dateityp \"Text\")")));
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
