// The spreadsheet readers on tests/data/files/quendra-test.xls, .xlsx and .ods (made by
// make-xls.sh there).
#include "connectors/backends/filetypes.h"

#include "memorydb.h"

#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;
using quendra::test::MemoryDb;

namespace {

// The same sheets saved by LibreOffice in each format, read under each file type that
// reads it: a definition keeps working when its workbook is saved in the other format.
struct Workbook {
    const char* name;
    const char* file;
    std::unique_ptr<FileTypeReader> (*reader)();
};

class Workbooks : public ::testing::TestWithParam<Workbook> {
protected:
    void load(bool header)
    {
        const QString path =
            QStringLiteral(QUENDRA_TEST_DATA_DIR "/files/") + QString::fromLatin1(GetParam().file);
        GetParam().reader()->load(DataSourceLocation{{}, path, header, {}}, mem.db());
    }
    MemoryDb mem;
};

TEST_P(Workbooks, SheetsAreTablesWithHeaderNamesAndTypedColumns)
{
    load(true);
    EXPECT_EQ(mem.tables(), (QStringList{u"Kunden"_s, u"Artikel"_s}));
    EXPECT_EQ(mem.columns(u"Kunden"_s),
              (QStringList{u"Name"_s, u"Ort"_s, u"Umsatz"_s, u"Seit"_s, u"Anzahl"_s}));
    EXPECT_EQ(mem.declaredTypes(u"Kunden"_s),
              (QStringList{u"TEXT"_s, u"TEXT"_s, u""_s, u"DATE"_s, u"INTEGER"_s}));
    EXPECT_EQ(
        mem.texts(u"Kunden"_s),
        (std::vector<QStringList>{{u"Müller"_s, u"Köln"_s, u"1234.56"_s, u"2024-03-01"_s, u"3"_s},
                                  {u"Weiß €"_s, u"NULL"_s, u"0.5"_s, u"1999-12-31"_s, u"12"_s}}));
    // A column of numbers and text keeps both, as text.
    EXPECT_EQ(mem.declaredTypes(u"Artikel"_s),
              (QStringList{u"INTEGER"_s, u"TEXT"_s, u""_s, u"TEXT"_s}));
    EXPECT_EQ(mem.texts(u"Artikel"_s),
              (std::vector<QStringList>{{u"1"_s, u"Bügeleisen"_s, u"19.99"_s, u"17"_s},
                                        {u"2"_s, u"Töpfe-Set €"_s, u"49.5"_s, u"A-5"_s}}));
}

TEST_P(Workbooks, WithoutHeaderTheFirstRowIsDataAndColumnsAreNumbered)
{
    load(false);
    EXPECT_EQ(mem.columns(u"Artikel"_s), (QStringList{u"F1"_s, u"F2"_s, u"F3"_s, u"F4"_s}));
    const auto rows = mem.texts(u"Artikel"_s);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (QStringList{u"Nr"_s, u"Bezeichnung"_s, u"Preis"_s, u"Code"_s}));
    EXPECT_EQ(rows[2], (QStringList{u"2"_s, u"Töpfe-Set €"_s, u"49,5"_s, u"A-5"_s}));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Workbooks,
    ::testing::Values(Workbook{"Excel97", "quendra-test.xls", Excel8Type.makeReader},
                      Workbook{"Excel97AsExcel2007", "quendra-test.xls", Excel12Type.makeReader},
                      Workbook{"Excel2007", "quendra-test.xlsx", Excel12Type.makeReader},
                      Workbook{"Excel2007AsExcel97", "quendra-test.xlsx", Excel8Type.makeReader},
                      Workbook{"OpenDocument", "quendra-test.ods", OpenDocumentType.makeReader}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
