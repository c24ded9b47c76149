#include "ui/editors/frmdataview.h"

#include "connectors/clsadoconnect.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace quendra::ui {

frmDataView::frmDataView(QWidget* parent) : GridFrame(Kind::Viewer, "frmDataView", parent)
{
    setWindowTitle(u"Umsetzungstabelle"_s); // the viewer keeps this design title
    setInnerSize(6735, 5895);
    cmdClose->move(twips(5520), 0);
    // The viewer has no step that writes back: its grid is read only.
    grdDataGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabChain({grdDataGrid, cmdClose, cmdFirst, cmdPrevious, cmdNext, cmdLast});
    grdDataGrid->setFocus();
}

void frmDataView::setDBClass(clsADOConnect* connector)
{
    trap("setDBClass", [&] {
        m_connector = connector;
        useNavigation(connector);
    });
}

void frmDataView::formLoad()
{
    // A connector released before the window is shown leaves nothing to show.
    if (!m_connector)
        useNavigation(nullptr);
    bindGrid();
}

} // namespace quendra::ui
