#pragma once

#include "values/numbers.h"

#include <QMetaType>
#include <QString>
#include <QStringView>
#include <limits>

namespace quendra {

// Numbers into database columns: one rule for every writer. A writer describes how each
// of its number columns keeps a number (NumberColumn) and hands the number, read exactly
// from its text, to numberForColumn, which tells what the column receives, or refuses
// the number when the column would keep another one. Nothing here depends on how the
// writer then talks to its database.

// How a column keeps a number.
struct NumberColumn {
    enum class Storage {
        Whole,         // whole numbers from minimum to maximum
        Decimal,       // the decimal exactly (numeric, decimal)
        Double,        // a binary floating-point number (real, double precision, float)
        WholeOrDouble, // a whole number of 64 bits exactly, any other as a double (SQLite)
    };
    Storage storage = Storage::Decimal;
    int scale = -1;     // decimals the column keeps; -1: any
    int precision = -1; // digits in all, decimals included; -1: any
    qint64 minimum = std::numeric_limits<qint64>::min();
    qint64 maximum = std::numeric_limits<qint64>::max();
    bool single = false; // a double of 32 bits (real of most databases)
    // The significant digits a double keeps on its way into the column: fewer than 17
    // when the driver passes doubles on as text of that many digits.
    int doubleDigits = 17;

    static NumberColumn whole(qint64 minimum, qint64 maximum)
    {
        NumberColumn c;
        c.storage = Storage::Whole;
        c.minimum = minimum;
        c.maximum = maximum;
        return c;
    }
    static NumberColumn binary(bool single = false)
    {
        NumberColumn c;
        c.storage = Storage::Double;
        c.single = single;
        return c;
    }
};

// What the column receives: a 64-bit integer, the exact decimal (decimalText of exact),
// or a double. exact is the number itself whatever the form.
struct ColumnNumber {
    enum class Form { Whole, Decimal, Double };
    Form form = Form::Decimal;
    qint64 whole = 0;
    double binary = 0;
    DecimalNumber exact;
};

// The number for the column, or quendra::Error naming column and the number as it was
// written (written, in the regional form of regional): 13 for a fraction into a column of
// whole numbers, 6 for a number beyond the column's range, digits or decimals, and for
// one that a double would not give back digit for digit.
ColumnNumber numberForColumn(const DecimalNumber& number, QStringView written,
                             const NumberColumn& column, const QString& columnName,
                             const RegionalSettings& regional);

// The number as databases read a decimal: a point, no groups, no exponent, at least
// decimals decimals ("-12.5", "0.001", "12.50" with 2).
QString decimalText(const DecimalNumber& number, int decimals = 0);

// Whether both are the same number.
bool sameNumber(const DecimalNumber& a, const DecimalNumber& b);
// The number a double gives back: its shortest decimal form.
DecimalNumber shortestDecimal(double value);
// The double nearest to the number (infinite beyond the doubles' range).
double nearestDouble(const DecimalNumber& number);

// A number on its way to a database column: the number exactly and its text as it was
// composed, which an error quotes. The engine hands "Zahl" values over so.
struct WrittenNumber {
    DecimalNumber number;
    QString text;
};

} // namespace quendra

Q_DECLARE_METATYPE(quendra::WrittenNumber)
