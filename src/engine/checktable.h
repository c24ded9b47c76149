#pragma once

#include "engine/definition.h"
#include "values/numbers.h"

#include <QString>
#include <vector>

namespace quendra {

struct RegionalSettings;

// The check lines of a run: per target field with a check kind one row (rows are
// shared by fields of the same name), in the order in which the rows were created.
// "Anzahl" counts the records, "Summe" adds the final target values exactly as decimal
// numbers; any other kind leaves the row's value empty.
class CheckTable {
public:
    explicit CheckTable(const std::vector<trgBodyRec>& fields);

    // Whether target field index (0-based) has a check kind.
    bool isCheckField(size_t index) const { return m_slotOfField[index] >= 0; }
    // Updates the row of target field index with its final value; a value that is not
    // a number is a type error for "Summe".
    // number, when given, is what value reads as; it is then added without reading value.
    void update(size_t index, const trgBodyRec& field, QStringView value, const PlainNumber* number,
                const RegionalSettings& regional);

    bool started() const { return !m_order.empty(); }
    // The lines after "Prüfsumme:", in creation order: "BETRAG (Summe): 1234,5".
    std::vector<QString> lines(const RegionalSettings& regional) const;

private:
    enum class Kind { Unset, Count, Sum };
    struct Row {
        bool created = false;
        const trgBodyRec* kindOf = nullptr; // the field that set the kind last
        Kind lastKind = Kind::Unset;
        qint64 count = 0;
        DecimalSum sum;
    };
    std::vector<int> m_slotOfField;
    std::vector<Kind> m_kindOfField; // Unset for a kind that neither counts nor sums
    std::vector<Row> m_rows;
    std::vector<int> m_order;
};

} // namespace quendra
