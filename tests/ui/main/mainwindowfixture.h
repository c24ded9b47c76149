#pragma once

#include "support/recordingsink.h"
#include "support/tempconfigdb.h"
#include "ui/main/filechooser.h"
#include "ui/main/mainwindow.h"
#include "ui/main/modaldialog.h"

#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

class QWidget;

// Readable texts and values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QVariant& v, std::ostream* os)
{
    *os << (v.isValid() ? '"' + v.toString().toStdString() + '"' : std::string("<keine Zeile>"));
}

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

// The main window on a temporary init.mdb, driven with real mouse and key events.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest();
    ~MainWindowTest() override;

    // Source and target head rows of a definition; a null medium stays NULL.
    void addHeads(const QString& transId, const QVariant& srcMedium = 0,
                  const QString& srcFileType = {}, const QVariant& trgMedium = 0,
                  const QString& trgFileType = {});
    ui::MainWindow& open();

    template <class W> W* find(const QString& name) const
    {
        W* w = window->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    // A click that moves the focus to w (and so leaves the field that had it).
    static void click(QWidget* w);
    // Types text at the end of the field, as after a click and the End key.
    static void type(QWidget* w, const QString& text);
    // Replaces the field's text by text, as after Ctrl+A.
    static void retype(QWidget* w, const QString& text);

    // A column of the head row of transId as init.mdb holds it; an invalid QVariant
    // when there is no such row.
    QVariant stored(const QString& table, const QString& transId, const QString& column) const;
    int rowCount(const QString& table) const;
    QStringList boxTitles() const;

    RecordingSink sink;
    TempConfigDb db;
    QString configPath = db.path(); // the init.mdb that stored and rowCount read
    std::unique_ptr<ui::MainWindow> window;
    std::vector<QString> modalShown; // object names of windows the actions opened

private:
    ui::ModalHook m_previousHook;
};

} // namespace quendra::test
