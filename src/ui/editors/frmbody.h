#pragma once

#include "ui/editors/gridframe.h"

#include <array>

class QCheckBox;
class QComboBox;
class QDataWidgetMapper;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quendra::ui {

class BoundFieldDelegate;

// The field definition editor: the source (srcBody) or target (trgBody)
// field list of the current TransID in the grid, and above it the field panel whose
// boxes edit the current row. Every edit is written to init.mdb when a box is left,
// when the row changes and when the window closes. Shown modal with exec().
class frmBody : public GridFrame {
    Q_OBJECT
public:
    explicit frmBody(QWidget* parent = nullptr);
    ~frmBody() override;

    // 0 the source field list (srcBody), 1 the target field list (trgBody). Call before
    // the window is shown.
    void setTable(int side);

protected:
    void formLoad() override;
    QWidget* firstStrip() const override;
    void rowChanged() override;
    void gridColumnChanged() override;
    void commitTypedValue() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int Inputs = 17; // the control arrays' indexes 0 to 16

    void bindFields();
    void showCurrentRow();
    void commitBox(QWidget* box);
    void fillCmbFormat();
    void fillCmbSrcField();
    void cmdTrgConvert_Click();

    int m_table = 0;
    QWidget* picFields = nullptr;
    std::array<QLabel*, Inputs> lblLabels{};
    std::array<QLineEdit*, Inputs> txtFields{};
    std::array<QComboBox*, Inputs> cmbFields{};
    std::array<QCheckBox*, Inputs> chkFields{};
    QPushButton* cmdTrgConvert = nullptr;
    QDataWidgetMapper* m_mapper = nullptr;
    BoundFieldDelegate* m_delegate = nullptr;
};

} // namespace quendra::ui
