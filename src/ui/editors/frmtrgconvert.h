#pragma once

#include "ui/editors/gridframe.h"

#include <QString>

namespace quendra::ui {

// The value translation editor: the translation pairs (old -> new) of one
// target field of the current TransID, in a grid only. Opened from the target-mode
// field definition editor; shown modal with exec().
class frmTrgConvert : public GridFrame {
    Q_OBJECT
public:
    explicit frmTrgConvert(QWidget* parent = nullptr);

    // The target field whose translations are edited. Call before the window is shown.
    void setField(const QString& fromField);

protected:
    void formLoad() override;
    void newRowFilling() override;

private:
    QString m_field;
};

} // namespace quendra::ui
