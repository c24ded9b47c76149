#pragma once

#include "engine/definition.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace quendra {

struct RegionalSettings;

// Row of the running-number table: the source value seen last and the number given.
struct AutoCountRow {
    bool exists = false;
    QString last;
    qint64 count = 0;
};

// Row of the last-value table: the last non-empty value (or the first value seen).
struct LastValueRow {
    bool exists = false;
    QString last;
};

// The running number of a target field: the first record gets start; the number stays
// while the same non-empty source value repeats and advances otherwise.
qint64 autoCount(AutoCountRow& row, QStringView value, qint64 start);

// Carry-forward: value when it is not empty (remembered for later), otherwise the last
// remembered one. The first call remembers and returns value even when it is empty.
void lastValue(LastValueRow& row, QStringView value, QString& result);

// Start value of a running number: empty gives 0; an integer or a regional decimal
// number (rounded to the nearest integer, halves to even); nothing for other text.
std::optional<qint64> parseStartValue(QStringView text, const RegionalSettings& regional);

// Appends the decimal digits of n without a temporary text.
void appendNumber(QString& out, qint64 n);

// Slot of every target field in the per-field tables: fields with the same name
// (exact comparison) share a slot. Returns the slot per field and the slot count.
std::vector<int> slotsByName(const std::vector<trgBodyRec>& fields, int& slotCount);

} // namespace quendra
