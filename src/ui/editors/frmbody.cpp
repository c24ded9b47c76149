#include "ui/editors/frmbody.h"

namespace quendra::ui {

frmBody::frmBody(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBody"));
}

void frmBody::setTable(int /*side*/) {}

} // namespace quendra::ui
