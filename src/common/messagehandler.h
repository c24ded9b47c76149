#pragma once

#include "common/error.h"

#include <QString>
#include <utility>

namespace quendra {

// Box styles callers pass to showError.
constexpr qint32 StyleCritical = 16; // stop icon, one OK button
constexpr qint32 StyleWarning = 48;  // exclamation icon, one OK button

// What one modal error or warning box shows.
struct MessageBoxData {
    qint32 style = StyleCritical;
    QString title;
    QString text;
    QString helpFile;
    QString helpContext; // handed to the box as text
};

// Where boxes go: a QMessageBox in the GUI, standard error in the batch runner,
// a recorder in tests. The sink must not throw.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const MessageBoxData& box) = 0;
};

// Installs the sink that showError hands its boxes to (not owned; nullptr drops boxes).
// Returns the sink that was installed before.
MessageSink* setMessageSink(MessageSink* sink);

// "Quendra (<version>) : where"
QString errorBoxTitle(const QString& where);
// The box text: application line, source, error number, note, description.
// pending may be nullptr (no error pending, as for the version warning).
QString errorBoxText(const Error* pending, const QString& note);

// Shows the pending error (or none) in a modal box through the installed sink.
void showError(const Error* pending, qint32 style, const QString& where, const QString& note = {});
// Shows whatever exception is in flight; call only from inside a catch block.
void showCurrentError(const QString& where, const QString& note = {});

// The trap of a window's event handler: runs body; whatever it throws is shown in an
// error box (style 16) under where ("Main.cmdRun_Click"), and the handler ends there, so
// the window stays usable. Returns false when the body failed.
template <class Body> bool trapHandler(const char* where, Body&& body) noexcept
{
    try {
        std::forward<Body>(body)();
        return true;
    } catch (...) {
        showCurrentError(QString::fromLatin1(where));
        return false;
    }
}

} // namespace quendra
