// Text tables: files written byte by byte, read through the text-folder reader, and
// appended to through its writer.
#include "connectors/backends/filetypes.h"
#include "support/casename.h"
#include "support/filebytes.h"

#include "common/error.h"
#include "memorydb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;
using quendra::test::MemoryDb;
using quendra::test::rowTexts;

namespace {
using quendra::test::PrintTo; // rows print their name
using quendra::test::readFile;
using quendra::test::writeFile;

DataSourceLocation textSpec(const QString& dir, bool header)
{
    return DataSourceLocation{QStringLiteral("Text"), dir, header, tableFileSuffixes(u"Text"_s)};
}

struct ParseCase {
    const char* name;
    QByteArray bytes;
    bool header;
    QStringList columns;
    std::vector<QStringList> rows;
    const char* error = nullptr; // what the error names, instead of columns and rows
};

class CsvParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CsvParseTest, ReadsColumnsAndRows)
{
    const ParseCase& c = GetParam();
    QTemporaryDir dir;
    writeFile(dir.filePath(u"daten.csv"_s), c.bytes);
    MemoryDb mem;
    if (c.error) {
        try {
            makeCsvFolderReader()->load(textSpec(dir.path(), c.header), mem.db());
            FAIL() << "no error";
        } catch (const Error& e) {
            EXPECT_TRUE(e.description().contains(dir.filePath(u"daten.csv"_s) + u" ist in "_s +
                                                 QString::fromUtf8(c.error)))
                << e.description().toStdString();
        }
        return;
    }
    makeCsvFolderReader()->load(textSpec(dir.path(), c.header), mem.db());
    ASSERT_EQ(mem.tables(), QStringList{u"daten"_s});
    EXPECT_EQ(mem.columns(u"daten"_s), c.columns);
    std::vector<QStringList> rows;
    for (const QVariantList& row : mem.rows(u"daten"_s))
        rows.push_back(rowTexts(row));
    EXPECT_EQ(rows, c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CsvParseTest,
    ::testing::Values(
        ParseCase{"QuotesCommasAndDoubledQuotes",
                  "Name,Zitat\r\n\"M\xFCller, Hans\",\"Sagt \"\"Hallo\"\"\"\r\n",
                  true,
                  {u"Name"_s, u"Zitat"_s},
                  {{u"Müller, Hans"_s, u"Sagt \"Hallo\""_s}}},
        ParseCase{"LineBreakInsideQuotes",
                  "a,b\r\n\"Zeile 1\r\nZeile 2\",x\r\n",
                  true,
                  {u"a"_s, u"b"_s},
                  {{u"Zeile 1\r\nZeile 2"_s, u"x"_s}}},
        ParseCase{"HeaderOffNumbersColumns",
                  "1,2\n3,4\n",
                  false,
                  {u"F1"_s, u"F2"_s},
                  {{u"1"_s, u"2"_s}, {u"3"_s, u"4"_s}}},
        ParseCase{"EmptyFieldsAreNullAndShortRowsPadded",
                  "a,b,c\r\n,\"\",x\r\ny\r\n",
                  true,
                  {u"a"_s, u"b"_s, u"c"_s},
                  {{u"NULL"_s, u"NULL"_s, u"x"_s}, {u"y"_s, u"NULL"_s, u"NULL"_s}}},
        ParseCase{"EmptyValueBeyondTheHeaderGetsNumberedColumn",
                  "a\r\n1,\r\n",
                  true,
                  {u"a"_s, u"F2"_s},
                  {{u"1"_s, u"NULL"_s}}},
        ParseCase{"ValueBeyondTheHeader", "a\r\n\"1\n\",\r\n1,2\r\n", true, {}, {}, "Zeile 4"},
        ParseCase{"UnclosedQuote", "a,b\r\n\r1,\"x,2\n3,y,4\r\n", true, {}, {}, "Zeile 3"},
        ParseCase{"BlankLinesAndMissingFinalBreak",
                  "a\r\n\r\n1\r\n\r\n2",
                  true,
                  {u"a"_s},
                  {{u"1"_s}, {u"2"_s}}},
        ParseCase{"NumbersStayTextWithLeadingZeros",
                  "plz,betrag\r\n01067,\"12,50\"\r\n",
                  true,
                  {u"plz"_s, u"betrag"_s},
                  {{u"01067"_s, u"12,50"_s}}},
        ParseCase{"Windows1252Euro", "w\r\n\x80 5\r\n", true, {u"w"_s}, {{u"€ 5"_s}}},
        ParseCase{
            "Utf8ByteOrderMark", "\xEF\xBB\xBFw\r\n\xE2\x82\xAC\r\n", true, {u"w"_s}, {{u"€"_s}}},
        ParseCase{"EmptyAndRepeatedHeaderNames",
                  "a,,A\r\n1,2,3\r\n",
                  true,
                  {u"a"_s, u"F2"_s, u"A3"_s},
                  {{u"1"_s, u"2"_s, u"3"_s}}},
        ParseCase{"EmptyFile", "", true, {u"F1"_s}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvFolderTest, TablesFollowFileNamesAndOnlyTextFilesCount)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(u"b.TXT"_s), "x\r\n1\r\n");
    writeFile(dir.filePath(u"a.txt"_s), "x\r\n2\r\n");
    writeFile(dir.filePath(u"a.csv"_s), "x\r\n3\r\n");
    writeFile(dir.filePath(u"c.xls"_s), "x\r\n4\r\n");
    MemoryDb mem;
    makeCsvFolderReader()->load(textSpec(dir.path(), true), mem.db());
    EXPECT_EQ(mem.tables(), (QStringList{u"a"_s, u"a#txt"_s, u"b"_s}));
    EXPECT_EQ(mem.rows(u"a#txt"_s).at(0).at(0).toString(), u"2"_s);
}

TEST(CsvFolderTest, AppendsQuotedLinesInWindows1252AndReadsThemBack)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"ziel.csv"_s);
    writeFile(file, "Name,Betrag,Datum,Notiz"); // no line break after the last line
    {
        auto record = makeCsvFolderWriter()->openTable(textSpec(dir.path(), false), u"ziel"_s);
        ASSERT_EQ(record->fieldsCount(), 4);
        record->AddNew();
        record->setItem(0, u"Müller, \"Hans\""_s);
        record->setItem(1, 12.5);
        record->setItem(2, QDate(2024, 3, 1));
        record->setItem(3, u"€ł"_s); // no "ł" in Windows-1252
        record->update();
        record->AddNew();
        record->setItem(0, u" mit Leerzeichen"_s);
        record->update();
    }
    EXPECT_EQ(readFile(file), QByteArray("Name,Betrag,Datum,Notiz\r\n"
                                         "\"M\xFCller, \"\"Hans\"\"\",\"12,5\",01.03.2024,\x80?\r\n"
                                         "\" mit Leerzeichen\",,,\r\n"));
    MemoryDb mem;
    makeCsvFolderReader()->load(textSpec(dir.path(), true), mem.db());
    const auto rows = mem.rows(u"ziel"_s);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rowTexts(rows[0]),
              (QStringList{u"Müller, \"Hans\""_s, u"12,5"_s, u"01.03.2024"_s, u"€?"_s}));
    EXPECT_EQ(rowTexts(rows[1]),
              (QStringList{u" mit Leerzeichen"_s, u"NULL"_s, u"NULL"_s, u"NULL"_s}));
}

TEST(CsvFolderTest, EmptyFileTakesAsManyColumnsAsTheRowsBring)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"leer.txt"_s);
    writeFile(file, "");
    auto record = makeCsvFolderWriter()->openTable(textSpec(dir.path(), false), u"leer.txt"_s);
    EXPECT_EQ(record->fieldsCount(), 0);
    record->AddNew();
    record->setItem(2, u"c"_s);
    record->update();
    EXPECT_EQ(record->fieldsCount(), 3);
    EXPECT_EQ(readFile(file), QByteArray(",,c\r\n"));
}

TEST(CsvFolderTest, RefusesMissingFilesAndColumnsPastTheHeader)
{
    QTemporaryDir dir;
    try {
        makeCsvFolderWriter()->openTable(textSpec(dir.path(), false), u"neu"_s);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::FileNotFound);
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    writeFile(dir.filePath(u"z.csv"_s), "a,b\r\n");
    auto record = makeCsvFolderWriter()->openTable(textSpec(dir.path(), false), u"z#csv"_s);
    record->AddNew();
    try {
        record->setItem(2, u"x"_s);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::ItemNotFound);
    }
}

} // namespace
