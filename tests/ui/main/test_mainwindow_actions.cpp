// The buttons of the main window: file choice, the editors, the raw data view, the run.
#include "common/globals.h"
#include "config/runjournal.h"
#include "mainwindowfixture.h"
#include "support/filebytes.h"
#include "ui/common/qttranslations.h"
#include "ui/main/definitiontransfer.h"
#include "ui/main/messageboxsink.h"
#include "ui/run/frmcounter.h"
#include "ui/run/frmpreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>

using namespace Qt::StringLiterals;

namespace quendra::test {
namespace {

// Watches the progress windows a run opens: every text they show, and whether they closed.
class CounterWatch : public QObject {
public:
    CounterWatch() { qApp->installEventFilter(this); }
    ~CounterWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        auto* counter = qobject_cast<ui::frmCounter*>(o);
        if (counter && e->type() == QEvent::Show) {
            ++opened;
            connect(counter, &ui::frmCounter::countShown, this, [this, counter](const QString& t) {
                texts << t;
                if (onCount)
                    onCount(counter);
            });
        } else if (counter && e->type() == QEvent::Hide) {
            ++closed;
        }
        return false;
    }
    int opened = 0, closed = 0;
    QStringList texts;
    std::function<void(ui::frmCounter*)> onCount; // at every count, in the middle of the run
};

// Takes the folders the window asks the desktop to open.
class FolderRecorder : public QObject {
    Q_OBJECT
public:
    explicit FolderRecorder(QStringList& opened) : m_opened(opened)
    {
        QDesktopServices::setUrlHandler(u"file"_s, this, "open");
    }
    ~FolderRecorder() override { QDesktopServices::unsetUrlHandler(u"file"_s); }
public Q_SLOTS:
    void open(const QUrl& url) { m_opened << url.toString(); }

private:
    QStringList& m_opened;
};

class Actions : public MainWindowTest {
protected:
    // Definition RUN (tests/data/ui/run.sql) on the source records given.
    void addRunDefinition(const QByteArray& source)
    {
        writeFile(db.filePath(u"src.txt"_s), source);
        db.execScript(
            QString::fromUtf8(readFile(QStringLiteral(QUENDRA_TEST_DATA_DIR "/ui/run.sql")))
                .replace(u"@DIR@"_s, db.dir()));
    }
};

TEST_F(Actions, FileButtonsAskWithTheirTitlesAndFiltersAndFillThePath)
{
    ASSERT_TRUE(ui::installQtTranslations()) << "qt6-translations-l10n";
    addHeads(u"A"_s);
    open();
    auto chooser = std::make_unique<ScriptedChooser>();
    chooser->answer = u"/daten/neu.txt"_s;
    click(find<QPushButton>(u"cmdFileDLG_0"_s));
    ASSERT_EQ(chooser->requests.size(), 1u);
    const ui::FileRequest src = chooser->requests[0];
    EXPECT_FALSE(src.save);
    EXPECT_EQ(src.title, u"Quell-Datei öffnen"_s);
    EXPECT_EQ(src.filter, u"Alle Dateien|*.*"_s);
    EXPECT_EQ(src.initialDir, db.dir() + u"/A.txt"_s);
    chooser.reset(); // the target's button opens the program's own dialog, answered by keys
    QTimer poll;     // from within the dialog's own event loop
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        EXPECT_EQ(dialog->windowTitle(), u"Ziel-Datei öffnen"_s);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(
            dialog->nameFilters(),
            QStringList({u"Textdatei (*.txt)"_s, u"CSV-Datei (*.csv)"_s, u"Alle Dateien (*)"_s}));
        // Qt's own texts in German too.
        EXPECT_EQ(dialog->findChild<QLabel*>(u"lookInLabel"_s)->text(), u"Suchen in:"_s);
        auto* name = dialog->findChild<QLineEdit*>(u"fileNameEdit"_s);
        EXPECT_EQ(name->text(), u"A-out.txt"_s);
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, u"ziel.csv"_s);
        QTest::keyClick(name, Qt::Key_Return);
    });
    poll.start(50);
    click(find<QPushButton>(u"cmdFileDLG_1"_s));

    EXPECT_EQ(find<QLineEdit>(u"txtSRCFields_0"_s)->text(), u"/daten/neu.txt"_s);
    EXPECT_EQ(stored(u"srchead"_s, u"A"_s, u"path"_s), u"/daten/neu.txt"_s)
        << "the source path had the focus and was left for the target button";
    window->close();
    EXPECT_EQ(stored(u"trghead"_s, u"A"_s, u"path"_s), db.dir() + u"/ziel.csv"_s);
}

