// Database values to regional text and back (German regional settings in the tests); the
// common cases run through every writer in test_writercontract.cpp.
#include "common/error.h"
#include "connectors/backends/valueconversion.h"
#include "support/casename.h"
#include "support/thrown.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace quendra;

namespace {
using quendra::test::PrintTo; // rows print their name
using namespace Qt::StringLiterals;

struct TextCase {
    const char* name;
    QVariant value;
    const char* expected;
};

class RegionalTextOut : public ::testing::TestWithParam<TextCase> {};

TEST_P(RegionalTextOut, German)
{
    const RegionalText text;
    EXPECT_EQ(text.toText(GetParam().value), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegionalTextOut,
    ::testing::Values(
        TextCase{"Null", QVariant(), ""},
        TextCase{"NullOfAType", QVariant(QMetaType::fromType<double>()), ""},
        TextCase{"Text", u"Müller €"_s, "Müller €"}, TextCase{"Decimal", 12.5, "12,5"},
        TextCase{"NoGroupSeparator", 1234567.25, "1234567,25"},
        TextCase{"WholeDouble", 100.0, "100"}, TextCase{"NegativeZero", -0.0, "0"},
        TextCase{"ShortestExactForm", 0.1 + 0.2, "0,30000000000000004"},
        TextCase{"LargeWithoutExponent", 1e20, "100000000000000000000"},
        TextCase{"SmallWithoutExponent", -2.5e-7, "-0,00000025"},
        TextCase{"NegativeInteger", qlonglong(-4711), "-4711"},
        TextCase{"LargeInteger", qlonglong(123456789012LL), "123456789012"},
        TextCase{"Date", QDate(2005, 12, 31), "31.12.2005"},
        TextCase{"DatesBeyondTheCommonYears", QDateTime(QDate(10000, 1, 2), QTime(0, 0)),
                 "10000-01-02"},
        TextCase{"YearBeforeOurEra", QDate(-44, 3, 15), "-0044-03-15"},
        TextCase{"Unsigned", 4294967295u, "4294967295"},
        TextCase{"MidnightIsDateOnly", QDateTime(QDate(2005, 1, 2), QTime(0, 0)), "02.01.2005"},
        TextCase{"DateTime", QDateTime(QDate(2005, 1, 2), QTime(14, 30, 5)), "02.01.2005 14:30:05"},
        TextCase{"Binary", QByteArray("Straße"), "Straße"}, // bytes as UTF-8
        TextCase{"Time", QTime(8, 5, 0), "08:05:00"}, TextCase{"True", true, "Wahr"},
        TextCase{"False", false, "Falsch"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegionalTextOut, ReusedBufferIsClearedByNull)
{
    const RegionalText text;
    QString out = u"alt"_s;
    text.toText(QVariant(), out);
    EXPECT_TRUE(out.isEmpty());
}

struct ColumnCase {
    const char* name;
    QVariant value;
    ValueKind kind;
    QVariant expected;
};

class RegionalTextIn : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(RegionalTextIn, ForColumn)
{
    const RegionalText text;
    const QVariant result = text.forColumn(GetParam().value, GetParam().kind, u"c"_s);
    EXPECT_EQ(result, GetParam().expected);
    EXPECT_EQ(result.isNull(), GetParam().expected.isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegionalTextIn,
    ::testing::Values(ColumnCase{"GroupedDecimal", u"1.234,5"_s, ValueKind::Real, 1234.5},
                      ColumnCase{"WholeDoubleIntoInteger", 7.0, ValueKind::Integer, qlonglong(7)},
                      ColumnCase{"MidnightIntoDate", u"2005-12-31 00:00:00"_s, ValueKind::Date,
                                 QDate(2005, 12, 31)},
                      ColumnCase{"TwoDigitYear", u"01.02.29"_s, ValueKind::Date, QDate(2029, 2, 1)},
                      ColumnCase{"ShortTime", u"8:05"_s, ValueKind::Time, QTime(8, 5)},
                      ColumnCase{"BooleanLetter", u"n"_s, ValueKind::Boolean, false},
                      ColumnCase{"DateIntoDateTime", QDate(2005, 12, 31), ValueKind::DateTime,
                                 QDateTime(QDate(2005, 12, 31), QTime(0, 0))}),
    [](const auto& info) { return std::string(info.param.name); });

// Nothing is rounded or cut on its way into a column: what does not fit is refused,
// naming column and value.
TEST(RegionalTextIn, WhatTheColumnCannotHoldIsTypeMismatchNamingColumnAndValue)
{
    const RegionalText text;
    const std::pair<QVariant, ValueKind> cases[] = {
        {u"abc"_s, ValueKind::Real},
        {u"abc"_s, ValueKind::Integer},
        {u"abc"_s, ValueKind::Date},
        {u"2,5"_s, ValueKind::Integer},
        {7.25, ValueKind::Integer},
        {1e19, ValueKind::Integer},
        {u"31.12.2005 14:30:00"_s, ValueKind::Date},
        {QDateTime(QDate(2005, 12, 31), QTime(14, 30)), ValueKind::Date},
        {u"vielleicht"_s, ValueKind::Boolean},
    };
    for (const auto& [value, kind] : cases) {
        const Error e = test::thrownBy([&] { text.forColumn(value, kind, u"betrag"_s); });
        EXPECT_EQ(e.number(), errnum::TypeMismatch);
        EXPECT_TRUE(e.description().contains(u"betrag"_s));
        EXPECT_TRUE(e.description().contains(value.toString().left(4)))
            << e.description().toStdString();
    }
}

TEST(SqliteColumns, DeclaredTypesAndIsoDates)
{
    EXPECT_EQ(sqliteValueKind(u"DATE"_s), ValueKind::Date);
    EXPECT_EQ(sqliteValueKind(u"timestamp"_s), ValueKind::DateTime);
    EXPECT_EQ(sqliteValueKind(u"numeric(10,2)"_s), ValueKind::Real);
    EXPECT_EQ(sqliteValueKind(u"varchar(40)"_s), ValueKind::Text);
    EXPECT_EQ(sqliteValueKind(u"INTEGER"_s), ValueKind::Integer);
    EXPECT_EQ(typedSqliteValue(u"2005-12-31"_s, ValueKind::Date), QVariant(QDate(2005, 12, 31)));
    EXPECT_EQ(typedSqliteValue(u"2005-12-31T00:00:00.000"_s, ValueKind::Date),
              QVariant(QDate(2005, 12, 31)));
    EXPECT_EQ(typedSqliteValue(u"2000-06-17 20:36:24"_s, ValueKind::Date),
              QVariant(QDateTime(QDate(2000, 6, 17), QTime(20, 36, 24))));
    EXPECT_EQ(typedSqliteValue(qlonglong(1), ValueKind::Boolean), QVariant(true));
    EXPECT_EQ(typedSqliteValue(qlonglong(0), ValueKind::Boolean), QVariant(false));
    EXPECT_EQ(typedSqliteValue(u"ja"_s, ValueKind::Boolean), QVariant(u"ja"_s)); // stays text
    EXPECT_EQ(typedSqliteValue(u"kein Datum"_s, ValueKind::Date), QVariant(u"kein Datum"_s));
    EXPECT_EQ(typedSqliteValue(u"2005-12-31"_s, ValueKind::Text), QVariant(u"2005-12-31"_s));
}

// A number column's text as the Access library prints it; one that is no number stays text.
TEST(PrintedNumbers, WholeDecimalAndNone)
{
    EXPECT_EQ(printedNumberValue("-12", true), QVariant(qlonglong(-12)));
    EXPECT_EQ(printedNumberValue("2,5", true), QVariant(2.5));
    EXPECT_EQ(printedNumberValue("nan", false), QVariant(u"nan"_s));
}

} // namespace
