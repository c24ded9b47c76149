// The batch runner as a user calls it: exit status, standard error, standard output.
#include "common/version.h"
#include "engine/enginefixture.h"
#include "support/batchrun.h"
#include "support/casetable.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

using Result = test::BatchResult;
using test::runBatch;

class QuendraRun : public ::testing::Test, protected test::EngineFixture {
protected:
    void SetUp() override
    {
        heads(u"GUT"_s);
        srcField(u"GUT"_s, u"S"_s, 1);
        trgField(u"GUT"_s, u"Z"_s, u"S"_s, 1);
        writeSource("x\r\n");
    }
    QStringList config() const { return {u"--config"_s, db.path()}; }
};

// A run that ends well says nothing; all or nothing, it leaves no other file beside the target.
TEST_F(QuendraRun, SucceedsSilently)
{
    for (const bool allOrNothing : {false, true}) {
        writeTarget("alt\r\nalt\r\n");
        QStringList args = config() << u"--again"_s;
        if (allOrNothing)
            args << u"--all-or-nothing"_s;
        const Result r = runBatch(args << u"GUT"_s);
        EXPECT_EQ(r.exitCode, 0) << allOrNothing;
        EXPECT_EQ(r.err, QString()) << allOrNothing;
        EXPECT_EQ(target(), QByteArray("x\r\n")) << allOrNothing;
        EXPECT_EQ(QDir(db.dir()).entryList(QDir::Files | QDir::Hidden).filter(u"out.txt"_s),
                  QStringList{u"out.txt"_s});
    }
}

// All or nothing writes the file a link names, one not there yet too, and keeps its owner,
// group and permissions. What killed runs left beside the target and the configuration
// is removed with a warning once their process has ended; a running process's is left.
TEST_F(QuendraRun, AllOrNothingFollowsLinksKeepsTheOwnerAndClearsLeftovers)
{
    QDir(db.dir()).mkdir(u"echt"_s);
    const QString real = db.filePath(u"echt/ziel.txt"_s);
    ASSERT_TRUE(QFile::link(u"echt/ziel.txt"_s, db.filePath(u"out.txt"_s)));
    const QStringList args = config() << u"--all-or-nothing"_s << u"--again"_s << u"GUT"_s;
    ASSERT_EQ(runBatch(args).exitCode, 0);
    EXPECT_EQ(QFileInfo(db.filePath(u"out.txt"_s)).symLinkTarget(), real);
    const uid_t owner = ::getuid() == 0 ? 65534 : ::getuid();
    ASSERT_EQ(
        ::chown(QFile::encodeName(real).constData(), owner, ::getgid() == 0 ? 65534 : ::getgid()),
        0);
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    const QString ended = QString::number(test::endedProcessId());
    const QStringList left{db.filePath(u"echt/.ziel.txt.%1.AbC123"_s.arg(ended)),
                           db.path() + u".%1.neu"_s.arg(ended),
                           db.path() + u".%1.neu-journal"_s.arg(ended),
                           db.filePath(u".init.mdb.%1.xYz789-journal"_s.arg(ended))};
    const QString running = db.filePath(u"echt/.ziel.txt.%1.AbC123"_s.arg(::getpid()));
    for (const QString& file : left + QStringList(running))
        test::writeFile(file, "halb");
    const Result r = runBatch(args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const QString& file : left) {
        EXPECT_TRUE(r.err.contains(u"%1 blieb von einem abgebrochenen Lauf (Prozess %2, der "
                                   "nicht mehr läuft) übrig und wurde entfernt"_s.arg(file, ended)))
            << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(file));
    }
    EXPECT_TRUE(QFile::exists(running));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &info), 0);
    EXPECT_EQ(info.st_uid, owner);
    EXPECT_EQ(info.st_gid, ::getgid() == 0 ? 65534u : ::getgid());
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(test::readFile(real), "x\r\n");
}

