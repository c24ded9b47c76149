// quendra-run --migrate: an old configuration in a Jet file (tests/data/files/README), read
// through libmdb, becomes the SQLite configuration; and what a configuration that cannot
// be written says to a migration and an import.
#include "config/configschema.h"
#include "config/definitionlayout.h"
#include "support/batchrun.h"
#include "support/filebytes.h"
#include "support/skip.h"
#include "support/testdatabases.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;
using test::monitorMdb;
using test::readFile;
using test::runBatch;
using test::writeFile;

namespace {

void exec(const QString& path, const QStringList& statements)
{
    test::ScratchConnection(u"QSQLITE"_s, path).execAll(statements);
}

// Every row of the six tables, each value with its SQLite type.
QStringList dump(const QString& path)
{
    const test::ScratchConnection db(u"QSQLITE"_s, path);
    QStringList lines;
    for (const LayoutTable& t : schemaTables()) {
        QStringList typed{u"'%1'"_s.arg(t.name)};
        for (const LayoutColumn& c : t.columns)
            typed << u"typeof(\"%1\") || ':' || coalesce(\"%1\", '')"_s.arg(c.name);
        lines << db.column(
            u"select %1 from %2 order by rowid"_s.arg(typed.join(u" || '|' || "), t.name));
    }
    return lines;
}

// The bytes of a file of tests/data/files.
QByteArray dataFile(const char* name)
{
    return readFile(u"" QUENDRA_TEST_DATA_DIR "/files/"_s + QLatin1String(name));
}

// The demo configuration and a definition with what an old file holds: umlauts, memos
// short and long, NULLs, empty texts, -1 flags, 2,000 translations, the customer marker.
QString makeOriginal(const QDir& dir)
{
    const QString path = dir.filePath(u"original.mdb"_s);
    QProcess demo;
    demo.start(u"" QUENDRA_TEST_DATA_DIR "/../../scripts/make-demo.sh"_s, {path});
    EXPECT_TRUE(demo.waitForFinished(60000) && demo.exitCode() == 0)
        << demo.readAllStandardError().toStdString();
    QStringList rows{
        u"begin"_s, u"update dbversion set indiv = 'Kunde Müller'"_s,
        u"insert into srcHead values ('ALT', 'C:\\Daten\\Übergabe.txt', 'MS Access', -1, '', "
        "NULL, '', 'select * from Bestände where Größe > 0', 2)"_s,
        u"insert into srcHead (transid, sqlstring) values ('ALT2', '%1')"_s.arg(
            QString(3000, u'ß')),
        u"insert into trgBody (transid, field, plus, \"0padding\", ltrim, defaultvalue, "
        "command) values ('ALT', 'BETRAG', -1, -1, 0, '', NULL)"_s};
    for (int i = 0; i < 2000; ++i)
        rows << u"insert into trgconvert values ('ALT', 'KONTO', '%1', 'Konto Nr. %1 – ä')"_s.arg(
            i);
    // The demo reads a copy of its source: no run, however faulty, touches the tree's file.
    const QString source = dir.filePath(u"buchungen.txt"_s);
    QFile::copy(u"" QUENDRA_TEST_DATA_DIR "/../../demo/buchungen.txt"_s, source);
    rows << u"update srcHead set path = '%1' where transid = 'DEMO'"_s.arg(source);
    exec(path, rows << u"commit"_s);
    return path;
}

TEST(Migrate, TakesEveryRowOverUnchangedAndDemoWritesTheSameBytes)
{
    QTemporaryDir dir;
    const QString original = makeOriginal(QDir(dir.path()));
    const QByteArray jetBytes = dataFile("altkonfiguration-demo.mdb"); // its rows in a Jet file
    QDir(dir.path()).mkdir(u"neu"_s);
    const QString config = dir.filePath(u"neu/init.mdb"_s);
    writeFile(config, jetBytes);

    const auto r = runBatch({u"--config"_s, config, u"--migrate"_s, config});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const auto translations = dump(original).filter(QRegularExpression(u"^trgconvert"_s)).size();
    EXPECT_GT(translations, 2000);
    EXPECT_TRUE(r.out.contains(u"trgconvert: %1 Zeilen übernommen\n"_s.arg(translations)))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith(u"\nEigene: nicht übernommen, keine Tabelle der Konfiguration\n"_s));
    EXPECT_EQ(r.out.count(u'\n'), 7);
    EXPECT_EQ(readFile(config + u".access"_s), jetBytes);
    EXPECT_TRUE(
        runBatch({u"--config"_s, config, u"--migrate"_s, config})
            .err.contains(u".access gibt es schon"_s)); // the Jet file kept is never overwritten
    // The Jet file names the demo's folders /QUENDRA/demo (the source's) and /ALT (the target's).
    exec(config,
         {u"update srcHead set path = replace(path, '/QUENDRA/demo', '%1')"_s.arg(dir.path()),
          u"update trgHead set path = replace(path, '/ALT', '%1')"_s.arg(dir.path())});
    EXPECT_EQ(dump(config), dump(original));

