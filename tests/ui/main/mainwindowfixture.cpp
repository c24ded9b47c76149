#include "mainwindowfixture.h"

#include "common/messagehandler.h"

#include <QDialog>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace quendra::test {

MainWindowTest::MainWindowTest()
{
    m_previousHook = ui::setModalHook([this](QDialog& dialog) {
        modalShown.push_back(dialog.objectName());
        return 0;
    });
}

MainWindowTest::~MainWindowTest()
{
    window.reset();
    ui::setModalHook(m_previousHook);
}

void MainWindowTest::addHeads(const QString& transId, const QVariant& srcMedium,
                              const QString& srcFileType, const QVariant& trgMedium,
                              const QString& trgFileType)
{
    auto medium = [](const QVariant& m) {
        return m.isNull() ? QStringLiteral("NULL") : m.toString();
    };
    db.execAll(
        {QStringLiteral("insert into srchead (transid, path, filetype, header, dbtable, delimiter, "
                        "sqlstring, frommedium) values ('%1', '%2/%1.txt', '%3', 0, 'tab%1', ';', "
                        "'select 1', %4)")
             .arg(transId, db.dir(), srcFileType, medium(srcMedium)),
         QStringLiteral("insert into trghead (transid, path, filetype, header, dbtable, delimiter, "
                        "textsign, frommedium, fixlength, chkrecord, encoding) values ('%1', "
                        "'%2/%1-out.txt', '%3', 0, '', ';', '', %4, 0, 0, 'ANSI')")
             .arg(transId, db.dir(), trgFileType, medium(trgMedium))});
}

ui::MainWindow& MainWindowTest::open()
{
    window = std::make_unique<ui::MainWindow>();
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    return *window;
}

void MainWindowTest::click(QWidget* w)
{
    // On a desktop a click activates the window; the offscreen platform leaves that to us
    // (it deactivates the main window when another window was shown and closed).
    if (!w->window()->isActiveWindow()) {
        w->window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w->window()));
    }
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(qMin(w->width() / 2, 8), w->height() / 2));
}

void MainWindowTest::type(QWidget* w, const QString& text)
{
    QTest::keyClick(w, Qt::Key_End);
    QTest::keyClicks(w, text);
}

void MainWindowTest::retype(QWidget* w, const QString& text)
{
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_Delete);
    QTest::keyClicks(w, text);
}

QVariant MainWindowTest::stored(const QString& table, const QString& transId,
                                const QString& column) const
{
    QVariant result;
    {
        QSqlDatabase c =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("mainwindowtest"));
        c.setDatabaseName(configPath);
        EXPECT_TRUE(c.open());
        QSqlQuery q(c);
        q.prepare(QStringLiteral("select %1 from %2 where transid = ?").arg(column, table));
        q.addBindValue(transId);
        EXPECT_TRUE(q.exec());
        if (q.next())
            result = q.value(0).isNull() ? QVariant(QStringLiteral("<NULL>")) : q.value(0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("mainwindowtest"));
    return result;
}

int MainWindowTest::rowCount(const QString& table) const
{
    int n = -1;
    {
        QSqlDatabase c =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("mainwindowtest"));
        c.setDatabaseName(configPath);
        EXPECT_TRUE(c.open());
        QSqlQuery q(QStringLiteral("select count(*) from ") + table, c);
        if (q.next())
            n = q.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("mainwindowtest"));
    return n;
}

QStringList MainWindowTest::boxTitles() const
{
    QStringList titles;
    for (const MessageBoxData& box : sink.boxes)
        titles << box.title;
    return titles;
}

} // namespace quendra::test
