// dBase tables are made with shapelib directly, read through the dBase reader, and
// appended to through the dBase writer, then read back both ways.
#include "connectors/backends/filetypes.h"
#include "support/casename.h"

#include "common/error.h"
#include "memorydb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <shapefil.h>

using namespace quendra;
using namespace Qt::StringLiterals;
using quendra::test::MemoryDb;
using quendra::test::rowTexts;

namespace {
using quendra::test::PrintTo; // rows print their name

struct DbfDeleter {
    void operator()(DBFInfo* h) const { DBFClose(h); }
};
using Dbf = std::unique_ptr<DBFInfo, DbfDeleter>;

Dbf createDbf(const QString& path, const char* codePage = "LDID/87")
{
    Dbf dbf(DBFCreateEx(QFile::encodeName(path).constData(), codePage));
    if (!dbf)
        throw std::runtime_error("DBFCreateEx failed");
    return dbf;
}

// The table most tests use: every type the reader knows.
Dbf createKunden(const QString& path)
{
    Dbf dbf = createDbf(path);
    DBFAddNativeFieldType(dbf.get(), "NAME", 'C', 20, 0);
    DBFAddNativeFieldType(dbf.get(), "NR", 'N', 6, 0);
    DBFAddNativeFieldType(dbf.get(), "BETRAG", 'N', 10, 2);
    DBFAddNativeFieldType(dbf.get(), "SEIT", 'D', 8, 0);
    DBFAddNativeFieldType(dbf.get(), "AKTIV", 'L', 1, 0);
    return dbf;
}

void writeRow(DBFInfo* dbf, const std::vector<const char*>& cells)
{
    const int record = DBFGetRecordCount(dbf);
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i])
            DBFWriteAttributeDirectly(dbf, record, int(i), const_cast<char*>(cells[i]));
        else
            DBFWriteNULLAttribute(dbf, record, int(i));
    }
}

DataSourceLocation folderSpec(const QString& dir)
{
    return DataSourceLocation{QStringLiteral("dBase III"), dir, false, {QStringLiteral("dbf")}};
}

class DbaseTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

TEST_F(DbaseTest, ReadsTypedValuesNullsAndTablesInFileNameOrder)
{
    {
        Dbf dbf = createKunden(path("kunden.dbf"));
        // "Müller €" in Windows-1252.
        writeRow(dbf.get(), {"M\xFCller \x80", "    42", "  1234.50", "20240301", "T"});
        // shapelib's NULLs; its NULL number (asterisks) would be refused, so a blank one
        writeRow(dbf.get(), {nullptr, "", "", nullptr, nullptr});
        writeRow(dbf.get(), {"  einger\xFC"
                             "ckt",
                             "    -7", "     -0.05", "19991231", "F"});
        writeRow(dbf.get(), {"gelöscht", "1", "1", "20000101", "T"});
        DBFMarkRecordDeleted(dbf.get(), 3, 1);
    }
    createKunden(path("Artikel.dbf")); // no rows
    QFile(path("liesmich.txt")).open(QIODevice::WriteOnly);

    MemoryDb mem;
    makeDbaseReader()->load(folderSpec(m_dir.path()), mem.db());

    EXPECT_EQ(mem.tables(), (QStringList{u"Artikel"_s, u"kunden"_s}));
    EXPECT_TRUE(mem.rows(u"Artikel"_s).empty());
    EXPECT_EQ(mem.columns(u"kunden"_s),
              (QStringList{u"NAME"_s, u"NR"_s, u"BETRAG"_s, u"SEIT"_s, u"AKTIV"_s}));
    EXPECT_EQ(mem.declaredTypes(u"kunden"_s),
              (QStringList{u"TEXT"_s, u"INTEGER"_s, u"REAL"_s, u"DATE"_s, u"BOOLEAN"_s}));
    const auto rows = mem.rows(u"kunden"_s);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rowTexts(rows[0]),
              (QStringList{u"Müller €"_s, u"42"_s, u"1234.5"_s, u"2024-03-01"_s, u"1"_s}));
    EXPECT_EQ(rowTexts(rows[1]), QStringList(5, u"NULL"_s));
    EXPECT_EQ(rowTexts(rows[2]),
              (QStringList{u"  eingerückt"_s, u"-7"_s, u"-0.05"_s, u"1999-12-31"_s, u"0"_s}));
    EXPECT_EQ(rows[0][1].typeId(), QMetaType::LongLong);
    EXPECT_EQ(rows[0][2].typeId(), QMetaType::Double);
}

