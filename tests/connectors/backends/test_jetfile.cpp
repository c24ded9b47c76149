// The Access reader on Jet 4 databases: Monitor.mdb from the Debian package mrtg-contrib,
// fetched by scripts/fetch-fixtures.sh, and the old configurations of tests/data/files.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/filefixtures.h"
#include "memorydb.h"
#include "support/filebytes.h"
#include "support/skip.h"
#include "support/thrown.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;
using namespace std::string_view_literals;
using quendra::test::MemoryDb;
using quendra::test::monitorMdb;
using quendra::test::rowTexts;

namespace {

TEST(JetFileTest, ReadsTheUserTablesOfMonitorMdbWithTypedValues)
{
    const QString file = monitorMdb();
    if (file.isEmpty())
        QUENDRA_SKIP() << "Monitor.mdb fehlt: scripts/fetch-fixtures.sh build/fixtures ausführen";
    MemoryDb mem;
    AccessType.makeReader()->load(DataSourceLocation{u"MS Access"_s, file, false, {}}, mem.db());

    EXPECT_EQ(mem.tables(), QStringList{u"Monitor_Authenticate"_s}); // no MSys... tables
    const QString table = u"Monitor_Authenticate"_s;
    EXPECT_EQ(mem.columns(table),
              (QStringList{u"ID"_s, u"LineNumber"_s, u"LinePassword"_s, u"LineSpeed"_s,
                           u"EMail_Address"_s, u"Graph_Day"_s, u"Graph_Week"_s, u"Graph_Month"_s,
                           u"Graph_Year"_s, u"Graph_EMail"_s, u"LastVisit"_s, u"Comment"_s}));
    EXPECT_EQ(mem.declaredTypes(table).mid(0, 6),
              (QStringList{u"INTEGER"_s, u"INTEGER"_s, u"TEXT"_s, u"INTEGER"_s, u"TEXT"_s,
                           u"BOOLEAN"_s}));
    EXPECT_EQ(mem.declaredTypes(table).at(10), u"DATE"_s);
    const auto rows = mem.rows(table);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rowTexts(rows[0]),
              (QStringList{
                  u"1"_s, u"1234567890"_s, u"12345678"_s, u"33600"_s, u"nobody@sunnyline.co.za"_s,
                  u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"0"_s, u"2000-06-17 20:36:24"_s,
                  u"Example Circuit Added For Monitor Example To Potential New Clients"_s}));
    EXPECT_EQ(rows[0][1].typeId(), QMetaType::LongLong);
}

// A damaged file is refused with what libmdb said about it, never read with rows or tables missing.
TEST(JetFileTest, DamagedFilesAreRefusedWithLibmdbsOwnWords)
{
    const QString file = monitorMdb();
    if (file.isEmpty())
        QUENDRA_SKIP() << "Monitor.mdb fehlt: scripts/fetch-fixtures.sh build/fixtures ausführen";
    const QByteArray bytes = test::readFile(file);
    constexpr qsizetype Page = 4096;
    const struct {
        const char* name;
        int zeroPage; // a page overwritten with zeros, or -1
        qsizetype at; // where patch overwrites the bytes
        std::string_view patch;
        const char* says; // what the message names after the file
    } cases[] = {
        {"catalogPageLost", 14, 0, {}, "page 14 from map doesn't match"},
        {"dataPageLost", 17, 0, {}, "Monitor_Authenticate der Access-Datei"},
        {"dataPageLostCounted", 17, 0, {}, "gespeichert sind 1 Zeilen, lesbar nur 0"},
        // The catalogue's row of Monitor_Authenticate (page 14 lists 19) marked deleted:
        // libmdb passes over it, and the file would seem to hold no table.
        {"catalogRowSkipped", -1, 14 * Page + 14 + 2 * 17, "\xAA\x49"sv,
         "ist beschädigt: er verzeichnet 19 Einträge, lesbar sind nur 18"},
        // The definition of Monitor_Authenticate (page 15) with 300 columns, and with 0 rows
        // where its data page holds one.
        {"tooManyColumns", -1, 15 * Page + 45, "\x2C\x01"sv, "300 Spalten an"},
        {"moreRowsThanStored", -1, 15 * Page + 16, "\0\0\0\0"sv, "mehr Zeilen her"},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        QByteArray damaged = bytes;
        if (c.zeroPage >= 0)
            damaged.replace(c.zeroPage * Page, Page, QByteArray(Page, '\0'));
        damaged.replace(c.at, qsizetype(c.patch.size()),
                        QByteArray(c.patch.data(), c.patch.size()));
        const QString path = dir.filePath(QString::fromLatin1(c.name) + u".mdb"_s);
        test::writeFile(path, damaged);
        MemoryDb mem;
        const Error e = test::thrownBy([&] {
            AccessType.makeReader()->load(DataSourceLocation{u"MS Access"_s, path, false, {}},
                                          mem.db());
        });
        EXPECT_EQ(e.number(), errnum::PathFileAccess) << c.name;
        EXPECT_TRUE(e.description().contains(path));
        EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.says)))
            << c.name << ": " << e.description().toStdString();
    }
}

