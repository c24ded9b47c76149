#pragma once

#include "common/progress.h"

#include <QDialog>
#include <QElapsedTimer>

namespace quendra::ui {

class CounterLabel;

// The small modeless window a conversion run shows while it walks the source:
// "Datensatz: 17/250". The run opens it, counts every record and closes it.
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

    QString text() const;

Q_SIGNALS:
    // The label's new text, on every count.
    void countShown(const QString& text);

private:
    void paintNow();

    CounterLabel* m_lblRecord;
    ProgressCounter m_counter;
    QElapsedTimer m_sincePaint;
};

} // namespace quendra::ui
