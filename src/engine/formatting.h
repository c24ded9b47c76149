#pragma once

#include "engine/definition.h"
#include "engine/numbers.h"

#include <QString>
#include <QStringView>

namespace quendra {

// The value routines of the engine. Each works in place on a value buffer whose
// capacity is reused from record to record, so that no value allocates.
// Failures throw quendra::Error (13 type mismatch for an unreadable number).

// A compact source date ("yyyymmdd", "ddmmyyyy", "tyymmdd") becomes "dd.mm.yyyy";
// any other format leaves the value unchanged. The "tyymmdd" value must be a number
// (error 13 otherwise), read by the regional rules (German without them).
void cnvFromFormat(QString& value, QStringView format, const RegionalSettings& regional);
void cnvFromFormat(QString& value, QStringView format);

// Writes the value in the target field's format ("yyyymmdd", "ddmmyyyy", "tyymmdd",
// "dd.mm.yyyy" or another date/number pattern); empty format leaves it unchanged.
void cnvToFormat(QString& value, QStringView format, const RegionalSettings& regional);

// Final shape of a target value: number digits, decimals, sign and zero filling for
// "Zahl", then alignment and width (fixlength is the target head's flag).
void formatToValue(QString& value, const trgBodyRec& field, bool fixlength,
                   const RegionalSettings& regional);

} // namespace quendra
