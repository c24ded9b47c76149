#pragma once

#include "config/clsinitdbconnect.h"
#include "ui/main/headcontrols.h"
#include "ui/main/mainwindow.h"

#include <QDataWidgetMapper>
#include <memory>

namespace quendra::ui {

// One head of the main window: its controls, the cursor on its head row, the binding of
// the fields to that row and the flag that an edit has not been saved yet.
struct MainWindow::Side {
    HeadControls c;
    std::unique_ptr<clsInitDBConnect> cursor;
    std::unique_ptr<QDataWidgetMapper> mapper;
    bool changed = false;
};

} // namespace quendra::ui
