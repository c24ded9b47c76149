#include "engine/runtables.h"

#include "common/valuebuffer.h"
#include "values/numbers.h"

#include <QHash>
#include <cmath>
#include <cstring>

namespace quendra {

qint64 autoCount(AutoCountRow& row, QStringView value, qint64 start)
{
    qint64 result = start;
    if (row.exists) {
        // Compared in place: the library comparison is a call per record.
        const bool same = !value.isEmpty() && value.size() == row.last.size() &&
                          equalChars(value.data(), row.last.constData(), value.size());
        result = same ? row.count : row.count + 1;
    }
    row.exists = true;
    assignView(row.last, value);
    row.count = result;
    return result;
}

void lastValue(LastValueRow& row, QStringView value, QString& result)
{
    // Written without a branch on the value, as empty and filled values alternate at
    // random: the result is chosen, then kept as the last value.
    const bool carried = row.exists && value.isEmpty();
    assignView(result, carried ? QStringView(row.last) : value);
    assignView(row.last, result);
    row.exists = true;
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
    // Rounded from the digits themselves: a double would change a start beyond 2^53.
    DecimalNumber d;
    if (!parseNumber(t, regional, d) || d.point > 19)
        return std::nullopt;
    const int whole = std::max(d.point, 0);
    quint64 magnitude = 0;
    for (int k = 0; k < whole; ++k)
        magnitude = magnitude * 10 + (k < d.count ? d.digits[size_t(k)] : 0);
    // The dropped part against one half: its first digit, and any digit after it.
    const int first = d.point < 0 ? 0 : (whole < d.count ? d.digits[size_t(whole)] : 0);
    const bool beyondHalf = d.point >= 0 && whole + 1 < d.count;
    if (d.point >= 0 && (first > 5 || (first == 5 && (beyondHalf || magnitude % 2 == 1))))
        ++magnitude;
    const quint64 limit = quint64(std::numeric_limits<qint64>::max()) + (d.negative ? 1 : 0);
    if (magnitude > limit)
        return std::nullopt;
    return d.negative ? qint64(0 - magnitude) : qint64(magnitude);
}

void appendNumber(QString& out, qint64 n)
{
    const quint64 magnitude = n < 0 ? quint64(0) - quint64(n) : quint64(n);
    const int digits = decimalDigits(magnitude);
    const qsizetype start = out.size();
    QChar* o = setLength(out, start + (n < 0 ? 1 : 0) + digits) + start;
    if (n < 0)
        *o++ = QLatin1Char('-');
    writeDigits(o, magnitude, digits);
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
