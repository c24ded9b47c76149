#pragma once

#include <QStringView>

// The words a definition's body stores for a field's type, its format, its check kind and
// its alignment: the editors offer them (globals()), the engine and the preview read them.
namespace quendra::fieldword {

// Field types.
inline constexpr QStringView Text = u"Text";
inline constexpr QStringView Zahl = u"Zahl";
inline constexpr QStringView Datum = u"Datum";
inline constexpr QStringView AutoCount = u"AutoCount";

// Date formats with a meaning of their own; every other format is a pattern.
inline constexpr QStringView Yyyymmdd = u"yyyymmdd";
inline constexpr QStringView Ddmmyyyy = u"ddmmyyyy";
inline constexpr QStringView Dotted = u"dd.mm.yyyy";
inline constexpr QStringView Tyymmdd = u"tyymmdd";

// Check kinds: counting the records, adding the values.
inline constexpr QStringView Anzahl = u"Anzahl";
inline constexpr QStringView Summe = u"Summe";

// Alignments.
inline constexpr QStringView Links = u"links";
inline constexpr QStringView Rechts = u"rechts";

} // namespace quendra::fieldword