TEST_F(Actions, CancelledFileDialogIsAnErrorBoxAndKeepsThePath)
{
    addHeads(u"A"_s);
    db.exec(u"update trghead set path = 'fehlt/ziel.txt'"_s);
    db.exec(u"update srchead set path = ''"_s);
    open();
    ScriptedChooser chooser; // answers nothing: cancelled
    for (const QString& button : {u"cmdFileDLG_0"_s, u"cmdFileDLG_1"_s}) {
        sink.boxes.clear();
        click(find<QPushButton>(button));
        ASSERT_TRUE(sawErrorBox(1, u"Main.cmdFileDLG_Click"_s)) << button.toStdString();
        EXPECT_TRUE(sink.boxes[0].text.endsWith(u"Abbrechen wurde gewählt."_s));
        // Without a path, or in a folder that is not there, the dialog starts at home.
        EXPECT_EQ(chooser.requests.back().initialDir, QDir::homePath());
    }
    EXPECT_EQ(find<QLineEdit>(u"txtSRCFields_0"_s)->text(), QString());
    EXPECT_EQ(find<QLineEdit>(u"txtTRGFields_0"_s)->text(), u"fehlt/ziel.txt"_s);
}

// The boxes of the program itself: a warning or an error icon, in front of the active window.
TEST_F(Actions, BoxesShowTheirIconTitleAndTextInFrontOfTheWindow)
{
    open();
    EXPECT_FALSE(find<QComboBox>(u"cmbTransID"_s)->actions().value(0)->isEnabled());
    int shown = 0;
    for (const qint32 style : {StyleWarning, StyleCritical}) {
        activate(w()); // after the box before
        whenModalOpens([this, style, &shown](QWidget* modal) {
            ++shown;
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->icon(),
                      style == StyleWarning ? QMessageBox::Warning : QMessageBox::Critical);
            EXPECT_EQ(box->windowTitle() + box->text(), u"TitelText"_s);
            EXPECT_EQ(box->parentWidget(), w());
            box->accept();
        });
        ui::MessageBoxSink().show({style, u"Titel"_s, u"Text"_s, {}, {}});
    }
    EXPECT_EQ(shown, 2) << "each box waits for its answer";
}

TEST_F(Actions, DetailOpensTheFieldEditor)
{
    addHeads(u"A"_s, 1);
    open();
    click(find<QPushButton>(u"cmdButton_0"_s));
    click(find<QPushButton>(u"cmdButton_1"_s));
    EXPECT_EQ(modalShown, (std::vector<QString>{u"frmBody"_s, u"frmBody"_s}));
}

TEST_F(Actions, AnzeigenOpensTheViewerOnTheSourceAsItsFieldsStand)
{
    ScratchConnection(u"QSQLITE"_s, db.filePath(u"kunden.db"_s))
        .exec(u"create table kunden (nr int, name text)"_s);
    addHeads(u"A"_s, 2, u"MS Access"_s);
    db.exec(u"update srchead set sqlstring = NULL, dbtable = 'kunden', delimiter = ''"_s);
    open();
    typeInto(w(), u"txtSRCFields_0"_s, db.filePath(u"kunden.db"_s));
    click(find<QPushButton>(u"cmdButton_2"_s));
    EXPECT_EQ(modalShown, std::vector<QString>{u"frmDataView"_s});

    // An SQL text goes before the table; one that fails ends the action before the viewer.
    typeInto(w(), u"txtSRCFields_5"_s, u"select * from fehlt"_s);
    click(find<QPushButton>(u"cmdButton_2"_s));
    EXPECT_EQ(modalShown.size(), 1u);
    ASSERT_TRUE(sawErrorBox(1, u"Main.cmdButton_Click"_s));

    // A file type the catalogue does not know is refused as a run refuses it.
    auto* fileType = find<QComboBox>(u"cmbSrcFields_1"_s);
    click(fileType);
    retype(fileType->lineEdit(), u"Lagerliste"_s);
    click(find<QPushButton>(u"cmdButton_2"_s));
    EXPECT_EQ(modalShown.size(), 1u);
    ASSERT_TRUE(sawErrorBox(2, u"Main.cmdButton_Click"_s));
    EXPECT_TRUE(sink.boxes.back().text.contains(u"Den Dateityp „Lagerliste“ gibt es nicht"_s))
        << sink.boxes.back().text.toStdString();
}

