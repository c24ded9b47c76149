#pragma once

#include "engine/caseinsensitive.h"
#include "engine/definition.h"

#include <QString>
#include <array>
#include <unordered_map>
#include <vector>

namespace quendra {

// The value translation table (trgconvert) of one run, read once and looked up per
// target field through a hash. Rules of a lookup: the first row (in the database's
// order) whose old value equals the value wins; without one, the last "(*)" row of the
// field applies; a row whose new value is empty never changes a value. Field names and
// values are compared by their upper-case forms, nothing is trimmed.
class TranslationCache {
public:
    // Reads the rows of transId through a configuration cursor (throws quendra::Error).
    void load(const QString& transId, const std::vector<trgBodyRec>& fields);
    bool isLoadedFor(const QString& transId) const { return m_loaded && m_transId == transId; }

    // Whether any row belongs to target field index (0-based).
    bool hasRows(qsizetype fieldIndex) const { return m_tableOfField[fieldIndex] >= 0; }
    // Translates value of target field index in place.
    void apply(qsizetype fieldIndex, QString& value) const;

    // Builds the lookups from rows (field, old, new) in row order; used by load.
    void build(const std::vector<std::array<QString, 3>>& rows,
               const std::vector<trgBodyRec>& fields);

private:
    struct FieldTable {
        std::unordered_map<QString, QString, UpperHash, UpperEqual> exact;
        QString wildcard;
    };
    std::vector<int> m_tableOfField; // per target field: index into m_tables, -1 for none
    std::vector<FieldTable> m_tables;
    bool m_loaded = false;
    QString m_transId;
};

} // namespace quendra
