#include "common/error.h"
#include "engine/formatting.h"

#include <gtest/gtest.h>
#include <tuple>

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
                      ConvertCase{"t2000Blanks", " 1000101 ", "tyymmdd", "01.01.2000"},
                      ConvertCase{"t1900", "214", "tyymmdd", "14.02.1900"},
                      ConvertCase{"tLeadingZeros", "000000214", "tyymmdd", "14.02.1900"},
                      ConvertCase{"tZero", "0", "tyymmdd", ""},
                      ConvertCase{"tZeros", "0000000", "tyymmdd", ""},
                      ConvertCase{"ymd", "20051231", "yyyymmdd", "31.12.2005"},
                      ConvertCase{"ymdBlanks", " 20051231  ", "yyyymmdd", "31.12.2005"},
                      ConvertCase{"ymdEmpty", "", "yyyymmdd", ".."},
                      ConvertCase{"ymdZeros", "00000000", "yyyymmdd", "00000000"},
                      ConvertCase{"dmy", "31122005", "ddmmyyyy", "31.12.2005"},
                      ConvertCase{"dmyEmpty", "   ", "ddmmyyyy", ".."},
                      ConvertCase{"dmyZero", "0", "ddmmyyyy", "0"},
                      ConvertCase{"dotted", "x", "dd.mm.yyyy", "x"},
                      ConvertCase{"caseCounts", "20051231", "YYYYMMDD", "20051231"},
                      ConvertCase{"none", "20051231", "", "20051231"}),
    [](const auto& info) { return std::string(info.param.name); });

// Values that name no day in their format stop with error 13 and say why.
TEST(FromFormatErrors, ValuesThatAreNoDates)
{
    const std::tuple<const char*, const char16_t*, const char*> cases[] = {
        {"abcdefgh", u"yyyymmdd", "kein Datum der Form"},
        {"2005-12-31", u"yyyymmdd", "acht Ziffern"},
        {"200512", u"yyyymmdd", "acht Ziffern"},
        {"2005123199", u"yyyymmdd", "acht Ziffern"},
        {"20050231", u"yyyymmdd", "den 31.02.2005 gibt es nicht"},
        {"20230229", u"yyyymmdd", "den 29.02.2023 gibt es nicht"},
        {"20051301", u"yyyymmdd", "den 01.13.2005 gibt es nicht"},
        {"00000101", u"yyyymmdd", "den 01.01.0000 gibt es nicht"},
        {"31022005", u"ddmmyyyy", "den 31.02.2005 gibt es nicht"},
        {"3112", u"ddmmyyyy", "acht Ziffern"},
        {"abc", u"tyymmdd", "bis zu sieben Ziffern"},
        {"", u"tyymmdd", "bis zu sieben Ziffern"},
        {"  ", u"tyymmdd", "bis zu sieben Ziffern"},
        {"991051231", u"tyymmdd", "bis zu sieben Ziffern"},
        {"2051231", u"tyymmdd", "die erste 0 für 19xx oder 1 für 20xx"},
        {"1051231,5", u"tyymmdd", "bis zu sieben Ziffern"},
        {"-1051231", u"tyymmdd", "bis zu sieben Ziffern"},
        {"5", u"tyymmdd", "den 05.00.1900 gibt es nicht"},
        {"1051331", u"tyymmdd", "den 31.13.2005 gibt es nicht"},
    };
    for (const auto& [bad, format, why] : cases) {
        QString value = QString::fromUtf8(bad);
        try {
            cnvFromFormat(value, QStringView(format), German);
            FAIL() << bad << " gave " << value.toStdString();
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errnum::TypeMismatch) << bad;
            EXPECT_TRUE(e.source().startsWith(u"Modul: clsFileConvert.cnvFromFormat"));
            const QString text = e.description();
            EXPECT_TRUE(text.contains(QLatin1Char('"') + QString::fromUtf8(bad) + QLatin1Char('"')))
                << text.toStdString();
            EXPECT_TRUE(text.contains(QString::fromUtf8(why))) << text.toStdString();
        }
    }
}

