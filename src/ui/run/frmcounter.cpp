#include "ui/run/frmcounter.h"

#include "common/messagehandler.h"
#include "ui/common/twips.h"

#include <QCoreApplication>
#include <QMetaMethod>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
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
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmCounter"));
    setWindowTitle(QStringLiteral("Datensatz"));
    // The run holds the thread and lets the window take its input now and then; the
    // other windows must not take any meanwhile.
    setWindowModality(Qt::ApplicationModal);
    setCursor(Qt::WaitCursor);
    m_lblRecord = new CounterLabel(this, this);
    m_lblRecord->setObjectName(QStringLiteral("lblRecord"));
    const int width =
        std::max(twips(1935),
                 fontMetrics().horizontalAdvance(QStringLiteral("Datensatz: 8888888/8888888")) + 2);
    m_lblRecord->setGeometry(twips(120), twips(240), width, twips(255));
    // Below the count, at its right end.
    m_cmdStop = new QPushButton(QStringLiteral("Abbrechen"), this);
    m_cmdStop->setObjectName(QStringLiteral("cmdStop"));
    m_cmdStop->setAutoDefault(false);
    m_cmdStop->setCursor(Qt::ArrowCursor);
    m_cmdStop->setGeometry(twips(120) + width - twips(1095), twips(600), twips(1095), twips(375));
    connect(m_cmdStop, &QPushButton::clicked, this, &frmCounter::cmdStop_Click);
    setFixedSize(2 * twips(120) + width, twips(600 + 375 + 120));
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
    hide();
}

void frmCounter::cmdStop_Click()
{
    m_stop = true;
    m_cmdStop->setEnabled(false);
}

QString frmCounter::text() const
{
    return m_counted ? m_counter.text() : QStringLiteral("Datensatz");
}

// The run keeps the thread busy, so the window paints here: a synchronous repaint, then
// the window system's events, the user's too: a click on "Abbrechen" reaches the window,
// input to the others is held back while it is open.
void frmCounter::paintNow()
{
    m_paintedAt = coarseMilliseconds();
    m_lblRecord->repaint();
    QCoreApplication::processEvents();
}

} // namespace quendra::ui
