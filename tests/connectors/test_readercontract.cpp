// What every reader owes the run: a missing source, a foreign file, a file cut short and
// a file with a damaged header each end in a German error that names the source, never
// in a crash, in fewer records read without a word or in a file made or removed. The readers are
// met as a run meets them: the text connector, and the database connector over each database file
// type and ODBC, reading forward record by record.
#include "common/error.h"
#include "common/globals.h"
#include "connectors/clsadoconnect.h"
#include "connectors/clsfsconnect.h"
#include "connectors/filetypes.h"
#include "filefixtures.h"
#include "support/casename.h"
#include "support/filebytes.h"
#include "support/skip.h"
#include "support/testdatabases.h"
#include "support/thrown.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace quendra;
using namespace quendra::test;
using namespace Qt::StringLiterals;

namespace {
using quendra::test::PrintTo; // rows print their name

enum class Damage { Missing, Foreign, CutShort, DamagedHeader };

QByteArray sqliteFile(const QString& scratch)
{
    ScratchConnection(u"QSQLITE"_s, scratch)
        .execAll({u"create table kunden (nr integer, name text)"_s,
                  u"with recursive n(i) as (select 1 union all select i + 1 from n where i < 300) "
                  "insert into kunden select i, printf('%080d', i) from n"_s}); // several pages
    return readFile(scratch);
}

// One reader: the catalogue file type it reads (nullptr: the text connector, "" ODBC), the file its
// table lies in, a sound copy of it, and where its header holds a length or a version to damage
// (-1: a file of text has no header to damage and no length to fall short of).
struct Reader {
    const char* fileType;
    const char* tableFile;
    bool inFolder; // the data source is the folder that holds the table file
    std::function<QByteArray(const QTemporaryDir&)> sound;
    int headerField;
};

const Reader TextConnector{nullptr, "quelle.txt", false, nullptr, -1};
const Reader Odbc{"", "QuendraGibtEsNicht", false, nullptr, -1};
const Reader CsvFolder{"Text", "kunden.csv", true,
                       [](const QTemporaryDir&) { return QByteArray("a,b\r\n1,\"x y\"\r\n"); }, -1};
// A sound file of tests/data/files.
std::function<QByteArray(const QTemporaryDir&)> sound(const char* name)
{
    return [name](const QTemporaryDir&) { return readFile(dataFile(name)); };
}

const Reader Dbase{"dBase III", "kunden.dbf", true, sound("kunden.dbf"), 8};
const Reader Paradox{"Paradox 5.0", "kunden.db", true, sound("kunden.db"), 2};
const Reader Excel{"MS Excel 8.0", "kunden.xls", false, sound("quendra-test.xls"), 0x2C};
const Reader Xlsx{"MS Excel 12.0", "kunden.xlsx", false, sound("quendra-test.xlsx"), 14};
const Reader Ods{"OpenDocument", "kunden.ods", false, sound("quendra-test.ods"), 14};
const Reader Lotus{"Lotus 1-2-3", "kunden.wk1", false, sound("kunden.wk1"), 4};
const Reader Access{"MS Access", "kunden.mdb", false,
                    [](const QTemporaryDir&) { return readFile(monitorMdb()); }, 0x14};
const Reader Sqlite{
    "MS Access", "kunden.db", false,
    [](const QTemporaryDir& dir) { return sqliteFile(dir.filePath(u"sound.db"_s)); }, 16};

struct ReaderCase {
    const char* name;
    const Reader* reader;
    Damage damage;
    qint32 number; // of the error; 0: the database driver's own
};

constexpr qint32 Missing = errnum::FileNotFound, MissingFolder = errnum::PathNotFound,
                 Unreadable = errnum::PathFileAccess;

const ReaderCase Cases[] = {
    {"TextMissing", &TextConnector, Damage::Missing, Missing},
    {"TextFolderAsFile", &TextConnector, Damage::Foreign, Unreadable},
    {"OdbcMissing", &Odbc, Damage::Missing, 0},
    {"CsvFolderMissing", &CsvFolder, Damage::Missing, MissingFolder},
    {"CsvFolderCutInAQuote", &CsvFolder, Damage::CutShort, errnum::TypeMismatch},
    {"DbaseMissing", &Dbase, Damage::Missing, MissingFolder},
    {"DbaseForeign", &Dbase, Damage::Foreign, Unreadable},
    {"DbaseCutShort", &Dbase, Damage::CutShort, Unreadable},
    {"DbaseDamagedHeader", &Dbase, Damage::DamagedHeader, Unreadable},
    {"ParadoxMissing", &Paradox, Damage::Missing, MissingFolder},
    {"ParadoxForeign", &Paradox, Damage::Foreign, Unreadable},
    {"ParadoxCutShort", &Paradox, Damage::CutShort, Unreadable},
    {"ParadoxDamagedHeader", &Paradox, Damage::DamagedHeader, Unreadable},
    {"ExcelMissing", &Excel, Damage::Missing, Missing},
    {"ExcelForeign", &Excel, Damage::Foreign, Unreadable},
    {"ExcelCutShort", &Excel, Damage::CutShort, Unreadable},
    {"ExcelDamagedHeader", &Excel, Damage::DamagedHeader, Unreadable},
    {"XlsxMissing", &Xlsx, Damage::Missing, Missing},
    {"XlsxForeign", &Xlsx, Damage::Foreign, Unreadable},
    {"XlsxCutShort", &Xlsx, Damage::CutShort, Unreadable},
    {"XlsxDamagedHeader", &Xlsx, Damage::DamagedHeader, Unreadable},
    {"OdsMissing", &Ods, Damage::Missing, Missing},
    {"OdsForeign", &Ods, Damage::Foreign, Unreadable},
    {"OdsCutShort", &Ods, Damage::CutShort, Unreadable},
    {"OdsDamagedHeader", &Ods, Damage::DamagedHeader, Unreadable},
    {"LotusMissing", &Lotus, Damage::Missing, Missing},
    {"LotusForeign", &Lotus, Damage::Foreign, Unreadable},
    {"LotusCutShort", &Lotus, Damage::CutShort, Unreadable},
    {"LotusDamagedHeader", &Lotus, Damage::DamagedHeader, Unreadable},
    {"AccessMissing", &Access, Damage::Missing, Missing},
    {"AccessForeign", &Access, Damage::Foreign, errnum::Unsupported},
    {"AccessCutShort", &Access, Damage::CutShort, Unreadable},
    {"AccessDamagedHeader", &Access, Damage::DamagedHeader, Unreadable},
    {"SqliteCutShort", &Sqlite, Damage::CutShort, 0},
    {"SqliteDamagedHeader", &Sqlite, Damage::DamagedHeader, 0},
};

class ReaderContract : public ::testing::TestWithParam<ReaderCase> {
protected:
    static void SetUpTestSuite() { initGlobals(u"/nonexistent/init.mdb"_s); }

