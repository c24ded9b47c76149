// One contract for every back-end that writes: the same values (decimals, large and
// negative numbers, dates, date-times, Booleans, empty text, NULL, umlauts and "€"), as
// the engine hands them over or as text, go into each back-end and read back alike, and
// random numbers come back digit for digit or are refused (those written into a new
// workbook as openpyxl reads them). Quirk flags mark what a file
// type cannot hold.
#include "backendsundertest.h"
#include "common/error.h"
#include "common/globals.h"
#include "connectors/backends/filetypes.h"
#include "connectors/clsadoconnect.h"
#include "connectors/databasetarget.h"
#include "connectors/filetypes.h"
#include "support/casename.h"
#include "support/skip.h"
#include "support/testdatabases.h"
#include "support/thrown.h"
#include "values/columnnumbers.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace quendra;
using namespace quendra::test;
using namespace Qt::StringLiterals;

namespace {
using quendra::test::PrintTo; // rows print their name

// The columns every target table has, in this order; dBase III has no date-time type,
// so its table lacks "zeitpunkt". Betrag is a floating-point column, ganz one of whole
// numbers, dezimal one of decimals, as far as the file type has them.
enum Column { Nr, Betrag, Datum, Zeitpunkt, Flag, Name, Ganz, Dezimal };

// A PostgreSQL table that takes one row a statement, as some drivers do.
const QStringList OneRowAStatement = {
    u"create function %1_einzeln() returns trigger language plpgsql as $$ begin if (select "
    "count(*) from neu) > 1 then raise exception 'eine Zeile je Anweisung'; end if; return "
    "null; end $$"_s,
    u"create trigger einzeln after insert on %1 referencing new table as neu for each "
    "statement execute function %1_einzeln()"_s};

struct WriterCase {
    std::string name;
    const BackendUnderTest* backend;
    QStringList moreSql = {}; // after the table is made; %1 the table
    bool allOrNothing = false;
    bool refusesSix = false;
};

// Every back-end under test that has tables to write, and PostgreSQL once more as a
// driver that takes one row a statement.
std::vector<WriterCase> writerCases()
{
    std::vector<WriterCase> cases;
    for (const BackendUnderTest& b : backendsUnderTest()) {
        if (b.makeTable)
            cases.push_back({b.name, &b});
    }
    const BackendUnderTest* postgres = &backendUnderTest("OdbcPostgres");
    cases.push_back({"OdbcPostgresOneRowAStatement", postgres,
                     OneRowAStatement + QStringList{u"alter table %1 add check (nr <> 6)"_s}, false,
                     true});
    cases.push_back(
        {"OdbcPostgresOneRowAStatementAllOrNothing", postgres, OneRowAStatement, true, false});
    const BackendUnderTest* alone = &backendUnderTest("OdbcPostgresAlone");
    cases.push_back({"OdbcPostgresAloneOneRowAStatement", alone,
                     OneRowAStatement + QStringList{u"alter table %1 add check (nr <> 6)"_s}, false,
                     true});
    cases.push_back(
        {"OdbcPostgresAloneOneRowAStatementAllOrNothing", alone, OneRowAStatement, true, false});
    return cases;
}

using Row = std::vector<QVariant>; // one value per Column, from Nr on

// A "Zahl" value as the engine hands it over.
QVariant zahl(const QString& text)
{
    WrittenNumber n{{}, text};
    parseNumber(text, RegionalSettings(), n.number);
    return QVariant::fromValue(n);
}

// What the engine hands over (numbers exactly, dates as QDate, text as QString), and
// the same kinds of values as a text field gives them.
const std::vector<Row> Written = {
    {zahl(u"1"_s), zahl(u"12,5"_s), QDate(2005, 12, 31),
     QDateTime(QDate(2016, 4, 28), QTime(11, 30)), true, u"Müller €"_s},
    {zahl(u"2"_s), zahl(u"-1234567,25"_s), u"29.02.2024"_s, u"01.03.2024"_s, u"Falsch"_s,
     u"Zoë Straße"_s},
    {u"3"_s, u"123456789012,75"_s, u"2007-01-01"_s, u"28.04.2016 11:30:00"_s, u"ja"_s, u""_s},
    // Every form of date text the engine reads, two-digit years as the engine reads them.
    {zahl(u"4"_s), QVariant(), u"31.12.05"_s, u"01.02.29 08:15:00"_s, QVariant(), QVariant()},
    {zahl(u"5"_s), QVariant(), u"1.2.30"_s, u"2005-12-31T10:30:00"_s, QVariant(), QVariant()},
    {zahl(u"6"_s), QVariant(), u"31/12/2005"_s, u"31.12.2005 00:00"_s, QVariant(), QVariant()},
    // Empty text into a number column leaves it to its default, as NULL does.
    {zahl(u"7"_s), u""_s, QVariant(), QVariant(), QVariant(), QVariant()},
};

const std::vector<std::vector<const char*>> ReadBack = {
    {"1", "12,5", "31.12.2005", "28.04.2016 11:30:00", "Wahr", "Müller €"},
    {"2", "-1234567,25", "29.02.2024", "01.03.2024", "Falsch", "Zoë Straße"},
    {"3", "123456789012,75", "01.01.2007", "28.04.2016 11:30:00", "Wahr", ""},
    {"4", "", "31.12.2005", "01.02.2029 08:15:00", "", ""},
    {"5", "", "01.02.1930", "31.12.2005 10:30:00", "", ""},
    {"6", "", "31.12.2005", "31.12.2005", "", ""},
    {"7", "", "", "", "", ""},
};

class WriterContract : public ::testing::TestWithParam<WriterCase> {
protected:
    static void SetUpTestSuite() { initGlobals(u"/nonexistent/init.mdb"_s); }

