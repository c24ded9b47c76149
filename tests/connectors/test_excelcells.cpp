// Spreadsheet sources, cell by cell against readers that share no code with Quendra's:
// workbooks with notes above the header row, columns whose cells differ in kind, dates,
// date-times, logicals, formula results and empty cells, in both Excel date systems,
// and long formula text results stored in several records, and a sheet behind 7.5 MB, made by
// tests/data/files/xls-workbooks.py (xlwt) and xlsx-workbooks.py (openpyxl, xlsxwriter), read
// by sheet-cells.py (xlrd, openpyxl).
#include "common/error.h"
#include "common/globals.h"
#include "connectors/backends/filetypes.h"
#include "connectors/backends/memorydb.h"
#include "filefixtures.h"
#include "support/casename.h"
#include "support/skip.h"
#include "support/thrown.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {
using quendra::test::PrintTo; // rows print their name

const QString Scripts = QStringLiteral(QUENDRA_TEST_DATA_DIR "/files/");

// Runs one of the Python scripts with Debian's interpreter, which has the packaged
// modules; empty on failure, with the reason in error.
QString runPython(const QStringList& arguments, QString& error)
{
    QProcess python;
    python.start(u"/usr/bin/python3"_s, arguments);
    if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit ||
        python.exitCode() != 0) {
        error = QString::fromUtf8(python.readAllStandardError()) + python.errorString();
        return {};
    }
    return QString::fromUtf8(python.readAllStandardOutput());
}

struct SheetCase {
    const char* name;
    const char* workbook;
    const char* sheet;
};

class ExcelCells : public ::testing::TestWithParam<SheetCase> {
protected:
    static void SetUpTestSuite()
    {
        initGlobals(u"/nonexistent/init.mdb"_s);
        folder = new QTemporaryDir;
        for (const char* script : {"xls-workbooks.py", "xlsx-workbooks.py"}) {
            if (missing.isEmpty())
                runPython({Scripts + QLatin1String(script), folder->path()}, missing);
        }
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }

    static QTemporaryDir* folder;
    static QString missing; // why the workbooks could not be made
};

QTemporaryDir* ExcelCells::folder = nullptr;
QString ExcelCells::missing;

TEST_P(ExcelCells, EveryCellAsTheIndependentReaderSeesIt)
{
    if (!missing.isEmpty())
        QUENDRA_SKIP() << "python3-xlwt/-xlrd/-openpyxl/-xlsxwriter fehlen (install-deps.sh): "
                       << missing.toStdString();
    const QString path = folder->filePath(QString::fromLatin1(GetParam().workbook));
    const QString sheet = QString::fromLatin1(GetParam().sheet);
    QString error;
    QStringList expected = runPython({Scripts + u"sheet-cells.py"_s, path, sheet}, error)
                               .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_FALSE(expected.isEmpty());
    expected.removeFirst(); // the header row names the columns

    // Read as a whole (the way SQL text can filter it) and, where the file type can,
    // straight from the file once through: the same texts either way.
    int width = 0;
    EXPECT_EQ(test::workbookRows(path, sheet, false, width), expected);
    if (path.endsWith(u".xlsx")) {
        EXPECT_EQ(test::workbookRows(path, sheet, true, width), expected);
    }
}

// Numbers in the header row name their columns as they are shown.
TEST_F(ExcelCells, NumbersInTheHeaderRowNameTheirColumns)
{
    if (!missing.isEmpty())
        GTEST_SKIP() << "python3-xlwt fehlt (scripts/install-deps.sh): " << missing.toStdString();
    test::MemoryDb mem;
    Excel8Type.makeReader()->load(
        DataSourceLocation{u"MS Excel 8.0"_s, folder->filePath(u"mixed-1900.xls"_s), true, {}},
        mem.db());
    EXPECT_EQ(mem.columns(u"Formate"_s),
              (QStringList{u"Stunden"_s, u"Saldo"_s, u"2024"_s, u"2,5"_s}));
}

// A text result whose pieces hold fewer or more characters than announced, or whose
// STRING record is missing, ends in an error naming the sheet and the cell, never in a
// text cut short, run on or left empty.
TEST_F(ExcelCells, TextResultsThatDoNotAddUpEndInAnErrorNamingTheCell)
{
    if (!missing.isEmpty())
        GTEST_SKIP() << "python3-xlwt fehlt (scripts/install-deps.sh): " << missing.toStdString();
    for (const char* workbook :
         {"text-missing-piece.xls", "text-extra-piece.xls", "text-no-string-text.xls",
          "text-no-string-whole.xls", "text-no-string-wholes.xls", "text-no-string-fraction.xls",
          "text-no-string-logical.xls", "text-no-string-blank.xls", "text-no-string-blanks.xls",
          "text-no-string-formula.xls"}) {
        const QString path = folder->filePath(QString::fromLatin1(workbook));
        test::MemoryDb mem;
        const Error e = test::thrownBy([&] {
            Excel8Type.makeReader()->load(DataSourceLocation{u"MS Excel 8.0"_s, path, true, {}},
                                          mem.db());
        });
        EXPECT_EQ(e.number(), errnum::PathFileAccess) << workbook;
        EXPECT_TRUE(e.description().contains(u"Tabelle \"Texte\", Zelle B2"_s))
            << workbook << ": " << e.description().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Workbooks, ExcelCells,
    ::testing::Values(SheetCase{"mixed1900Notizen", "mixed-1900.xls", "Notizen"},
                      SheetCase{"mixed1900Typen", "mixed-1900.xls", "Typen"},
                      SheetCase{"mixed1900Formate", "mixed-1900.xls", "Formate"},
                      SheetCase{"mixed1900Fehler", "mixed-1900.xls", "Fehler"},
                      SheetCase{"mixed1904Notizen", "mixed-1904.xls", "Notizen"},
                      SheetCase{"mixed1904Typen", "mixed-1904.xls", "Typen"},
                      SheetCase{"textsTexte", "texts.xls", "Texte"},
                      SheetCase{"large", "large.xls", "Danach"},
                      SheetCase{"openpyxlNotizen", "openpyxl.xlsx", "Notizen"},
                      SheetCase{"openpyxl1904Notizen", "openpyxl-1904.xlsx", "Notizen"},
                      SheetCase{"openpyxl1904Typen", "openpyxl-1904.xlsx", "Typen"},
                      SheetCase{"xlsxwriterFormeln", "xlsxwriter.xlsx", "Formeln"},
                      SheetCase{"xlsxwriterInline", "xlsxwriter-inline.xlsx", "Formeln"}),
    test::caseName);

} // namespace