    // The data source as the definition names it, with the table file damaged.
    QString prepare(const Reader& r, Damage damage)
    {
        if (r.fileType && !*r.fileType)
            return QString::fromLatin1(r.tableFile); // an ODBC data source name
        const QString folder = dir.filePath(u"daten"_s);
        const QString file =
            (r.inFolder ? folder : dir.path()) + u'/' + QString::fromLatin1(r.tableFile);
        if (r.inFolder && damage != Damage::Missing)
            QDir().mkpath(folder);
        const QByteArray sound = r.sound ? r.sound(dir) : QByteArray();
        switch (damage) {
        case Damage::Missing:
            break;
        case Damage::Foreign:
            if (r.fileType)
                writeFile(file, "Name;Ort\r\n");
            else
                QDir().mkpath(file);
            break;
        case Damage::CutShort:
            writeFile(file, sound.left(sound.size() - sound.size() / 3 - 1));
            break;
        case Damage::DamagedHeader:
            writeFile(file, QByteArray(sound).replace(r.headerField, 8, QByteArray(8, '\xFF')));
            break;
        }
        return r.inFolder ? folder : file;
    }

    // Reads every record as a run does; the records read.
    static int readAll(const Reader& r, const QString& source)
    {
        int records = 0;
        if (!r.fileType) {
            clsFSConnect text;
            text.init(source, 1, u";"_s);
            for (; !text.isEOF(); text.MoveNext())
                ++records;
            return records;
        }
        clsADOConnect db;
        db.setSource(*r.fileType ? getADOProvider(Medium::DatabaseFile, source,
                                                  QString::fromLatin1(r.fileType), true)
                                 : getADOProvider(Medium::OdbcSource, source, {}, false));
        db.setTable(u"$TBL(1)"_s);
        db.setForwardOnly(true);
        db.init();
        for (; !db.isEOF(); db.MoveNext())
            ++records;
        return records;
    }

    QTemporaryDir dir;
};

TEST_P(ReaderContract, EndsInAGermanErrorNamingTheSource)
{
    const ReaderCase& c = GetParam();
    if (c.reader == &Access && monitorMdb().isEmpty())
        QUENDRA_SKIP() << "Monitor.mdb fehlt: scripts/fetch-fixtures.sh build/fixtures ausführen";
    const QString source = prepare(*c.reader, c.damage);
    const QStringList files = QDir(dir.path()).entryList();
    const Error e = test::thrownBy([&] { readAll(*c.reader, source); });
    EXPECT_TRUE(e.description().contains(QFileInfo(source).fileName()))
        << e.description().toStdString();
    if (c.number) {
        EXPECT_EQ(e.number(), c.number) << e.description().toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(), files) << "a file was made or removed";
}

INSTANTIATE_TEST_SUITE_P(Readers, ReaderContract, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
