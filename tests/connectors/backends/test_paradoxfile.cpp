// Paradox tables made with pxlib directly, read through the Paradox reader and appended
// to through its writer, then read back both ways. Refused rows: the golden cases
// fail_paradox_* (tests/data/engine).
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/filefixtures.h"
#include "memorydb.h"
#include "support/filebytes.h"
#include "support/fulldisk.h"
#include "support/thrown.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
extern "C" { // pxlib declares its functions without C linkage for C++
#include <paradox.h>
}

#include <cstring>

using namespace quendra;
using namespace Qt::StringLiterals;
using quendra::test::MemoryDb;

namespace {

// Name A20, Nr S, Menge I (long), Preis N, Datum D, Aktiv L: offsets 0, 20, 22, 26, 34, 38.
struct Row {
    const char* name; // bytes in the table's code page; nullptr = NULL for every field
    short nr;
    int menge;
    double preis;
    int year, month, day;
    bool aktiv;
};

void createTable(const QString& path, int codePage, const std::vector<Row>& rows)
{
    pxdoc_t* doc = PX_new();
    auto* f = static_cast<pxfield_t*>(doc->malloc(doc, 6 * sizeof(pxfield_t), "test"));
    f[0] = {PX_strdup(doc, "Name"), pxfAlpha, 20, 0};
    f[1] = {PX_strdup(doc, "Nr"), pxfShort, 2, 0};
    f[2] = {PX_strdup(doc, "Menge"), pxfLong, 4, 0};
    f[3] = {PX_strdup(doc, "Preis"), pxfNumber, 8, 0};
    f[4] = {PX_strdup(doc, "Datum"), pxfDate, 4, 0};
    f[5] = {PX_strdup(doc, "Aktiv"), pxfLogical, 1, 0};
    ASSERT_GE(PX_create_file(doc, f, 6, QFile::encodeName(path).constData(), pxfFileTypNonIndexDB),
              0);
    PX_set_value(doc, "codepage", float(codePage));
    PX_set_tablename(doc, "test");
    for (const Row& row : rows) {
        QByteArray rec(PX_get_recordsize(doc), '\0');
        char* d = rec.data();
        if (row.name) {
            std::memcpy(d, row.name, std::strlen(row.name));
            PX_put_data_short(doc, d + 20, 2, row.nr);
            PX_put_data_long(doc, d + 22, 4, row.menge);
            PX_put_data_double(doc, d + 26, 8, row.preis);
            PX_put_data_long(doc, d + 34, 4,
                             int(PX_GregorianToSdn(row.year, row.month, row.day) - 1721425));
            PX_put_data_byte(doc, d + 38, 1, row.aktiv ? 1 : 0);
        }
        ASSERT_GE(PX_put_record(doc, d), 0);
    }
    PX_close(doc);
    PX_delete(doc);
}

DataSourceLocation pxSpec(const QString& source)
{
    return DataSourceLocation{u"Paradox 5.0"_s, source, false, {u"db"_s}};
}

const std::vector<Row> kKunden = {{"M\xFCller \x80", 42, 100000, 1234.5, 2024, 3, 1, true},
                                  {nullptr, 0, 0, 0, 0, 0, 0, false},
                                  {"Wei\xDF", -7, -1, -0.25, 1999, 12, 31, false}};

class ParadoxTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

TEST_F(ParadoxTest, ReadsTypedValuesNullsAndCodePagesOfEveryTableInTheFolder)
{
    createTable(path("kunden.db"), 1252, kKunden);
    createTable(path("Dos.DB"), 850,
                std::vector<Row>(120, {"\x8E\xE1", 1, 1, 1, 2000, 1, 1, true}));
    createTable(path("leer.db"), 1252, {});
    test::createParadox(path("doppelt.db"), {{"Name", pxfAlpha, 10}, {"NAME", pxfAlpha, 10}});
    MemoryDb mem;
    Paradox5Type.makeReader()->load(pxSpec(m_dir.path()), mem.db());

    EXPECT_EQ(mem.tables(), (QStringList{u"doppelt"_s, u"Dos"_s, u"kunden"_s, u"leer"_s}));
    EXPECT_EQ(mem.columns(u"doppelt"_s), (QStringList{u"Name"_s, u"NAME2"_s}));
    EXPECT_EQ(mem.declaredTypes(u"kunden"_s),
              (QStringList{u"TEXT"_s, u"INTEGER"_s, u"INTEGER"_s, u""_s, u"DATE"_s, u"BOOLEAN"_s}));
    EXPECT_EQ(mem.texts(u"kunden"_s),
              (std::vector<QStringList>{
                  {u"Müller €"_s, u"42"_s, u"100000"_s, u"1234.5"_s, u"2024-03-01"_s, u"1"_s},
                  QStringList(6, u"NULL"_s),
                  {u"Weiß"_s, u"-7"_s, u"-1"_s, u"-0.25"_s, u"1999-12-31"_s, u"0"_s}}));
    EXPECT_EQ(mem.rows(u"Dos"_s).at(119).at(0).toString(), u"Äß"_s); // in the third block
    EXPECT_TRUE(mem.rows(u"leer"_s).empty());
}

// Records of two bytes fill a block to its last byte: a full block is read whole.
TEST_F(ParadoxTest, FullBlocksAreReadWhole)
{
    test::createParadox(path("kurz.db"), {{"Nr", pxfShort, 2}});
    QFile::setPermissions(path("kurz.db"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    auto record = Paradox5Type.makeWriter()->openTable(pxSpec(m_dir.path()), u"kurz"_s);
    for (int nr = 1; nr <= 2100; ++nr) {
        record->AddNew();
        record->setItem(0, nr);
        record->update();
    }
    record->close();
    MemoryDb mem;
    Paradox5Type.makeReader()->load(pxSpec(m_dir.path()), mem.db());
    EXPECT_EQ(mem.texts(u"kurz"_s).back(), QStringList{u"2100"_s});
    EXPECT_TRUE(QFile::permissions(path("kurz.db")) & QFile::ReadOther) << "the old table's";
}

TEST_F(ParadoxTest, AppendedRowsKeepTheOldOnesAndReadBackThroughPxlib)
{
    createTable(path("kunden.db"), 1252, kKunden);
    {
        auto record = Paradox5Type.makeWriter()->openTable(pxSpec(m_dir.path()), u"Kunden"_s);
        ASSERT_EQ(record->fieldsCount(), 6);
        record->AddNew();
        record->setItem(0, u"Jürgen €"_s);
        record->setItem(1, u"7"_s);
        record->setItem(2, 70000);
        record->setItem(3, u"1.234,56"_s);
        record->setItem(4, u"01.03.2024"_s);
        record->setItem(5, true);
        record->update();
        record->AddNew();
        record->setItem(0, u""_s);
        record->update();
    }
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{u"kunden.db"_s});

    pxdoc_t* doc = PX_new();
    ASSERT_GE(PX_open_file(doc, QFile::encodeName(path("kunden.db")).constData()), 0);
    EXPECT_EQ(PX_get_num_records(doc), 5);
    EXPECT_EQ(doc->px_head->px_doscodepage, 1252);
    EXPECT_STREQ(doc->px_head->px_tablename, "test");
    QByteArray rec(PX_get_recordsize(doc), '\0');
    PX_get_record(doc, 3, rec.data());
    EXPECT_EQ(QByteArray(rec.constData()), QByteArray("J\xFCrgen \x80"));
    short nr = 0;
    PX_get_record(doc, 1, rec.data());
    EXPECT_EQ(PX_get_data_short(doc, rec.data() + 20, 2, &nr), 0); // the old NULL row
    PX_get_record(doc, 4, rec.data());
    EXPECT_EQ(PX_get_data_short(doc, rec.data() + 20, 2, &nr), 0);
    PX_close(doc);
    PX_delete(doc);
}

// Rows appended to a table with a running number go on from its highest number, wherever
// that row stands, so that no number is given twice; a time of day goes in as it was read.
TEST_F(ParadoxTest, AppendedRowsNumberOnFromTheHighestRunningNumber)
{
    pxdoc_t* doc = PX_new();
    auto* f = static_cast<pxfield_t*>(doc->malloc(doc, 3 * sizeof(pxfield_t), "test"));
    f[0] = {PX_strdup(doc, "Nr"), pxfAutoInc, 4, 0};
    f[1] = {PX_strdup(doc, "Name"), pxfAlpha, 10, 0};
    f[2] = {PX_strdup(doc, "Zeit"), pxfTime, 4, 0};
    ASSERT_GE(PX_create_file(doc, f, 3, QFile::encodeName(path("zaehler.db")).constData(),
                             pxfFileTypNonIndexDB),
              0);
    for (const int nr : {3, 9, 5}) {
        QByteArray rec(PX_get_recordsize(doc), '\0');
        PX_put_data_long(doc, rec.data(), 4, nr);
        rec[4] = 'a';
        ASSERT_GE(PX_put_record(doc, rec.data()), 0);
    }
    PX_close(doc);
    PX_delete(doc);
    {
        auto record = Paradox5Type.makeWriter()->openTable(pxSpec(m_dir.path()), u"zaehler"_s);
        for (const QString& name : {u"neu"_s, u"neu2"_s}) {
            record->AddNew();
            record->setItem(1, name);
            record->setItem(2, name == u"neu"_s ? u"08:15:30"_s : QString());
            record->update();
        }
    }
    MemoryDb mem;
    Paradox5Type.makeReader()->load(pxSpec(m_dir.path()), mem.db());
    EXPECT_EQ(mem.texts(u"zaehler"_s), (std::vector<QStringList>{{u"3"_s, u"a"_s, u"NULL"_s},
                                                                 {u"9"_s, u"a"_s, u"NULL"_s},
                                                                 {u"5"_s, u"a"_s, u"NULL"_s},
                                                                 {u"10"_s, u"neu"_s, u"08:15:30"_s},
                                                                 {u"11"_s, u"neu2"_s, u"NULL"_s}}));
}

TEST_F(ParadoxTest, BrokenHeadersAreRefusedInsteadOfReadForEverOrBeyondTheRecord)
{
    createTable(path("kunden.db"), 1252, kKunden);
    const QByteArray good = test::readFile(path("kunden.db"));
    const int headerSize = std::uint8_t(good[2]) | std::uint8_t(good[3]) << 8;
    QByteArray loops = good;
    loops[headerSize] = 1; // block 1 names itself as the next block
    loops[headerSize + 1] = 0;
    QByteArray crowded = good;
    crowded[headerSize + 5] = 0x7F; // block 1 holds more records than it has room for
    QByteArray shortRecord = good;
    shortRecord[0] = 10; // a record of 10 bytes, but fields of 39
    shortRecord[1] = 0;
    QByteArray encrypted = good;
    encrypted[0x5F] = 0x7A; // a key in the data header: pxlib decrypts the blocks into noise
    QByteArray mainKey = good;
    mainKey[0x25] = 0x7A; // a key in the main header, not the mark that points to the data header
    QByteArray manyFields = good;
    manyFields[0x21] = char(0xFA); // 250 fields: their names and the table's pass the header
    QByteArray longNumber = good;
    longNumber[0x79] = 14; // the text field gives 6 of its 20 bytes to the 8-byte number
    longNumber[0x7F] = 14;
    QByteArray unknownPage = good;
    unknownPage[0x6A] = char(0x67); // code page 4711
    unknownPage[0x6B] = 0x12;
    const struct {
        const char* name;
        QByteArray bytes;
        QString cause; // what the refusal names besides the file
    } cases[] = {{"manyFields", manyFields, u"Zahl der Felder"_s},
                 {"numberLongerThanItsType", longNumber, {}},
                 {"loop", loops, u"Kette der Datenbl\u00f6cke"_s},
                 {"beyondEnd", good.left(headerSize), u"Kette der Datenbl\u00f6cke"_s},
                 {"crowdedBlock", crowded, u"Kette der Datenbl\u00f6cke"_s},
                 {"fieldsBeyondRecord", shortRecord, {}},
                 {"encrypted", encrypted, u"Verschl\u00fcsselte"_s},
                 {"encryptedInTheMainHeader", mainKey, u"Verschl\u00fcsselte"_s},
                 {"unknownCodePage", unknownPage, u"Codepage 4711 ist unbekannt"_s}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeFile(path("kunden.db"), c.bytes);
        MemoryDb mem;
        const Error e = test::thrownBy(
            [&] { Paradox5Type.makeReader()->load(pxSpec(path("kunden.db")), mem.db()); });
        EXPECT_EQ(e.number(), errnum::PathFileAccess);
        EXPECT_TRUE(e.description().contains(c.cause)) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(u"kann nicht gelesen werden"_s))
            << e.description().toStdString();
    }
}

// A disk that cannot take the new version: the table stays as it was, and the error says so.
TEST_F(ParadoxTest, ATableTheDiskCannotTakeStaysAsItWas)
{
    createTable(path("kunden.db"), 1252, kKunden);
    const QByteArray before = test::readFile(path("kunden.db"));
    auto record = Paradox5Type.makeWriter()->openTable(pxSpec(m_dir.path()), u"kunden"_s);
    test::FullDisk full(before.size()); // room for less than the copy with a new row
    for (int i = 0; i < 100; ++i) {
        record->AddNew();
        record->setItem(1, i);
        record->update();
    }
    const Error e = test::thrownBy([&] { record->close(); });
    EXPECT_TRUE(e.description().contains(u"bleibt unverändert"_s)) << e.description().toStdString();
    record.reset();
    EXPECT_EQ(test::readFile(path("kunden.db")), before);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{u"kunden.db"_s});
}

} // namespace
