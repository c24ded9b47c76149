// dBase tables made with shapelib directly and read through the dBase reader. Code pages,
// damaged cells and appended rows: the golden cases dbase_* and fail_dbase_* (tests/data/engine).
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "memorydb.h"
#include "support/filebytes.h"
#include "support/fulldisk.h"
#include "support/thrown.h"

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

struct DbfDeleter {
    void operator()(DBFInfo* h) const { DBFClose(h); }
};
using Dbf = std::unique_ptr<DBFInfo, DbfDeleter>;

// A table of every type the reader knows.
Dbf createKunden(const QString& path)
{
    Dbf dbf(DBFCreateEx(QFile::encodeName(path).constData(), "LDID/87"));
    if (!dbf)
        throw std::runtime_error("DBFCreateEx failed");
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
    DbaseIIIType.makeReader()->load(folderSpec(m_dir.path()), mem.db());

    EXPECT_EQ(mem.tables(), (QStringList{u"Artikel"_s, u"kunden"_s}));
    EXPECT_TRUE(mem.rows(u"Artikel"_s).empty());
    EXPECT_EQ(mem.columns(u"kunden"_s),
              (QStringList{u"NAME"_s, u"NR"_s, u"BETRAG"_s, u"SEIT"_s, u"AKTIV"_s}));
    EXPECT_EQ(mem.declaredTypes(u"kunden"_s),
              (QStringList{u"TEXT"_s, u"INTEGER"_s, u""_s, u"DATE"_s, u"BOOLEAN"_s}));
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

// A disk that takes no more bytes, within the row or just before the end mark after it:
// the row is an error, and the file keeps its whole rows and nothing of the refused one.
TEST_F(DbaseTest, ARowTheDiskRefusesIsAnErrorAndLeavesTheFileAsItWas)
{
    for (const bool endMarkOnly : {false, true}) {
        createKunden(path("kunden.dbf"));
        const qint64 empty = test::readFile(path("kunden.dbf")).size();
        auto record = DbaseIIIType.makeWriter()->openTable(folderSpec(m_dir.path()), u"kunden"_s);
        record->AddNew();
        record->setItem(0, u"Alt"_s);
        record->update();
        const QByteArray one = test::readFile(path("kunden.dbf"));
        ASSERT_GT(one.size(), empty);
        record =
            DbaseIIIType.makeWriter()->openTable(folderSpec(m_dir.path()), u"kunden"_s); // anew
        {
            test::FullDisk full(endMarkOnly ? 2 * one.size() - empty - 1 : one.size() + 10);
            record->AddNew();
            record->setItem(0, u"Neu"_s);
            EXPECT_THROW(record->update(), Error) << endMarkOnly;
        }
        record.reset();
        EXPECT_EQ(test::readFile(path("kunden.dbf")), one) << endMarkOnly;
    }
}

} // namespace
