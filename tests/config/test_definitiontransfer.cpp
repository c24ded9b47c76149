// Definitions as text files: the layout, the round trip and the refusals.
#include "common/globals.h"
#include "config/definitionexport.h"
#include "config/definitionimport.h"
#include "config/definitionstore.h"
#include "config/sourceencoding.h"
#include "support/casetable.h"
#include "support/tempconfigdb.h"
#include "support/thrown.h"

#include <QFile>
#include <QSqlQuery>
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
                typed << u"typeof(\"%1\") || quote(\"%1\")"_s.arg(c.name);
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
    EXPECT_EQ(text.warnings.join(u'|').count(u"des Ziels"_s), 1)
        << "its connection holds a password";

    Stored copy(QByteArray{});
    EXPECT_EQ(importDefinition(copy.open(), text.text, u"reise.toml"_s).transId, u"REISE"_s);
    EXPECT_EQ(exportDefinition(copy.open(), u"REISE"_s).text, text.text);
    // Fields without a head come back without one.
    importDefinition(copy.open(), exportDefinition(original.open(), u"OHNEKOPF"_s).text, {});
    importDefinition(copy.open(), exportDefinition(original.open(), u"ZAHL_ZWANZIG_ZEICHEN"_s).text,
                     {});
    // A file of the format before the end marker is read, with a warning.
    QByteArray older = text.text;
    older.replace("format = 2", "format = 1").chop(int(qstrlen("\n[end]\ncomplete = true\n")));
    EXPECT_EQ(importDefinition(copy.open(), older, u"alt.toml"_s, {true, {}}).warnings,
              QStringList(u"alt.toml hat das Format 1, das noch keine Endmarke kennt; ob die Datei "
                          "vollständig ist, kann nicht geprüft werden."_s));
    QStringList expected = original.dump();
    for (const QString& row : original.dump().filter(u"'ANDERE'"_s))
        expected.removeOne(row);
    EXPECT_EQ(copy.dump(), expected);
}

// What export cannot write faithfully it refuses, each case a change to the stored
// definition (tests/data/config/transfer/export-faults.tsv).
class ExportFault : public ::testing::TestWithParam<test::CaseRow> {};

TEST_P(ExportFault, IsRefusedNamingWhy)
{
    Stored stored(caseFile(u"definition.sql"_s) + GetParam()[0].toUtf8());
    const QString id = GetParam()[0].isEmpty() ? u"FEHLT"_s : u"REISE"_s;
    const Error e = test::thrownBy([&] { exportDefinition(stored.open(), id); });
    EXPECT_TRUE(e.description().startsWith(GetParam()[1])) << e.description().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ExportFault, ::testing::ValuesIn(test::caseTable(u"config/transfer/export-faults.tsv"_s)),
    test::caseName);

class ImportFault : public ::testing::TestWithParam<test::CaseRow> {};

TEST_P(ImportFault, ChangesNothingAndNamesItsPlace)
{
    const test::CaseRow& c = GetParam();
    Stored stored;
    const QStringList before = stored.dump();
    QByteArray text = caseFile(u"expected.toml"_s);
    if (!c[0].isEmpty())
        text.replace(text.indexOf(c[0].toUtf8()), c[0].toUtf8().size(), c[1].toUtf8());
    ImportChoice choice;
    choice.newId = c.name == "nameExists" ? QString() : u"NEU"_s;
    const Error e =
        test::thrownBy([&] { importDefinition(stored.open(), text, u"reise.toml"_s, choice); });
    EXPECT_TRUE(e.description().startsWith(u"reise.toml, "_s + c[2]))
        << e.description().toStdString();
    EXPECT_EQ(e.description().contains(u"git"_s), c.name == "conflictMarker");
    EXPECT_EQ(stored.dump(), before);
}

INSTANTIATE_TEST_SUITE_P(Rows, ImportFault,
                         ::testing::ValuesIn(test::caseTable(u"config/transfer/faults.tsv"_s)),
                         test::caseName);

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

// The database refusing a row half-way through an import: none of the definition's rows
// stay, and the next import on the same connection goes through.
TEST(DefinitionTransfer, ARowTheDatabaseRefusesLeavesNoPartOfTheDefinition)
{
    Stored stored;
    const QSqlDatabase db = stored.open();
    const QStringList before = stored.dump();
    ASSERT_TRUE(QSqlQuery(db).exec(u"create trigger refuse before insert on trgBody when "
                                   "new.transid = 'NEU' begin select raise(abort, 'nein'); end"_s));
    const QByteArray text = exportDefinition(db, u"REISE"_s).text;
    EXPECT_THROW(importDefinition(db, text, u"x"_s, {false, u"NEU"_s}), Error);
    EXPECT_EQ(stored.dump(), before);
    importDefinition(db, text, u"x"_s, {false, u"ZWEI"_s});
    EXPECT_EQ(exportDefinition(db, u"ZWEI"_s).text.replace("\"ZWEI\"", "\"REISE\""), text);
}

// The source's encoding, kept in Quendra's own table, travels as "encoding" in [source]:
// written when it is no default, read back, a file without it gives "ANSI", and a word
// that is no encoding is refused at its place.
TEST(DefinitionTransfer, SourceEncodingTravelsInTheSourceHead)
{
    Stored stored;
    const QSqlDatabase db = stored.open();
    const QByteArray plain = exportDefinition(db, u"REISE"_s).text;
    storeSourceEncoding(db, u"REISE"_s, u"UTF-8"_s);
    const QByteArray text = exportDefinition(db, u"REISE"_s).text;
    EXPECT_TRUE(text.contains("frommedium = 0\nencoding = \"UTF-8\"\n\n[[source.fields]]"));
    importDefinition(db, text, u"x"_s, {false, u"KOPIE"_s});
    EXPECT_EQ(loadSourceEncoding(db, u"KOPIE"_s), u"UTF-8"_s);
    importDefinition(db, plain, u"x"_s, {true, u"KOPIE"_s});
    EXPECT_EQ(loadSourceEncoding(db, u"KOPIE"_s), u"ANSI"_s);
    QByteArray wrong = text;
    wrong.replace("encoding = \"UTF-8\"", "encoding = \"UTF-16\"");
    const Error e = test::thrownBy([&] { importDefinition(db, wrong, u"w.toml"_s, {true, {}}); });
    EXPECT_EQ(e.description(), u"w.toml, Zeile 13, Spalte 12: Der Wert von \"encoding\" muss "
                               "einer dieser Texte sein: \"ANSI\", \"ASCII\", \"UTF-8\"."_s);
    EXPECT_EQ(loadSourceEncoding(db, u"REISE"_s), u"UTF-8"_s) << "nothing changed";
}

} // namespace
} // namespace quendra
