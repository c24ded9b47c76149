// The raw data viewer on the grid frame, showing a database file
// through the database connector as the main window hands it over.
#include "common/messagehandler.h"
#include "connectors/clsadoconnect.h"
#include "connectors/filetypes.h"
#include "ui/editors/frmdataview.h"
#include "ui/windowdriver.h"

#include <QTableView>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace quendra::test {
namespace {

using ui::frmDataView;

class DataViewer : public WindowTestOf<frmDataView> {
protected:
    void SetUp() override
    {
        ScratchConnection data(u"QSQLITE"_s, dataPath());
        data.execAll({u"create table kunden (kdnr integer, name varchar(30), ort varchar(20))"_s,
                      u"insert into kunden values (10, 'Anna', 'Bonn')"_s,
                      u"insert into kunden values (11, 'Bert', NULL)"_s,
                      u"insert into kunden values (12, 'Cora', 'Köln')"_s,
                      u"create table leer (kdnr integer, name varchar(30))"_s});
    }

    QString dataPath() const { return dir.filePath(u"daten.db"_s); }

    // Opens the connector on table as the main window's "Anzeigen" does, hands it to a
    // new viewer and shows the viewer.
    void open(const QString& table)
    {
        connector = std::make_unique<clsADOConnect>();
        connector->setSource(
            describeConnection(Medium::DatabaseFile, dataPath(), u"MS Access"_s, false));
        connector->setTable(table);
        connector->init();
        window = std::make_unique<frmDataView>();
        window->setDBClass(connector.get());
        showWindow(window.get());
    }

    QString status() const { return textOf(w(), u"lblStatus"_s); }

    QTemporaryDir dir;
    std::unique_ptr<clsADOConnect> connector;
};

TEST_F(DataViewer, ShowsEveryRowAndColumnReadOnly)
{
    open(u"kunden"_s);
    EXPECT_EQ(window->windowTitle(), u"Umsetzungstabelle"_s);
    EXPECT_EQ(window->size(), QSize(449, 393));
    QAbstractItemModel* m = grid(w())->model();
    EXPECT_EQ(m->rowCount(), 3);
    ASSERT_EQ(m->columnCount(), 3);
    for (const int c : {0, 1, 2}) {
        EXPECT_EQ(gridColumn(w(), QStringList{u"kdnr"_s, u"name"_s, u"ort"_s}[c]), c);
        EXPECT_FALSE(control<QTableView>(w(), u"grdDataGrid"_s)->isColumnHidden(c));
    }
    EXPECT_EQ(cell(w(), 2, 2), u"Köln"_s);
    EXPECT_EQ(cell(w(), 1, 2), QString());
    // Only "S&chließen" in the button strip.
    EXPECT_EQ(w()->findChild<QWidget*>(u"cmdAdd"_s), nullptr);
    EXPECT_EQ(w()->findChild<QWidget*>(u"cmdDelete"_s), nullptr);
    // Nothing has moved since the connector was handed over: the status is empty.
    EXPECT_EQ(status(), QString());
    click(w(), u"cmdLast"_s);
    click(w(), u"cmdNext"_s); // past the last row: the database layer's code for the end
    EXPECT_EQ(status(), u"Record: -3"_s);

    // Typing into a cell changes nothing.
    clickCell(w(), 0, 1, true);
    typeText(w(), u"Zoe"_s);
    press(w(), Qt::Key_Return);
    EXPECT_EQ(cell(w(), 0, 1), u"Anna"_s);
    press(w(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    ScratchConnection data(u"QSQLITE"_s, dataPath());
    EXPECT_EQ(data.column(u"select name from kunden order by kdnr"_s),
              (QStringList{u"Anna"_s, u"Bert"_s, u"Cora"_s}));
}

TEST_F(DataViewer, AnEmptySourceShowsAnEmptyGridAndReportsTheConnectorsMoves)
{
    open(u"leer"_s);
    EXPECT_EQ(grid(w())->model()->rowCount(), 0);
    EXPECT_EQ(grid(w())->model()->columnCount(), 2);
    click(w(), u"cmdLast"_s); // nothing to move to: no move, no message
    EXPECT_EQ(status(), QString());
    click(w(), u"cmdNext"_s); // the connector refuses to move past the end
    ASSERT_TRUE(sawErrorBox(1, u"frmDataView.cmdNext_Click"_s));
    EXPECT_TRUE(sink.boxes[0].text.contains(u"Modul: clsADOConnect.MoveNext"_s));
}

} // namespace
} // namespace quendra::test
