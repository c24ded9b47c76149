#include "common/messagehandler.h"

#include "common/globals.h"

namespace quendra {

namespace {
MessageSink* g_sink = nullptr;

// The number-to-text rule that puts a blank where a plus sign would stand.
QString signedNumberText(qint32 n)
{
    return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}
} // namespace

MessageSink* setMessageSink(MessageSink* sink)
{
    return std::exchange(g_sink, sink);
}

QString errorBoxTitle(const QString& where)
{
    return globals().appLabel + QStringLiteral(" : ") + where;
}

QString errorBoxText(const Error* pending, const QString& note)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text = QStringLiteral("Anwendung: ") + globals().appLabel + crlf;
    if (pending && !pending->source().isEmpty())
        text += pending->source() + crlf + crlf;
    else
        text += crlf;
    // A warning of Quendra's own has no error number to show.
    if (pending && pending->number() != 0)
        text += QStringLiteral("Fehlernummer: ") + signedNumberText(pending->number()) + crlf;
    if (!note.isEmpty())
        text += QLatin1Char('(') + note + QLatin1Char(')') + crlf + crlf;
    if (pending)
        text += pending->description();
    return text;
}

void showError(const Error* pending, qint32 style, const QString& where, const QString& note)
{
    MessageBoxData box;
    box.style = style;
    box.title = errorBoxTitle(where);
    box.text = errorBoxText(pending, note);
    if (pending) {
        box.helpFile = pending->helpFile();
        box.helpContext = QString::number(pending->helpContext());
    } else {
        box.helpContext = QStringLiteral("0");
    }
    if (g_sink)
        g_sink->show(box);
}

void showCurrentError(const QString& where, const QString& note)
{
    const Error e = currentError();
    showError(&e, StyleCritical, where, note);
}

} // namespace quendra
