#pragma once

#include "config/configsql.h"
#include "ui/main/filechooser.h"
#include "ui/main/mainwindow.h"
#include "ui/main/modaldialog.h"
#include "ui/windowdriver.h"

#include <QDialog>
#include <memory>
#include <vector>

namespace quendra::test {

using namespace Qt::StringLiterals;

// Answers file requests from a list (nothing = cancelled) and keeps the requests.
class ScriptedChooser : public ui::FileChooser {
public:
    ScriptedChooser() { ui::setFileChooser(this); }
    ~ScriptedChooser() override { ui::setFileChooser(nullptr); }
    std::optional<QString> choose(QWidget*, const ui::FileRequest& request) override
    {
        requests.push_back(request);
        return answer;
    }
    std::optional<QString> answer;
    std::vector<ui::FileRequest> requests;
};

// The main window on a temporary init.mdb; the windows its actions would show modal are only noted.
class MainWindowTest : public WindowTestOf<ui::MainWindow> {
protected:
    MainWindowTest()
    {
        m_previousHook = ui::setModalHook([this](QDialog& dialog) {
            modalShown.push_back(dialog.objectName());
            return 0;
        });
    }
    ~MainWindowTest() override
    {
        window.reset();
        ui::setModalHook(m_previousHook);
    }

    // Source and target head rows of a definition; a null medium stays NULL.
    void addHeads(const QString& transId, const QVariant& srcMedium = 0,
                  const QString& srcFileType = {}, const QVariant& trgMedium = 0,
                  const QString& trgFileType = {})
    {
        auto medium = [](const QVariant& m) { return m.isNull() ? u"NULL"_s : m.toString(); };
        db.execAll({u"insert into srchead (transid, path, filetype, header, dbtable, delimiter, "
                    "sqlstring, frommedium) values ('%1', '%2/%1.txt', '%3', 0, 'tab%1', ';', "
                    "'select 1', %4)"_s.arg(transId, db.dir(), srcFileType, medium(srcMedium)),
                    u"insert into trghead (transid, path, filetype, header, dbtable, delimiter, "
                    "textsign, frommedium, fixlength, chkrecord, encoding) values ('%1', "
                    "'%2/%1-out.txt', '%3', 0, '', ';', '', %4, 0, 0, 'ANSI')"_s.arg(
                        transId, db.dir(), trgFileType, medium(trgMedium))});
    }

    void open()
    {
        window = std::make_unique<ui::MainWindow>();
        showWindow(window.get());
    }

    // A column of the head row of transId as init.mdb holds it; an invalid QVariant
    // when there is no such row.
    QVariant stored(const QString& table, const QString& transId, const QString& name) const
    {
        const QStringList values = column(
            u"select %1 from %2 where transid = %3"_s.arg(name, table, quoteSqlText(transId)));
        return values.isEmpty() ? QVariant() : QVariant(values.first());
    }

    int rowCount(const QString& table) const
    {
        return column(u"select count(*) from "_s + table).value(0, u"-1"_s).toInt();
    }

    std::vector<QString> modalShown; // object names of windows the actions opened

private:
    ui::ModalHook m_previousHook;
};

} // namespace quendra::test