    void SetUp() override
    {
        QString skip;
        target = GetParam().backend->makeTable(dir, skip, GetParam().moreSql);
        if (!target.connection.fileType)
            QUENDRA_SKIP() << skip.toStdString();
        m_quirks = GetParam().backend->quirks;
        m_quirks.allOrNothing = GetParam().allOrNothing;
        m_quirks.refusesSix = GetParam().refusesSix;
    }
    void TearDown() override
    {
        if (target.cleanup)
            target.cleanup();
    }

    const Quirks& quirks() const { return m_quirks; }

    bool written(Column column) const
    {
        return ordinal(column) >= 0 && !(column == Flag && quirks().noBoolean);
    }

    // The table's ordinal of a column; -1 when the file type has none for it.
    int ordinal(Column column) const
    {
        if (!quirks().noDateTime || column < Zeitpunkt)
            return column;
        return column == Zeitpunkt ? -1 : column - 1;
    }

    // The table to write to, as a run opens it.
    std::unique_ptr<DatabaseTarget> open(bool wholeRun = false) const
    {
        if (target.beforeOpen)
            target.beforeOpen();
        return std::make_unique<DatabaseTarget>(target.connection, target.table, QStringList(),
                                                wholeRun);
    }
    // The table's rows in order of nr.
    std::unique_ptr<clsADOConnect> openSorted() const
    {
        if (target.beforeOpen)
            target.beforeOpen();
        auto c = std::make_unique<clsADOConnect>();
        c->setSource(target.connection);
        c->setSQL(u"select * from %1 order by nr"_s.arg(target.table));
        c->init();
        return c;
    }

    void writeRow(DatabaseRecord& rec, const Row& row) const
    {
        rec.AddNew();
        for (int column = Nr; column < int(row.size()); ++column) {
            if (written(Column(column)))
                rec.setItem(ordinal(Column(column)), row[size_t(column)]);
        }
        rec.update();
    }

    std::vector<QStringList> readBack(int last = Name) const
    {
        std::vector<QStringList> rows;
        for (auto c = openSorted(); !c->isEOF(); c->MoveNext()) {
            QStringList row;
            for (int column = Nr; column <= last; ++column) {
                if (written(Column(column)))
                    row.append(c->getField(ordinal(Column(column))).toString());
            }
            rows.push_back(row);
        }
        return rows;
    }

    // The rows ReadBack[first..] as this file type gives them back: a typeless one keeps
    // a value that came as text exactly as it came.
    std::vector<QStringList> expected(size_t first = 0) const
    {
        std::vector<QStringList> result;
        for (size_t r = first; r < ReadBack.size(); ++r) {
            QStringList row;
            for (int column = Nr; column <= Name; ++column) {
                const QVariant& given = Written[r][size_t(column)];
                QString text = QString::fromUtf8(ReadBack[r][size_t(column)]);
                if (quirks().typeless && given.typeId() == QMetaType::QString)
                    text = given.toString();
                if (quirks().defaults && column == Name && given.isNull())
                    text = u"offen"_s;
                if (written(Column(column)))
                    row.append(text);
            }
            result.push_back(row);
        }
        return result;
    }