TEST_F(Actions, RunWritesTheTargetWhileTheProgressWindowCounts)
{
    addRunDefinition("1;a\r\n2;b\r\n3;c\r\n");
    open();
    CounterWatch watch;
    click(find<QPushButton>(u"cmdRun"_s));
    EXPECT_EQ(readFile(db.filePath(u"out.txt"_s)), QByteArray("1;a\r\n2;b\r\n3;c\r\n"));
    EXPECT_EQ(watch.texts,
              (QStringList{u"Datensatz: 1/3"_s, u"Datensatz: 2/3"_s, u"Datensatz: 3/3"_s}));
    EXPECT_EQ(watch.opened, 1);
    EXPECT_EQ(watch.closed, 1);
    EXPECT_TRUE(QTest::qWaitForWindowActive(w())) << "the keyboard is back";
    // How it ended stays in the window, with the way to the target's folder.
    const QString shown = find<QLabel>(u"lblRunResult"_s)->toolTip();
    EXPECT_TRUE(
        shown.startsWith(u"RUN um "_s) &&
        shown.endsWith(u" fertig: 3 Datensätze geschrieben.\nZiel: "_s + db.filePath(u"out.txt"_s)))
        << shown.toStdString();
    QStringList opened;
    FolderRecorder folders(opened);
    click(find<QPushButton>(u"cmdOpenFolder"_s));
    EXPECT_EQ(opened, QStringList{QUrl::fromLocalFile(db.dir()).toString()});
    // The run is in the journal, ended and counted.
    const std::vector<JournalEntry> journal = journalEntries();
    ASSERT_EQ(journal.size(), 1u);
    const JournalEntry& row = journal.front();
    EXPECT_EQ(row.transId, u"RUN"_s);
    EXPECT_EQ(row.status, journalstatus::succeeded());
    EXPECT_TRUE(row.started.isValid() && row.started <= row.ended)
        << row.ended.toString().toStdString();
    EXPECT_EQ(row.recordsRead, 3);
    EXPECT_EQ(row.recordsWritten, 3);
    EXPECT_EQ(row.source, db.filePath(u"src.txt"_s));
    EXPECT_EQ(row.target, db.filePath(u"out.txt"_s));
    click(find<QPushButton>(u"cmdJournal"_s));
    EXPECT_EQ(modalShown, std::vector<QString>{u"frmJournal"_s});
}

TEST_F(Actions, FailingRunKeepsEarlierRecordsAndTheWindowUsable)
{
    addRunDefinition("1;1\r\n2;2\r\n3;abc\r\n4;4\r\n");
    db.exec(u"update trgBody set chkfield = 'Summe' where field = 'C'"_s); // "abc" is no sum
    open();
    CounterWatch watch;
    click(find<QPushButton>(u"cmdRun"_s));
    ASSERT_TRUE(sawErrorBox(1, u"clsFileConvert.RunConvert"_s));
    EXPECT_EQ(readFile(db.filePath(u"out.txt"_s)), QByteArray("1;1\r\n2;2\r\n"));
    EXPECT_EQ(watch.opened, 1);
    EXPECT_EQ(watch.closed, 1);
    EXPECT_TRUE(find<QLabel>(u"lblRunResult"_s)
                    ->text()
                    .contains(u" mit Fehler beendet (Datensatz 3, Feld C).\nZiel: "_s));

    typeInto(w(), u"txtTRGFields_3"_s, u"|"_s);
    click(find<QLineEdit>(u"txtTRGFields_5"_s));
    EXPECT_EQ(stored(u"trghead"_s, u"RUN"_s, u"delimiter"_s), u"|"_s);
}

