// Where a program finds init.mdb, and the demo a new user of an installation gets.
#include "common/configlocation.h"
#include "common/error.h"
#include "common/globals.h"
#include "config/userconfig.h"
#include "support/filebytes.h"
#include "support/tempconfigdb.h"
#include "support/testdatabases.h"
#include "support/thrown.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace quendra {
namespace {

// An installation in a temporary folder: usr/bin, and usr/share/quendra with a demo
// whose source and target are text files of the build machine, and an ODBC source.
class UserConfig : public ::testing::Test {
protected:
    void SetUp() override
    {
        demo.exec(u"insert into srchead (transid, path, frommedium) values "
                  "('DEMO', '/bau/demo/buchungen.txt', 0), ('ODBC', 'LAGER', 1)"_s);
        demo.exec(u"insert into trghead (transid, path, frommedium) values "
                  "('DEMO', '/bau/buchungen_export.txt', 0)"_s);
        QDir(root.path()).mkpath(u"usr/bin"_s);
        QDir(root.path()).mkpath(u"usr/share/quendra"_s);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(u"home"_s)));
    }
    void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }

    void install() const
    {
        QFile::copy(demo.path(), root.filePath(u"usr/share/quendra/init.mdb"_s));
    }
    ConfigLocation location() const { return configLocation(root.filePath(u"usr/bin"_s)); }

    static QStringList paths(const QString& db, const QString& head)
    {
        return test::ScratchConnection(u"QSQLITE"_s, db)
            .column(u"select path from %1 order by transid"_s.arg(head));
    }

    test::TempConfigDb demo;
    QTemporaryDir root;
};

// A program that is not installed (one in its build folder) keeps init.mdb beside itself.
TEST_F(UserConfig, AnInstalledProgramGetsTheDemoInTheUsersFolder)
{
    EXPECT_EQ(location().dbPath, root.filePath(u"usr/bin/init.mdb"_s));
    EXPECT_EQ(location().dataFolder, QString());
    install();
    const ConfigLocation at = location();
    const QString user = root.filePath(u"home/quendra"_s);
    ASSERT_EQ(at.dbPath, user + u"/init.mdb"_s);
    initGlobals(u"/anderswo/init.mdb"_s); // --config: nothing is made
    provideUserConfig(at);
    EXPECT_FALSE(QFile::exists(at.dbPath));

    // A half-made copy left by an earlier start that had the same process number and was
    // killed is made anew.
    QDir().mkpath(user);
    const QString partial = u"%1.%2.neu"_s.arg(at.dbPath).arg(QCoreApplication::applicationPid());
    test::writeFile(partial, "abgebrochen");
    initGlobals(at.dbPath);
    provideUserConfig(at);
    const QString data = root.filePath(u"usr/share/quendra"_s);
    EXPECT_EQ(paths(at.dbPath, u"srchead"_s),
              QStringList({data + u"/buchungen.txt"_s, u"LAGER"_s}));
    EXPECT_EQ(paths(at.dbPath, u"trghead"_s), QStringList(user + u"/buchungen_export.txt"_s));
    EXPECT_EQ(QDir(user).entryList(QDir::Files), QStringList(u"init.mdb"_s));
    // Its connections may hold passwords: the file is the user's alone.
    const QFile::Permissions mode = QFileInfo(at.dbPath).permissions();
    EXPECT_TRUE(mode.testFlag(QFile::WriteOwner));
    EXPECT_FALSE(mode.testAnyFlags(QFile::ReadGroup | QFile::ReadOther));

    // The installed batch runner makes it at its first command as well, an export too; a
    // relative XDG_CONFIG_HOME is ignored, with a warning.
    QFile::copy(QStringLiteral(QUENDRA_RUN_BINARY), root.filePath(u"usr/bin/quendra-run"_s));
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_CONFIG_HOME"_s, u"relativ"_s);
    env.insert(u"HOME"_s, root.path());
    run.setProcessEnvironment(env);
    run.start(root.filePath(u"usr/bin/quendra-run"_s), {u"--export"_s, u"DEMO"_s});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 0);
    const QString made = root.filePath(u".config/quendra/init.mdb"_s);
    EXPECT_TRUE(QString::fromUtf8(run.readAllStandardError())
                    .contains(u"XDG_CONFIG_HOME enthält keinen absoluten Pfad („relativ“) und wird "
                              "nicht beachtet. Die Konfiguration ist %1."_s.arg(made)));
    EXPECT_TRUE(run.readAllStandardOutput().contains("TransID = \"DEMO\""));
    EXPECT_EQ(paths(made, u"trghead"_s),
              QStringList(root.filePath(u".config/quendra/buchungen_export.txt"_s)));
    test::writeFile(at.dbPath, {}); // a user's own file stays as it is
    provideUserConfig(at);
    EXPECT_EQ(test::readFile(at.dbPath), QByteArray());
}

TEST_F(UserConfig, AFolderThatCannotBeMadeLeavesNothingBehind)
{
    install();
    test::writeFile(root.filePath(u"home"_s), {}); // a file where the folder would be
    initGlobals(location().dbPath);
    EXPECT_THROW(provideUserConfig(location()), Error);

    QFile::remove(root.filePath(u"home"_s));
    const QString shipped = root.filePath(u"usr/share/quendra/init.mdb"_s);
    test::writeFile(shipped, "keine Datenbank");
    EXPECT_TRUE(test::thrownBy([&] { provideUserConfig(location()); })
                    .description()
                    .endsWith(u"Die Datei %1 ist keine Quendra-Konfigurationsdatenbank im "
                              "SQLite-Format."_s.arg(shipped)));
    EXPECT_EQ(QDir(root.filePath(u"home/quendra"_s)).entryList(QDir::Files), QStringList());

    // A link to a file that is not there (a share not mounted) is neither replaced nor
    // followed, and the copy made for it goes again.
    QFile::remove(root.filePath(u"usr/share/quendra/init.mdb"_s));
    install();
    QFile::link(root.filePath(u"nirgends/init.mdb"_s), location().dbPath);
    EXPECT_THROW(provideUserConfig(location()), Error);
    EXPECT_EQ(QDir(root.filePath(u"home/quendra"_s)).entryList(QDir::Files | QDir::System),
              QStringList(u"init.mdb"_s));
    EXPECT_FALSE(QFile::exists(root.filePath(u"nirgends/init.mdb"_s)));
}

// A relative HOME is ignored as well: the home folder comes from the user database.
TEST_F(UserConfig, ARelativeHomeGivesWayToTheUserDatabase)
{
    install();
    const QByteArray home = qgetenv("HOME");
    qunsetenv("XDG_CONFIG_HOME");
    qputenv("HOME", "heim");
    const ConfigLocation at = location();
    qputenv("HOME", home);
    EXPECT_EQ(at.dbPath,
              QFile::decodeName(::getpwuid(::getuid())->pw_dir) + u"/.config/quendra/init.mdb"_s);
    EXPECT_EQ(at.warnings, QStringList(u"Die Umgebungsvariable HOME enthält keinen absoluten Pfad "
                                       "(„heim“) und wird nicht beachtet. Die Konfiguration ist "
                                       "%1."_s.arg(at.dbPath)));
}

} // namespace
} // namespace quendra
