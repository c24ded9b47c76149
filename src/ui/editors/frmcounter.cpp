#include "ui/editors/frmcounter.h"

#include "common/messagehandler.h"
#include "ui/main/twips.h"

#include <QCoreApplication>
#include <QPainter>

namespace quendra::ui {

namespace {
constexpr qint64 PaintIntervalMs = 40;
}

// The record label. Its text changes with every record of a run, so it is a plain painted
// text: a QLabel would check for rich text, recompute its size and post layout and
// accessibility events a million times in a long run.
class CounterLabel : public QWidget {
public:
    CounterLabel(const QString& text, QWidget* parent) : QWidget(parent), m_text(text) {}
    const QString& text() const { return m_text; }
    // Shown with the next paint; the window repaints at its own pace.
    void setText(const QString& text) { m_text = text; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, m_text);
    }

private:
    QString m_text;
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
    m_lblRecord = new CounterLabel(QStringLiteral("Datensatz"), this);
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
        m_lblRecord->setText(m_counter.text());
        Q_EMIT countShown(m_lblRecord->text());
        if (!m_sincePaint.isValid() || m_sincePaint.elapsed() >= PaintIntervalMs)
            paintNow();
    });
}

void frmCounter::cmdClose_Click()
{
    QDialog::close();
}

QString frmCounter::text() const
{
    return m_lblRecord->text();
}

// The run keeps the thread busy, so the window paints here: a synchronous repaint, and the
// window system's own events (mapping, exposure) without any user input, which would
// otherwise reach the main window in the middle of a run.
void frmCounter::paintNow()
{
    m_sincePaint.start();
    m_lblRecord->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace quendra::ui