// A typed new TransID runs without stored heads; the next run stores the heads it started.
TEST_F(Actions, RunOnATypedNewDefinitionStartsItsHeads)
{
    addRunDefinition("1;a\r\n");
    open();
    typeInto(w(), u"txtTRGFields_3"_s, u";;"_s);
    auto* ids = find<QComboBox>(u"cmbTransID"_s);
    click(ids);
    retype(ids->lineEdit(), u"NEU"_s);
    click(find<QPushButton>(u"cmdRun"_s));
    EXPECT_EQ(stored(u"trghead"_s, u"RUN"_s, u"delimiter"_s), u";;"_s) << "old heads saved";
    EXPECT_EQ(currentTransID(), u"NEU"_s);
    ASSERT_TRUE(sawErrorBox(1, u"Main.RunFileConvert"_s));
    EXPECT_EQ(find<QLineEdit>(u"txtSRCFields_0"_s)->text(), QString());
    EXPECT_EQ(ids->count(), 1) << "the list is filled only at start";
    click(find<QPushButton>(u"cmdRun"_s));
    EXPECT_TRUE(sawBoxes(2));
    EXPECT_EQ(rowCount(u"srchead"_s) + rowCount(u"trghead"_s), 4);
}

// What the preview window showed when it opened.
struct PreviewShown {
    QString title, status;
    QStringList targets;          // the target lines' rich text, one per row
    QStringList errors;           // the error column, one per row: its text, then its tooltip
    QStringList numbers{};        // the record numbers, one per row
    bool laidOut = false;         // the columns fill the list or scroll, the record whole under it,
                                  // then the status and "Schliessen"
    QString lastColumn{};         // the caption of the table's rightmost column
    bool rowHeader = true;        // Qt's row numbers beside the list's own record numbers
    QString detail{}, warnings{}; // the chosen record whole, the run's warnings
};

void watchPreview(std::vector<PreviewShown>& shown)
{
    ui::setModalHook([&shown](QDialog& dialog) {
        auto* preview = qobject_cast<ui::frmPreview*>(&dialog);
        PreviewShown s{dialog.windowTitle(), preview ? preview->status() : QString(), {}, {}};
        for (int row = 0; preview && row < preview->table()->rowCount(); ++row) {
            auto* line = qobject_cast<QLabel*>(preview->table()->cellWidget(row, 2));
            s.targets << (line ? line->text() : QString());
            const QTableWidgetItem* error = preview->table()->item(row, 3);
            s.errors << (error ? (error->text() + u'\n' + error->toolTip()).trimmed() : QString());
            s.numbers << preview->table()->item(row, 0)->text();
        }
        dialog.show();
        if (QTableWidget* t = preview ? preview->table() : nullptr) {
            s.lastColumn = t->model()->headerData(t->columnCount() - 1, Qt::Horizontal).toString();
            s.rowHeader = !t->verticalHeader()->isHidden();
            auto* detail = dialog.findChild<QPlainTextEdit*>(u"txtDetail"_s);
            auto* warnings = dialog.findChild<QLabel*>(u"lblWarnings"_s);
            s.detail = detail->toPlainText();
            s.warnings = warnings->isVisible() ? warnings->text() : QString();
            const auto under = [](const QWidget* above, const QWidget* w) {
                const int gap = w->mapTo(w->window(), QPoint()).y() -
                                above->mapTo(above->window(), QPoint(0, above->height())).y();
                return gap >= 0 && gap < 20;
            };
            const QWidget* last = warnings->isVisible() ? static_cast<QWidget*>(warnings) : detail;
            for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
                if (button->text() == u"Schliessen")
                    s.laidOut = under(t, detail) && under(last, button) &&
                                under(last, dialog.findChild<QLabel*>(u"lblStatus"_s)) &&
                                t->horizontalHeader()->length() >= t->viewport()->width();
            }
        }
        dialog.hide();
        shown.push_back(s);
        return 0;
    });
}

