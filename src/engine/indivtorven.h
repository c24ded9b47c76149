#pragma once

#include <QString>

namespace quendra {

class clsFileConvert;

// Customer booking conversion, switched on by the customer marker "TORVEN".
// Its booking state lives for the whole process.
namespace indivTorven {

// Per target field of every composed record, after translation and before formatting.
QString torvenRun(clsFileConvert& engine, const QString& value, const QString& field);
// Closes the current group when the record starts a new one, or at the end of the run
// (final true): writes the balancing correction line when the group's sum is not 0.
void torvenRunCorrectAmount(clsFileConvert& engine, bool final);
// Looks a column up in the customer-extended trgconvert table of transId.
QString fieldConvert(const QString& transId, const QString& account, const QString& branch,
                     const QString& column);

// Forgets all state (tests only start fresh processes otherwise).
void resetState();

} // namespace indivTorven
} // namespace quendra
