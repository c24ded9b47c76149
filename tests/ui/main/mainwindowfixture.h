#pragma once

#include "ui/main/filechooser.h"
#include "ui/main/mainwindow.h"
#include "ui/main/modaldialog.h"
#include "ui/windowdriver.h"

#include <memory>
#include <vector>

namespace quendra::test {

// Answers file requests from a list (nothing = cancelled) and keeps the requests.
class ScriptedChooser : public ui::FileChooser {
public:
    ScriptedChooser() { m_previous = ui::setFileChooser(this); }
    ~ScriptedChooser() override { ui::setFileChooser(m_previous); }
    std::optional<QString> choose(QWidget*, const ui::FileRequest& request) override
    {
        requests.push_back(request);
        return answer;
    }
    std::optional<QString> answer;
    std::vector<ui::FileRequest> requests;

private:
    ui::FileChooser* m_previous = nullptr;
};

// The main window on a temporary init.mdb; the windows its actions would show modal are
// only noted.
class MainWindowTest : public WindowTestOf<ui::MainWindow> {
protected:
    MainWindowTest();
    ~MainWindowTest() override;

    // Source and target head rows of a definition; a null medium stays NULL.
    void addHeads(const QString& transId, const QVariant& srcMedium = 0,
                  const QString& srcFileType = {}, const QVariant& trgMedium = 0,
                  const QString& trgFileType = {});
    ui::MainWindow& open();

    // A column of the head row of transId as init.mdb holds it; an invalid QVariant
    // when there is no such row.
    QVariant stored(const QString& table, const QString& transId, const QString& column) const;
    int rowCount(const QString& table) const;

    std::vector<QString> modalShown; // object names of windows the actions opened

private:
    ui::ModalHook m_previousHook;
};

} // namespace quendra::test
