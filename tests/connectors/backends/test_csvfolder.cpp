// Text tables: files written byte by byte and read through the text-folder reader. Appended
// rows and refused ones: the golden cases text_folder_* and fail_text_folder_* (tests/data/engine).
#include "connectors/backends/filetypes.h"
#include "support/casetable.h"
#include "support/filebytes.h"
#include "support/fulldisk.h"

#include "common/error.h"
#include "memorydb.h"
#include "support/thrown.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;
using quendra::test::MemoryDb;

namespace {
using quendra::test::writeFile;

DataSourceLocation textSpec(const QString& dir, bool header)
{
    return DataSourceLocation{QStringLiteral("Text"), dir, header, tableFileSuffixes(u"Text"_s)};
}

TEST(CsvParseTest, ReadsColumnsAndRows)
{
    for (const test::CaseRow& c : test::caseTable(u"connectors/csv-files.tsv"_s)) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        writeFile(dir.filePath(u"daten.csv"_s), QStringEncoder("windows-1252")(c[1]));
        MemoryDb mem;
        if (!c[4].isEmpty()) {
            const Error e = test::thrownBy(
                [&] { TextType.makeReader()->load(textSpec(dir.path(), c.flag(0)), mem.db()); });
            EXPECT_TRUE(
                e.description().contains(dir.filePath(u"daten.csv"_s) + u" ist in "_s + c[4]))
                << e.description().toStdString();
            continue;
        }
        TextType.makeReader()->load(textSpec(dir.path(), c.flag(0)), mem.db());
        EXPECT_EQ(mem.tables(), QStringList{u"daten"_s});
        EXPECT_EQ(mem.columns(u"daten"_s).join(u'\t'), c[2]);
        QString rows;
        for (const QStringList& row : mem.texts(u"daten"_s))
            rows += row.join(u'\t') + u'\n';
        EXPECT_EQ(rows, c[3]);
    }
}

TEST(CsvFolderTest, TablesFollowFileNamesAndOnlyTextFilesCount)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(u"b.TXT"_s), "x\r\n1\r\n");
    writeFile(dir.filePath(u"a.txt"_s), "x\r\n2\r\n");
    writeFile(dir.filePath(u"a.csv"_s), "x\r\n3\r\n");
    writeFile(dir.filePath(u"c.xls"_s), "x\r\n4\r\n");
    writeFile(dir.filePath(u"a#txt.csv"_s), "x\r\n5\r\n"); // takes the name a.txt would get
    MemoryDb mem;
    TextType.makeReader()->load(textSpec(dir.path(), true), mem.db());
    EXPECT_EQ(mem.tables(), (QStringList{u"a#txt"_s, u"a"_s, u"a#txt2"_s, u"b"_s}));
    EXPECT_EQ(mem.rows(u"a#txt2"_s).at(0).at(0).toString(), u"2"_s);
}

// At run level the reader finds a missing table first; the writer refuses it too (the
// folder writers of dBase and Paradox share the refusal).
TEST(CsvFolderTest, RefusesAMissingFileWithoutMakingOne)
{
    QTemporaryDir dir;
    const Error e = test::thrownBy(
        [&] { TextType.makeWriter()->openTable(textSpec(dir.path(), false), u"neu"_s); });
    EXPECT_EQ(e.number(), errnum::FileNotFound);
    EXPECT_TRUE(e.description().contains(u"neu"_s));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// A disk that takes no more bytes ends the write with an error, not with a row lost.
TEST(CsvFolderTest, ARowTheDiskRefusesIsAnError)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(u"werte.csv"_s), "a,b\r\n");
    auto record = TextType.makeWriter()->openTable(textSpec(dir.path(), true), u"werte"_s);
    test::FullDisk full(5); // the file's size: it cannot grow
    record->AddNew();
    record->setItem(0, u"1"_s);
    EXPECT_THROW(record->update(), Error);
}

} // namespace
