#pragma once

#include <QLocale>
#include <QMetaType>
#include <QString>
#include <QVariant>

namespace quendra {

// What a column holds, as far as converting values to and from text is concerned.
enum class ValueKind { Text, Integer, Real, Date, DateTime, Time, Boolean, Binary, Other };

// The kind of a column from the type Qt SQL reports for it.
ValueKind valueKindOf(QMetaType type);
// The kind of an SQLite column from its declared type ("DATE", "numeric(10,2)", ...).
ValueKind sqliteValueKind(const QString& declaredType);

// A value of an SQLite column, typed by the column's declared kind: ISO text in a
// DATE/TIME column becomes a date, time or date-time, 1/0 in a BOOLEAN column a Boolean.
QVariant typedSqliteValue(const QVariant& value, ValueKind kind);

// Converts database values to the text the user's regional settings give them and back.
// The locale's patterns are read once, at construction.
class RegionalText {
public:
    explicit RegionalText(const QLocale& locale = QLocale());

    // NULL gives empty text; numbers without group separators and with the regional
    // decimal separator ("12,5"), dates with a four-digit year ("31.12.2005"),
    // date-times without a time part as dates, Booleans as "Wahr"/"Falsch".
    void toText(const QVariant& value, QString& out) const;
    QString toText(const QVariant& value) const;

    // The value to store in a column of kind: regional or ISO/C text is parsed for
    // number, date and Boolean columns, other values are adapted to the column (a
    // number into a text column becomes its regional text). A null result means the
    // column keeps its default (empty text into a number or date column). Throws
    // quendra::Error 13 (type mismatch) naming column and value when text cannot be read.
    QVariant forColumn(const QVariant& value, ValueKind kind, const QString& column) const;

private:
    QVariant parseText(const QString& text, ValueKind kind, bool& ok) const;
    QDate parseDate(const QString& text) const;
    QDateTime parseDateTime(const QString& text) const;

    QLocale m_locale;
    QString m_dateFormat;
    QString m_timeFormat;
};

} // namespace quendra