// A read that runs out of time is no damaged file: the message says so and how to allow more.
TEST(JetFileTest, AReadOutOfTimeSaysHowToAllowMore)
{
    const QByteArray before = qgetenv("QUENDRA_READ_TIMEOUT");
    qputenv("QUENDRA_READ_TIMEOUT", "0.001");
    const QString file = test::dataFile("altkonfiguration-demo.mdb");
    MemoryDb mem;
    const Error e = test::thrownBy([&] {
        AccessType.makeReader()->load(DataSourceLocation{u"MS Access"_s, file, false, {}},
                                      mem.db());
    });
    before.isNull() ? qunsetenv("QUENDRA_READ_TIMEOUT") : qputenv("QUENDRA_READ_TIMEOUT", before);
    EXPECT_TRUE(e.description().startsWith(u"Das Lesen der Datei "_s + file +
                                           u" dauerte länger als 0.001 Sekunden"_s))
        << e.description().toStdString();
    EXPECT_TRUE(e.description().contains(u"QUENDRA_READ_TIMEOUT"_s));
}

// A column of numbers with decimals (Single, Double, Currency) is read as one of numbers;
// binary columns and OLE objects as the bytes they hold, however long, never cut at a zero.
TEST(JetFileTest, ColumnsOfNumbersAndOfBytesKeepTheirValues)
{
    QByteArray bytes = test::readFile(test::dataFile("altkonfiguration.mdb"));
    bytes[3 * 4096 + 0x3F + 25 * 3] = 6;  // srcHead.header, a Long, becomes a Single
    bytes[3 * 4096 + 0x3F + 25 * 0] = 9;  // srcHead.transid, a Text, becomes Binary
    bytes[3 * 4096 + 0x3F + 25 * 7] = 11; // srcHead.sqlstring, a Memo, becomes an OLE object
    QByteArray chain = test::readFile(test::dataFile("altkonfiguration-langer-memo.mdb"));
    chain[3 * 4096 + 0x3F + 25 * 7] = 11;
    QTemporaryDir dir;
    test::writeFile(dir.filePath(u"single.mdb"_s), bytes);
    test::writeFile(dir.filePath(u"chain.mdb"_s), chain);
    MemoryDb mem;
    const qsizetype descriptors = QDir(u"/proc/self/fd"_s).count();
    for (const QString& name : {u"single.mdb"_s, u"chain.mdb"_s})
        AccessType.makeReader()->load(
            DataSourceLocation{u"MS Access"_s, dir.filePath(name), false, {}}, mem.db());
    EXPECT_EQ(QDir(u"/proc/self/fd"_s).count(), descriptors) << "none left open by the reading";
    EXPECT_EQ(mem.declaredTypes(u"srcHead"_s).at(3), u""_s);
    EXPECT_EQ(mem.texts(u"srcHead"_s).at(0).at(3), u"3e-45"_s); // a Long 2 read as a Single
    const auto rows = mem.rows(u"srcHead"_s);
    EXPECT_EQ(rows.at(0).at(0), QVariant(QByteArray("X\0", 2))); // as UTF-16 in the file
    EXPECT_EQ(rows.at(0).at(7), QVariant(QByteArray("2\0", 2)));
    EXPECT_TRUE(rows.at(1).at(7).isNull());
    const QByteArray euros = mem.rows(u"srcHead2"_s).at(1).at(7).toByteArray();
    EXPECT_EQ(euros, QByteArray("\xAC\x20").repeated(88000)); // on long-value pages
    chain[0x5fa8] = char(0x81); // the reference claims one byte more than the pages hold
    test::writeFile(dir.filePath(u"cut.mdb"_s), chain);
    const Error e = test::thrownBy([&] {
        AccessType.makeReader()->load(
            DataSourceLocation{u"MS Access"_s, dir.filePath(u"cut.mdb"_s), false, {}}, mem.db());
    });
    EXPECT_TRUE(e.description().contains(u"Spalte sqlstring in Zeile 2 ist nicht vollständig"_s))
        << e.description().toStdString();
}

// libmdb ends a memo that does not fit its buffer a byte or a character before the end:
// such a value is refused, never read cut.
TEST(JetFileTest, MemoThatFillsLibmdbsBufferIsRefused)
{
    const QString path = test::dataFile("altkonfiguration-langer-memo.mdb");
    MemoryDb mem;
    const Error e = test::thrownBy([&] {
        AccessType.makeReader()->load(DataSourceLocation{u"MS Access"_s, path, false, {}},
                                      mem.db());
    });
    EXPECT_TRUE(e.description().contains(u"Spalte sqlstring in Zeile 2 füllt den Puffer"_s))
        << e.description().toStdString();
}

} // namespace
