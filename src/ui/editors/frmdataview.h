#pragma once

#include "ui/editors/gridframe.h"

#include <QPointer>

namespace quendra {
class clsADOConnect;
}

namespace quendra::ui {

// The raw data viewer: the rows of a database source, unconverted and read
// only, in the grid of the frame. Shown modal with exec().
class frmDataView : public GridFrame {
    Q_OBJECT
public:
    explicit frmDataView(QWidget* parent = nullptr);

    // The opened connector whose rows are shown (not owned). Call before the window is
    // shown; without it the grid stays empty.
    void setDBClass(quendra::clsADOConnect* connector);

protected:
    void formLoad() override;

private:
    QPointer<clsADOConnect> m_connector;
};

} // namespace quendra::ui