// Preview and check run show the records and leave the target as it was; "€" has no
// place in code page 850 and is marked, and the run's warning says where it was.
TEST_F(Actions, PreviewAndCheckShowTheRecordsAndWriteNothing)
{
    addRunDefinition("1;1\r\n2;2\r\n3;abc\r\n\x80;4\r\n");
    db.exec(u"update trgBody set chkfield = 'Summe' where field = 'C'"_s); // "abc" is no sum
    db.exec(u"update trghead set encoding = 'ASCII', chkrecord = -1"_s);
    writeFile(db.filePath(u"out.txt"_s), "alt\r\n");
    open();
    std::vector<PreviewShown> shown;
    watchPreview(shown);
    click(find<QPushButton>(u"cmdPreview"_s));
    click(find<QPushButton>(u"cmdCheck"_s));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title, u"Vorschau – RUN"_s);
    EXPECT_EQ(shown[1].title, u"Prüflauf – RUN"_s);
    for (const PreviewShown& s : shown) {
        EXPECT_EQ(s.status, u"4 Datensätze, 1 mit Fehler – nichts geschrieben"_s);
        EXPECT_TRUE(s.laidOut);
        EXPECT_EQ(s.lastColumn, u"Fehler"_s);
        EXPECT_FALSE(s.rowHeader);
        // The faulty record is chosen and stands whole under the list.
        EXPECT_TRUE(s.detail.startsWith(u"Datensatz 3\nFehler:\nAnwendung"_s) &&
                    s.detail.contains(u"Fehlernummer:  13\n(Datensatz 3, Feld C)"_s) &&
                    s.detail.endsWith(u"Quelle:\n  id: „3“\n  c: „abc“"_s))
            << s.detail.toStdString();
        EXPECT_TRUE(s.warnings.startsWith(u"Warnung: 1 Zeichen in 1 Datensatz gibt es"_s) &&
                    s.warnings.contains(u"Datensatz 4, Feld N, „€“"_s))
            << s.warnings.toStdString();
    }
    ASSERT_EQ(shown[0].targets.size(), 6) << "four records and two check lines";
    EXPECT_FALSE(shown[0].targets[0].contains(u"red"_s));
    EXPECT_EQ(shown[0].targets[0].count(u"color: gray"_s), 1) << "a delimiter between two values";
    // Each value on a band of its own colour, the delimiter grey between the bands.
    EXPECT_TRUE(shown[0].targets[0].contains(
        u"</span><span style=\"color: gray\">;</span><span style=\"background-color: "_s))
        << shown[0].targets[0].toStdString();
    EXPECT_TRUE(shown[0].targets[3].contains(u"red\" title=\"„€“ wird als „?“ geschrieben\">?"_s));
    EXPECT_EQ(shown[0].errors[1], QString());
    // The error on one line with record and field as the box has them; the box as tooltip.
    EXPECT_TRUE(shown[0].errors[2].startsWith(
        u"Datensatz 3, Feld C: Typen unverträglich: \"abc\"\nAnwendung"_s))
        << shown[0].errors[2].toStdString();
    EXPECT_EQ(shown[1].targets.size(), 3) << "the faulty record and the check lines";
    EXPECT_EQ(shown[0].numbers.join(u' ') + u'/' + shown[1].numbers.join(u' '), u"1 2 3 4  /3  "_s);
    EXPECT_EQ(readFile(db.filePath(u"out.txt"_s)), QByteArray("alt\r\n"));
    // Fixed widths: a ruler of the record's width above the records, blanks as dots.
    db.exec(u"update trgBody set length = 6"_s);
    click(find<QCheckBox>(u"chkTRGFields_7"_s));
    click(find<QPushButton>(u"cmdPreview"_s));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_TRUE(shown[2].targets[0].contains(u">123456789112<"_s))
        << shown[2].targets[0].toStdString();
    EXPECT_TRUE(shown[2].targets[1].contains(u"1<span style=\"color: gray\">·</span>"_s))
        << shown[2].targets[1].toStdString();
    EXPECT_TRUE(shown[2].detail.startsWith(u"Datensatz 3\n"_s))
        << "the faulty record, after the ruler: " << shown[2].detail.toStdString();
    // A check run lists the first faulty records and counts the others in one row.
    writeFile(db.filePath(u"src.txt"_s), QByteArray("1;x\r\n").repeated(MaxListedFaults + 2));
    click(find<QPushButton>(u"cmdCheck"_s));
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[3].errors.filter(u"Typen unverträglich"_s).size(), MaxListedFaults);
    EXPECT_TRUE(shown[3].errors.last().startsWith(u"… und 2 weitere Datensätze mit Fehler"_s));
    EXPECT_TRUE(shown[3].laidOut) << "the check lines after a thousand rows count for the width";
    // A run that cannot start shows its error instead of an empty list.
    QFile::remove(db.filePath(u"src.txt"_s));
    click(find<QPushButton>(u"cmdPreview"_s));
    EXPECT_TRUE(sawBoxes(1));
    EXPECT_EQ(shown.size(), 4u);
}