    QTemporaryDir dir;
    Target target;
    Quirks m_quirks;
};

TEST_P(WriterContract, WritesEveryKindOfValueAndReadsItBack)
{
    {
        auto c = open(quirks().allOrNothing);
        for (const Row& row : Written)
            writeRow(*c, row);
        if (quirks().refusesSix)
            EXPECT_TRUE(thrownBy([&] { c->close(); }).description().contains(u"nr_check"));
        else
            c->close();
    }
    std::vector<QStringList> rows = expected();
    if (quirks().refusesSix)
        rows.resize(5); // the rows before it stay
    EXPECT_EQ(readBack(), rows);
}

// Rows of nothing but NULL are rows as well: each one arrives, with the declared defaults.
TEST_P(WriterContract, RowsOfNothingButNullAllArrive)
{
    {
        auto c = open();
        for (int i = 0; i < 3; ++i)
            writeRow(*c, Row(Name + 1));
        c->close();
    }
    QStringList empty = expected().back(); // row 7: only its number is not NULL
    empty[0].clear();
    EXPECT_EQ(readBack(), std::vector<QStringList>(3, empty));
}

// All or nothing beyond one block of rows: once the first block has found that the driver
// takes one row a statement, the next is sent so as well, into the same transaction.
TEST_P(WriterContract, AllOrNothingHoldsMoreThanOneBlock)
{
    if (!quirks().allOrNothing)
        return; // the other targets commit block by block
    auto c = open(true);
    Row row(Name + 1);
    for (int nr = 1; nr <= 5002; ++nr) {
        row[Nr] = zahl(QString::number(nr));
        writeRow(*c, row);
    }
    c->close();
    c.reset();
    EXPECT_EQ(readBack().size(), 5002u);
}

// A character beyond the table's code page is written as "?" and counted, in the row and
// column it was in; a table that holds every character keeps it and counts nothing.
TEST_P(WriterContract, CountsCharactersTheCodePageLacks)
{
    Row row = Written.back();
    row[Nr] = zahl(u"8"_s);
    row[Name] = u"b\u2126c"_s;
    auto c = open();
    writeRow(*c, Written.back());
    writeRow(*c, row);
    c->close();
    const std::optional<ReplacedCharacters> replaced =
        c->replaced() ? std::optional(*c->replaced()) : std::nullopt;
    const QString codePage = c->codePageName();
    c.reset();
    const bool lacks = replaced && replaced->characters > 0;
    EXPECT_EQ(readBack().at(1).back(), lacks ? u"b?c"_s : row[Name].toString());
    if (lacks) {
        EXPECT_EQ(replaced->characters, 1);
        EXPECT_EQ(replaced->firstLine, 2);
        EXPECT_EQ(replaced->firstValue, ordinal(Name));
        EXPECT_EQ(replaced->firstCharacter, u"\u2126"_s);
        EXPECT_EQ(codePage, u"1252"_s);
    }
}

// A value the column cannot hold stops with a type mismatch naming column and value;
// the rows before it stay written and nothing of the refused row is. A file type without
// column types stores the value as it is.
struct BadValue {
    const char* name;
    Column column;
    QVariant value;
};

const BadValue BadValues[] = {
    {"TextIntoNumber", Betrag, u"zwölf"_s},
    {"FractionIntoInteger", Nr, u"2,5"_s},
    {"MinutePastMidnightIntoDate", Datum, QDateTime(QDate(2024, 3, 1), QTime(0, 1))},
    {"NoDate", Datum, u"31.02.2024"_s},
    {"CompactDate", Datum, u"20051231"_s},
    {"DecimalPoint", Betrag, u"12.5"_s},
    {"NoBoolean", Flag, u"vielleicht"_s},
};

TEST_P(WriterContract, RefusesWhatTheColumnCannotHoldAndKeepsEarlierRows)
{
    for (const BadValue& bad : BadValues) {
        SCOPED_TRACE(bad.name);
        if (!written(bad.column))
            continue;
        const auto before = readBack();
        Row row = Written.front();
        row[bad.column] = bad.value;
        {
            auto c = open();
            writeRow(*c, Written.back());
            if (quirks().typeless) {
                writeRow(*c, row);
                continue;
            }
            const Error e = test::thrownBy([&] { writeRow(*c, row); });
            EXPECT_TRUE(e.description().contains(bad.value.toString().left(5)))
                << e.description().toStdString();
            c->close();
        }
        auto after = before;
        after.push_back(expected(ReadBack.size() - 1).front());
        EXPECT_EQ(readBack(), after);
    }
}

// A random number in German form: a whole one of up to 19 digits or a decimal of up to 18.
QString randomNumber(std::mt19937_64& random)
{
    const bool whole = random() % 2 == 0;
    const int digits = int(random() % (whole ? 19 : 17)) + (whole ? 1 : 2);
    QString text = random() % 2 == 0 ? u"-"_s : QString();
    for (int k = 0; k < digits; ++k)
        text += QChar(u'0' + int(random() % 10));
    if (!whole)
        text.insert(text.size() - int(random() % std::uint64_t(digits - 1)) - 1, u',');
    return text;
}

// Whether both texts in German form are the same number.
bool sameNumber(const QString& a, const QString& b)
{
    DecimalNumber x, y;
    return parseNumber(a, RegionalSettings(), x) && parseNumber(b, RegionalSettings(), y) &&
           decimalText(x) == decimalText(y);
}

// Differential: numbers as the engine hands them over go into every number column of the
// table; each one the writer takes comes back as the same number, digit for digit.
TEST_P(WriterContract, NumbersComeBackDigitForDigitOrAreRefused)
{
    std::mt19937_64 random(48);
    std::map<int, std::pair<Column, QString>> taken; // by nr
    std::map<Column, int> refused;
    {
        auto c = open();
        int nr = 100;
        for (int n = 0; n < 60; ++n) {
            const QString text = randomNumber(random);
            for (const Column column : {Betrag, Ganz, Dezimal}) {
                Row row(Dezimal + 1);
                row[Nr] = zahl(QString::number(++nr));
                row[column] = zahl(text);
                try {
                    writeRow(*c, row);
                    taken[nr] = {column, text};
                } catch (const Error&) {
                    ++refused[column];
                }
            }
        }
        c->close();
    }
    size_t found = 0;
    for (const QStringList& row : readBack(Dezimal)) {
        const auto it = taken.find(row[0].toInt());
        if (it == taken.end())
            continue;
        ++found;
        const auto& [column, text] = it->second;
        int place = 0; // of the column among those read back
        for (int before = Nr; before < column; ++before)
            place += written(Column(before));
        EXPECT_TRUE(sameNumber(row[place], text))
            << text.toStdString() << " as " << row.join(u" | "_s).toStdString();
    }
    EXPECT_EQ(found, taken.size());
    for (const Column column : {Betrag, Ganz, Dezimal})
        EXPECT_LT(refused[column], 54) << column; // every column takes some
}

INSTANTIATE_TEST_SUITE_P(Backends, WriterContract, ::testing::ValuesIn(writerCases()),
                         [](const auto& info) { return info.param.name; });

// A workbook's number cell is a double, printed by libxlsxwriter with 16 digits and the C
// library's decimal separator: random numbers into one, under the decimal comma of a
// German desktop, come back through openpyxl digit for digit or are refused.
TEST(WorkbookWriter, NumbersComeBackDigitForDigitOrAreRefused)
{
    QTemporaryDir dir; // a locale of nothing but numbers with a decimal comma
    QFile source(dir.filePath(u"komma.txt"_s));
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write("LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"<U002E>\"\n"
                 "grouping 3\nEND LC_NUMERIC\n");
    source.close();
    QProcess make; // its warnings about the categories left out go nowhere
    make.start(u"localedef"_s, {u"-c"_s, u"-i"_s, source.fileName(), u"-f"_s, u"ANSI_X3.4-1968"_s,
                                dir.filePath(u"komma"_s)});
    make.waitForFinished(60000);
    qputenv("LOCPATH", QFile::encodeName(dir.path()));
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "komma"))
        QUENDRA_SKIP() << "localedef legt kein Gebietsschema an";
    const QString path = dir.filePath(u"werte.xlsx"_s);
    std::mt19937_64 random(48);
    QStringList taken;
    {
        const auto table =
            Excel12Type.makeWriter()->openTable({{}, path, false, {}, {u"betrag"_s}}, u"werte"_s);
        for (int n = 0; n < 200; ++n) {
            const QString text = randomNumber(random);
            table->AddNew();
            table->setItem(0, zahl(text));
            try {
                table->update();
                taken.append(text);
            } catch (const Error& e) {
                EXPECT_TRUE(e.description().contains(text)) << e.description().toStdString();
            }
        }
        table->close();
    }
    std::setlocale(LC_NUMERIC, before.c_str());
    QProcess python;
    python.start(u"/usr/bin/python3"_s,
                 {QStringLiteral(QUENDRA_TEST_DATA_DIR "/files/sheet-cells.py"), path, u"werte"_s});
    python.waitForFinished(60000);
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QStringList cells =
        QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(cells.size(), taken.size());
    for (qsizetype i = 0; i < taken.size(); ++i)
        EXPECT_TRUE(sameNumber(cells[i], taken[i]))
            << taken[i].toStdString() << " as " << cells[i].toStdString();
    EXPECT_GT(taken.size(), 40); // the shorter numbers are taken
}

} // namespace
