#include "ui/editors/frmdataview.h"

namespace quendra::ui {

frmDataView::frmDataView(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDataView"));
}

void frmDataView::setDBClass(quendra::clsADOConnect* /*connector*/) {}

} // namespace quendra::ui
