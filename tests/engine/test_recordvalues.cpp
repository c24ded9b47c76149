// Runs of a definition on values that must never be changed, shifted or dropped
// silently: each run either writes the right bytes or stops with an error box that
// names the record and the field, with the records before it written.
#include "common/messagehandler.h"
#include "engine/clsfileconvert.h"
#include "engine/rundefinition.h"
#include "enginefixture.h"
#include "support/casename.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace quendra;

namespace {
using quendra::test::PrintTo; // rows print their name

const QString T = QStringLiteral("T");

struct RecordRun {
    const char* name;
    // Rows of srcBody: (field, format, sort), ...
    const char* srcFields;
    // Rows of trgBody: (field, length, decscale, fieldtype, format, defaultvalue, srcfield,
    // adjustment, plus, 0padding, sort), ...
    const char* trgFields;
    bool fixlength;
    QByteArray source;
    QByteArray expected; // the target's bytes; empty: no target written
    // Parts of the error box's text, one after the other; none: the run shows no box.
    std::vector<const char*> box;
};

// Stores the field lists of definition T (rows as in RecordRun).
void storeFields(const test::TempConfigDb& db, const char* srcFields, const char* trgFields)
{
    db.exec(QStringLiteral("insert into srcBody (field, format, sort) values ") +
            QString::fromUtf8(srcFields));
    db.exec(
        QStringLiteral("insert into trgBody (field, length, decscale, fieldtype, format, "
                       "defaultvalue, srcfield, adjustment, plus, \"0padding\", sort) values ") +
        QString::fromUtf8(trgFields));
    db.exec(QStringLiteral("update srcBody set transid = 'T'"));
    db.exec(QStringLiteral("update trgBody set transid = 'T', ltrim = 0, chkfield = ''"));
}

class RecordRuns : public ::testing::TestWithParam<RecordRun>, protected test::EngineFixture {};

// The text of every box shown, one after the other.
QString boxTexts(const std::vector<MessageBoxData>& boxes)
{
    QString all;
    for (const MessageBoxData& b : boxes)
        all += b.text + QLatin1Char('\n');
    return all;
}

TEST_P(RecordRuns, WriteEveryValueOrStopAtTheRecord)
{
    const RecordRun& r = GetParam();
    heads(T);
    db.exec(QStringLiteral("update trgHead set fixlength = %1").arg(r.fixlength ? -1 : 0));
    storeFields(db, r.srcFields, r.trgFields);
    writeSource(r.source);

    showRunResult(runDefinition(T));

    EXPECT_EQ(target().toStdString(), r.expected.toStdString());
    const QString shown = boxTexts(sink.boxes);
    if (r.box.empty()) {
        EXPECT_TRUE(sink.boxes.empty()) << shown.toStdString();
        return;
    }
    ASSERT_EQ(sink.boxes.size(), 1u);
    qsizetype at = 0;
    for (const char* part : r.box) {
        at = shown.indexOf(QString::fromUtf8(part), at);
        ASSERT_GE(at, 0) << part << "\nin: " << shown.toStdString();
    }
}

constexpr const char* OneSource = "('a', '', 1)";
constexpr const char* TwoSources = "('a', '', 1), ('b', '', 2)";
constexpr const char* ThreeSources = "('a', '', 1), ('b', '', 2), ('c', '', 3)";
constexpr const char* TwoTexts = "('A', 0, 0, 'Text', '', '', 'a', '', 0, 0, 1),"
                                 "('B', 0, 0, 'Text', '', '', 'b', '', 0, 0, 2)";
constexpr const char* ThreeTexts = "('A', 0, 0, 'Text', '', '', 'a', '', 0, 0, 1),"
                                   "('B', 0, 0, 'Text', '', '', 'b', '', 0, 0, 2),"
                                   "('C', 0, 0, 'Text', '', '', 'c', '', 0, 0, 3)";

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordRuns,
    ::testing::Values(
        // Numbers never lose digits; text is still cut to its width.
        RecordRun{"numberRightTooWide",
                  OneSource,
                  "('A', 2, 0, 'Zahl', '', '', 'a', 'rechts', 0, 0, 1)",
                  false,
                  "12\r\n345\r\n1234\r\n1\r\n",
                  " 12\r\n345\r\n",
                  {"(Datensatz 3, Feld A)",
                   "Die Zahl \"1234\" ist 4 Zeichen lang, das Feld nur 3 Zeichen breit."}},
        RecordRun{"runningNumberTooWide",
                  OneSource,
                  "('N', 1, 0, 'AutoCount', '', '8', '', 'rechts', 0, 0, 1)",
                  false,
                  "a\r\nb\r\nc\r\n",
                  "8\r\n9\r\n",
                  {"(Datensatz 3, Feld N)", "\"10\""}},
        RecordRun{"tooManyDigits",
                  OneSource,
                  "('A', 0, 0, 'Zahl', '', '', 'a', '', 0, 0, 1)",
                  false,
                  "1234567890123456789012345678901234567890\r\n"
                  "12345678901234567890123456789012345678901\r\n",
                  "1234567890123456789012345678901234567890\r\n",
                  {"(Datensatz 2, Feld A)",
                   "Die Zahl \"12345678901234567890123456789012345678901\" "
                   "hat mehr als 40 gültige Ziffern"}},
        // Dates are not cut either; blanks that padding would have added may go.
        RecordRun{"dateFixedTooWide",
                  OneSource,
                  "('A', 8, 0, 'Datum', '', '', 'a', '', 0, 0, 1)",
                  true,
                  "1.1.05\r\n31.12.05   \r\n31.12.2005\r\n",
                  "1.1.05  \r\n31.12.05\r\n",
                  {"(Datensatz 3, Feld A)", "Das Datum \"31.12.2005\" ist 10 Zeichen lang, das "
                                            "Feld nur 8 Zeichen breit."}},
        RecordRun{"compactDateRightTooWide",
                  "('a', 'yyyymmdd', 1)",
                  "('A', 7, 0, 'Datum', 'ddmmyyyy', '', 'a', 'rechts', 0, 0, 1)",
                  false,
                  "   \r\n20051231\r\n",
                  "     ..\r\n",
                  {"(Datensatz 2, Feld A)", "Das Datum \"31122005\" ist 8 Zeichen"}},
        RecordRun{"textStillCut",
                  OneSource,
                  "('A', 3, 0, 'Text', '', '', 'a', 'rechts', 0, 0, 1),"
                  "('B', 3, 0, 'Text', '', '', 'a', '', 0, 0, 2)",
                  true,
                  "abcdef\r\n",
                  "def;abc\r\n",
                  {}},
        // Column k fills source field k, in every record.
        RecordRun{"moreColumnsThanFields",
                  TwoSources,
                  TwoTexts,
                  false,
                  "1;2;3;4\r\n5;6;7;8\r\n",
                  "1;2\r\n5;6\r\n",
                  {}},
        RecordRun{"firstLineShorter",
                  ThreeSources,
                  ThreeTexts,
                  false,
                  "1;2\r\n3;4;\r\n6;7\r\n8;9;10;11\r\n",
                  "1;2;\r\n3;4;\r\n6;7;\r\n",
                  {"(Datensatz 4)", "Zeile 4 hat 4 Felder, die erste Zeile nur 2"}},
        RecordRun{"lineShorterThanFirstButEnough",
                  TwoSources,
                  TwoTexts,
                  false,
                  "1;2;3\r\n4;5\r\n",
                  "1;2\r\n4;5\r\n",
                  {}},
        RecordRun{"lineShorterThanFirst",
                  ThreeSources,
                  ThreeTexts,
                  false,
                  "1;2;3\r\n4;5;6\r\n7;8\r\n",
                  "1;2;3\r\n4;5;6\r\n",
                  {"(Datensatz 3)", "Zeile 3 hat nur 2 Felder (Trennzeichen \";\"), die erste "
                                    "Zeile 3: es fehlt Feld 3."}},
        RecordRun{"emptyLine",
                  TwoSources,
                  TwoTexts,
                  false,
                  "1;2\r\n\r\n3;4\r\n",
                  "1;2\r\n",
                  {"(Datensatz 2)", "Zeile 2 ist leer, die erste Zeile hat 2 Felder: es "
                                    "fehlt Feld 2."}},
        // Dates that are no dates stop the run; "no date" and every year 1900-2099 pass.
        RecordRun{"noSuchDay",
                  "('a', 'yyyymmdd', 1)",
                  "('A', 0, 0, 'Datum', 'dd.mm.yyyy', '', 'a', '', 0, 0, 1)",
                  false,
                  "20240229\r\n20230229\r\n",
                  "29.02.2024\r\n",
                  {"(Datensatz 2, Feld A)", "\"20230229\"", "den 29.02.2023 gibt es nicht"}},
        RecordRun{"notEightDigits",
                  "('a', 'ddmmyyyy', 1)",
                  "('A', 0, 0, 'Datum', 'yyyymmdd', '', 'a', '', 0, 0, 1)",
                  false,
                  "2005-12-31\r\n",
                  "",
                  {"(Datensatz 1, Feld A)", "\"2005-12-31\"", "acht Ziffern"}},
        RecordRun{"compactToCompact",
                  "('a', 'yyyymmdd', 1)",
                  "('A', 0, 0, 'Datum', 'ddmmyyyy', '', 'a', '', 0, 0, 1)",
                  false,
                  "20051231\r\n00000000\r\n\r\n20051232\r\n",
                  "31122005\r\n00000000\r\n..\r\n",
                  {"(Datensatz 4, Feld A)", "\"20051232\""}},
        RecordRun{"tyymmddBothWays",
                  "('a', 'tyymmdd', 1)",
                  "('A', 0, 0, 'Datum', 'tyymmdd', '', 'a', '', 0, 0, 1),"
                  "('B', 0, 0, 'Datum', 'dd.mm.yyyy', '', 'a', '', 0, 0, 2)",
                  false,
                  "214\r\n50607\r\n1991231\r\n0\r\n2000101\r\n",
                  "214;14.02.1900\r\n50607;07.06.1905\r\n1991231;31.12.2099\r\n;\r\n",
                  {"(Datensatz 5, Feld A)", "\"2000101\"", "die erste 0 für 19xx"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A database source fills the source fields as a text file does: column k into field k.
TEST(RecordRunsFromADatabase, FillTheFieldsFromTheFirstColumn)
{
    struct Case {
        const char* srcFields;
        const char* trgFields;
        QByteArray table;
        QByteArray expected;
    } const cases[] = {
        {TwoSources, TwoTexts, "1,2,3,4\r\n5,6,7,8\r\n", "1;2\r\n5;6\r\n"},
        {ThreeSources, ThreeTexts, "1,2\r\n3,4\r\n", "1;2;\r\n3;4;\r\n"},
    };
    for (const Case& c : cases) {
        test::EngineFixture f;
        f.heads(T);
        const QString folder = f.db.filePath(QStringLiteral("csv"));
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile table(folder + QStringLiteral("/quelle.csv"));
        ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        table.write(c.table);
        table.close();
        f.db.exec(QStringLiteral("update srcHead set frommedium = 2, filetype = 'Text', "
                                 "header = 0, path = '%1', dbtable = 'quelle'")
                      .arg(folder));
        storeFields(f.db, c.srcFields, c.trgFields);

        showRunResult(runDefinition(T));

        EXPECT_TRUE(f.sink.boxes.empty()) << boxTexts(f.sink.boxes).toStdString();
        EXPECT_EQ(f.target().toStdString(), c.expected.toStdString());
    }
}

// An error quotes at most the first 100 characters of a value, and says how long it was.
TEST(RecordRunsWithHugeValues, QuoteOnlyTheStartOfTheValue)
{
    const QByteArray huge(1 << 20, '7');
    for (const char* format : {"", "yyyymmdd"}) {
        test::EngineFixture f;
        f.heads(T);
        f.db.exec(QStringLiteral("insert into srcBody (transid, field, format, sort) values "
                                 "('T', 'a', '%1', 1)")
                      .arg(QString::fromUtf8(format)));
        f.db.exec(QStringLiteral("insert into trgBody (transid, field, length, fieldtype, "
                                 "srcfield, adjustment, sort) values "
                                 "('T', 'A', 5, 'Zahl', 'a', 'rechts', 1)"));
        f.writeSource("0\r\nx" + huge + "\r\n");

        showRunResult(runDefinition(T));

        ASSERT_EQ(f.sink.boxes.size(), 1u) << format;
        const QString text = f.sink.boxes[0].text;
        EXPECT_LT(text.size(), 500) << format;
        EXPECT_TRUE(text.contains(QStringLiteral("(Datensatz 2, Feld A)")));
        EXPECT_TRUE(text.contains(QStringLiteral("\"x") + QString(99, QLatin1Char('7')) +
                                  QStringLiteral("…\" (1048577 Zeichen)")))
            << text.toStdString();
        EXPECT_EQ(f.target(), QByteArray("     0\r\n"));
    }
}

} // namespace
