// Dates in both directions. Any text: both date readers agree with each other and with
// the general reader (a leading blank), the compact source formats convert in one step
// as in two, and no format conversion fails other than by a conversion error. Any real
// calendar day: written in a compact format and read back, it is the same day.
//
// Input: the text, then from the last byte backwards a day (year, month, day) and a target pattern.
#include "common.h"

#include "common/error.h"
#include "engine/formatting.h"
#include "values/numbers.h"

#include <algorithm>
#include <fuzzer/FuzzedDataProvider.h>

using namespace quendra;

namespace {

const RegionalSettings German = RegionalSettings::fromLocale(QLocale(QLocale::German));

// The years a "tyymmdd" value holds back: its century digit tells 19xx from 20xx.
// 1900..1909 do not come back yet (they lose their leading zeros); widen to 1900 once
// the seven digits are read with them.
constexpr int TyymmddFirstYear = 1900, TyymmddLastYear = 2099;

QString pattern(FuzzedDataProvider& in)
{
    static const char16_t* const Parts[] = {u"d", u"dd", u"m", u"mm",   u"yy", u"yyyy", u".", u"-",
                                            u"/", u" ",  u"D", u"YYYY", u"x",  u"ddd",  u"M", u"y"};
    QString p;
    for (int n = in.ConsumeIntegralInRange(0, 6); n > 0; --n)
        p += QString::fromUtf16(Parts[in.ConsumeIntegralInRange<std::size_t>(0, 15)]);
    return p;
}

// The value after a conversion, or the error it raised.
QString converted(QString value, const FormatPlan& plan, bool from)
{
    try {
        if (from)
            cnvFromFormat(value, plan, German);
        else
            cnvToFormat(value, plan, German);
        return value;
    } catch (const Error& e) {
        return QStringLiteral("Fehler %1").arg(e.number());
    }
}

void checkText(const QString& text, const QString& targetPattern)
{
    CalendarDate date, general;
    QDate qdate;
    const bool ok = parseDate(text, German, date);
    FUZZ_CHECK(ok == parseDate(text, German, qdate), "QDate: %s", qPrintable(text));
    FUZZ_CHECK(ok == parseDate(QLatin1Char(' ') + text, German, general), "general: %s",
               qPrintable(text));
    if (ok) {
        FUZZ_CHECK(isValidDate(date), "invalid day read from %s", qPrintable(text));
        FUZZ_CHECK(date.year == general.year && date.month == general.month &&
                       date.day == general.day,
                   "general: %s", qPrintable(text));
        FUZZ_CHECK(qdate == QDate(date.year, date.month, date.day), "QDate: %s", qPrintable(text));
    }

    const bool usual =
        text.size() == 8 && text != u"00000000" &&
        std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const FormatPlan ymd = FormatPlan::of(u"yyyymmdd"), dmy = FormatPlan::of(u"ddmmyyyy");
    // A day is written in a compact format as its pattern writes it.
    FUZZ_CHECK(
        !ok ||
            (converted(text, ymd, false) == converted(text, FormatPlan::of(u"YYYYMMDD"), false) &&
             converted(text, dmy, false) == converted(text, FormatPlan::of(u"DDMMYYYY"), false)),
        "compact and pattern: %s", qPrintable(text));
    for (const FormatPlan* from : {&ymd, &dmy}) {
        for (const FormatPlan* to : {&ymd, &dmy}) {
            QString oneStep = text;
            const QString twoSteps = converted(converted(text, *from, true), *to, false);
            // Eight ASCII digits that make a day take the one step.
            FUZZ_CHECK(!usual || twoSteps.startsWith(u"Fehler") ||
                           convertCompactDate(oneStep, *from, *to),
                       "not in one step: %s", qPrintable(text));
            oneStep = text;
            if (convertCompactDate(oneStep, *from, *to))
                FUZZ_CHECK(oneStep == twoSteps, "one step %s: %s | %s", qPrintable(text),
                           qPrintable(oneStep), qPrintable(twoSteps));
            else
                FUZZ_CHECK(oneStep == text, "changed but refused: %s", qPrintable(text));
        }
    }
    for (const char16_t* format : {u"tyymmdd", u"yyyymmdd", u"ddmmyyyy", u"dd.mm.yyyy"}) {
        converted(text, FormatPlan::of(format), true);
        converted(text, FormatPlan::of(format), false);
    }
    converted(text, FormatPlan::of(targetPattern), false);
}

void checkRoundTrip(CalendarDate day)
{
    QString dotted;
    FUZZ_CHECK(formatDate(dotted, day, u"dd.mm.yyyy"), "dd.mm.yyyy refused");
    CalendarDate back;
    FUZZ_CHECK(parseDate(dotted, German, back) && back.year == day.year &&
                   back.month == day.month && back.day == day.day,
               "read back %s", qPrintable(dotted));
    for (const char16_t* format : {u"yyyymmdd", u"ddmmyyyy", u"tyymmdd"}) {
        if (format[0] == u't' && (day.year < TyymmddFirstYear || day.year > TyymmddLastYear))
            continue;
        const FormatPlan plan = FormatPlan::of(format);
        const QString compact = converted(dotted, plan, false);
        const QString again = converted(compact, plan, true);
        FUZZ_CHECK(again == dotted, "%s: %s -> %s -> %s", qPrintable(QString::fromUtf16(format)),
                   qPrintable(dotted), qPrintable(compact), qPrintable(again));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    CalendarDate day;
    day.year = in.ConsumeIntegralInRange(1, 9999);
    day.month = in.ConsumeIntegralInRange(1, 12);
    day.day = in.ConsumeIntegralInRange(1, QDate(day.year, day.month, 1).daysInMonth());
    const QString targetPattern = pattern(in);
    checkRoundTrip(day);
    checkText(fuzz::textOf(in.ConsumeRemainingBytes<std::uint8_t>()), targetPattern);
    return 0;
}
