#pragma once

#include <QChar>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>
#include <array>

namespace quendra {

// Numbers and dates as text, one set of rules for the engine, every reader and every
// writer: the engine composes with them, readers give their values as text by them
// (values/regionaltext.h), writers read the text they receive by them.

// The user's regional number and date conventions, read once per run (never per value).
struct RegionalSettings {
    QChar decimalSeparator = QLatin1Char(',');
    QChar groupSeparator = QLatin1Char('.');
    enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };
    DateOrder dateOrder = DateOrder::DayMonthYear;
    QChar dateSeparator = QLatin1Char('.');
    // The short date form with a four-digit year, as a formatDate pattern.
    QString datePattern = QStringLiteral("dd.mm.yyyy");

    static RegionalSettings fromLocale(const QLocale& locale = QLocale());
};

// A number read from text, kept as its decimal digits, so that nothing is lost to
// binary fractions: value = 0.d1 d2 ... dn × 10^point.
struct DecimalNumber {
    static constexpr int MaxDigits = 40; // significant digits kept
    bool negative = false;
    int count = 0; // significant digits; 0 for zero
    int point = 0;
    std::array<std::uint8_t, MaxDigits> digits{}; // 0..9, no leading or trailing zeros

    bool isZero() const { return count == 0; }
    int decimals() const { return count > point ? count - point : 0; }
};

// Reads text as a number by the regional rules: optional blanks, a sign in front (or
// behind, as host systems write it), digits with group separators between groups of
// three, the decimal separator and decimals, an exponent (E-3), blanks. False for
// anything else, also for text without any digit and for numbers beyond 1E308.
// A number with more than MaxDigits significant digits (trailing zeros aside) is
// error 6: its further digits would be lost.
bool parseNumber(QStringView text, const RegionalSettings& regional, DecimalNumber& out);
// The same, as the nearest double (more digits than a double keeps are no error;
// infinite beyond the doubles' range).
bool parseNumber(QStringView text, const RegionalSettings& regional, double& out);

// Whether a number has no fractional part (false for infinities and NaN).
bool isWholeNumber(double number);

// The plain form most values have: a sign or none, digits, the decimal separator and
// decimals or none, nothing else; read as an integer and its number of decimals (as
// written). False for any other text and beyond MaxDigits digits (leading zeros of the
// integer part aside) or decimals.
struct PlainNumber {
    static constexpr int MaxDigits = 18;
    std::uint64_t mantissa = 0;
    int decimals = 0;
    bool negative = false;
};
bool readPlainNumber(QStringView text, QChar decimalSeparator, PlainNumber& out);

// How formatNumber writes a number.
struct NumberLayout {
    int minIntegerDigits = 1; // filled with 0; with 0 a zero integer part writes no digit
    int minDecimals = 0;      // decimals always written
    int maxDecimals = 0;      // rounded half away from zero to this many decimals
    bool grouping = false;    // group separator between groups of three integer digits
    bool plusSign = false;    // "+" in front of zero and positive numbers
    bool signPlace = false;   // a blank in front of a number written without a sign
};

// Writes number into out (replacing its text, reusing its capacity). A number that
// rounds to zero gets no minus sign.
void formatNumber(QString& out, const DecimalNumber& number, const NumberLayout& layout,
                  const RegionalSettings& regional);
// The plain number: every significant digit, no trailing zeros, no group separators
// ("1234,5", "-3", "0").
void formatPlainNumber(QString& out, const DecimalNumber& number, const RegionalSettings& regional,
                       bool plusSign = false);
// A double as the shortest decimal that gives it back, without exponent and group
// separators ("12345678,91", "-0,1", "100000000000000000000"; negative zero is "0").
void formatDouble(QString& out, double number, const RegionalSettings& regional);

// Reads a date. Recognised, each with an optional time of day behind it (ignored):
// day.month.year always (d.m.yy, dd.mm.yyyy), yyyy-mm-dd, and the regional short date
// order with its separator or "/". Two-digit years 00..29 are 20xx, 30..99 are 19xx.
// Day and month must exist (31.02. does not).
bool parseDate(QStringView text, const RegionalSettings& regional, QDate& out);
// The same without QDate's calendar arithmetic, for the value path.
struct CalendarDate {
    int year = 0, month = 0, day = 0;
};
bool parseDate(QStringView text, const RegionalSettings& regional, CalendarDate& out);
// The same, with the time of day behind the date (without the blank or "T" before it;
// empty when there is none), for those who must not ignore it.
bool parseDate(QStringView text, const RegionalSettings& regional, CalendarDate& out,
               QStringView& timeOfDay);
// A day of the years 1 onwards that the calendar has.
bool isValidDate(CalendarDate date);

// Writes a date by a pattern of d, dd, m, mm, yy, yyyy (any letter case) and literal
// characters. False, and out unchanged, when the pattern holds another letter or run.
bool formatDate(QString& out, CalendarDate date, QStringView pattern);
bool formatDate(QString& out, QDate date, QStringView pattern);
// A date as ISO 8601 text ("2005-12-31") for every year Qt holds: Qt's own ISO form is
// empty outside the years 0 to 9999.
QString isoDateText(QDate date);
// The same as ten bytes ("2005-12-31") for the years 1 to 9999; false for any other date.
bool isoDateBytes(QDate date, char* out);

// A pattern of formatDate, read once, so that writing many dates does not read it again.
class DatePattern {
public:
    explicit DatePattern(QStringView pattern = {});
    // False when the pattern holds another letter or run (formatDate then refuses).
    bool isValid() const { return m_valid; }

private:
    friend bool formatDate(QString& out, CalendarDate date, const DatePattern& pattern);
    struct Part {
        char16_t token; // 'd', 'm', 'y', or 0 for the literal character
        int run;
        QChar literal;
    };
    QVarLengthArray<Part, 12> m_parts;
    bool m_valid = false;
    qsizetype m_size = -1; // the length of every date written, -1 when it depends on the date
};
bool formatDate(QString& out, CalendarDate date, const DatePattern& pattern);

// Adds numbers exactly as decimals (a 128-bit integer with a common scale), so that a
// long sum carries no binary rounding noise.
class DecimalSum {
public:
    // Throws error 13 when text is not a number, error 6 when the sum outgrows 38 digits.
    void add(QStringView text, const RegionalSettings& regional);
    void add(const DecimalNumber& number);
    void add(const PlainNumber& number);
    // The sum in the plain number form of formatPlainNumber.
    QString text(const RegionalSettings& regional) const;
    bool isZero() const { return m_value == 0; }
    bool isNegative() const { return m_value < 0; }

private:
    static constexpr int MaxScale = 18;
    __int128 m_value = 0;
    int m_scale = 0; // decimals of m_value
};

// The blanks a number or a date may stand between, and the digits both are written in.
constexpr bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == 0xA0;
}

constexpr bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace quendra
