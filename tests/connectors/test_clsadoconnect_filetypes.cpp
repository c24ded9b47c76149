// Conversions from and to the database file types (CSV folder, dBase, Paradox, Excel,
// Lotus, Access), and the clear refusals where this platform cannot write or read a type.
#include "common/functions.h"
#include "common/globals.h"
#include "connectors/filetypes.h"
#include "endtoend.h"
#include "filefixtures.h"
#include "support/skip.h"
#include "support/tempconfigdb.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace quendra;
using namespace quendra::test;

namespace {

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
                    {2, workbook(), QStringLiteral("MS Excel 8.0"), QStringLiteral("Kunden"),
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
        QUENDRA_SKIP() << "Monitor.mdb fehlt: scripts/fetch-fixtures.sh build/fixtures ausführen";
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
            QUENDRA_SKIP()
                << "Monitor.mdb fehlt: scripts/fetch-fixtures.sh build/fixtures ausführen";
        target = config.filePath(QStringLiteral("ziel.mdb"));
        ASSERT_TRUE(QFile::copy(mdb, target));
    } else if (fileType == u"MS Excel 8.0") {
        target = config.filePath(QStringLiteral("ziel.xls"));
        ASSERT_TRUE(QFile::copy(workbook(), target));
    } else if (fileType == u"Lotus 1-2-3") {
        target = config.filePath(QStringLiteral("ziel.wk1"));
        QFile sheet(target);
        ASSERT_TRUE(sheet.open(QIODevice::WriteOnly));
        sheet.write(lotusWk1());
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
        RefusedTarget{"Lotus", "Lotus 1-2-3", "Lotus-1-2-3-Dateien können hier nur gelesen"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileTypes, LotusToTextFile)
{
    const QString sheet = config.filePath(QStringLiteral("alt.wk1"));
    QFile file(sheet);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(lotusWk1());
    file.close();
    const QString out = config.filePath(QStringLiteral("out.txt"));
    storeDefinition(config,
                    {2,
                     sheet,
                     QStringLiteral("Lotus 1-2-3"),
                     {},
                     QStringLiteral("select F1, F2, F3, '' as a, '' as b from $TBL(1)")},
                    {0, out, {}, {}}, TextFields);

    const auto boxes = runDefinition();
    EXPECT_TRUE(boxes.empty()) << boxesText(boxes).toStdString();
    EXPECT_EQ(readAnsiLines(out), (QStringList{QStringLiteral("Müller;42;01.03.2024;;"),
                                               QStringLiteral("12345678,91;44962433480,87;7;;"),
                                               QStringLiteral("-0,1;1000000000000000;;;")}));
}

} // namespace
