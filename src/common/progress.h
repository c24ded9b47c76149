#pragma once

#include <QString>

namespace quendra {

// The counting rules of the progress display, shared by the progress window and the
// batch runner's terminal line. Counts are 64-bit, so a source of any length counts.
class ProgressCounter {
public:
    // count 0 means one more than the last count; a maxCount of 0 keeps the stored total.
    void setCount(qint64 count, qint64 maxCount);

    qint64 count() const { return m_count; }
    qint64 total() const { return m_total; }
    // "Datensatz: 17/250", or "Datensatz: 17" while no total is known.
    QString text() const;

private:
    qint64 m_count = 0;
    qint64 m_total = 0;
};

// What a conversion run reports its progress to. The run opens it before the source,
// calls setCount for every source record and closes it at the end, also after an error.
// Before each record the run asks whether the user wants it stopped; it then ends as a
// run stopped by a signal does.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void open() = 0;
    virtual void setCount(qint64 count, qint64 maxCount) = 0;
    virtual void close() = 0;
    virtual bool stopRequested() const { return false; }
};

} // namespace quendra
