#include "ui/run/frmcounter.h"

#include "common/messagehandler.h"
#include "ui/common/twips.h"

#include <QCoreApplication>
#include <QMetaMethod>
#include <QPainter>
#include <ctime>

namespace quendra::ui {

namespace {
constexpr qint64 PaintIntervalMs = 40;

// Milliseconds of a coarse monotonic clock: cheap enough to read on every record.
qint64 coarseMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
}

} // namespace

// The record label. Its text changes with every record of a run, so it is a plain text
// painted from the window's counter: a QLabel would check for rich text, recompute its size
// and post layout and accessibility events a million times in a long run.
class CounterLabel : public QWidget {
public:
    CounterLabel(const frmCounter* counter, QWidget* parent) : QWidget(parent), m_counter(counter)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, m_counter->text());
    }

private:
    const frmCounter* m_counter;
};

frmCounter::frmCounter(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmCounter"));
    setWindowTitle(QStringLiteral("Datensatz"));
    setModal(false);
    setFixedSize(twips(2265), twips(840));
    setCursor(Qt::WaitCursor);
    // The keyboard stays with the main window: the run is the main window's action.
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_lblRecord = new CounterLabel(this, this);
    m_lblRecord->setObjectName(QStringLiteral("lblRecord"));
    m_lblRecord->setGeometry(twipsRect(120, 240, 1935, 255));
}

void frmCounter::open()
{
    show();
    paintNow();
}

void frmCounter::setCount(qint64 count, qint64 maxCount)
{
    trapHandler("frmCounter.setCount", [&] {
        m_counter.setCount(count, maxCount);
        m_counted = true;
        if (isSignalConnected(QMetaMethod::fromSignal(&frmCounter::countShown)))
            Q_EMIT countShown(text());
        if (coarseMilliseconds() - m_paintedAt >= PaintIntervalMs)
            paintNow();
    });
}

void frmCounter::cmdClose_Click()
{
    QDialog::close();
}

QString frmCounter::text() const
{
    return m_counted ? m_counter.text() : QStringLiteral("Datensatz");
}

// The run keeps the thread busy, so the window paints here: a synchronous repaint, and the
// window system's own events (mapping, exposure) without any user input, which would
// otherwise reach the main window in the middle of a run.
void frmCounter::paintNow()
{
    m_paintedAt = coarseMilliseconds();
    m_lblRecord->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace quendra::ui
