#include "engine/checktable.h"

#include "common/error.h"
#include "common/fieldwords.h"
#include "engine/formatting.h"
#include "engine/runtables.h"

namespace quendra {

CheckTable::CheckTable(const std::vector<trgBodyRec>& fields)
{
    int slotCount = 0;
    m_slotOfField = slotsByName(fields, slotCount);
    m_rows.resize(size_t(slotCount));
    m_kindOfField.resize(fields.size(), Kind::Unset);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].chkfield == fieldword::Anzahl)
            m_kindOfField[i] = Kind::Count;
        else if (fields[i].chkfield == fieldword::Summe)
            m_kindOfField[i] = Kind::Sum;
        if (QStringView(fields[i].chkfield).trimmed().isEmpty())
            m_slotOfField[i] = -1;
    }
}

void CheckTable::update(size_t index, const trgBodyRec& field, QStringView value,
                        const PlainNumber* number, const RegionalSettings& regional)
{
    const int slot = m_slotOfField[index];
    Row& row = m_rows[size_t(slot)];
    if (!row.created) {
        row.created = true;
        m_order.push_back(slot);
    }
    row.kindOf = &field;
    switch (m_kindOfField[index]) {
    case Kind::Count:
        ++row.count;
        row.lastKind = Kind::Count;
        break;
    case Kind::Sum:
        if (number)
            row.sum.add(*number);
        else
            row.sum.add(value, regional);
        row.lastKind = Kind::Sum;
        break;
    case Kind::Unset:
        break;
    }
}

std::vector<QString> CheckTable::lines(const RegionalSettings& regional) const
{
    std::vector<QString> out;
    for (int slot : m_order) {
        const Row& row = m_rows[size_t(slot)];
        QString line =
            row.kindOf->field + QStringLiteral(" (") + row.kindOf->chkfield + QStringLiteral("): ");
        if (row.lastKind == Kind::Count)
            appendNumber(line, row.count);
        else if (row.lastKind == Kind::Sum)
            line += row.sum.text(regional);
        out.push_back(line);
    }
    return out;
}

} // namespace quendra
