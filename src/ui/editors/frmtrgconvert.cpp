#include "ui/editors/frmtrgconvert.h"

#include "common/globals.h"
#include "config/clsinitdbconnect.h"
#include "config/configsql.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace quendra::ui {

frmTrgConvert::frmTrgConvert(QWidget* parent) : GridFrame(Kind::Editor, "frmTrgConvert", parent)
{
    setWindowTitle(u"Umsetzungstabelle"_s);
    setInnerSize(6735, 5895);
    cmdClose->move(twips(5520), 0);
    setTabChain(
        {grdDataGrid, cmdAdd, cmdDelete, cmdClose, cmdFirst, cmdPrevious, cmdNext, cmdLast});
    grdDataGrid->setFocus();
}

void frmTrgConvert::setField(const QString& fromField)
{
    m_field = fromField;
}

void frmTrgConvert::formLoad()
{
    clsInitDBConnect& db = createCursor();
    db.setTransID(currentTransID());
    // TransID and field name go in as SQL string literals, so that an apostrophe in
    // them works; the six blanks after "where" are kept as they always were.
    db.setSQL(u"select * from trgconvert where "_s + u"     transid="_s +
              quoteSqlText(currentTransID()) + u" and field="_s + quoteSqlText(m_field));
    db.init();
    bindGrid();
    hideColumn(u"transid"_s);
}

void frmTrgConvert::newRowFilling()
{
    cursor().setValue(u"field"_s, m_field);
}

} // namespace quendra::ui
