#include "engine/runtables.h"

#include "common/valuebuffer.h"
#include "engine/numbers.h"

#include <QHash>
#include <cmath>

namespace quendra {

qint64 autoCount(AutoCountRow& row, QStringView value, qint64 start)
{
    qint64 result = start;
    if (row.exists)
        result = (!value.isEmpty() && value == QStringView(row.last)) ? row.count : row.count + 1;
    row.exists = true;
    assignView(row.last, value);
    row.count = result;
    return result;
}

void lastValue(LastValueRow& row, QStringView value, QString& result)
{
    if (!row.exists || !value.isEmpty()) {
        row.exists = true;
        assignView(row.last, value);
    }
    assignView(result, row.last);
}

std::optional<qint64> parseStartValue(QStringView text, const RegionalSettings& regional)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return 0;
    bool ok = false;
    const qint64 n = t.toLongLong(&ok);
    if (ok)
        return n;
    double d = 0;
    if (!parseNumber(t, regional, d) || !std::isfinite(d) || std::fabs(d) > 9.0e18)
        return std::nullopt;
    return qint64(std::nearbyint(d));
}

void appendNumber(QString& out, qint64 n)
{
    char16_t digits[24];
    int pos = 24;
    const bool negative = n < 0;
    quint64 u = negative ? quint64(0) - quint64(n) : quint64(n);
    do {
        digits[--pos] = char16_t(u'0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (negative)
        digits[--pos] = u'-';
    const qsizetype start = out.size();
    copyChars(setLength(out, start + 24 - pos) + start,
              reinterpret_cast<const QChar*>(digits + pos), 24 - pos);
}

std::vector<int> slotsByName(const std::vector<trgBodyRec>& fields, int& slotCount)
{
    QHash<QString, int> slotOfName;
    std::vector<int> slots;
    slots.reserve(fields.size());
    for (const trgBodyRec& f : fields) {
        auto it = slotOfName.find(f.field);
        if (it == slotOfName.end())
            it = slotOfName.insert(f.field, int(slotOfName.size()));
        slots.push_back(it.value());
    }
    slotCount = int(slotOfName.size());
    return slots;
}

} // namespace quendra