    // The demo's target lies beside the original; both configurations write it.
    const QString target = dir.filePath(u"buchungen_export.txt"_s);
    ASSERT_EQ(runBatch({u"--config"_s, original, u"DEMO"_s}).exitCode, 0);
    const QByteArray fromOriginal = readFile(target);
    ASSERT_TRUE(QFile::remove(target));
    const auto run = runBatch({u"--config"_s, config, u"DEMO"_s});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(fromOriginal.isEmpty());
    EXPECT_EQ(readFile(target), fromOriginal);
}

// The customer's lookup columns of trgconvert come along as text columns into the configuration
// that exists, and the customer's definition writes the same booking lines as before.
TEST(Migrate, TakesTheCustomersLookupColumnsOver)
{
    QTemporaryDir dir;
    const QString old = dir.filePath(u"alt.mdb"_s);
    writeFile(old, dataFile("altkonfiguration-kunde.mdb"));
    const QString config = dir.filePath(u"init.mdb"_s);
    exec(config, schemaStatements());
    const auto r = runBatch({u"--config"_s, config, u"--migrate"_s, old});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(u"trgconvert: weitere Spalten als Text übernommen: Konto, filiale, "
                               "kontoiris, kontotyp, kostenstelle, kostenträger, steuertyp, "
                               "steuerkey\n"_s))
        << r.out.toStdString();
    const QString golden = u"" QUENDRA_TEST_DATA_DIR "/engine/torven_correction/"_s;
    QFile::copy(golden + u"src.txt"_s, dir.filePath(u"src.txt"_s));
    exec(config, {u"update srcHead set path = replace(path, '/ALT', '%1')"_s.arg(dir.path()),
                  u"update trgHead set path = replace(path, '/ALT', '%1')"_s.arg(dir.path())});
    const auto run = runBatch({u"--config"_s, config, u"T"_s});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(readFile(dir.filePath(u"out.txt"_s)), readFile(golden + u"expected.txt"_s));
}

// A folder where the new file would go is left as it is, and the half-made copy goes.
TEST(Migrate, AFolderInTheTargetsPlaceIsAnErrorAndStaysEmpty)
{
    QTemporaryDir dir;
    const QString old = dir.filePath(u"alt.mdb"_s);
    writeFile(old, dataFile("altkonfiguration.mdb"));
    const QString target = dir.filePath(u"init.mdb"_s);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"init.mdb"_s));
    const auto r = runBatch({u"--config"_s, target, u"--migrate"_s, old});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(u"%1 ist keine gewöhnliche Datei"_s.arg(target)))
        << r.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({u"alt.mdb"_s, u"init.mdb"_s}));
    EXPECT_TRUE(QDir(target).isEmpty());
    const auto under = runBatch({u"--config"_s, old + u"/init.mdb"_s, u"--migrate"_s, old});
    EXPECT_TRUE(under.err.contains(u"Der Ordner von %1/init.mdb kann"_s.arg(old))); // is a file
}

