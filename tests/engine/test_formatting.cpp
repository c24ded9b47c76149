#include "common/error.h"
#include "engine/formatting.h"
#include "support/casename.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace quendra;

namespace {
using quendra::test::PrintTo; // rows print their name

const RegionalSettings German =
    RegionalSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));

// A date read from a source format (cnvFromFormat) or written in a target format
// (cnvToFormat): the value it becomes, or the error it stops with.
struct DateCase {
    bool from;
    const char* value;
    const char* format;
    const char* expected; // with an error: a part of its message, which quotes the value
    qint32 error = 0;
};

TEST(DateFormats, ReadAndWritten)
{
    constexpr bool From = true, To = false;
    constexpr qint32 Mismatch = errnum::TypeMismatch, Overflow = errnum::Overflow;
    const DateCase cases[] = {
        {From, "1051231", "tyymmdd", "31.12.2005"},
        {From, " 1000101 ", "tyymmdd", "01.01.2000"},
        {From, "214", "tyymmdd", "14.02.1900"},
        {From, "000000214", "tyymmdd", "14.02.1900"},
        {From, "0", "tyymmdd", ""},
        {From, "0000000", "tyymmdd", ""},
        {From, "20051231", "yyyymmdd", "31.12.2005"},
        {From, " 20051231  ", "yyyymmdd", "31.12.2005"},
        {From, "", "yyyymmdd", ".."},
        {From, "00000000", "yyyymmdd", "00000000"},
        {From, "31122005", "ddmmyyyy", "31.12.2005"},
        {From, "   ", "ddmmyyyy", ".."},
        {From, "0", "ddmmyyyy", "0"},
        {From, "x", "dd.mm.yyyy", "x"},
        {From, "20051231", "YYYYMMDD", "20051231"},
        {From, "20051231", "", "20051231"},
        // Values that name no day in their format stop and say why.
        {From, "abcdefgh", "yyyymmdd", "kein Datum der Form", Mismatch},
        {From, "2005-12-31", "yyyymmdd", "acht Ziffern", Mismatch},
        {From, "200512", "yyyymmdd", "acht Ziffern", Mismatch},
        {From, "2005123199", "yyyymmdd", "acht Ziffern", Mismatch},
        {From, "20050231", "yyyymmdd", "den 31.02.2005 gibt es nicht", Mismatch},
        {From, "20230229", "yyyymmdd", "den 29.02.2023 gibt es nicht", Mismatch},
        {From, "20051301", "yyyymmdd", "den 01.13.2005 gibt es nicht", Mismatch},
        {From, "00000101", "yyyymmdd", "den 01.01.0000 gibt es nicht", Mismatch},
        {From, "31022005", "ddmmyyyy", "den 31.02.2005 gibt es nicht", Mismatch},
        {From, "3112", "ddmmyyyy", "acht Ziffern", Mismatch},
        {From, "abc", "tyymmdd", "bis zu sieben Ziffern", Mismatch},
        {From, "", "tyymmdd", "bis zu sieben Ziffern", Mismatch},
        {From, "  ", "tyymmdd", "bis zu sieben Ziffern", Mismatch},
        {From, "991051231", "tyymmdd", "bis zu sieben Ziffern", Mismatch},
        {From, "2051231", "tyymmdd", "die erste 0 für 19xx oder 1 für 20xx", Mismatch},
        {From, "1051231,5", "tyymmdd", "bis zu sieben Ziffern", Mismatch},
        {From, "-1051231", "tyymmdd", "bis zu sieben Ziffern", Mismatch},
        {From, "5", "tyymmdd", "den 05.00.1900 gibt es nicht", Mismatch},
        {From, "1051331", "tyymmdd", "den 31.13.2005 gibt es nicht", Mismatch},
        {To, "31.12.2005", "tyymmdd", "1051231"},
        {To, "31.12.1999", "tyymmdd", "991231"},
        {To, "01.01.2000", "tyymmdd", "1000101"},
        {To, "14.02.1900", "tyymmdd", "214"},
        {To, "31.12.2099", "tyymmdd", "1991231"},
        {To, "2005-12-31", "tyymmdd", "1051231"},
        {To, "31.12.2005", "yyyymmdd", "20051231"},
        {To, "1.2.05", "yyyymmdd", "20050201"},
        {To, "31.12.2005", "ddmmyyyy", "31122005"},
        {To, "1.2.2005", "dd.mm.yyyy", "01.02.2005"},
        {To, "Meier", "dd.mm.yyyy", "Meier"},
        {To, "31.12.2005", "yyyy/mm", "2005/12"},
        {To, "31.12.2005", "mmmm", "31.12.2005"},
        {To, "12,345", "0.00", "12,35"},
        {To, "1234567,5", "#,##0.00", "1.234.567,50"},
        {To, "5", "0.##", "5"},
        {To, "abc", "0.00", "abc"},
        {To, "12", "Betrag", "12"},
        {To, "x", "", "x"},
        // A compact target form takes dates, "no date" and its own form only.
        {To, "", "yyyymmdd", ""},
        {To, "..", "ddmmyyyy", ".."},
        {To, "0000000", "tyymmdd", "0000000"},
        {To, "20051231", "yyyymmdd", "20051231"},
        {To, "1051231", "tyymmdd", "1051231"},
        {To, "abc", "tyymmdd", "in der Form tyymmdd", Mismatch},
        {To, "29.02.2023", "yyyymmdd", "in der Form yyyymmdd", Mismatch},
        {To, "ab.cd.efgh", "ddmmyyyy", "kein gültiges Datum", Mismatch},
        {To, "20053112", "yyyymmdd", "kein gültiges Datum", Mismatch},
        // The century digit holds only the years 1900 to 2099.
        {To, "31.12.1899", "tyymmdd", "nur die Jahre 1900 bis 2099", Overflow},
        {To, "01.01.2100", "tyymmdd", "nur die Jahre 1900 bis 2099", Overflow},
        {To, "01.01.0001", "tyymmdd", "nur die Jahre 1900 bis 2099", Overflow},
    };
    for (const DateCase& c : cases) {
        QString value = QString::fromUtf8(c.value);
        const QString format = QString::fromUtf8(c.format);
        const QString expected = QString::fromUtf8(c.expected);
        try {
            if (c.from)
                cnvFromFormat(value, format, German);
            else
                cnvToFormat(value, format, German);
            EXPECT_EQ(c.error, 0) << c.value << " " << c.format << " gave " << value.toStdString();
            EXPECT_EQ(value, expected) << c.value << " " << c.format;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), c.error) << c.value << " " << c.format;
            EXPECT_TRUE(e.source().startsWith(c.from ? u"Modul: clsFileConvert.cnvFromFormat"
                                                     : u"Modul: clsFileConvert.cnvToFormat"));
            const QString text = e.description();
            EXPECT_TRUE(
                text.contains(QLatin1Char('"') + QString::fromUtf8(c.value) + QLatin1Char('"')))
                << text.toStdString();
            EXPECT_TRUE(text.contains(expected)) << text.toStdString();
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
