#pragma once

#include "engine/definition.h"
#include "values/numbers.h"

#include <QString>
#include <QStringView>

namespace quendra {

// The value routines of the engine. Each works in place on a value buffer whose
// capacity is reused from record to record, so that no value allocates.
// Failures throw quendra::Error (13 type mismatch for an unreadable number).
// A run classifies every format and target field once (FormatPlan, ValueShape) and
// passes the classified form; the forms taking the texts classify on every call.

// A source or target format, classified once.
struct FormatPlan {
    enum class Kind {
        None,       // empty: values stay as they are
        Tyymmdd,    // "tyymmdd"
        Yyyymmdd,   // "yyyymmdd"
        Ddmmyyyy,   // "ddmmyyyy"
        DateText,   // another text with d, m or y (any case)
        NumberText, // a number pattern of 0, #, "." and ","
        Other       // anything else: values stay as they are
    };
    Kind kind = Kind::None;
    DatePattern date;    // DateText
    NumberLayout layout; // NumberText

    static FormatPlan of(QStringView format);
};

// What formatToValue needs of a target field.
struct ValueShape {
    bool number = false; // field type "Zahl"
    bool date = false;   // field type "Datum"
    bool whole = false;  // "Zahl", "AutoCount" or "Datum": never cut to the width
    bool right = false;  // adjustment "rechts"
    bool fixlength = false;
    bool plus = false;
    bool fill = false; // zero filling ("0padding")
    qint16 length = 0;
    qint16 decscale = 0;
    qsizetype width = 0;   // the width alignment fills or cuts to
    bool trimOnly = false; // formatToValue only removes trailing blanks

    static ValueShape of(const trgBodyRec& field, bool fixlength);
};

// A compact source date ("yyyymmdd", "ddmmyyyy", "tyymmdd") becomes "dd.mm.yyyy";
// any other format leaves the value unchanged. A value that is not a real day in its
// format is error 13; kept as they are: empty "yyyymmdd"/"ddmmyyyy" text gives "..",
// zeros only stay zeros, a "tyymmdd" value of 0 gives empty text.
void cnvFromFormat(QString& value, QStringView format, const RegionalSettings& regional);
void cnvFromFormat(QString& value, QStringView format);
void cnvFromFormat(QString& value, const FormatPlan& format, const RegionalSettings& regional);

// Both steps at once for a compact source date ("yyyymmdd", "ddmmyyyy") written in a
// compact target format: true when the value was eight digits of a valid date and is
// now written in the target format, exactly as the two steps would have written it;
// false (value unchanged) otherwise, and the caller takes the two steps (which fail
// for a value that is not a date).
bool isCompactDate(const FormatPlan& format);
bool convertCompactDate(QString& value, const FormatPlan& from, const FormatPlan& to);

// Writes the value in the target field's format ("yyyymmdd", "ddmmyyyy", "tyymmdd",
// "dd.mm.yyyy" or another date/number pattern); empty format leaves it unchanged. A
// value that is not a date stays as it is, except in the three compact forms: there it
// is error 13 unless it means "no date" (blank, "..", zeros only) or is written in that
// form already. A date outside 1900-2099 for "tyymmdd" is error 6.
void cnvToFormat(QString& value, QStringView format, const RegionalSettings& regional);
void cnvToFormat(QString& value, const FormatPlan& format, const RegionalSettings& regional);

// Final shape of a target value: number digits, decimals, sign and zero filling for
// "Zahl", then alignment and width (fixlength is the target head's flag). Text is cut
// to the width; a number or date that would lose more than blanks to it is error 6.
void formatToValue(QString& value, const trgBodyRec& field, bool fixlength,
                   const RegionalSettings& regional);
void formatToValue(QString& value, const ValueShape& shape, const RegionalSettings& regional);
// The same; true when written holds the number that the final value reads as (by
// readPlainNumber), so that a check sum need not read the value again.
bool formatToValue(QString& value, const ValueShape& shape, const RegionalSettings& regional,
                   PlainNumber& written);

} // namespace quendra
