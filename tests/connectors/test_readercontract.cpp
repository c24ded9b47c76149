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
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace quendra;
using namespace quendra::test;
using namespace Qt::StringLiterals;

namespace {
using Reader = BackendUnderTest;

// The back-ends under test tried with some damage; each is one test, its damages in turn.
std::vector<const Reader*> damagedReaders()
{
    std::vector<const Reader*> readers;
    for (const Reader& r : backendsUnderTest()) {
        if (std::any_of(r.damage.begin(), r.damage.end(), [](auto d) { return d != NotTried; }))
            readers.push_back(&r);
    }
    return readers;
}

class ReaderContract : public ::testing::TestWithParam<const Reader*> {
protected:
    static void SetUpTestSuite() { initGlobals(u"/nonexistent/init.mdb"_s); }

    // The data source as the definition names it, with the table file damaged.
    static QString prepare(const Reader& r, Damage damage, const QTemporaryDir& dir)
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
};

TEST_P(ReaderContract, EndsInAGermanErrorNamingTheSource)
{
    const Reader& r = *GetParam();
    if (&r == &backendUnderTest("Access") && monitorMdb().isEmpty())
        QUENDRA_SKIP() << "Monitor.mdb fehlt: scripts/fetch-fixtures.sh build/fixtures ausführen";
    const char* const Names[] = {"Missing", "Foreign", "CutShort", "DamagedHeader"};
    for (size_t d = 0; d < r.damage.size(); ++d) {
        if (r.damage[d] == NotTried)
            continue;
        SCOPED_TRACE(Names[d]);
        const QTemporaryDir dir;
        const QString source = prepare(r, Damage(d), dir);
        const QStringList files = QDir(dir.path()).entryList();
        const Error e = test::thrownBy([&] { readAll(r, source); });
        EXPECT_TRUE(e.description().contains(QFileInfo(source).fileName()))
            << e.description().toStdString();
        if (const qint32 number = r.damage[d]) { // 0: the database driver's own
            EXPECT_EQ(e.number(), number) << e.description().toStdString();
        }
        EXPECT_EQ(QDir(dir.path()).entryList(), files) << "a file was made or removed";
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, ReaderContract, ::testing::ValuesIn(damagedReaders()),
                         [](const auto& info) { return std::string(info.param->name); });

} // namespace
