#pragma once

// Drives the windows as a user does: real mouse clicks and key presses on their widgets
// (found by their names), and reads init.mdb back through a connection of its own.

#include "support/recordingsink.h"
#include "support/tempconfigdb.h"
#include "support/testdatabases.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QVariant>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>

// Readable texts and values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QVariant& v, std::ostream* os)
{
    *os << (v.isValid() ? '"' + v.toString().toStdString() + '"' : std::string("<keine Zeile>"));
}

namespace quendra::test {

// The widget of that name inside window; fails the test when there is none.
template <class W = QWidget> W* control(QWidget* window, const QString& name)
{
    W* w = window->findChild<W*>(name);
    if (!w)
        ADD_FAILURE() << "no control " << name.toStdString();
    return w;
}

// Activates window, as a click on it does on a desktop, and waits until it has the focus;
// the offscreen platform deactivates a window when another window was shown and closed.
inline void activate(QWidget* window)
{
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        ADD_FAILURE() << "window did not become active";
}

// Shows window (modeless, as the tests drive it) and waits until it has the focus.
inline void showWindow(QWidget* window)
{
    window->show();
    activate(window);
}

// Clicks w near its left edge (where a check box has its box), which moves the focus to it.
inline void click(QWidget* w)
{
    if (!w)
        return;
    activate(w->window());
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(qMin(8, w->width() / 2), w->height() / 2));
}

inline void click(QWidget* window, const QString& name)
{
    click(control(window, name));
}

// Types text at the end of the box, as after the End key.
inline void type(QWidget* box, const QString& text)
{
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, text);
}

// Replaces the box's text by text, as after Ctrl+A.
inline void retype(QWidget* box, const QString& text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

// The widget of window that receives the keyboard: its focus widget, else the window.
inline QWidget* keyboardTarget(QWidget* window)
{
    QWidget* focus = window->focusWidget();
    return focus ? focus : window;
}

// Presses a key; what the key posts (a cell editor commits its text posted) is done
// before it returns.
inline void press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(keyboardTarget(window), key, modifiers);
    QCoreApplication::processEvents();
}

// Types text into whatever has the focus, key by key.
inline void typeText(QWidget* window, const QString& text)
{
    for (const QChar c : text)
        QTest::keyClick(keyboardTarget(window), c.toLatin1());
}

// Clicks into a text or combo box and types text over what it holds.
inline void typeInto(QWidget* window, const QString& box, const QString& text)
{
    QWidget* w = control(window, box);
    if (!w)
        return;
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, w->height() / 2));
    if (QApplication::focusWidget() != w && QApplication::focusWidget() != w->focusProxy())
        ADD_FAILURE() << box.toStdString() << " did not take the focus";
    retype(keyboardTarget(window), text);
}

inline QString textOf(QWidget* window, const QString& name)
{
    QWidget* w = control(window, name);
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    return w ? w->property("currentText").toString() : QString();
}

inline QAbstractItemView* grid(QWidget* window)
{
    return control<QAbstractItemView>(window, QStringLiteral("grdDataGrid"));
}

// The grid's column whose caption is caption; -1 when there is none.
inline int gridColumn(QWidget* window, const QString& caption)
{
    QAbstractItemModel* m = grid(window)->model();
    for (int c = 0; c < m->columnCount(); ++c) {
        if (m->headerData(c, Qt::Horizontal).toString() == caption)
            return c;
    }
    return -1;
}

inline QString cell(QWidget* window, int row, int column)
{
    return grid(window)->model()->index(row, column).data().toString();
}

// Clicks the grid cell at row and column.
inline void clickCell(QWidget* window, int row, int column, bool twice = false,
                      Qt::KeyboardModifiers keys = {})
{
    auto* view = grid(window);
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, keys, at);
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// Runs body as soon as the next modal window is open (a window shown with exec); the
// window is closed after five seconds at the latest, so that a failing test cannot hang.
inline void whenModalOpens(std::function<void(QWidget*)> body)
{
    QTimer::singleShot(0, [body] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            ADD_FAILURE() << "no modal window";
            return;
        }
        QTimer::singleShot(5000, modal, [modal] { modal->close(); });
        activate(modal);
        body(modal);
    });
}

// A temporary init.mdb, a box recorder, and a connection of its own to read the database back.
class WindowTest : public ::testing::Test {
protected:
    // A box is a fault unless the test looked for it; a failing test tells which boxes it saw.
    void TearDown() override
    {
        EXPECT_EQ(sink.boxes.size(), m_boxesSeen) << "boxes no test looked for";
        if (HasFailure()) {
            for (const MessageBoxData& b : sink.boxes)
                std::cerr << "box: " << b.title.toStdString() << "\n"
                          << b.text.toStdString() << "\n";
        }
    }

    QStringList column(const QString& sql) const
    {
        return ScratchConnection(QStringLiteral("QSQLITE"), configPath).column(sql);
    }

    // Whether exactly n boxes were shown since the sink was last emptied; the test saw them.
    bool sawBoxes(size_t n) { return (m_boxesSeen = n) == sink.boxes.size(); }
    // The same, and the last of them is the error box of the handler where.
    bool sawErrorBox(size_t n, const QString& where)
    {
        return sawBoxes(n) && sink.boxes.back().title == errorBoxTitle(where);
    }

    RecordingSink sink;
    TempConfigDb db;
    QString configPath = db.path(); // the init.mdb that column reads
    size_t m_boxesSeen = 0;
};

// A window test on one window of type Window, which the test makes and shows.
template <class Window> class WindowTestOf : public WindowTest {
protected:
    QWidget* w() const { return window.get(); }
    template <class W = QWidget> W* find(const QString& name) const
    {
        return control<W>(w(), name);
    }

    std::unique_ptr<Window> window;
};

} // namespace quendra::test
