// Definitions as text files: the layout, the round trip, the refusals and a git merge.
#include "common/globals.h"
#include "config/definitionexport.h"
#include "config/definitionimport.h"
#include "config/definitionstore.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Rows of a dump as lines in a failure message.
inline void PrintTo(const QStringList& rows, std::ostream* os)
{
    *os << rows.join(u'\n').toStdString();
}

namespace quendra {
namespace {

using test::TempConfigDb;

QByteArray caseFile(const QString& name)
{
    QFile f(QStringLiteral(QUENDRA_TEST_DATA_DIR "/config/transfer/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Stored {
    TempConfigDb db;
    explicit Stored(const QByteArray& script = caseFile(u"definition.sql"_s))
    {
        if (!script.isEmpty())
            db.execScript(QString::fromUtf8(script));
    }
    QSqlDatabase open()
    {
        initGlobals(db.path());
        store = openDefinitionStore();
        return store->database();
    }
    // Every row of the definition tables, each value with its SQLite type, in a fixed order.
    QStringList dump()
    {
        const QSqlDatabase database = open();
        QStringList rows;
        for (const LayoutTable& t : definitionTables()) {
            QStringList typed;
            for (const LayoutColumn& c : t.columns)
                typed << QStringLiteral("typeof(\"%1\") || quote(\"%1\")").arg(c.name);
            QSqlQuery q(database);
            EXPECT_TRUE(q.exec(u"select "_s + typed.join(u" || '|' || "_s) + u" from "_s + t.name));
            while (q.next())
                rows << t.name + u": "_s + q.value(0).toString();
        }
        rows.sort();
        return rows;
    }
    std::shared_ptr<ConfigConnection> store;
};

TEST(DefinitionTransfer, RoundTripKeepsBytesValuesAndTypes)
{
    Stored original;
    const DefinitionText text = exportDefinition(original.open(), u"REISE"_s);
    EXPECT_EQ(text.text, caseFile(u"expected.toml"_s));
    EXPECT_EQ(text.warnings.size(), 1) << "the target's connection holds a password";

    Stored copy(QByteArray{});
    EXPECT_EQ(importDefinition(copy.open(), text.text, u"reise.toml"_s), u"REISE"_s);
    EXPECT_EQ(exportDefinition(copy.open(), u"REISE"_s).text, text.text);
    // Fields without a head come back without one.
    importDefinition(copy.open(), exportDefinition(original.open(), u"OHNEKOPF"_s).text, {});
    const QStringList others = original.dump().filter(u"'ANDERE'"_s);
    QStringList expected = original.dump();
    for (const QString& row : others)
        expected.removeOne(row);
    EXPECT_EQ(copy.dump(), expected);
}

TEST(DefinitionTransfer, FaultsChangeNothingAndNameTheirPlace)
{
    struct Case {
        const char* name;
        const char* from;
        const char* to; // the first occurrence of from is replaced
        const char* place;
        bool keepName = false;
    };
    // The marker would also fail to parse; it has its own sentence about the merge.
    const QString conflictWord = u"git"_s;
    const Case cases[] = {
        {"parse error", "format = 1", "format = = 1", "Zeile 2, Spalte 10"},
        {"conflict marker", "\n[target]", "\n<<<<<<< HEAD\n[target]", "Zeile 34, Spalte 1"},
        {"unknown key", "field = \"konto\"", "feld = \"konto\"", "Zeile 25, Spalte 1"},
        {"text for a number", "length = 4", "length = \"4\"", "Zeile 26, Spalte 10"},
        {"flag as boolean", "header = -1", "header = true", "Zeile 8, Spalte 10"},
        {"number for a text", "fieldtype = \"Text\"", "fieldtype = 1", "Zeile 18, Spalte 13"},
        {"text too long", "field = \"konto\"", "field = \"konto_konto_konto_kon\"",
         "Zeile 25, Spalte 9"},
        {"newer format", "format = 1", "format = 2", "Zeile 2, Spalte 10"},
        {"no TransID", "TransID = \"REISE\"", "# TransID", "Zeile 1, Spalte 1"},
        {"name exists", "", "", "Zeile 3, Spalte 11", true},
        {"translation key", "old = \"4711\"", "alt = \"4711\"", "Zeile 80, Spalte 7"},
        {"field in a translation row", "old = \"4711\"", "field = \"X\"", "Zeile 80, Spalte 5"},
    };
    Stored stored;
    const QStringList before = stored.dump();
    for (const Case& c : cases) {
        QByteArray text = caseFile(u"expected.toml"_s);
        if (*c.from)
            text.replace(text.indexOf(c.from), qsizetype(strlen(c.from)), c.to);
        ImportChoice choice;
        choice.newId = c.keepName ? QString() : u"NEU"_s;
        try {
            importDefinition(stored.open(), text, u"reise.toml"_s, choice);
            ADD_FAILURE() << c.name << ": imported";
        } catch (const Error& e) {
            EXPECT_TRUE(e.description().startsWith(u"reise.toml, "_s + QLatin1StringView(c.place)))
                << c.name << ": " << e.description().toStdString();
            EXPECT_EQ(e.description().contains(conflictWord),
                      QByteArray(c.name) == "conflict marker")
                << c.name;
        }
        EXPECT_EQ(stored.dump(), before) << c.name;
    }
}

TEST(DefinitionTransfer, ReplaceAndNewName)
{
    Stored stored;
    const QSqlDatabase db = stored.open();
    QByteArray text = exportDefinition(db, u"REISE"_s).text;
    importDefinition(db, text, u"x"_s, {false, u"KOPIE"_s});
    QByteArray renamed = exportDefinition(db, u"KOPIE"_s).text;
    EXPECT_EQ(renamed.replace("\"KOPIE\"", "\"REISE\""), text);

    const QStringList before = stored.dump();
    text.replace(text.indexOf("length = 4"), 10, "length = 5");
    importDefinition(stored.open(), text, u"x"_s, {true, {}});
    const QStringList after = stored.dump();
    EXPECT_EQ(after.size(), before.size()) << "replaced, not added";
    EXPECT_EQ(after.filter(u"integer5"_s).size(), before.filter(u"integer5"_s).size() + 1);
}

// Two people change different fields of one definition on two branches; git merges the
// files without a conflict and the result carries both changes.
TEST(DefinitionTransfer, EditsOfDifferentFieldsMergeInGit)
{
    QTemporaryDir dir;
    const auto git = [&](const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(u"git"_s,
                QStringList{u"-c"_s, u"user.name=q"_s, u"-c"_s, u"user.email=q@q"_s} + args);
        p.waitForFinished(30000);
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    const auto edit = [&](const char* from, const char* to) {
        QFile f(dir.filePath(u"reise.toml"_s));
        QByteArray text = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        f.close();
        text.replace(from, to);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    if (git({u"init"_s, u"-q"_s, u"-b"_s, u"a"_s}) != 0)
        GTEST_SKIP() << "git is not installed";
    QFile f(dir.filePath(u"reise.toml"_s));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(caseFile(u"expected.toml"_s));
    f.close();
    ASSERT_EQ(git({u"add"_s, u"."_s}), 0);
    ASSERT_EQ(git({u"commit"_s, u"-qm"_s, u"1"_s}), 0);
    ASSERT_EQ(git({u"checkout"_s, u"-qb"_s, u"b"_s}), 0);
    edit("description = \"Kontonummer\"", "description = \"Konto\"");
    ASSERT_EQ(git({u"commit"_s, u"-qam"_s, u"b"_s}), 0);
    ASSERT_EQ(git({u"checkout"_s, u"-q"_s, u"a"_s}), 0);
    edit("format = \"dd.mm.yyyy\"", "format = \"yyyymmdd\"");
    ASSERT_EQ(git({u"commit"_s, u"-qam"_s, u"a"_s}), 0);
    ASSERT_EQ(git({u"merge"_s, u"-q"_s, u"--no-edit"_s, u"b"_s}), 0);

    QFile merged(dir.filePath(u"reise.toml"_s));
    ASSERT_TRUE(merged.open(QIODevice::ReadOnly));
    Stored copy(QByteArray{});
    const QSqlDatabase db = copy.open();
    importDefinition(db, merged.readAll(), u"reise.toml"_s);
    const QStringList rows = copy.dump();
    EXPECT_EQ(rows.filter(u"'Konto'"_s).size(), 1);
    EXPECT_EQ(rows.filter(u"'dd.mm.yyyy'"_s).size(), 0);
}

} // namespace
} // namespace quendra