// Every day that the compact forms hold comes back as it was written.
TEST(CompactDates, EveryDayRoundTrips)
{
    QString dotted, written;
    for (QDate day(1900, 1, 1); day.year() < 2100; day = day.addDays(1)) {
        dotted = day.toString(u"dd.MM.yyyy");
        for (const char16_t* format : {u"tyymmdd", u"yyyymmdd", u"ddmmyyyy"}) {
            written = dotted;
            cnvToFormat(written, QStringView(format), German);
            QString back = written;
            cnvFromFormat(back, QStringView(format), German);
            ASSERT_EQ(back, dotted)
                << QString::fromUtf16(format).toStdString() << " " << written.toStdString();
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
                      ConvertCase{"t1900", "14.02.1900", "tyymmdd", "214"},
                      ConvertCase{"t2099", "31.12.2099", "tyymmdd", "1991231"},
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
        // length 5, two decimals, fixlength: width 9 (the examples of a whole run are in
        // the golden case "numbers")
        FieldCase{"blanksAreZero", "   ", "Zahl", 5, 2, 1, 0, "links", true, " 00000,00"},
        FieldCase{"rightNoFill", "12,5", "Zahl", 5, 2, 0, 0, "rechts", false, "    12,50"},
        FieldCase{"rounding", "1,005", "Zahl", 1, 2, 1, 0, "links", false, " 1,01"},
        FieldCase{"roundingNegative", "-2,345", "Zahl", 1, 2, 1, 0, "links", false, "-2,35"},
        FieldCase{"blankBeforeMinus", " -5", "Zahl", 3, 0, 1, 0, "links", true, "-005"},
        FieldCase{"explicitPlusFix", "+5", "Zahl", 3, 0, 1, 0, "links", true, "005 "},
        FieldCase{"explicitPlusRight", "+5", "Zahl", 3, 0, 1, 0, "rechts", false, " 005"},
        FieldCase{"plainNumber", "00123", "Zahl", 3, 0, 0, 0, "links", false, "123"},
        FieldCase{"tooLongFreeWidth", "123456,5", "Zahl", 3, 1, 1, 0, "links", false, " 123456,5"},
        FieldCase{"plainDecimals", "-0012,50", "Zahl", 3, 0, 0, 0, "links", false, "-12,5"},
        FieldCase{"plainPlus", "12", "Zahl", 3, 0, 0, 1, "links", false, "+12"},
        FieldCase{"noIntegerDigit", "0,5", "Zahl", 0, 2, 0, 0, "links", false, ",50"},
        FieldCase{"textZeroLengthRight", "abc ", "Text", 0, 0, 0, 0, "rechts", false, "abc "},
        FieldCase{"textZeroLengthFix", "abc ", "Text", 0, 0, 0, 0, "links", true, "abc "},
        FieldCase{"textTrim", " abc  ", "Text", 0, 0, 0, 0, "links", false, " abc"},
        FieldCase{"textPadRight", "ab", "Text", 5, 0, 0, 0, "rechts", false, "   ab"},
        FieldCase{"rightIsExact", "ab", "Text", 5, 0, 0, 0, "Rechts", false, "ab"},
        FieldCase{"autoCount", "7", "AutoCount", 3, 2, 1, 1, "rechts", false, "  7"},
        FieldCase{"dateUntouched", "31.12.2005", "Datum", 10, 0, 1, 0, "links", true, "31.12.2005"},
        FieldCase{"dateBlanksCutFix", "1.1.05    ", "Datum", 6, 0, 0, 0, "links", true, "1.1.05"},
        FieldCase{"dateBlanksCutRight", "  1.1.05", "Datum", 6, 0, 0, 0, "rechts", false,
                  "1.1.05"}),
    [](const auto& info) { return std::string(info.param.name); });

// A number that cannot be read, or does not fit its width, stops with an error that
// quotes it (at most 100 characters of it).
TEST(FinalShapeErrors, NumbersThatCannotBeWritten)
{
    const QString huge(1 << 20, QLatin1Char('9'));
    const std::tuple<QString, const char*, qint16, const char*, bool, qint32, QString> cases[] = {
        {u"abc"_qs, "Zahl", 5, "", false, errnum::TypeMismatch, u"\"abc\""_qs},
        {u"12.5"_qs, "Zahl", 5, "", false, errnum::TypeMismatch, u"\"12.5\""_qs},
        {u"1,2,3"_qs, "Zahl", 5, "", false, errnum::TypeMismatch, u"\"1,2,3\""_qs},
        {u"123"_qs, "Zahl", 0, "rechts", false, errnum::Overflow,
         u"Die Zahl \"123\" ist 3 Zeichen lang, das Feld nur 1 Zeichen breit."_qs},
        {u"12345"_qs, "Zahl", 1, "links", true, errnum::Overflow, u"\"12345\" ist 5 Zeichen"_qs},
        {u"-1234"_qs, "Zahl", 3, "rechts", true, errnum::Overflow, u"\"-1234\""_qs},
        {u"1000"_qs, "AutoCount", 3, "links", true, errnum::Overflow, u"\"1000\""_qs},
        {u"31.12.2005"_qs, "Datum", 8, "links", true, errnum::Overflow,
         u"Das Datum \"31.12.2005\" ist 10 Zeichen lang, das Feld nur 8 Zeichen breit."_qs},
        {u"31.12.2005 "_qs, "Datum", 8, "rechts", false, errnum::Overflow, u"\"31.12.2005 \""_qs},
        {u"1,2345678901234567890123456789012345678901"_qs, "Zahl", 3, "", false, errnum::Overflow,
         u"\"1,2345678901234567890123456789012345678901\" hat mehr als 40 gültige Ziffern"_qs},
        {huge, "Zahl", 5, "rechts", false, errnum::TypeMismatch, // beyond 1E308
         QLatin1Char('"') + huge.left(100) + u"…\" (1048576 Zeichen)"_qs},
        {u"1"_qs + QString(119, u'0'), "Zahl", 5, "rechts", false, errnum::Overflow,
         u"\"1"_qs + QString(99, u'0') + u"…\" (120 Zeichen) ist 120 Zeichen lang"_qs},
    };
    for (const auto& [bad, type, length, adjustment, fixlength, number, text] : cases) {
        trgBodyRec field;
        field.fieldtype = QString::fromUtf8(type);
        field.length = length;
        field.adjustment = QString::fromUtf8(adjustment);
        QString value = bad;
        try {
            formatToValue(value, field, fixlength, German);
            FAIL() << bad.left(20).toStdString() << " gave " << value.toStdString();
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), number);
            EXPECT_TRUE(e.description().contains(text)) << e.description().toStdString();
            EXPECT_LT(e.description().size(), 200);
            EXPECT_TRUE(e.source().startsWith(u"Modul: clsFileConvert.formatToValue"));
        }
    }
}

TEST(ToFormatErrors, TyymmddHoldsOnlyTheYears1900To2099)
{
    for (const char* date : {"31.12.1899", "01.01.2100", "01.01.0001"}) {
        QString value = QString::fromUtf8(date);
        try {
            cnvToFormat(value, u"tyymmdd", German);
            FAIL() << date << " gave " << value.toStdString();
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errnum::Overflow);
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(date)));
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