struct CodePageCase {
    const char* name;
    const char* codePage; // as DBFCreateEx takes it
    const char* cpgFile;  // contents of a .cpg file, or nullptr
    const char* bytes;    // the stored text
    const char* expected; // UTF-8
};

class DbaseCodePageTest : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(DbaseCodePageTest, DecodesTextByTheFilesCodePage)
{
    const CodePageCase& c = GetParam();
    QTemporaryDir dir;
    {
        Dbf dbf = createDbf(dir.filePath(u"t.dbf"_s), c.codePage);
        DBFAddNativeFieldType(dbf.get(), "TEXT", 'C', 10, 0);
        writeRow(dbf.get(), {c.bytes});
    }
    QFile::remove(dir.filePath(u"t.cpg"_s)); // DBFCreateEx writes one for some pages
    if (c.cpgFile) {
        QFile cpg(dir.filePath(u"t.cpg"_s));
        ASSERT_TRUE(cpg.open(QIODevice::WriteOnly));
        cpg.write(c.cpgFile);
    }
    MemoryDb mem;
    makeDbaseReader()->load(folderSpec(dir.path()), mem.db());
    const auto rows = mem.rows(u"t"_s);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toString(), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, DbaseCodePageTest,
    ::testing::Values(CodePageCase{"Ldid437", "LDID/1", nullptr, "\x8E\x99\x81", "ÄÖü"},
                      CodePageCase{"Ldid850", "LDID/2", nullptr, "\x8E\xE1", "Äß"},
                      CodePageCase{"Ldid1252", "LDID/3", nullptr, "\xC4\x80", "Ä€"},
                      CodePageCase{"Ldid852", "LDID/100", nullptr, "\xAC\x9F", "Čč"},
                      CodePageCase{"Ldid87", "LDID/87", nullptr, "\xC4\x80", "Ä€"},
                      CodePageCase{"NoLdidMeans1252", "", nullptr, "\xC4\x80", "Ä€"},
                      CodePageCase{"CpgUtf8", "", "UTF-8", "\xC3\x84\xE2\x82\xAC", "Ä€"},
                      CodePageCase{"Cpg850", "", "850", "\x8E", "Ä"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCellCase {
    const char* name;
    char type;
    int width;
    int decimals;
    const char* cell;
};

class DbaseBadCellTest : public ::testing::TestWithParam<BadCellCase> {};

// A cell that is not what its column says stops the reading, naming where it is.
TEST_P(DbaseBadCellTest, IsAnErrorNamingFileTableRowAndColumn)
{
    const BadCellCase& c = GetParam();
    QTemporaryDir dir;
    {
        Dbf dbf = createDbf(dir.filePath(u"posten.dbf"_s));
        DBFAddNativeFieldType(dbf.get(), "WERT", c.type, c.width, c.decimals);
        writeRow(dbf.get(), {""});
        writeRow(dbf.get(), {c.cell});
    }
    MemoryDb mem;
    try {
        makeDbaseReader()->load(folderSpec(dir.path()), mem.db());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::TypeMismatch);
        for (const QString& part : {dir.filePath(u"posten.dbf"_s), u"Tabelle posten"_s,
                                    u"Zeile 2, Spalte WERT"_s, QString::fromLatin1(c.cell)})
            EXPECT_TRUE(e.description().contains(part)) << e.description().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Cells, DbaseBadCellTest,
                         ::testing::Values(BadCellCase{"PartlyStars", 'N', 6, 0, "1**"},
                                           BadCellCase{"OnlyStars", 'N', 6, 2, "******"},
                                           BadCellCase{"LettersInAWhole", 'N', 6, 0, "12abc"},
                                           BadCellCase{"LettersInAReal", 'N', 8, 2, "1.5x"},
                                           BadCellCase{"LettersInAWide", 'N', 20, 2, "1-2"},
                                           BadCellCase{"NoSuchDay", 'D', 8, 0, "20230230"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DbaseTest, AppendedRowsReadBackThroughShapelibInTheFilesCodePage)
{
    createKunden(path("kunden.dbf"));
    {
        auto record = makeDbaseWriter()->openTable(folderSpec(m_dir.path()), u"KUNDEN"_s);
        ASSERT_EQ(record->fieldsCount(), 5);
        record->AddNew();
        record->setItem(0, u"Jürgen €"_s);
        record->setItem(1, u"17"_s);
        record->setItem(2, u"1.234,56"_s); // German text, as the engine formats numbers
        record->setItem(3, u"01.03.2024"_s);
        record->setItem(4, true);
        record->update();
        record->AddNew();
        record->setItem(0, QVariant());
        record->setItem(2, 0.5);
        record->setItem(3, QDate(2023, 12, 24));
        record->update();
    }
    {
        Dbf dbf(DBFOpen(QFile::encodeName(path("kunden.dbf")).constData(), "rb"));
        ASSERT_EQ(DBFGetRecordCount(dbf.get()), 2);
        EXPECT_STREQ(DBFReadStringAttribute(dbf.get(), 0, 0), "J\xFCrgen \x80");
        EXPECT_EQ(DBFReadIntegerAttribute(dbf.get(), 0, 1), 17);
        EXPECT_DOUBLE_EQ(DBFReadDoubleAttribute(dbf.get(), 0, 2), 1234.56);
        EXPECT_STREQ(DBFReadStringAttribute(dbf.get(), 0, 3), "20240301");
        EXPECT_TRUE(DBFIsAttributeNULL(dbf.get(), 1, 0));
        EXPECT_TRUE(DBFIsAttributeNULL(dbf.get(), 1, 1));
        EXPECT_TRUE(DBFIsAttributeNULL(dbf.get(), 1, 4));
    }
}

struct BadRowCase {
    const char* name;
    int ordinal;
    QVariant value;
    qint32 expectedError;
};

class DbaseBadRowTest : public ::testing::TestWithParam<BadRowCase> {};

// A row with one bad value is refused as a whole: nothing of it reaches the file.
TEST_P(DbaseBadRowTest, RefusesTheRowAndLeavesTheFileAsItWas)
{
    const BadRowCase& c = GetParam();
    QTemporaryDir dir;
    const QString file = dir.filePath(u"kunden.dbf"_s);
    createKunden(file);
    QByteArray before;
    {
        auto record = makeDbaseWriter()->openTable(folderSpec(dir.path()), u"kunden"_s);
        record->AddNew();
        record->setItem(0, u"vorher"_s);
        record->update();
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        before = f.readAll();
        try {
            record->AddNew();
            record->setItem(0, u"neu"_s);
            record->setItem(c.ordinal, c.value);
            record->update();
            FAIL() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), c.expectedError) << e.description().toStdString();
        }
    }
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), before);
}

INSTANTIATE_TEST_SUITE_P(
    BadValues, DbaseBadRowTest,
    ::testing::Values(BadRowCase{"TextTooLong", 0, QString(21, u'x'), errnum::Overflow},
                      BadRowCase{"NumberTooWide", 1, 1234567, errnum::Overflow},
                      BadRowCase{"TooManyDecimals", 2, 0.125, errnum::Overflow},
                      BadRowCase{"OrdinalPastTheEnd", 5, u"x"_s, errnum::ItemNotFound}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DbaseTest, MissingTableIsRefusedWithoutCreatingAFile)
{
    try {
        makeDbaseWriter()->openTable(folderSpec(m_dir.path()), u"fehlt"_s);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::FileNotFound);
        EXPECT_TRUE(e.description().contains(u"fehlt"_s));
    }
    EXPECT_TRUE(QDir(m_dir.path()).isEmpty());
}

} // namespace
