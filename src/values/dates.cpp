// Reading and writing dates (declared in numbers.h).
#include "values/numbers.h"

#include "common/valuebuffer.h"

namespace quendra {

namespace {

// Up to four digits; false when there is none.
bool readDatePart(QStringView t, qsizetype& i, int& value, int& length)
{
    value = 0;
    length = 0;
    while (i < t.size() && isDigit(t[i].unicode()) && length < 5) {
        value = value * 10 + (t[i++].unicode() - u'0');
        ++length;
    }
    return length > 0 && length <= 4;
}

// What may follow a date: a time of day ("10:30", "T10:30:00.000") or nothing.
bool isTimeOfDay(QStringView rest)
{
    if (rest.isEmpty())
        return true;
    if (rest[0] != QLatin1Char(' ') && rest[0] != QLatin1Char('T'))
        return false;
    bool colon = false;
    for (const QChar c : rest.mid(1)) {
        if (c == QLatin1Char(':'))
            colon = true;
        else if (!isDigit(c.unicode()) && c != QLatin1Char('.') && !isBlank(c.unicode()))
            return false;
    }
    return colon || rest.mid(1).trimmed().isEmpty();
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

int fullYear(int year, int length)
{
    if (length == 2)
        return year < 30 ? 2000 + year : 1900 + year;
    return length == 4 ? year : -1;
}

} // namespace

bool parseDate(QStringView text, const RegionalSettings& regional, QDate& out)
{
    CalendarDate date;
    if (!parseDate(text, regional, date))
        return false;
    out = QDate(date.year, date.month, date.day);
    return true;
}

namespace {

// "dd.mm.yyyy", the form that composed values have, read by position: 1 for a date, 0
// for a day the calendar does not have, -1 for text of another form.
int readComposedDate(QStringView text, CalendarDate& out)
{
    const char16_t* c = text.utf16();
    if (text.size() != 10 || c[2] != u'.' || c[5] != u'.' || !isDigit(c[0]) || !isDigit(c[1]) ||
        !isDigit(c[3]) || !isDigit(c[4]) || !isDigit(c[6]) || !isDigit(c[7]) || !isDigit(c[8]) ||
        !isDigit(c[9]))
        return -1;
    const auto two = [&](int k) { return (c[k] - u'0') * 10 + (c[k + 1] - u'0'); };
    const CalendarDate date{two(6) * 100 + two(8), two(3), two(0)};
    if (!isValidDate(date))
        return 0;
    out = date;
    return 1;
}

} // namespace

bool parseDate(QStringView text, const RegionalSettings& regional, CalendarDate& out)
{
    const int composed = readComposedDate(text, out);
    if (composed >= 0)
        return composed == 1;
    QStringView timeOfDay;
    return parseDate(text, regional, out, timeOfDay);
}

bool parseDate(QStringView text, const RegionalSettings& regional, CalendarDate& out,
               QStringView& timeOfDay)
{
    timeOfDay = {};
    const int composed = readComposedDate(text, out);
    if (composed >= 0)
        return composed == 1;
    const QStringView t = text.trimmed();
    int part[3], length[3];
    QChar sep;
    qsizetype i = 0;
    for (int p = 0; p < 3; ++p) {
        if (!readDatePart(t, i, part[p], length[p]))
            return false;
        if (p == 2)
            break;
        if (i >= t.size())
            return false;
        const QChar c = t[i++];
        const bool known = c == QLatin1Char('.') || c == QLatin1Char('/') ||
                           c == QLatin1Char('-') || c == regional.dateSeparator;
        if (!known || (p == 1 && c != sep))
            return false;
        sep = c;
    }
    if (!isTimeOfDay(t.mid(i)))
        return false;
    if (i < t.size())
        timeOfDay = t.mid(i + 1).trimmed();
    using Order = RegionalSettings::DateOrder;
    Order order = regional.dateOrder;
    if (length[0] == 4)
        order = Order::YearMonthDay;
    else if (sep == QLatin1Char('.'))
        order = Order::DayMonthYear;
    int y = 0, m = 0, d = 0;
    switch (order) {
    case Order::DayMonthYear:
        d = part[0], m = part[1], y = fullYear(part[2], length[2]);
        break;
    case Order::MonthDayYear:
        m = part[0], d = part[1], y = fullYear(part[2], length[2]);
        break;
    case Order::YearMonthDay:
        y = fullYear(part[0], length[0]), m = part[1], d = part[2];
        break;
    }
    if (!isValidDate(CalendarDate{y, m, d}))
        return false;
    out = CalendarDate{y, m, d};
    return true;
}

bool isValidDate(CalendarDate date)
{
    return date.year >= 1 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= daysInMonth(date.year, date.month);
}

namespace {

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

} // namespace

// Runs of equal letters (any case) that are date tokens become one part each, every
// other character a literal part; another letter or run makes the pattern invalid.
DatePattern::DatePattern(QStringView pattern)
{
    for (qsizetype i = 0; i < pattern.size();) {
        const char16_t c = asciiLower(pattern[i].unicode());
        qsizetype run = 1;
        while (i + run < pattern.size() && asciiLower(pattern[i + run].unicode()) == c)
            ++run;
        const bool day = c == u'd' || c == u'm';
        if ((day && run <= 2) || (c == u'y' && (run == 2 || run == 4))) {
            m_parts.append(Part{c, int(run), QChar()});
        } else if (pattern[i].isLetter()) {
            m_parts.clear();
            return;
        } else {
            for (qsizetype k = 0; k < run; ++k)
                m_parts.append(Part{0, 1, pattern[i]});
        }
        i += run;
    }
    m_valid = true;
    m_size = 0;
    for (const Part& p : m_parts) {
        if (p.token != 0 && p.run == 1) { // d and m write one or two digits
            m_size = -1;
            break;
        }
        m_size += p.run;
    }
}

bool formatDate(QString& out, QDate date, QStringView pattern)
{
    return date.isValid() &&
           formatDate(out, CalendarDate{date.year(), date.month(), date.day()}, pattern);
}

bool isoDateBytes(QDate date, char* out)
{
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day); // one calendar computation, not three
    if (!date.isValid() || year < 1 || year > 9999)
        return false;
    writeDigits(out, std::uint64_t(year), 4);
    out[4] = '-';
    writeDigits(out + 5, std::uint64_t(month), 2);
    out[7] = '-';
    writeDigits(out + 8, std::uint64_t(day), 2);
    return true;
}

QString isoDateText(QDate date)
{
    // Qt formats through a printf of its own, many times slower; it is left the years
    // beyond 1..9999.
    char bytes[10];
    if (isoDateBytes(date, bytes))
        return QString::fromLatin1(bytes, sizeof bytes);
    return date.toString(u"yyyy-MM-dd");
}

bool formatDate(QString& out, CalendarDate date, QStringView pattern)
{
    return formatDate(out, date, DatePattern(pattern));
}

bool formatDate(QString& out, CalendarDate date, const DatePattern& pattern)
{
    if (!pattern.m_valid || date.year < 1 || date.year > 9999)
        return false;
    const auto width = [&](const DatePattern::Part& p) {
        return p.token == u'd'   ? (p.run == 2 || date.day > 9 ? 2 : 1)
               : p.token == u'm' ? (p.run == 2 || date.month > 9 ? 2 : 1)
                                 : p.run;
    };
    qsizetype size = pattern.m_size;
    if (size < 0) {
        size = 0;
        for (const DatePattern::Part& p : pattern.m_parts)
            size += width(p);
    }
    QChar* o = setLength(out, size);
    const auto put = [&](int value, int digits) {
        writeDigits(o, std::uint64_t(value), digits);
        o += digits;
    };
    for (const DatePattern::Part& p : pattern.m_parts) {
        if (p.token == u'd')
            put(date.day, width(p));
        else if (p.token == u'm')
            put(date.month, width(p));
        else if (p.token == u'y')
            put(p.run == 2 ? date.year % 100 : date.year, p.run);
        else
            *o++ = p.literal;
    }
    return true;
}

} // namespace quendra