// Each refusal leaves the target folder exactly as it was.
TEST(Migrate, RefusesWithAGermanErrorAndWritesNothing)
{
    QTemporaryDir dir;
    const QString original = dir.filePath(u"klein.mdb"_s);
    exec(original, schemaStatements());
    const QByteArray small = dataFile("altkonfiguration.mdb");
    QByteArray binary = small;
    binary[3 * 4096 + 0x3F + 25 * 7] = 11; // srcHead.sqlstring a column of binary objects
    QByteArray single = small;
    single[3 * 4096 + 0x3F + 25 * 3] = 6; // srcHead.header a Single column, its 2 as 2.0f
    single.replace(0xafca, 4, QByteArray("\0\0\0\x40", 4));
    // and srcHead's columns in another order: transid and dbtable swap their names
    const QByteArray transid("t\0r\0a\0n\0s\0i\0d\0", 14), dbtable("d\0b\0t\0a\0b\0l\0e\0", 14);
    const qsizetype first = single.indexOf(transid), fifth = single.indexOf(dbtable);
    single.replace(first, 14, dbtable).replace(fifth, 14, transid);
    const QString monitor = monitorMdb();
    const struct {
        const char* name;
        QByteArray old;   // the old file's bytes; empty: Monitor.mdb
        bool replace;     // --replace given
        bool definitions; // the target holds a definition already
        const char* says;
    } cases[] = {
        {"textFile", "kein Jet\n", false, false, "ist keine Access-Datenbank (Jet)"},
        {"sqliteFile", readFile(original), false, false, "ist keine Access-Datenbank (Jet)"},
        {"notJet", QByteArray("\0\1\0\0Standard XYZ DB", 19), false, false, "keine Access-"},
        {"tableMissing", dataFile("altkonfiguration-ohne-trgconvert.mdb"), false, false,
         "fehlt die Tabelle trgconvert"},
        {"cutShort", small.left(9 * 4096), false, false,
         "ist keine lesbare Access-Datenbank.\nMeldungen von libmdb:\n"},
        {"rowsLost", dataFile("altkonfiguration-zeilen-fehlen.mdb"), false, false,
         "gespeichert sind 3 Zeilen, lesbar nur 2"},
        {"memoFillsTheBuffer", dataFile("altkonfiguration-langer-memo.mdb"), false, false,
         "sqlstring in Zeile 2 füllt den Puffer von libmdb"},
        {"columnUnknown", dataFile("altkonfiguration-zusatzspalte.mdb"), false, false,
         "die Spalte Zusatz gibt es in Quendras Tabelle nicht, und Zeile 2"},
        {"binaryColumn", binary, false, false, "sqlstring enthält in Zeile 1 binäre Daten"},
        {"targetHoldsDefinitions", single, false, true, "enthält schon Definitionen"},
        {"replaceWithoutOldTable", dataFile("altkonfiguration-ohne-srchead.mdb"), true, true,
         "fehlt die Tabelle srcHead"},
        {"accessFileOfAnotherProgram", {}, false, false, "fehlt die Tabelle srcHead"},
    };
    for (const auto& c : cases) {
        const QString old = dir.filePath(QString::fromLatin1(c.name) + u".mdb"_s);
        if (c.old.isEmpty() && monitor.isEmpty())
            QUENDRA_SKIP()
                << "Monitor.mdb fehlt: scripts/fetch-fixtures.sh build/fixtures ausführen";
        writeFile(old, c.old.isEmpty() ? readFile(monitor) : c.old);
        QTemporaryDir targetDir;
        const QString target = targetDir.filePath(u"init.mdb"_s);
        if (c.definitions)
            QFile::copy(original, target);
        exec(target, {c.definitions ? u"insert into srcHead (transid) values ('DA')"_s
                                    : u"create table fremd (x)"_s}); // no definition table
        const QStringList before = QDir(targetDir.path()).entryList(QDir::Files);
        const QByteArray targetBytes = readFile(target);
        QStringList args{u"--config"_s, target, u"--migrate"_s, old};
        if (c.replace)
            args << u"--replace"_s;
        const auto r = runBatch(args);
        EXPECT_EQ(r.exitCode, 1) << c.name;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says)))
            << c.name << ": " << r.err.toStdString();
        EXPECT_EQ(QDir(targetDir.path()).entryList(QDir::Files), before) << c.name;
        EXPECT_EQ(readFile(target), targetBytes) << c.name;
        if (c.definitions && !c.replace) {
            exec(target, {u"delete from srcHead"_s}); // without definitions: no --replace needed
            EXPECT_EQ(runBatch(args).exitCode, 0);
            const auto replaced = runBatch(args << u"--replace"_s);
            EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
            EXPECT_EQ(QDir(targetDir.path()).entryList(QDir::Files), QStringList(u"init.mdb"_s));
            EXPECT_TRUE(dump(target).contains(
                u"srcHead|text:2|text:2|text:2|integer:2|text:X|text:2|text:2|integer:2|integer:2"_s));
        }
    }
}

} // namespace

