#include "engine/checktable.h"

#include "common/error.h"
#include "engine/formatting.h"
#include "engine/runtables.h"

namespace quendra {

CheckTable::CheckTable(const std::vector<trgBodyRec>& fields)
{
    int slotCount = 0;
    m_slotOfField = slotsByName(fields, slotCount);
    m_rows.resize(size_t(slotCount));
    for (size_t i = 0; i < fields.size(); ++i) {
        if (QStringView(fields[i].chkfield).trimmed().isEmpty())
            m_slotOfField[i] = -1;
    }
}

void CheckTable::update(size_t index, const trgBodyRec& field, QStringView value,
                        const RegionalSettings& regional)
{
    const int slot = m_slotOfField[index];
    Row& row = m_rows[size_t(slot)];
    if (!row.created) {
        row.created = true;
        row.field = field.field;
        m_order.push_back(slot);
    }
    if (row.kind != field.chkfield)
        row.kind = field.chkfield;
    if (field.chkfield == QLatin1StringView("Anzahl")) {
        ++row.count;
        row.lastKind = Kind::Count;
    } else if (field.chkfield == QLatin1StringView("Summe")) {
        row.sum.add(value, regional);
        row.lastKind = Kind::Sum;
    }
}

std::vector<QString> CheckTable::lines(const RegionalSettings& regional) const
{
    std::vector<QString> out;
    for (int slot : m_order) {
        const Row& row = m_rows[size_t(slot)];
        QString line = row.field + QStringLiteral(" (") + row.kind + QStringLiteral("): ");
        if (row.lastKind == Kind::Count)
            appendNumber(line, row.count);
        else if (row.lastKind == Kind::Sum)
            line += row.sum.text(regional);
        out.push_back(line);
    }
    return out;
}

} // namespace quendra
