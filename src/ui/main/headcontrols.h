#pragma once

#include <QMap>
#include <QString>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace quendra::ui {

class FlagCheckBox;

// The controls of one head frame ("Von" or "Nach") as indexed arrays; the index names the
// field, as in the column lists below.
struct HeadControls {
    enum Side { Source = 0, Target = 1 };

    Side side = Source;
    QGroupBox* frame = nullptr;
    QMap<int, QLabel*> labels; // 0..9 by field, 90..92 by medium
    QMap<int, QLineEdit*> txt;
    QMap<int, QComboBox*> cmb;
    QMap<int, FlagCheckBox*> chk;
    std::array<QRadioButton*, 3> opt{};
    QPushButton* fileButton = nullptr; // cmdFileDLG [side]

    // Column of the head row that field index i shows.
    QString column(int index) const;

    // Shows or hides, enables or disables a field together with its label.
    void setRowVisible(int index, bool visible) const;
    void setRowEnabled(int index, bool enabled) const;
    QWidget* field(int index) const;
};

// Builds the frame of one side inside parent, at its design position, with empty fields
// and filled choice lists.
HeadControls buildHeadFrame(HeadControls::Side side, QWidget* parent);

} // namespace quendra::ui
