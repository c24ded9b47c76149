#include "common/error.h"
#include "values/numbers.h"

#include <gtest/gtest.h>
#include <tuple>

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
    const auto swedish = RegionalSettings::fromLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
    EXPECT_EQ(swedish.dateOrder, RegionalSettings::DateOrder::YearMonthDay);
}

// The plain form of a number read by the German rules; nullptr: not a number.
TEST(ReadNumber, GermanRules)
{
    const std::pair<const char*, const char*> cases[] = {
        {"12,5", "12,5"},      {"  -12,50 ", "-12,5"},
        {"1.234,5", "1234,5"}, {"1.234.567", "1234567"},
        {"+5", "5"},           {"5-", "-5"},
        {",5", "0,5"},         {"5,", "5"},
        {"1,5E3", "1500"},     {"1e-2", "0,01"},
        {"0000", "0"},         {"-0,00", "0"},
        {" 00012,50", "12,5"}, {"0,000000000000000000001", "0,000000000000000000001"},
        {"12.5", nullptr},     {"1234.567", nullptr},
        {"1.23", nullptr},     {"", nullptr},
        {"  ", nullptr},       {"abc", nullptr},
        {"1,2,3", nullptr},    {"E5", nullptr},
        {"1E", nullptr},       {"--5", nullptr},
        {"-5-", nullptr},      {"1e400", nullptr},
        {",", nullptr},        {"12 x", nullptr}};
    for (const auto& [text, plain] : cases) {
        DecimalNumber n;
        const bool ok = parseNumber(QString::fromUtf8(text), German, n);
        ASSERT_EQ(ok, plain != nullptr) << text;
        if (ok) {
            QString out;
            formatPlainNumber(out, n, German);
            EXPECT_EQ(out, QString::fromUtf8(plain)) << text;
        }
    }
}

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
}

TEST(WriteNumber, RoundsTheDecimalText)
{
    constexpr NumberLayout two{1, 2, 2, false, false};
    const std::tuple<const char*, NumberLayout, const char*> cases[] = {
        {"2,345", two, "2,35"},
        {"-2,345", two, "-2,35"},
        {"1,005", two, "1,01"}, // 1.005 as a double rounds down
        {"0,005", two, "0,01"},
        {"9,995", two, "10,00"},
        {"-0,001", two, "0,00"},
        {"0,004", two, "0,00"},
        {"99,5", {3, 0, 0, false, false}, "100"},
        {"12,5", {5, 2, 2, false, false}, "00012,50"},
        {",5", {0, 2, 2, false, false}, ",50"},
        {"0", {0, 2, 2, false, false}, ",00"},
        {"1234567,891", {1, 2, 2, true, false}, "1.234.567,89"},
        {"123", {1, 0, 0, true, false}, "123"},
        {"12,5", {1, 2, 2, false, true}, "+12,50"},
        {"0", {1, 0, 0, false, true}, "+0"},
        {"1,5", {1, 0, 3, false, false}, "1,5"},
        {"1E20", {1, 0, 0, false, false}, "100000000000000000000"}};
    for (const auto& [text, layout, expected] : cases) {
        DecimalNumber n;
        ASSERT_TRUE(parseNumber(QString::fromUtf8(text), German, n)) << text;
        QString out = QStringLiteral("previous content");
        formatNumber(out, n, layout, German);
        EXPECT_EQ(out, QString::fromUtf8(expected)) << text;
    }
}

