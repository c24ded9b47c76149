#include "common/error.h"
#include "support/casetable.h"
#include "support/thrown.h"
#include "values/numbers.h"

#include <gtest/gtest.h>

using namespace quendra;

namespace {

const RegionalSettings German =
    RegionalSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));
const RegionalSettings American =
    RegionalSettings::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));

TEST(Regional, ReadsTheLocale)
{
    EXPECT_EQ(German.decimalSeparator, QLatin1Char(','));
    EXPECT_EQ(German.groupSeparator, QLatin1Char('.'));
    EXPECT_EQ(German.dateOrder, RegionalSettings::DateOrder::DayMonthYear);
    EXPECT_EQ(German.dateSeparator, QLatin1Char('.'));
    EXPECT_EQ(American.decimalSeparator, QLatin1Char('.'));
    EXPECT_EQ(American.dateOrder, RegionalSettings::DateOrder::MonthDayYear);
    EXPECT_EQ(American.dateSeparator, QLatin1Char('/'));
    EXPECT_EQ(American.datePattern, QLatin1String("M/d/yyyy")); // a two-digit year widened
    const auto swedish = RegionalSettings::fromLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
    EXPECT_EQ(swedish.dateOrder, RegionalSettings::DateOrder::YearMonthDay);
}

using test::CaseRow;
using namespace Qt::StringLiterals;

class ReadNumber : public ::testing::TestWithParam<CaseRow> {};

TEST_P(ReadNumber, GermanRules)
{
    DecimalNumber n;
    QString plain = u"keine Zahl"_s;
    if (parseNumber(GetParam()[0], German, n))
        formatPlainNumber(plain, n, German);
    EXPECT_EQ(plain, GetParam()[1]);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReadNumber,
                         ::testing::ValuesIn(test::caseTable(u"values/read-number.tsv"_s)),
                         test::caseName);

TEST(ReadNumberAsDouble, IsTheNearestDouble)
{
    double d = 0;
    ASSERT_TRUE(parseNumber(u"1.234,5", German, d));
    EXPECT_EQ(d, 1234.5);
    ASSERT_TRUE(parseNumber(u"-0,1", German, d));
    EXPECT_EQ(d, -0.1);
    ASSERT_TRUE(parseNumber(u"1,234.5", American, d));
    EXPECT_EQ(d, 1234.5);
    EXPECT_FALSE(parseNumber(u"1.234,5", American, d));
    EXPECT_FALSE(parseNumber(QString(), German, d)) << "a NULL value is no number";
}

class WriteNumber : public ::testing::TestWithParam<CaseRow> {};

TEST_P(WriteNumber, RoundsTheDecimalText)
{
    const CaseRow& c = GetParam();
    DecimalNumber n;
    ASSERT_TRUE(parseNumber(c[0], German, n));
    const NumberLayout layout{c[1].toInt(), c[2].toInt(), c[3].toInt(), c[4] == u"1", c[5] == u"1"};
    QString out = u"previous content"_s;
    formatNumber(out, n, layout, German);
    EXPECT_EQ(out, c[6]);
}

INSTANTIATE_TEST_SUITE_P(Rows, WriteNumber,
                         ::testing::ValuesIn(test::caseTable(u"values/write-number.tsv"_s)),
                         test::caseName);

class ReadDate : public ::testing::TestWithParam<CaseRow> {};

TEST_P(ReadDate, Recognises)
{
    const CaseRow& c = GetParam();
    QDate d;
    const bool ok = parseDate(c[0], c[1] == u"us" ? American : German, d);
    EXPECT_EQ(ok ? d.toString(Qt::ISODate) : u"kein Datum"_s, c[2]);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReadDate,
                         ::testing::ValuesIn(test::caseTable(u"values/read-date.tsv"_s)),
                         test::caseName);

class WriteDate : public ::testing::TestWithParam<CaseRow> {};

TEST_P(WriteDate, Patterns)
{
    QString out = u"abgelehnt"_s;
    const bool ok = formatDate(out, QDate(2005, 1, 5), GetParam()[0]);
    EXPECT_EQ(ok, out != u"abgelehnt") << "a refused pattern leaves the text as it was";
    EXPECT_EQ(out, GetParam()[1]);
}

INSTANTIATE_TEST_SUITE_P(Rows, WriteDate,
                         ::testing::ValuesIn(test::caseTable(u"values/write-date.tsv"_s)),
                         test::caseName);

// What a database receives for a date column: ISO text for every year, each digit where
// it belongs (the years 1 to 9999 are written without Qt's printf).
TEST(IsoDate, EveryYear)
{
    const struct {
        QDate date;
        const char* text;
    } rows[] = {
        {QDate(1, 1, 1), "0001-01-01"},      {QDate(999, 12, 31), "0999-12-31"},
        {QDate(1000, 10, 9), "1000-10-09"},  {QDate(2024, 2, 29), "2024-02-29"},
        {QDate(9999, 12, 31), "9999-12-31"}, {QDate(10000, 1, 2), "10000-01-02"},
        {QDate(-44, 3, 15), "-0044-03-15"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(isoDateText(row.date), QLatin1StringView(row.text));
        char bytes[10];
        const bool plain = isoDateBytes(row.date, bytes);
        EXPECT_EQ(plain, qstrlen(row.text) == 10);
        if (plain) {
            EXPECT_EQ(QByteArrayView(bytes, 10), QByteArrayView(row.text));
        }
    }
    char bytes[10];
    EXPECT_FALSE(isoDateBytes(QDate(), bytes));
}

TEST(DecimalSum, AddsWithoutBinaryNoise)
{
    DecimalSum cents; // a double sum of these would not come to 10000
    for (int i = 0; i < 1000000; ++i)
        cents.add(u"0,01", German);
    EXPECT_EQ(cents.text(German), u"10000");
}

class SumText : public ::testing::TestWithParam<CaseRow> {};

TEST_P(SumText, WritesThePlainNumber)
{
    DecimalSum sum;
    for (const QString& v : GetParam()[1].split(u' ', Qt::SkipEmptyParts))
        sum.add(v, German);
    EXPECT_EQ(sum.text(German), GetParam()[0]);
    EXPECT_EQ(sum.text(American), GetParam()[0].replace(u',', u'.'));
}

INSTANTIATE_TEST_SUITE_P(Rows, SumText, ::testing::ValuesIn(test::caseTable(u"values/sums.tsv"_s)),
                         test::caseName);

TEST(DecimalSum, RefusesTextAndOverflow)
{
    DecimalSum sum;
    const Error text = test::thrownBy([&] { sum.add(u"abc", German); });
    EXPECT_EQ(text.number(), errnum::TypeMismatch);
    EXPECT_TRUE(text.description().contains(u"abc"));
    sum.add(u"9E37", German);
    const Error big = test::thrownBy([&] { sum.add(u"9E37", German); });
    EXPECT_EQ(big.number(), errnum::Overflow);
    EXPECT_TRUE(big.description().contains(u"Summe wird zu groß"))
        << big.description().toStdString();
}

} // namespace
