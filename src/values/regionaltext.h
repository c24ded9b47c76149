#pragma once

#include "values/columnnumbers.h"
#include "values/numbers.h"

#include <QLocale>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <optional>

namespace quendra {

// What a column holds, as far as converting values to and from text is concerned.
enum class ValueKind { Text, Number, Date, DateTime, Time, Boolean, Binary, Other };

// A column as a writer sees it: what it holds and how it keeps a number (a column of
// kind Other keeps a number that is given as one so too).
struct ColumnType {
    ValueKind kind = ValueKind::Other;
    NumberColumn number;
};

// Converts database values to the text the user's regional settings give them and back,
// by the rules of values/numbers.h. The locale is read once, at construction.
class RegionalText {
public:
    explicit RegionalText(const QLocale& locale = QLocale());

    // NULL gives empty text; numbers by formatDouble ("12,5"), dates by the regional
    // pattern with a four-digit year ("31.12.2005"), date-times without a time part as
    // dates, Booleans as "Wahr"/"Falsch".
    void toText(const QVariant& value, QString& out) const;
    QString toText(const QVariant& value) const;

    QString numberText(double number) const;

    // The value to store in a column, the one rule set of every writer: text is read as a
    // number by parseNumber and stored as numberForColumn says, a date by parseDate (a
    // time of day behind it only at midnight), a date-time (a date and a time of day), a
    // time or a Boolean (Wahr/Falsch, True/False, Ja/Nein, J/N, T/F, Y/N, 1/-1/0); a
    // number given as such (a WrittenNumber, a double, an integer) is stored alike, and
    // into a text column becomes its regional text. A null result means the column keeps
    // its default (NULL, or blank text into a number or date column). Nothing is rounded
    // or cut: a value the column would keep otherwise throws quendra::Error naming
    // column and value (13 for text that cannot be read, a fraction into whole numbers or
    // a time of day into a date; numberForColumn's errors).
    QVariant forColumn(const QVariant& value, const ColumnType& column, const QString& name) const;
    // The same for a number given as a WrittenNumber, without the variant.
    QVariant forColumn(const DecimalNumber& number, const QString& written,
                       const ColumnType& column, const QString& name) const;

    // Boolean of a text by the rule above (letter case ignored); nullopt when it is none.
    static std::optional<bool> parseBoolean(const QString& text);

    const RegionalSettings& regional() const { return m_regional; }

private:
    QVariant parseText(const QString& text, ValueKind kind, bool& ok) const;
    bool givenNumber(const QVariant& value, DecimalNumber& number, QString& written) const;
    QVariant boundNumber(const DecimalNumber& number, const QString& written,
                         const NumberColumn& column, const QString& name) const;
    QVariant typedValue(const QVariant& value, ValueKind kind, const QString& name) const;
    QDateTime parseDateTime(const QString& text) const;
    QTime parseTime(QStringView text) const;

    QLocale m_locale;
    RegionalSettings m_regional;
    DatePattern m_datePattern;
    QString m_timeFormat;
};

} // namespace quendra
