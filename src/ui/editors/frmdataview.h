#pragma once

#include <QDialog>

namespace quendra {
class clsADOConnect;
}

namespace quendra::ui {

// The raw data viewer (placeholder until the grid windows arrive).
class frmDataView : public QDialog {
    Q_OBJECT
public:
    explicit frmDataView(QWidget* parent = nullptr);
    void setDBClass(quendra::clsADOConnect* connector); // not owned
};

} // namespace quendra::ui
