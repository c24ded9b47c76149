#pragma once

#include "common/messagehandler.h"
#include "ui/common/twips.h"

#include <QByteArray>
#include <QDialog>
#include <QMetaObject>
#include <QTableView>
#include <initializer_list>
#include <memory>
#include <utility>

class QLabel;
class QPushButton;

namespace quendra {
class RecordNavigation;
class clsInitDBConnect;
} // namespace quendra

namespace quendra::ui {

// The data-bound grid of the frame windows.
class FrameGrid : public QTableView {
    Q_OBJECT
public:
    explicit FrameGrid(QWidget* parent = nullptr);

    // Writes the text of an open cell editor into its cell and closes the editor.
    void commitOpenEditor();

protected:
    // The marked row is the current record's: a click with Ctrl on it does not unmark it.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
};

class ColumnCaptions;
class KeyPreview;

// The grid editor frame that the field definition editor, the value
// translation editor and the raw data viewer are built on: the grid, the two strips at
// the bottom with the navigation buttons and the "Record: " status, the keyboard
// shortcuts, the resize rule, closing, and in the editors the add, delete and save
// pattern. Each window adds only what is its own.
//
// The frame drives whatever it holds through RecordNavigation: the editors' own
// configuration cursor or the connector handed to the viewer. Every trapped handler
// reports what it throws through showError under "<window>.<handler>".
class GridFrame : public QDialog {
    Q_OBJECT
public:
    ~GridFrame() override;

    // Showing the window the first time loads it (Form_Load).
    void setVisible(bool visible) override;
    // Every way of closing ends here: the value still being typed is taken into the
    // current row, the window unloads, and an editor writes what its cursor holds.
    void done(int result) override;

protected:
    enum class Kind { Editor, Viewer };
    // formName: the window's name in where-texts ("frmBody"); also its object name.
    GridFrame(Kind kind, const char* formName, QWidget* parent);

    // What each window adds.
    virtual void formLoad() = 0;
    // The strip whose height the resize rule takes off the grid: picStatBox, or in the
    // field definition editor its field panel.
    virtual QWidget* firstStrip() const;
    // A completed move of the cursor (after the status and the grid followed it).
    virtual void rowChanged() {}
    // The user moved the grid's current cell to another column of the same row.
    virtual void gridColumnChanged() {}
    // cmdAdd_Click's window-specific filling of the new row.
    virtual void newRowFilling() {}
    // Takes a value typed but not yet committed into the current row (before a move
    // and when the window closes). The frame commits an open cell editor of the grid.
    virtual void commitTypedValue();

    // Runs body as the trapped handler named procedure of this window.
    template <class Body> bool trap(const char* procedure, Body&& body) noexcept
    {
        const QByteArray where = m_formName + '.' + procedure;
        return trapHandler(where.constData(), std::forward<Body>(body));
    }
    // A trapped handler that works the cursor: the grid follows the cursor afterwards,
    // also when the handler failed.
    template <class Body> bool handler(const char* procedure, Body&& body) noexcept
    {
        const bool wasBusy = std::exchange(m_busy, true);
        const bool ok = trap(procedure, std::forward<Body>(body));
        m_busy = wasBusy;
        if (!wasBusy)
            syncGridToCurrentRow();
        return ok;
    }

    // Editors: creates clsDB, a configuration cursor that the window owns, with its move
    // event connected.
    clsInitDBConnect& createCursor();
    // The editor's cursor; throws error 91 when there is none.
    clsInitDBConnect& cursor() const;
    // The viewer: navigates what it is handed (not owned; nullptr for nothing).
    void useNavigation(RecordNavigation* navigation);
    // What the frame moves; throws error 91 when there is nothing.
    RecordNavigation& nav() const;

    // Binds the grid to data member "Primary" of clsDB.
    void bindGrid();
    // Column of the grid's rows by name, ignoring letter case; -1 when there is none.
    int columnOf(const QString& name) const;
    void setColumnCaption(const QString& column, const QString& caption);
    void hideColumn(const QString& column);

    // Window layout: the inner size in twips, the top strip (the field panel).
    void setInnerSize(int widthTwips, int heightTwips);
    void setTopStrip(QWidget* strip);
    // The tab order: each control after the one before it.
    void setTabChain(std::initializer_list<QWidget*> chain);

    bool isLoaded() const { return m_loaded && !m_loading; }
    bool isClosing() const { return m_closing; }

    // The frame's handlers.
    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void cmdClose_Click();
    void cmdAdd_Click();
    void cmdDelete_Click();
    void dbUpdate();
    void clsDB_MoveComplete();
    // keyCode and shift as Windows counts them (27 Escape, 38 Up; 1 Shift, 2 Ctrl,
    // 4 Alt). Returns whether the key was one of the frame's.
    bool Form_KeyDown(int keyCode, int shift);
    void Form_Resize();

    void resizeEvent(QResizeEvent* event) override;

    bool recordChanged = false; // editors: a bound box was edited and not yet written

    FrameGrid* grdDataGrid = nullptr;
    QWidget* picButtons = nullptr;
    QPushButton* cmdAdd = nullptr;    // editors only
    QPushButton* cmdDelete = nullptr; // editors only
    QPushButton* cmdClose = nullptr;
    QWidget* picStatBox = nullptr;
    QPushButton* cmdFirst = nullptr;
    QPushButton* cmdPrevious = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdLast = nullptr;

private:
    friend class KeyPreview;

    void Form_Unload();
    void Form_Terminate();
    void alignStrips();
    void syncGridToCurrentRow() noexcept;
    void gridCurrentChanged(const QModelIndex& current, const QModelIndex& previous);

    Kind m_kind;
    QByteArray m_formName;
    std::unique_ptr<clsInitDBConnect> m_cursor;
    RecordNavigation* m_nav = nullptr;
    QMetaObject::Connection m_moveConnection;
    ColumnCaptions* m_captions = nullptr;
    KeyPreview* m_keys = nullptr;
    QWidget* m_topStrip = nullptr;
    bool m_loaded = false;
    bool m_loading = false;
    bool m_closing = false;
    bool m_busy = false; // the frame itself is moving the cursor or the grid
};

} // namespace quendra::ui