TEST_F(QuendraRun, UnknownDefinitionIsAnErrorBoxOnStandardError)
{
    const Result r = runBatch(config() << u"FEHLT"_s << u"GUT"_s);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Quendra (" QUENDRA_VERSION ") : Main.RunFileConvert\n"
                                    "Anwendung: Quendra (" QUENDRA_VERSION ")\n"
                                    "Modul: clsFileConvert.init\n\n"
                                    "Fehlernummer:  3021\n"
                                    "Für die Definition \"FEHLT\" gibt es keinen Quellkopf "
                                    "(srchead).\n\n"));
    EXPECT_EQ(target(), QByteArray("x\r\n")) << "the next definition still runs";
}

TEST_F(QuendraRun, RegionalSettingsFollowTheLocaleAndDefaultToGerman)
{
    db.exec(u"update trgBody set fieldtype = 'Zahl', length = 1, decscale = 2"_s);
    const std::pair<const char*, const char*> cases[] = {
        {"C", "12,50"}, {"POSIX", "12,50"}, {"de_DE.UTF-8", "12,50"}, {"en_US.UTF-8", "12.50"}};
    for (const auto& [locale, expected] : cases) {
        writeSource(QString::fromLatin1(expected).left(4).toLatin1() + "\r\n");
        const Result r =
            runBatch(config() << u"--again"_s << u"GUT"_s, QString::fromLatin1(locale));
        EXPECT_EQ(r.exitCode, 0) << locale << r.err.toStdString();
        EXPECT_EQ(target(), QByteArray(expected) + "\r\n") << locale;
    }
}

TEST_F(QuendraRun, WarningsAloneDoNotFail)
{
    db.exec(u"update dbversion set version = 1"_s);
    const Result r = runBatch(config() << u"GUT"_s);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(u"(DB-Version ist nicht aktuell.)"_s)) << r.err.toStdString();
}

// A preview on a terminal shows the text in the terminal's encoding (UTF-8 here, also in
// the C locale); into a pipe it keeps the target's bytes, a "UTF-8 BOM" target's mark first.
TEST_F(QuendraRun, PreviewShowsTextOnATerminalAndBytesInAPipe)
{
    writeSource("B\xFCro\r\n");
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(grantpt(terminal) | unlockpt(terminal), 0);
    const QByteArray screen = ptsname(terminal);
    for (const QString& locale : {u"C"_s, u"C.UTF-8"_s}) {
        const Result shown = runBatch(config() << u"--preview"_s << u"GUT"_s, locale,
                                      test::withDescriptor(1, screen.constData()));
        EXPECT_EQ(shown.exitCode, 0) << shown.err.toStdString();
        QByteArray bytes(4096, '\0');
        bytes.truncate(std::max<ssize_t>(::read(terminal, bytes.data(), bytes.size()), 0));
        EXPECT_TRUE(bytes.contains("B\xC3\xBCro")) << locale.toStdString() << bytes.toHex().data();
    }
    ::close(terminal);
    const QByteArray file = QFile::encodeName(db.filePath(u"vorschau.txt"_s));
    for (const char* encoding : {"ANSI", "UTF-8 BOM"}) {
        db.exec(u"update trgHead set encoding = '%1'"_s.arg(QLatin1StringView(encoding)));
        test::writeFile(QString::fromLocal8Bit(file), {});
        runBatch(config() << u"--preview"_s << u"GUT"_s, u"C.UTF-8"_s,
                 test::withDescriptor(1, file.constData()));
        EXPECT_EQ(test::readFile(QString::fromLocal8Bit(file)),
                  qstrcmp(encoding, "ANSI") == 0 ? QByteArray("B\xFCro\r\n")
                                                 : QByteArray("\xEF\xBB\xBF"
                                                              "B\xC3\xBCro\r\n"));
    }
}