namespace {

// A configuration that exists is replaced within its own write lock: another program's open
// write transaction makes the migration give up and stays; a program that had the file open
// writes into the new content afterwards. A link stays a link and the file it names keeps mode
// and owner; a write-protected file is refused; a stop by signal changes nothing.
TEST(Migrate, ReplacesAConfigurationInPlaceUnderItsLock)
{
    QTemporaryDir dir;
    const QString old = dir.filePath(u"alt.mdb"_s);
    writeFile(old, dataFile("altkonfiguration.mdb"));
    QDir(dir.path()).mkdir(u"geteilt"_s);
    const QString real = dir.filePath(u"geteilt/init.mdb"_s);
    exec(real, schemaStatements() << u"insert into srcHead (transid) values ('VORHER')"_s);
    const QByteArray file = QFile::encodeName(real);
    const uid_t owner = ::getuid() == 0 ? 65534 : ::getuid();
    ASSERT_EQ(::chown(file.constData(), owner, owner == ::getuid() ? ::getgid() : owner), 0);
    const QString link = dir.filePath(u"init.mdb"_s);
    ASSERT_TRUE(QFile::link(u"geteilt/init.mdb"_s, link));
    const QStringList args{u"--config"_s, link, u"--migrate"_s, old, u"--replace"_s};
    const QByteArray before = readFile(real);
    for (const int mode : {0400, 0600}) {
        ASSERT_EQ(::chmod(file.constData(), mode_t(mode)), 0);
        for (const int signal : {SIGTERM, SIGINT}) {
            const auto r = runBatch(args, u"de_DE.UTF-8"_s, test::withPendingSignal(signal));
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.err.contains(mode == 0400
                                           ? u"ist schreibgeschützt und wird nicht "
                                             "ersetzt"_s
                                           : u"durch das Signal %1 abgebrochen"_s.arg(
                                                 signal == SIGTERM ? u"SIGTERM"_s : u"SIGINT"_s)))
                << r.err.toStdString();
            EXPECT_EQ(readFile(real), before);
        }
    }
    const test::ScratchConnection other(u"QSQLITE"_s, link);
    other.execAll({u"begin immediate"_s, u"insert into srcHead (transid) values ('OFFEN')"_s});
    const auto locked = runBatch(args);
    EXPECT_EQ(locked.exitCode, 1);
    EXPECT_TRUE(locked.err.contains(u"übernommen werden. Die Konfigurationsdatenbank ist von "
                                    "einem anderen Programm gesperrt"_s))
        << locked.err.toStdString();
    other.exec(u"commit"_s);
    const auto r = runBatch(args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    other.exec(u"insert into srcHead (transid) values ('DANACH')"_s);
    EXPECT_EQ(test::ScratchConnection(u"QSQLITE"_s, real).column(u"select transid from srcHead"_s),
              QStringList({u"X"_s, u"X"_s, u"DANACH"_s}));
    EXPECT_TRUE(QFileInfo(link).isSymbolicLink());
    struct stat info {};
    ASSERT_EQ(::stat(file.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(info.st_uid, owner);
    EXPECT_EQ(QDir(dir.filePath(u"geteilt"_s)).entryList(QDir::Files | QDir::Hidden),
              QStringList(u"init.mdb"_s));
}

// A configuration that cannot be written (its file or folder write-protected, a full disk):
// import and migration say so in a German sentence, the driver's text follows, and the file
// stays as it was. Root runs them as nobody, as write protection does not hold for root.
TEST(ConfigWriteFault, IsSaidInGermanAndChangesNothing)
{
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7777));
    const QString old = dir.filePath(u"alt.mdb"_s);
    writeFile(old, dataFile("altkonfiguration.mdb"));
    const QString definition = dir.filePath(u"x.toml"_s);
    writeFile(definition, "format = 2\nTransID = \"NEU\"\n[source]\nsqlstring = \"" +
                              QByteArray(20000, 'x') + "\"\n[end]\ncomplete = true\n");
    QFile::setPermissions(old, QFile::Permissions(0x6644));
    QFile::setPermissions(definition, QFile::Permissions(0x6644));
    const QString readOnly = u"Die Datenbank ist schreibgeschützt.\nMeldung des "
                             "Datenbanktreibers: attempt to write a readonly database"_s;
    const QString folder = u"Der Ordner der Datenbank ist schreibgeschützt: SQLite kann dort sein "
                           "Journal nicht anlegen.\nMeldung des Datenbanktreibers: "_s;
    const QString full = u"Das System hat das Schreiben in die Datenbank abgelehnt (ist der "
                         "Datenträger voll?).\nMeldung des Datenbanktreibers: disk I/O error"_s;
    const struct {
        const char* name;
        bool import;
        int fileMode, folderMode;
        bool fullDisk;
        QString says;
    } cases[] = {
        {"importReadOnlyFile", true, 0444, 0777, false, readOnly},
        {"importReadOnlyFolder", true, 0666, 0555, false, folder},
        {"importFullDisk", true, 0666, 0777, true, full},
        {"migrateReadOnlyFolder", false, 0666, 0555, false, folder},
        {"migrateFullDisk", false, 0666, 0777, true, full},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dir.path()).mkdir(QString::fromLatin1(c.name));
        const QString config = dir.filePath(QString::fromLatin1(c.name) + u"/init.mdb"_s);
        exec(config, schemaStatements());
        const QByteArray bytes = readFile(config);
        ::chmod(QFile::encodeName(config).constData(), mode_t(c.fileMode));
        ::chmod(QFile::encodeName(QFileInfo(config).path()).constData(), mode_t(c.folderMode));
        QStringList args{u"--config"_s, config};
        args << (c.import ? QStringList{u"--import"_s, definition}
                          : QStringList{u"--migrate"_s, old, u"--replace"_s});
        const auto nobody = test::asNobody();
        const auto fullDisk = test::withFullDisk(
            c.fullDisk ? static_cast<unsigned long>(bytes.size()) : RLIM_INFINITY);
        const auto r = runBatch(args, u"de_DE.UTF-8"_s, [&] {
            fullDisk();
            nobody();
        });
        EXPECT_EQ(r.exitCode, 1);
        const QString sentence = c.import ? u"Die Definition \"NEU\" kann nicht in %1 gespeichert "
                                            "werden. "_s
                                          : u"Die alte Konfiguration kann nicht in %1 übernommen "
                                            "werden. "_s;
        EXPECT_TRUE(r.err.contains(sentence.arg(config) + c.says)) << r.err.toStdString();
        EXPECT_EQ(readFile(config), bytes);
        ::chmod(QFile::encodeName(QFileInfo(config).path()).constData(), 0777);
    }
}

} // namespace
