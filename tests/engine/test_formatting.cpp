#include "common/error.h"
#include "engine/formatting.h"

#include <gtest/gtest.h>

using namespace quendra;

namespace {

const RegionalSettings German =
    RegionalSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));

struct ConvertCase {
    const char* name;
    const char* value;
    const char* format;
    const char* expected;
};

class FromFormat : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(FromFormat, GivesDottedDate)
{
    QString value = QString::fromUtf8(GetParam().value);
    cnvFromFormat(value, QString::fromUtf8(GetParam().format), German);
    EXPECT_EQ(value, QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FromFormat,
    ::testing::Values(ConvertCase{"t2005", "1051231", "tyymmdd", "31.12.2005"},
                      ConvertCase{"t1999", "991231", "tyymmdd", "31.12.1999"},
                      ConvertCase{"t2000Blanks", " 1000101 ", "tyymmdd", "01.01.2000"},
                      ConvertCase{"tZero", "0", "tyymmdd", ""},
                      ConvertCase{"tZeros", "0000000", "tyymmdd", ""},
                      ConvertCase{"tShort", "5", "tyymmdd", "..195"},
                      ConvertCase{"tLong", "991051231", "tyymmdd", "31.12.2005"},
                      ConvertCase{"ymd", "20051231", "yyyymmdd", "31.12.2005"},
                      ConvertCase{"ymdEmpty", "", "yyyymmdd", ".."},
                      ConvertCase{"ymdShort", "200512", "yyyymmdd", ".12.2005"},
                      ConvertCase{"ymdLong", "2005123199", "yyyymmdd", "31.12.2005"},
                      ConvertCase{"dmy", "31122005", "ddmmyyyy", "31.12.2005"},
                      ConvertCase{"dmyShort", "3112", "ddmmyyyy", "31.12."},
                      ConvertCase{"dotted", "x", "dd.mm.yyyy", "x"},
                      ConvertCase{"caseCounts", "20051231", "YYYYMMDD", "20051231"},
                      ConvertCase{"none", "20051231", "", "20051231"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FromFormatErrors, NonNumericCompactDate)
{
    for (const char* bad : {"abc", "", "  "}) {
        QString value = QString::fromUtf8(bad);
        try {
            cnvFromFormat(value, u"tyymmdd");
            FAIL() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errnum::TypeMismatch);
            EXPECT_TRUE(e.source().startsWith(u"Modul: clsFileConvert.cnvFromFormat"));
        }
    }
}

class ToFormat : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ToFormat, WritesTheTargetForm)
{
    QString value = QString::fromUtf8(GetParam().value);
    cnvToFormat(value, QString::fromUtf8(GetParam().format), German);
    EXPECT_EQ(value, QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ToFormat,
    ::testing::Values(ConvertCase{"t2005", "31.12.2005", "tyymmdd", "1051231"},
                      ConvertCase{"t1999", "31.12.1999", "tyymmdd", "991231"},
                      ConvertCase{"t2000", "01.01.2000", "tyymmdd", "1000101"},
                      ConvertCase{"tIso", "2005-12-31", "tyymmdd", "1051231"},
                      ConvertCase{"tText", "abc", "tyymmdd", "abc"},
                      ConvertCase{"ymd", "31.12.2005", "yyyymmdd", "20051231"},
                      ConvertCase{"ymdShortYear", "1.2.05", "yyyymmdd", "20050201"},
                      ConvertCase{"ymdText", "abc", "yyyymmdd", "abc"},
                      ConvertCase{"dmy", "31.12.2005", "ddmmyyyy", "31122005"},
                      ConvertCase{"dotted", "1.2.2005", "dd.mm.yyyy", "01.02.2005"},
                      ConvertCase{"dottedText", "Meier", "dd.mm.yyyy", "Meier"},
                      ConvertCase{"otherDatePattern", "31.12.2005", "yyyy/mm", "2005/12"},
                      ConvertCase{"monthNames", "31.12.2005", "mmmm", "31.12.2005"},
                      ConvertCase{"numberPattern", "12,345", "0.00", "12,35"},
                      ConvertCase{"grouped", "1234567,5", "#,##0.00", "1.234.567,50"},
                      ConvertCase{"optionalDecimals", "5", "0.##", "5"},
                      ConvertCase{"numberPatternText", "abc", "0.00", "abc"},
                      ConvertCase{"unknown", "12", "Betrag", "12"},
                      ConvertCase{"empty", "x", "", "x"}),
    [](const auto& info) { return std::string(info.param.name); });

struct FieldCase {
    const char* name;
    const char* value;
    const char* fieldtype;
    qint16 length, decscale, zeroPadding, plus;
    const char* adjustment;
    bool fixlength;
    const char* expected;
};

class FinalShape : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FinalShape, NumberAndWidth)
{
    const FieldCase& c = GetParam();
    trgBodyRec field;
    field.fieldtype = QString::fromUtf8(c.fieldtype);
    field.length = c.length;
    field.decscale = c.decscale;
    field.zeroPadding = c.zeroPadding;
    field.plus = c.plus;
    field.adjustment = QString::fromUtf8(c.adjustment);
    QString value = QString::fromUtf8(c.value);
    formatToValue(value, field, c.fixlength, German);
    EXPECT_EQ(value, QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FinalShape,
    ::testing::Values(
        // length 5, two decimals, fixlength: width 9
        FieldCase{"signPlace", "12,5", "Zahl", 5, 2, 1, 0, "links", true, " 00012,50"},
        FieldCase{"negative", "-12,5", "Zahl", 5, 2, 1, 0, "links", true, "-00012,50"},
        FieldCase{"plus", "12,5", "Zahl", 5, 2, 1, 1, "links", true, "+00012,50"},
        FieldCase{"plusNegative", "-12,5", "Zahl", 5, 2, 1, 1, "links", true, "-00012,50"},
        FieldCase{"noFill", "12,5", "Zahl", 5, 2, 0, 0, "links", true, "12,50    "},
        FieldCase{"emptyIsZero", "", "Zahl", 5, 2, 1, 0, "links", true, " 00000,00"},
        FieldCase{"blanksAreZero", "   ", "Zahl", 5, 2, 1, 0, "links", true, " 00000,00"},
        FieldCase{"rightNoFill", "12,5", "Zahl", 5, 2, 0, 0, "rechts", false, "    12,50"},
        FieldCase{"rightFill", "-12,5", "Zahl", 5, 2, 1, 0, "rechts", false, "-00012,50"},
        FieldCase{"rounding", "1,005", "Zahl", 1, 2, 1, 0, "links", false, " 1,01"},
        FieldCase{"roundingNegative", "-2,345", "Zahl", 1, 2, 1, 0, "links", false, "-2,35"},
        FieldCase{"blankBeforeMinus", " -5", "Zahl", 3, 0, 1, 0, "links", true, "-005"},
        FieldCase{"widthOne", "123", "Zahl", 0, 0, 0, 0, "rechts", false, "3"},
        FieldCase{"explicitPlusFix", "+5", "Zahl", 3, 0, 1, 0, "links", true, "005 "},
        FieldCase{"explicitPlusRight", "+5", "Zahl", 3, 0, 1, 0, "rechts", false, " 005"},
        FieldCase{"plainNumber", "00123", "Zahl", 3, 0, 0, 0, "links", false, "123"},
        FieldCase{"plainDecimals", "-0012,50", "Zahl", 3, 0, 0, 0, "links", false, "-12,5"},
        FieldCase{"plainPlus", "12", "Zahl", 3, 0, 0, 1, "links", false, "+12"},
        FieldCase{"noIntegerDigit", "0,5", "Zahl", 0, 2, 0, 0, "links", false, ",50"},
        FieldCase{"tooLongFix", "123456,5", "Zahl", 3, 1, 1, 0, "links", true, " 12345"},
        FieldCase{"tooLongRight", "123456,5", "Zahl", 3, 1, 1, 0, "rechts", false, "3456,5"},
        FieldCase{"textZeroLengthRight", "abc ", "Text", 0, 0, 0, 0, "rechts", false, "abc "},
        FieldCase{"textZeroLengthFix", "abc ", "Text", 0, 0, 0, 0, "links", true, "abc "},
        FieldCase{"textTrim", " abc  ", "Text", 0, 0, 0, 0, "links", false, " abc"},
        FieldCase{"textCutFix", "abcdefg", "Text", 5, 0, 0, 0, "links", true, "abcde"},
        FieldCase{"textCutRight", "abcdefg", "Text", 5, 0, 0, 0, "rechts", false, "cdefg"},
        FieldCase{"textPadRight", "ab", "Text", 5, 0, 0, 0, "rechts", false, "   ab"},
        FieldCase{"textPadFix", "ab", "Text", 5, 0, 0, 0, "links", true, "ab   "},
        FieldCase{"rightIsExact", "ab", "Text", 5, 0, 0, 0, "Rechts", false, "ab"},
        FieldCase{"autoCount", "7", "AutoCount", 3, 2, 1, 1, "rechts", false, "  7"},
        FieldCase{"dateUntouched", "31.12.2005", "Datum", 10, 0, 1, 0, "links", true,
                  "31.12.2005"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FinalShapeErrors, UnreadableNumberNamesTheValue)
{
    trgBodyRec field;
    field.fieldtype = QStringLiteral("Zahl");
    field.length = 5;
    for (const char* bad : {"abc", "12.5", "1,2,3"}) {
        QString value = QString::fromUtf8(bad);
        try {
            formatToValue(value, field, false, German);
            FAIL() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errnum::TypeMismatch);
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(bad)));
            EXPECT_TRUE(e.source().startsWith(u"Modul: clsFileConvert.formatToValue"));
        }
    }
}

TEST(FinalShapeRegional, UsesTheGivenSeparator)
{
    const auto american =
        RegionalSettings::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    trgBodyRec field;
    field.fieldtype = QStringLiteral("Zahl");
    field.length = 5;
    field.decscale = 2;
    field.zeroPadding = 1;
    QString value = QStringLiteral("1,234.5");
    formatToValue(value, field, false, american);
    EXPECT_EQ(value, u" 01234.50");
}

} // namespace
