// The Excel 2007 and OpenDocument readers on the hand-made files of
// tests/data/files/odd-workbooks.py: cells no other program here writes, and damaged or
// hostile files, each of which ends in a German error naming the file, at once.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/sheetgrid.h"
#include "connectors/filefixtures.h"
#include "memorydb.h"
#include "support/thrown.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;
using quendra::test::MemoryDb;

namespace {

class OddWorkbooks : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = new QTemporaryDir;
        QProcess python;
        python.start(
            u"/usr/bin/python3"_s,
            {QStringLiteral(QUENDRA_TEST_DATA_DIR "/files/odd-workbooks.py"), folder->path()});
        ASSERT_TRUE(python.waitForFinished(60000) && python.exitCode() == 0)
            << python.readAllStandardError().toStdString();
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }
    static QString file(const char* name) { return folder->filePath(QString::fromLatin1(name)); }

    static QTemporaryDir* folder;
    MemoryDb mem;
};

QTemporaryDir* OddWorkbooks::folder = nullptr;

TEST_F(OddWorkbooks, RareCellsOfAWorkbookKeepTheirValues)
{
    Excel12Type.makeReader()->load(DataSourceLocation{{}, file("hand.xlsx"), true, {}}, mem.db());
    EXPECT_EQ(mem.columns(u"Hand"_s), (QStringList{u"Name"_s, u"Tag"_s, u"Lang"_s}));
    EXPECT_EQ(mem.texts(u"Hand"_s),
              (std::vector<QStringList>{{u"東京"_s, u"2024-02-29"_s, u"12345678901234567"_s},
                                        {u" a & b "_s, u"2024-02-29 08:15:00"_s, u"NULL"_s}}));
}

// Read once through, the sheet comes straight from the file: the same records as through
// the copy that SQL text can filter.
TEST_F(OddWorkbooks, StraightFromTheFileAsThroughTheCopy)
{
    for (const char* name : {"hand.xlsx", "tage.xlsx"}) {
        int width = 0;
        const QStringList copied = test::workbookRows(file(name), u"Hand"_s, false, width);
        EXPECT_EQ(test::workbookRows(file(name), u"$TBL(1)"_s, true, width), copied) << name;
    }
}

TEST_F(OddWorkbooks, TheDayThe1900DateSystemCountsReadsAsInEveryOtherSheet)
{
    Excel12Type.makeReader()->load(DataSourceLocation{{}, file("tage.xlsx"), true, {}}, mem.db());
    EXPECT_EQ(
        mem.texts(u"Hand"_s),
        (std::vector<QStringList>{
            {u"28.02.1900"_s}, {u"29.02.1900"_s}, {u"29.02.1900 12:00:00"_s}, {u"01.03.1900"_s}}));
}

TEST_F(OddWorkbooks, OpenDocumentCellsKeepTheirValuesAndRepeatOnlyWhereTheyHoldOne)
{
    QElapsedTimer clock;
    clock.start();
    OpenDocumentType.makeReader()->load(DataSourceLocation{{}, file("hand.ods"), true, {}},
                                        mem.db());
    EXPECT_LT(clock.elapsed(), 2000) << "the empty rest of the sheet was expanded";
    EXPECT_EQ(mem.columns(u"Hand"_s), (QStringList{u"Art"_s, u"Wert"_s, u"F3"_s}));
    EXPECT_EQ(mem.texts(u"Hand"_s),
              (std::vector<QStringList>{{u"Prozent"_s, u"0,155"_s, u"NULL"_s},
                                        {u"Betrag"_s, u"-12,5"_s, u"NULL"_s},
                                        {u"Lang"_s, u"-12345678901234567"_s, u"NULL"_s},
                                        {u"Tag"_s, u"29.02.2024"_s, u"NULL"_s},
                                        {u"Zeitpunkt"_s, u"29.02.2024 08:15:00"_s, u"NULL"_s},
                                        {u"Uhrzeit"_s, u"13:45:30"_s, u"NULL"_s},
                                        {u"Logisch"_s, u"Wahr"_s, u"NULL"_s},
                                        {u"Fehler"_s, u"#DIV/0!"_s, u"NULL"_s},
                                        {u"Text"_s, u"a  b\tc\nzwei\ndrei"_s, u"NULL"_s},
                                        {u"doppelt"_s, u"7"_s, u"7"_s},
                                        {u"doppelt"_s, u"7"_s, u"7"_s},
                                        {u"verbunden"_s, u"NULL"_s, u"NULL"_s}}));
}

