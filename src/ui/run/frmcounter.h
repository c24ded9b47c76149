#pragma once

#include "common/progress.h"

#include <QDialog>

class QPushButton;

namespace quendra::ui {

class CounterLabel;

// The small window a conversion run shows while it walks the source:
// "Datensatz: 17/250", wide enough for seven-digit counts. The run opens it, counts every
// record and closes it. While it is open the other windows take no input; "Abbrechen"
// (or Escape, or closing the window) asks the run to stop before its next record.
class frmCounter : public QDialog, public ProgressSink {
    Q_OBJECT
public:
    explicit frmCounter(QWidget* parent = nullptr);

    // Shows the window and lets it paint once before the run goes on.
    void open() override;
    // The label follows every count; the window is repainted at once, but not more than
    // about 25 times a second, so that painting never dominates a run.
    void setCount(qint64 count = 0, qint64 maxCount = 0) override;
    // Ends the window; the run's way of closing it.
    void close() override { cmdClose_Click(); }
    void cmdClose_Click();
    bool stopRequested() const override { return m_stop; }
    // "Abbrechen": the run stops before its next record.
    void cmdStop_Click();

    // The label's text: "Datensatz" before the first count, then "Datensatz: 17/250".
    QString text() const;

Q_SIGNALS:
    // The label's new text, on every count (built only while something listens).
    void countShown(const QString& text);

protected:
    // Escape and the window's close button ask for the stop; only the run closes it.
    void reject() override { cmdStop_Click(); }

private:
    void paintNow();

    CounterLabel* m_lblRecord;
    QPushButton* m_cmdStop;
    bool m_stop = false;
    ProgressCounter m_counter;
    bool m_counted = false;
    qint64 m_paintedAt = -1000000; // milliseconds; long ago, so that the first count paints
};

} // namespace quendra::ui
