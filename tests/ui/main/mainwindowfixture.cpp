#include "mainwindowfixture.h"

#include "config/configsql.h"

#include <QDialog>

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
    showWindow(window.get());
    return *window;
}

QVariant MainWindowTest::stored(const QString& table, const QString& transId,
                                const QString& name) const
{
    const QStringList values = column(QStringLiteral("select %1 from %2 where transid = %3")
                                          .arg(name, table, quoteSqlText(transId)));
    return values.isEmpty() ? QVariant() : QVariant(values.first());
}

int MainWindowTest::rowCount(const QString& table) const
{
    return column(QStringLiteral("select count(*) from ") + table)
        .value(0, QStringLiteral("-1"))
        .toInt();
}

} // namespace quendra::test