struct Hostile {
    const char* file;
    std::unique_ptr<FileTypeReader> (*reader)();
    const char16_t* says; // part of the message
};

class HostileWorkbooks : public OddWorkbooks, public ::testing::WithParamInterface<Hostile> {};

TEST_P(HostileWorkbooks, EndInAGermanErrorNamingTheFile)
{
    QElapsedTimer clock;
    clock.start();
    const Error e = test::thrownBy([&] {
        GetParam().reader()->load(DataSourceLocation{{}, file(GetParam().file), true, {}},
                                  mem.db());
    });
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(e.number(), errnum::PathFileAccess);
    EXPECT_TRUE(e.description().contains(QString::fromLatin1(GetParam().file)))
        << e.description().toStdString();
    EXPECT_TRUE(e.description().contains(QString::fromUtf16(GetParam().says)))
        << e.description().toStdString();
    EXPECT_TRUE(mem.tables().isEmpty()) << "a table of a damaged file was left";
    if (GetParam().reader == Excel12Type.makeReader) { // straight from the file: the same error
        const Error straight = test::thrownBy([&] {
            const auto sheet = Excel12Type.makeReader()->openSheet(
                DataSourceLocation{{}, file(GetParam().file), true, {}}, u"$TBL(1)"_s);
            for (QVariantList row; sheet && sheet->next(row);) {
            }
        });
        EXPECT_EQ(straight.description(), e.description());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileWorkbooks,
    ::testing::Values(
        Hostile{"ohne-verweis.xlsx", Excel12Type.makeReader, u"Verweis auf die Arbeitsmappe"},
        Hostile{"teil-fehlt.xlsx", Excel12Type.makeReader, u"„xl/blatt/eins.xml“ fehlt"},
        Hostile{"dtd.xlsx", Excel12Type.makeReader, u"Dokumenttyp-Deklaration"},
        Hostile{"entitaet.xlsx", Excel12Type.makeReader, u"kein gültiges XML"},
        Hostile{"kein-xml.xlsx", Excel12Type.makeReader, u"kein gültiges XML (Zeile 1"},
        Hostile{"verschachtelt.xlsx", Excel12Type.makeReader, u"mehr als 256-fach"},
        Hostile{"text-fehlt.xlsx", Excel12Type.makeReader,
                u"Zelle A1 verweist auf den gemeinsamen Text 7"},
        Hostile{"keine-zahl.xlsx", Excel12Type.makeReader,
                u"Zelle A1 enthält keine Zahl, sondern „12abc“"},
        Hostile{"zellname.xlsx", Excel12Type.makeReader, u"keinen gültigen Namen"},
        Hostile{"zu-gross.xlsx", Excel12Type.makeReader, u"mehr als 2 GB oder das 1000-fache"},
        Hostile{"bombe.xlsx", Excel12Type.makeReader, u"mehr als 2 GB oder das 1000-fache"},
        Hostile{"laenger.xlsx", Excel12Type.makeReader, u"ist beschädigt"},
        Hostile{"kein-mimetype.ods", OpenDocumentType.makeReader,
                u"kein OpenDocument-Tabellendokument"},
        Hostile{"inhalt-fehlt.ods", OpenDocumentType.makeReader, u"„content.xml“ fehlt"},
        Hostile{"dtd.ods", OpenDocumentType.makeReader, u"Dokumenttyp-Deklaration"},
        Hostile{"zu-viele-zeilen.ods", OpenDocumentType.makeReader, u"jenseits der Zeile 1048576"}),
    [](const auto& info) {
        std::string name = info.param.file;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

} // namespace
