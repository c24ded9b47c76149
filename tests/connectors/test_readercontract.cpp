// What every reader owes the run: a missing source, a foreign file, a file cut short and
// a file with a damaged header each end in a German error that names the source, never
// in a crash, in fewer records read without a word or in a file made or removed. The readers are
// met as a run meets them: the text connector, and the database connector over each database file
// type and ODBC, reading forward record by record.
#include "backendsundertest.h"
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
using Reader = BackendUnderTest;

struct ReaderCase {
    std::string name;
    const Reader* reader;
    Damage damage;
    qint32 number; // of the error; 0: the database driver's own
};

// Every damage each back-end under test is tried with.
std::vector<ReaderCase> readerCases()
{
    const char* const Names[] = {"Missing", "Foreign", "CutShort", "DamagedHeader"};
    std::vector<ReaderCase> cases;
    for (const Reader& r : backendsUnderTest()) {
        for (size_t d = 0; d < r.damage.size(); ++d) {
            if (r.damage[d] != NotTried)
                cases.push_back({std::string(r.name) + Names[d], &r, Damage(d), r.damage[d]});
        }
    }
    return cases;
}

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
        db.setSource(*r.fileType ? describeConnection(Medium::DatabaseFile, source,
                                                      QString::fromLatin1(r.fileType), true)
                                 : describeConnection(Medium::OdbcSource, source, {}, false));
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
    if (c.reader == &backendUnderTest("Access") && monitorMdb().isEmpty())
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

INSTANTIATE_TEST_SUITE_P(Readers, ReaderContract, ::testing::ValuesIn(readerCases()),
                         [](const auto& info) { return info.param.name; });

} // namespace