// The day a text is read as; an invalid date: not a date.
TEST(ReadDate, Recognises)
{
    const std::tuple<const char*, const RegionalSettings*, QDate> cases[] = {
        {"31.12.2005", &German, QDate(2005, 12, 31)},
        {"1.2.2005", &German, QDate(2005, 2, 1)},
        {" 31.12.05 ", &German, QDate(2005, 12, 31)},
        {"31.12.29", &German, QDate(2029, 12, 31)},
        {"31.12.30", &German, QDate(1930, 12, 31)},
        {"2005-12-31", &German, QDate(2005, 12, 31)},
        {"31/12/2005", &German, QDate(2005, 12, 31)},
        {"31.12.2005 10:30:00", &German, QDate(2005, 12, 31)},
        {"2005-12-31T10:30:00.000", &German, QDate(2005, 12, 31)},
        {"29.02.2000", &German, QDate(2000, 2, 29)},
        {"12/31/2005", &American, QDate(2005, 12, 31)},
        {"31.12.2005", &American, QDate(2005, 12, 31)},
        {"12/31/2005", &German, QDate()},
        {"29.02.2001", &German, QDate()},
        {"20051231", &German, QDate()},
        {"31.12", &German, QDate()},
        {"31.12.2005x", &German, QDate()},
        {"31-12.2005", &German, QDate()},
        {"31.12.205", &German, QDate()},
        {"", &German, QDate()}};
    for (const auto& [text, regional, expected] : cases) {
        QDate d;
        const bool ok = parseDate(QString::fromUtf8(text), *regional, d);
        EXPECT_EQ(ok, expected.isValid()) << text;
        if (ok) {
            EXPECT_EQ(d, expected) << text;
        }
    }
}

TEST(WriteDate, Patterns)
{
    const QDate d(2005, 1, 5);
    const std::pair<const char*, const char*> cases[] = {
        {"dd.mm.yyyy", "05.01.2005"}, {"d.m.yy", "5.1.05"},     {"yyyy-mm-dd", "2005-01-05"},
        {"DD/MM/YYYY", "05/01/2005"}, {"yyyymmdd", "20050105"}, {"ddmmyyyy", "05012005"}};
    for (const auto& [pattern, expected] : cases) {
        QString out;
        EXPECT_TRUE(formatDate(out, d, QString::fromUtf8(pattern))) << pattern;
        EXPECT_EQ(out, QString::fromUtf8(expected)) << pattern;
    }
    for (const char* refused : {"ddd", "mmm yyyy", "hh:mm", "y"}) {
        QString out = QStringLiteral("kept");
        EXPECT_FALSE(formatDate(out, d, QString::fromUtf8(refused))) << refused;
        EXPECT_EQ(out, u"kept");
    }
}

TEST(DecimalSum, AddsWithoutBinaryNoise)
{
    DecimalSum cents; // a double sum of these would not come to 10000
    for (int i = 0; i < 1000000; ++i)
        cents.add(u"0,01", German);
    EXPECT_EQ(cents.text(German), u"10000");

    DecimalSum big;
    for (const char* v : {"44962433480,80", "0,05", " 00000,02", "+0,00"})
        big.add(QString::fromUtf8(v), German);
    EXPECT_EQ(big.text(German), u"44962433480,87");
}

TEST(DecimalSum, WritesThePlainNumber)
{
    const std::vector<std::pair<std::vector<const char*>, const char*>> cases = {
        {{}, "0"},
        {{"1234", "0,5"}, "1234,5"},
        {{"1,5", "0,25", "-1,75"}, "0"},
        {{"-1", "-2,000"}, "-3"},
        {{"0,1", "0,2"}, "0,3"},
        {{"1.000,5-", "2000"}, "999,5"}};
    for (const auto& [values, expected] : cases) {
        DecimalSum sum;
        for (const char* v : values)
            sum.add(QString::fromUtf8(v), German);
        EXPECT_EQ(sum.text(German), QString::fromUtf8(expected)) << expected;
        EXPECT_EQ(sum.text(American), QString::fromUtf8(expected).replace(u',', u'.'));
    }
}

TEST(DecimalSum, RefusesTextAndOverflow)
{
    DecimalSum sum;
    try {
        sum.add(u"abc", German);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::TypeMismatch);
        EXPECT_TRUE(e.description().contains(u"abc"));
    }
    sum.add(u"9E37", German);
    try {
        sum.add(u"9E37", German);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::Overflow);
        EXPECT_TRUE(e.description().contains(u"Summe wird zu groß"))
            << e.description().toStdString();
    }
}

} // namespace
