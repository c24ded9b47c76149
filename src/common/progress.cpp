#include "common/progress.h"

namespace quendra {

void ProgressCounter::setCount(qint64 count, qint64 maxCount)
{
    if (maxCount > 0)
        m_total = maxCount;
    m_count = count == 0 ? m_count + 1 : count;
}

QString ProgressCounter::text() const
{
    QString s = QStringLiteral("Datensatz: ") + QString::number(m_count);
    if (m_total > 0)
        s += QLatin1Char('/') + QString::number(m_total);
    return s;
}

} // namespace quendra