// "Abbrechen" in the progress window stops a run, a check run and a preview before the next
// record; meanwhile the main window takes no clicks. The run's line and box say where it
// stopped; the list shows the records before.
TEST_F(Actions, AbbrechenStopsEveryKindOfRunBeforeTheNextRecord)
{
    addRunDefinition(QByteArray("1;1\r\n").repeated(500));
    open();
    std::vector<PreviewShown> shown;
    watchPreview(shown);
    CounterWatch watch;
    // Clicks as the window system delivers them, to whichever window is under them.
    const auto clickOn = [](QWidget* w) {
        QTest::mouseClick(w->window()->windowHandle(), Qt::LeftButton, {},
                          w->mapTo(w->window(), w->rect().center()));
    };
    watch.onCount = [&](ui::frmCounter* counter) {
        clickOn(find<QPushButton>(u"cmdButton_0"_s));
        clickOn(counter->findChild<QPushButton*>(u"cmdStop"_s));
    };
    for (const char* button : {"cmdRun", "cmdCheck", "cmdPreview"})
        click(find<QPushButton>(QString::fromLatin1(button)));
    EXPECT_EQ(watch.texts, QStringList(3, u"Datensatz: 1/500"_s));
    EXPECT_TRUE(modalShown.empty()) << "\"Detail\" was not opened during a run";
    EXPECT_EQ(readFile(db.filePath(u"out.txt"_s)), QByteArray("1;1\r\n"));
    ASSERT_TRUE(sawErrorBox(1, u"clsFileConvert.RunConvert"_s))
        << "from the run; none from the list";
    EXPECT_TRUE(
        sink.boxes[0].text.contains(u"Die Umsetzung wurde abgebrochen, bevor Datensatz 2"_s));
    EXPECT_TRUE(
        find<QLabel>(u"lblRunResult"_s)->text().contains(u" abgebrochen vor Datensatz 2."_s));
    ASSERT_EQ(shown.size(), 2u);
    for (const PreviewShown& s : shown)
        EXPECT_EQ(s.status, u"Abgebrochen vor Datensatz 2: 1 Datensatz, 0 mit Fehler – nichts "
                            "geschrieben"_s);
    EXPECT_EQ(shown[1].detail,
              u"Datensatz 1\nQuelle:\n  id: „1“\n  c: „1“\nZiel:\n  N: „1“\n  C: „1“"_s);
}

// A source already converted into the same target: the window asks first, saying when,
// how many records and where; "Abbrechen" leaves the target as it was, without an error
// box, "Trotzdem umsetzen" writes it.
TEST_F(Actions, ARepeatIsAskedForBeforeTheTargetChanges)
{
    addRunDefinition("1;a\r\n2;b\r\n");
    const QString out = db.filePath(u"out.txt"_s);
    open();
    click(find<QPushButton>(u"cmdRun"_s));
    ASSERT_EQ(readFile(out), QByteArray("1;a\r\n2;b\r\n"));
    const QDateTime at = journalEntries().front().started.toLocalTime();
    writeFile(out, "gebucht\r\n");
    QStringList asked;
    QString answer;
    ui::setModalHook([&](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        if (!box)
            return 0;
        dialog.show();
        QStringList buttons;
        for (QAbstractButton* b : box->buttons())
            buttons << b->text();
        asked << dialog.objectName() + u'|' + box->text() + u'|' + buttons.join(u',');
        for (QAbstractButton* b : box->buttons())
            if (b->text() == answer)
                QTest::mouseClick(b, Qt::LeftButton);
        return 0;
    });
    answer = u"Abbrechen"_s;
    click(find<QPushButton>(u"cmdRun"_s));
    EXPECT_EQ(readFile(out), QByteArray("gebucht\r\n"));
    EXPECT_TRUE(find<QLabel>(u"lblRunResult"_s)->text().contains(u"nicht umgesetzt"_s));
    EXPECT_TRUE(sawBoxes(0));
    answer = u"Trotzdem umsetzen"_s;
    click(find<QPushButton>(u"cmdRun"_s));
    EXPECT_EQ(readFile(out), QByteArray("1;a\r\n2;b\r\n"));
    const QString question =
        u"repeatQuestion|Die Quelle %1 wurde am %2 um %3 Uhr schon mit RUN umgesetzt: "
        "2 Datensätze nach %4.\n\nSoll sie noch einmal umgesetzt werden?|"_s.arg(
            db.filePath(u"src.txt"_s), at.toString(u"dd.MM.yyyy"_s), at.toString(u"HH:mm"_s), out);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[0].startsWith(question)) << asked[0].toStdString();
    EXPECT_TRUE(asked[0].endsWith(u"Trotzdem umsetzen,Abbrechen"_s) ||
                asked[0].endsWith(u"Abbrechen,Trotzdem umsetzen"_s))
        << asked[0].toStdString();
    EXPECT_EQ(asked[1], asked[0]) << "the first question's run is still the one asked about";
}

