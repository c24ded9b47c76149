#include "common/error.h"
#include "engine/numbers.h"

#include <gtest/gtest.h>

using namespace quendra;

namespace {

const RegionalSettings German =
    RegionalSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));
const RegionalSettings American =
    RegionalSettings::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));

std::string name(const char* text)
{
    std::string s;
    for (const char* p = text; *p; ++p)
        s += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return s.empty() ? "empty" : s;
}

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

struct ReadCase {
    const char* text;
    const char* plain; // nullptr: not a number
};

class ReadNumber : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumber, GermanRules)
{
    DecimalNumber n;
    const bool ok = parseNumber(QString::fromUtf8(GetParam().text), German, n);
    ASSERT_EQ(ok, GetParam().plain != nullptr);
    if (ok) {
        QString out;
        formatPlainNumber(out, n, German);
        EXPECT_EQ(out, QString::fromUtf8(GetParam().plain));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumber,
    ::testing::Values(ReadCase{"12,5", "12,5"}, ReadCase{"  -12,50 ", "-12,5"},
                      ReadCase{"1.234,5", "1234,5"}, ReadCase{"1.234.567", "1234567"},
                      ReadCase{"+5", "5"}, ReadCase{"5-", "-5"}, ReadCase{",5", "0,5"},
                      ReadCase{"5,", "5"}, ReadCase{"1,5E3", "1500"}, ReadCase{"1e-2", "0,01"},
                      ReadCase{"0000", "0"}, ReadCase{"-0,00", "0"}, ReadCase{" 00012,50", "12,5"},
                      ReadCase{"0,000000000000000000001", "0,000000000000000000001"},
                      ReadCase{"12.5", nullptr}, ReadCase{"1234.567", nullptr},
                      ReadCase{"1.23", nullptr}, ReadCase{"", nullptr}, ReadCase{"  ", nullptr},
                      ReadCase{"abc", nullptr}, ReadCase{"1,2,3", nullptr}, ReadCase{"E5", nullptr},
                      ReadCase{"1E", nullptr}, ReadCase{"--5", nullptr}, ReadCase{"-5-", nullptr},
                      ReadCase{"1e400", nullptr}, ReadCase{",", nullptr},
                      ReadCase{"12 x", nullptr}),
    [](const auto& info) { return std::to_string(info.index) + "_" + name(info.param.text); });

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

struct WriteCase {
    const char* text;
    NumberLayout layout;
    const char* expected;
};

class WriteNumber : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteNumber, RoundsTheDecimalText)
{
    DecimalNumber n;
    ASSERT_TRUE(parseNumber(QString::fromUtf8(GetParam().text), German, n));
    QString out = QStringLiteral("previous content");
    formatNumber(out, n, GetParam().layout, German);
    EXPECT_EQ(out, QString::fromUtf8(GetParam().expected));
}

constexpr NumberLayout two{1, 2, 2, false, false};

INSTANTIATE_TEST_SUITE_P(
    Layouts, WriteNumber,
    ::testing::Values(WriteCase{"2,345", two, "2,35"}, WriteCase{"-2,345", two, "-2,35"},
                      WriteCase{"1,005", two, "1,01"}, // 1.005 as a double rounds down
                      WriteCase{"0,005", two, "0,01"}, WriteCase{"9,995", two, "10,00"},
                      WriteCase{"-0,001", two, "0,00"}, WriteCase{"0,004", two, "0,00"},
                      WriteCase{"99,5", {3, 0, 0, false, false}, "100"},
                      WriteCase{"12,5", {5, 2, 2, false, false}, "00012,50"},
                      WriteCase{",5", {0, 2, 2, false, false}, ",50"},
                      WriteCase{"0", {0, 2, 2, false, false}, ",00"},
                      WriteCase{"1234567,891", {1, 2, 2, true, false}, "1.234.567,89"},
                      WriteCase{"123", {1, 0, 0, true, false}, "123"},
                      WriteCase{"12,5", {1, 2, 2, false, true}, "+12,50"},
                      WriteCase{"0", {1, 0, 0, false, true}, "+0"},
                      WriteCase{"1,5", {1, 0, 3, false, false}, "1,5"},
                      WriteCase{"1E20", {1, 0, 0, false, false}, "100000000000000000000"}),
    [](const auto& info) { return std::to_string(info.index) + "_" + name(info.param.text); });

struct DateCase {
    const char* text;
    const RegionalSettings* regional;
    QDate expected; // invalid: not a date
};

class ReadDate : public ::testing::TestWithParam<DateCase> {};

TEST_P(ReadDate, Recognises)
{
    QDate d;
    const bool ok = parseDate(QString::fromUtf8(GetParam().text), *GetParam().regional, d);
    EXPECT_EQ(ok, GetParam().expected.isValid());
    if (ok) {
        EXPECT_EQ(d, GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadDate,
    ::testing::Values(DateCase{"31.12.2005", &German, QDate(2005, 12, 31)},
                      DateCase{"1.2.2005", &German, QDate(2005, 2, 1)},
                      DateCase{" 31.12.05 ", &German, QDate(2005, 12, 31)},
                      DateCase{"31.12.29", &German, QDate(2029, 12, 31)},
                      DateCase{"31.12.30", &German, QDate(1930, 12, 31)},
                      DateCase{"2005-12-31", &German, QDate(2005, 12, 31)},
                      DateCase{"31/12/2005", &German, QDate(2005, 12, 31)},
                      DateCase{"31.12.2005 10:30:00", &German, QDate(2005, 12, 31)},
                      DateCase{"2005-12-31T10:30:00.000", &German, QDate(2005, 12, 31)},
                      DateCase{"29.02.2000", &German, QDate(2000, 2, 29)},
                      DateCase{"12/31/2005", &American, QDate(2005, 12, 31)},
                      DateCase{"31.12.2005", &American, QDate(2005, 12, 31)},
                      DateCase{"12/31/2005", &German, QDate()},
                      DateCase{"29.02.2001", &German, QDate()},
                      DateCase{"20051231", &German, QDate()}, DateCase{"31.12", &German, QDate()},
                      DateCase{"31.12.2005x", &German, QDate()},
                      DateCase{"31-12.2005", &German, QDate()},
                      DateCase{"31.12.205", &German, QDate()}, DateCase{"", &German, QDate()}),
    [](const auto& info) {
        return std::to_string(info.index) + "_" + name(info.param.text) +
               (info.param.regional == &American ? "_us" : "");
    });

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
    }
}

} // namespace
