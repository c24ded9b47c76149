#pragma once

#include <QDialog>

namespace quendra::ui {

// The field definition editor (placeholder until the grid windows arrive).
class frmBody : public QDialog {
    Q_OBJECT
public:
    explicit frmBody(QWidget* parent = nullptr);
    void setTable(int side); // 0 source, 1 target
};

} // namespace quendra::ui
