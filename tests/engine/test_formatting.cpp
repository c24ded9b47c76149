#include "engine/formatting.h"

#include <gtest/gtest.h>

using namespace quendra;

namespace {
const RegionalSettings German =
    RegionalSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));

// Dates and final shapes of single values, and their errors, are golden cases
// (tests/data/engine/preview_*); here are the ones too many for a file.

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

} // namespace