// Preview and check run write nothing: the target that was there stays as it was.
class QuendraRunPreview : public QuendraRun, public ::testing::WithParamInterface<test::CaseRow> {};

TEST_P(QuendraRunPreview, ListsRecordsAndWritesNothing)
{
    const test::CaseRow& c = GetParam();
    db.exec(u"update trgBody set chkfield = 'Summe'"_s); // "x" is no sum
    db.exec(u"update trgHead set chkrecord = -1"_s);
    writeSource("1\r\nx\r\n3\r\n4\r\n");
    writeTarget("alt\r\n");
    const Result r = runBatch(config() << c[0].split(u' '));
    EXPECT_EQ(r.exitCode, c[1].toInt()) << r.err.toStdString();
    if (c.flag(3)) {
        EXPECT_TRUE(r.out.endsWith(c[2])) << r.out.toStdString();
    } else { // the records' bytes in Windows-1252
        EXPECT_EQ(QString(r.out).replace(QChar(0xFFFD), u"ü"_s), c[2]);
    }
    const QString faultAt2 = u"(Datensatz 2, Feld Z)"_s;
    EXPECT_EQ(r.out.count(faultAt2), c[4].toInt()) << r.out.toStdString();
    EXPECT_EQ(r.err.count(faultAt2), c[5].toInt()) << r.err.toStdString();
    EXPECT_EQ(target(), QByteArray("alt\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Rows, QuendraRunPreview,
                         ::testing::ValuesIn(test::caseTable(u"app/preview-and-check.tsv"_s)),
                         test::caseName);

// A check run lists the first thousand faulty records and counts the rest.
TEST_F(QuendraRun, CheckListsAThousandFaultsAndCountsTheRest)
{
    db.exec(u"update trgBody set chkfield = 'Summe'"_s);
    writeSource(QByteArray("x\r\n").repeated(1002));
    const Result r = runBatch(config() << u"--check"_s << u"GUT"_s);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.count(u"Fehlernummer"_s), 1000);
    EXPECT_TRUE(r.out.contains(u"Datensatz 1000, Feld Z"_s));
    EXPECT_TRUE(r.out.endsWith(u"… und 2 weitere Datensätze mit Fehler\n\n"
                               "1002 Datensätze, 1002 mit Fehler – nichts geschrieben\n"_s))
        << r.out.right(300).toStdString();
}

// A definition travels as a file: out on standard output, in under a new name (whose file
// name has no folder or leading dot), and runs; a name taken needs --replace or --as.
TEST_F(QuendraRun, ExportImportAndExportAll)
{
    const Result exported = runBatch(config() << u"--export"_qs << u"GUT"_qs);
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    QFile file(db.filePath(u"gut.toml"_qs));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(exported.out.toUtf8());
    file.close();
    const QStringList import = config() << u"--import"_qs << file.fileName();
    EXPECT_EQ(runBatch(import).exitCode, 1);
    EXPECT_EQ(runBatch(QStringList(import) << u"--as"_qs << u".K/1"_qs).exitCode, 0);
    EXPECT_EQ(runBatch(QStringList(import) << u"--replace"_qs).exitCode, 0);
    const Result copy = runBatch(config() << u".K/1"_qs);
    EXPECT_EQ(copy.exitCode, 0) << copy.err.toStdString();
    EXPECT_EQ(target(), QByteArray("x\r\n"));

    const Result all = runBatch(config() << u"--export-all"_qs << db.filePath(u"alle"_qs));
    EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
    EXPECT_TRUE(QFile::exists(db.filePath(u"alle/_.K_1.toml"_qs)));
    QFile gut(db.filePath(u"alle/GUT.toml"_qs));
    EXPECT_TRUE(gut.open(QIODevice::ReadOnly));
    EXPECT_EQ(gut.readAll(), exported.out.toUtf8());
    // Each new file gets the permissions the umask gives, the second as the first.
    for (const QString& name : {u"alle/_.K_1.toml"_qs, u"alle/GUT.toml"_qs})
        EXPECT_EQ(QFile::permissions(db.filePath(name)), file.permissions()) << name.toStdString();
    EXPECT_EQ(runBatch(config() << u"--replace"_qs << u"GUT"_qs).exitCode, 2);

    // A full disk: no file is left half written, and the message names it.
    const QString full = db.filePath(u"voll"_qs);
    const Result cut = runBatch(config() << u"--export-all"_qs << full, u"de_DE.UTF-8"_qs,
                                test::withFullDisk(100));
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_TRUE(cut.err.contains(u"Dateigröße erreicht: %1/_.K_1.toml"_qs.arg(full)));
    EXPECT_EQ(QDir(full).entryList(QDir::Files | QDir::Hidden), QStringList());
    // An endless input is read up to a limit.
    const Result endless = runBatch(config() << u"--import"_qs << u"-"_qs, u"de_DE.UTF-8"_qs,
                                    test::withDescriptor(0, "/dev/zero"));
    EXPECT_TRUE(endless.err.contains(u"Standardeingabe ist größer als 16 MB"_qs))
        << endless.err.toStdString();
}

// Output that cannot be written (a full device, a closed standard output) fails the program,
// naming standard output.
class QuendraRunOutput : public QuendraRun, public ::testing::WithParamInterface<test::CaseRow> {};

TEST_P(QuendraRunOutput, ThatCannotBeWrittenFails)
{
    const bool closed = GetParam()[1] == u"closed";
    const Result r = runBatch(config() << GetParam()[0].split(u' '), u"de_DE.UTF-8"_s,
                              test::withDescriptor(1, closed ? nullptr : "/dev/full"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(closed ? u"Die Standardausgabe ist geschlossen"_s
                                      : u"Datenträger voll: Standardausgabe (/dev/full)"_s))
        << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Rows, QuendraRunOutput,
                         ::testing::ValuesIn(test::caseTable(u"app/unwritable-output.tsv"_s)),
                         test::caseName);

class QuendraRunUsage : public ::testing::TestWithParam<test::CaseRow> {};

TEST_P(QuendraRunUsage, WrongCallsAndHelp)
{
    const Result r = runBatch(GetParam()[1].split(u' ', Qt::SkipEmptyParts));
    EXPECT_EQ(r.exitCode, GetParam()[0].toInt());
    const QString usage = u"Aufruf: quendra-run [--config DATEI] "_s;
    if (r.exitCode == 0) {
        EXPECT_TRUE(r.out.startsWith(usage));
        // The second block's lines stand under the first one's.
        EXPECT_TRUE(r.out.contains(u"\n        quendra-run [--config DATEI] --export-all"_s));
        return;
    }
    const QString first = r.err.section(u'\n', 0, 0);
    EXPECT_TRUE(first.startsWith(u"quendra-run: "_s) && first.contains(GetParam()[2]))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(u"\n\n"_s + usage)) << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Rows, QuendraRunUsage,
                         ::testing::ValuesIn(test::caseTable(u"app/wrong-calls.tsv"_s)),
                         test::caseName);

} // namespace

// A run that touches no Paradox or Access file must not load their libraries: they pull
// in libgsf, GIO, libxml2 and more and would lengthen the start of every small run.
TEST(QuendraRunStart, LoadsNoFileTypeLibraryAtStart)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LD_TRACE_LOADED_OBJECTS"_s, u"1"_s);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUENDRA_RUN_BINARY), {u"--help"_s});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString loaded = QString::fromUtf8(p.readAllStandardOutput());
    ASSERT_TRUE(loaded.contains(u"libQt6Core"_s)) << loaded.toStdString();
    for (const char* library : {"libpx.", "libmdb.", "libgsf-1.", "libgio-2.0.", "libxml2."})
        EXPECT_FALSE(loaded.contains(QLatin1StringView(library))) << library;
}