// The all-or-nothing choice belongs to the definition and keeps the target of a failing run.
TEST_F(Actions, AllOrNothingIsStoredPerDefinitionAndKeepsTheTarget)
{
    addRunDefinition("1;1\r\n2;2\r\n3;abc\r\n4;4\r\n");
    db.exec(u"update trgBody set chkfield = 'Summe' where field = 'C'"_s);
    writeFile(db.filePath(u"out.txt"_s), "alt\r\n");
    open();
    auto* choice = find<QCheckBox>(u"chkAllOrNothing"_s);
    EXPECT_FALSE(choice->isChecked());
    click(choice);
    click(find<QPushButton>(u"cmdRun"_s));
    ASSERT_TRUE(sawBoxes(1));
    EXPECT_TRUE(sink.boxes[0].text.contains(u"Datensatz 3"_s));
    EXPECT_TRUE(sink.boxes[0].text.endsWith(u"\nDas Ziel ist unverändert."_s));
    EXPECT_EQ(readFile(db.filePath(u"out.txt"_s)), QByteArray("alt\r\n"));
    window.reset();
    open();
    EXPECT_TRUE(find<QCheckBox>(u"chkAllOrNothing"_s)->isChecked());

    // Clicked after a new name was typed, the choice is the new definition's, not RUN's.
    const QVariant ticked = stored(u"quendraRunChoice"_s, u"RUN"_s, u"allornothing"_s);
    auto* ids = find<QComboBox>(u"cmbTransID"_s);
    click(ids);
    retype(ids->lineEdit(), u"NEU"_s);
    click(find<QCheckBox>(u"chkAllOrNothing"_s));
    EXPECT_EQ(currentTransID(), u"NEU"_s);
    EXPECT_FALSE(find<QCheckBox>(u"chkAllOrNothing"_s)->isChecked());
    click(find<QCheckBox>(u"chkAllOrNothing"_s));
    EXPECT_EQ(stored(u"quendraRunChoice"_s, u"NEU"_s, u"allornothing"_s), ticked);
    click(ids);
    retype(ids->lineEdit(), u"RUN"_s);
    click(find<QCheckBox>(u"chkAllOrNothing"_s));
    EXPECT_EQ(stored(u"quendraRunChoice"_s, u"NEU"_s, u"allornothing"_s), ticked);
    EXPECT_NE(stored(u"quendraRunChoice"_s, u"RUN"_s, u"allornothing"_s), ticked);

    // A table of choices in a layout of someone else's is an error, never a silent "off".
    window.reset();
    db.exec(u"alter table quendraRunChoice rename column allornothing to anders"_s);
    sink.boxes.clear();
    open();
    ASSERT_TRUE(sawBoxes(1));
    EXPECT_TRUE(sink.boxes[0].text.contains(u"Die Ausführungsart kann"_s));
}

