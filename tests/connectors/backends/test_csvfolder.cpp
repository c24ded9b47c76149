// Text tables: files written byte by byte and read through the text-folder reader. Appended
// rows and refused ones: the golden cases text_folder_* and fail_text_folder_* (tests/data/engine).
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

namespace {
using quendra::test::PrintTo; // rows print their name
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
    EXPECT_EQ(mem.texts(u"daten"_s), c.rows);
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

// At run level the reader finds a missing table first; the writer refuses it too.
TEST(CsvFolderTest, RefusesAMissingFileWithoutMakingOne)
{
    QTemporaryDir dir;
    try {
        makeCsvFolderWriter()->openTable(textSpec(dir.path(), false), u"neu"_s);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::FileNotFound);
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

} // namespace
