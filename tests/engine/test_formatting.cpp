#include "common/error.h"
#include "engine/formatting.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace quendra;

namespace {
const RegionalSettings German =
    RegionalSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));

// Dates and final shapes of single values are golden cases (tests/data/engine/preview_*);
// these are the ones too many or too long for a file.

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