// The source's encoding is chosen beside the source head, belongs to the definition and
// is how a run reads the file: a UTF-8 file read as Windows-1252 is refused until it is
// chosen, and then written to the Windows-1252 target with its umlaut.
TEST_F(Actions, SourceEncodingIsChosenPerDefinitionAndReadsTheFile)
{
    addRunDefinition("1;B\xC3\xBCro\r\n");
    open();
    auto* choice = find<QComboBox>(u"cmbSrcEncoding"_s);
    EXPECT_EQ(choice->currentText(), u"ANSI"_s);
    click(find<QPushButton>(u"cmdRun"_s));
    ASSERT_TRUE(sawBoxes(1));
    EXPECT_TRUE(sink.boxes[0].text.contains(u"ist in UTF-8 geschrieben (zuerst in Zeile 1)"_s))
        << sink.boxes[0].text.toStdString();
    EXPECT_EQ(readFile(db.filePath(u"out.txt"_s)), QByteArray("<fehlt>"));

    choice->setFocus();
    QTest::keyClick(choice, Qt::Key_Down);
    QTest::keyClick(choice, Qt::Key_Down); // ANSI, ASCII, UTF-8
    EXPECT_EQ(stored(u"quendraSourceHead"_s, u"RUN"_s, u"encoding"_s), u"UTF-8"_s);
    click(find<QPushButton>(u"cmdRun"_s));
    EXPECT_EQ(readFile(db.filePath(u"out.txt"_s)), QByteArray("1;B\xFCro\r\n"));
    window.reset();
    open();
    EXPECT_EQ(find<QComboBox>(u"cmbSrcEncoding"_s)->currentText(), u"UTF-8"_s);
}

// The definition choice's menu carries a definition out to a file and back in. A folder
// or a file that is not there is an error box, a password in the target a warning. When
// the name exists, "Abbrechen" changes nothing, "Ersetzen" replaces the stored definition
// and "Neuer Name" stores it under the name typed then.
TEST_F(Actions, DefinitionTravelsThroughAFileUnderANewName)
{
    addHeads(u"A"_s);
    db.exec(u"update trghead set path = 'DSN=X;PWD=geheim'"_s);
    open();
    ScriptedChooser chooser;
    auto* choice = find<QComboBox>(u"cmbTransID"_s);
    QAction* exportEntry = choice->actions().value(0);
    QAction* importEntry = choice->actions().value(1);
    ASSERT_TRUE(importEntry && exportEntry->isEnabled());
    for (const QString& file : {u"fehlt/a.toml"_s, u"a.toml"_s}) {
        chooser.answer = db.filePath(file);
        exportEntry->trigger();
    }
    ASSERT_TRUE(readFile(*chooser.answer).startsWith("# Quendra-Definition"));
    ASSERT_TRUE(sawBoxes(2));
    EXPECT_TRUE(sink.boxes[0].text.contains(u"fehlt"_s));
    EXPECT_EQ(sink.boxes[1].style, StyleWarning);
    sink.boxes.clear();

    QString answer;
    QStringList names{u"A"_s, u"B"_s}; // typed as new names: the first one is taken too
    int asked = 0;
    ui::setModalHook([&](QDialog& dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            ++asked;
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == answer)
                    button->click();
            }
        } else if (auto* input = qobject_cast<QInputDialog*>(&dialog)) {
            EXPECT_TRUE(input->labelText().contains(u"TransID"_s));
            EXPECT_EQ(input->textValue(), u"A"_s); // the name to change
            input->setTextValue(names.takeFirst());
            return int(QDialog::Accepted);
        }
        return 0;
    });
    const QVariant path = stored(u"srchead"_s, u"A"_s, u"path"_s);
    db.exec(u"update srchead set path = 'anders'"_s);
    for (const QString& button : {u"Abbrechen"_s, u"Ersetzen"_s, u"Neuer Name"_s}) {
        answer = button;
        importEntry->trigger();
        EXPECT_EQ(stored(u"srchead"_s, u"A"_s, u"path"_s).toString(),
                  button == u"Abbrechen" ? u"anders"_s : path.toString());
    }
    EXPECT_EQ(asked, 4) << "a new name that is taken too is asked about again";
    EXPECT_EQ(choice->currentText(), u"B"_s);
    EXPECT_EQ(choice->count(), 2) << "A once, B added";
    EXPECT_EQ(stored(u"srchead"_s, u"B"_s, u"path"_s), path);
    EXPECT_EQ(currentTransID(), u"B"_s); // the editors open B
    EXPECT_EQ(rowCount(u"srchead"_s), 2);
    chooser.answer = db.filePath(u"fehlt.toml"_s);
    importEntry->trigger();
    ASSERT_TRUE(sawBoxes(1));
    EXPECT_TRUE(sink.boxes[0].text.contains(u"fehlt.toml kann nicht gelesen"_s));
    EXPECT_TRUE(chooser.requests.front().save && !chooser.requests.back().save);
}

} // namespace
} // namespace quendra::test

#include "test_mainwindow_actions.moc"
