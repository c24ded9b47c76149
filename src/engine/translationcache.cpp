#include "engine/translationcache.h"

#include "common/valuebuffer.h"
#include "config/clsinitdbconnect.h"

#include <QVariant>
#include <array>

namespace quendra {

namespace {
QString columnText(const clsInitDBConnect& c, const QString& column)
{
    const QVariant v = c.value(column);
    return v.isNull() ? QString() : v.toString();
}
} // namespace

void TranslationCache::load(const QString& transId, const std::vector<trgBodyRec>& fields)
{
    // The cursor quotes the TransID in its statement, so an apostrophe in it is harmless.
    clsInitDBConnect c;
    c.setTable(QStringLiteral("trgconvert"));
    c.setTransID(transId);
    c.init();
    m_loaded = true;
    std::vector<std::array<QString, 3>> rows;
    const QString field = QStringLiteral("field");
    const QString oldCol = QStringLiteral("old");
    const QString newCol = QStringLiteral("new");
    while (!c.isEOF()) {
        rows.push_back({columnText(c, field), columnText(c, oldCol), columnText(c, newCol)});
        c.MoveNext();
    }
    build(rows, fields);
    m_transId = transId;
}

void TranslationCache::build(const std::vector<std::array<QString, 3>>& rows,
                             const std::vector<trgBodyRec>& fields)
{
    m_tables.clear();
    m_tableOfField.assign(fields.size(), -1);
    // Target fields whose names differ only in letter case share one table.
    std::unordered_map<QString, int, UpperHash, UpperEqual> tableOfName;
    for (const auto& row : rows)
        tableOfName.try_emplace(row[0], -1);
    for (size_t i = 0; i < fields.size(); ++i) {
        auto it = tableOfName.find(QStringView(fields[i].field));
        if (it == tableOfName.end())
            continue;
        if (it->second < 0) {
            it->second = int(m_tables.size());
            m_tables.emplace_back();
        }
        m_tableOfField[i] = it->second;
    }
    const UpperEqual equal;
    for (const auto& [field, oldValue, newValue] : rows) {
        const int t = tableOfName.at(field);
        if (t < 0)
            continue;
        FieldTable& table = m_tables[size_t(t)];
        table.insertFirst(oldValue, newValue); // the first exact row wins
        if (equal(oldValue, u"(*)"))
            table.wildcard = newValue; // the last wildcard row wins
    }
}

const QString* TranslationCache::FieldTable::find(QStringView value) const
{
    if (slots.empty())
        return nullptr;
    const size_t hash = UpperHash()(value);
    const size_t mask = slots.size() - 1;
    const UpperEqual equal;
    for (size_t s = hash & mask;; s = (s + 1) & mask) {
        const int e = slots[s];
        if (e < 0)
            return nullptr;
        const Entry& entry = entries[size_t(e)];
        if (entry.hash == hash && equal(entry.oldValue, value))
            return &entry.newValue;
    }
}

void TranslationCache::FieldTable::insertFirst(const QString& oldValue, const QString& newValue)
{
    if (find(oldValue))
        return;
    entries.push_back({UpperHash()(oldValue), oldValue, newValue});
    if (slots.size() < entries.size() * 2) {
        size_t size = 8;
        while (size < entries.size() * 2)
            size *= 2;
        slots.assign(size, -1);
        for (size_t e = 0; e < entries.size(); ++e) {
            size_t s = entries[e].hash & (size - 1);
            while (slots[s] >= 0)
                s = (s + 1) & (size - 1);
            slots[s] = int(e);
        }
        return;
    }
    size_t s = entries.back().hash & (slots.size() - 1);
    while (slots[s] >= 0)
        s = (s + 1) & (slots.size() - 1);
    slots[s] = int(entries.size() - 1);
}

void TranslationCache::apply(qsizetype fieldIndex, QString& value) const
{
    const int t = m_tableOfField[size_t(fieldIndex)];
    if (t < 0)
        return;
    const FieldTable& table = m_tables[size_t(t)];
    const QString* exact = table.find(value);
    const QString& result = exact ? *exact : table.wildcard;
    if (result.isEmpty())
        return;
    assignView(value, result);
}

} // namespace quendra
