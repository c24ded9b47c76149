#pragma once

#include "common/medium.h"
#include "engine/runoptions.h"
#include "ui/main/headcontrols.h"

#include <QMainWindow>
#include <memory>

class QCheckBox;
class QComboBox;
class QDataWidgetMapper;
class QLabel;
class QPushButton;

namespace quendra {
class clsInitDBConnect;
}

namespace quendra::ui {

// The main window "Main": choice of the definition by its TransID, its source head ("Von")
// and target head ("Nach") bound to two configuration cursors, the layout of each side by
// medium and file type, and the actions. Every edit reaches init.mdb when the field is left;
// there is no Save command. Creating the window loads the first definition.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Saves the heads that have changed; false (after the error box) when one could not be
    // written, which then keeps its changed flag.
    bool dbUpdate();
    // Loads and binds the heads of the TransID shown in the choice box.
    void init_Data();
    // Lays a side out for a medium.
    void srcODBC(Medium medium);
    void trgODBC(Medium medium);

    // The buttons.
    void cmdFileDLG_Click(int index);
    void cmdButton_Click(int index);
    void cmdRun_Click();
    // "Vorschau" and "Prüflauf": the definition run into memory, shown in frmPreview.
    void cmdPreview_Click();
    void cmdCheck_Click();
    // Preview and check run share the way a listing window is opened.
    void showListingOf(RunMode mode);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Side; // one head: its controls, cursor, binding and changed flag

    void buildControls();
    void connectSide(Side& side);
    void Form_Load();
    void initTransID();
    void loadSide(Side& side, std::unique_ptr<clsInitDBConnect> cursor);
    void selectMedium(Side& side);
    void bindChoices(Side& side);
    void layoutSide(const Side& side, Medium medium);
    Medium storedMedium(const Side& side) const;
    void onMediumClicked(Side& side, Medium medium);
    void onTransIDChosen();
    bool followTypedTransID();
    void setPathWidth(const HeadControls& c, QWidget* reference, bool narrow);
    void buildRunChoices(QWidget* client);
    // The line under the buttons that tells how the last run ended, and the button that
    // opens the folder of its target; both stay until the next run.
    void buildRunOutcome(QWidget* client);
    void showRunOutcome(const RunResult& result);
    void cmdOpenFolder_Click();
    // "Protokoll": the journal of the runs in a window of its own.
    void cmdJournal_Click();
    // The all-or-nothing box and the source's encoding follow the chosen definition; a
    // choice is stored at once.
    void loadRunChoices();
    void storeRunChoices();
    // Saves both heads and loads them again, as before every run; false when a head
    // could not be saved.
    bool prepareRun();

    std::unique_ptr<Side> m_src;
    std::unique_ptr<Side> m_trg;
    QLabel* m_lblConfig = nullptr;
    QComboBox* m_cmbTransID = nullptr;
    QPushButton* m_cmdRun = nullptr;
    QPushButton* m_cmdClose = nullptr;
    std::array<QPushButton*, 3> m_cmdButton{};
    QPushButton* m_cmdPreview = nullptr;
    QPushButton* m_cmdCheck = nullptr;
    QCheckBox* m_chkAllOrNothing = nullptr;
    QLabel* m_lblSrcEncoding = nullptr;
    QComboBox* m_cmbSrcEncoding = nullptr;
    QLabel* m_lblRunResult = nullptr;
    QPushButton* m_cmdOpenFolder = nullptr;
    QPushButton* m_cmdJournal = nullptr;
    QString m_runFolder; // the folder of the last run's target
    bool m_running = false;
};

} // namespace quendra::ui
