#include "journal.h"

#include "common/error.h"
#include "common/globals.h"
#include "common/messagehandler.h"
#include "common/streamoutput.h"
#include "config/runjournal.h"
#include "startup.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace quendra::journal {

const char usage[] =
    "Aufruf: quendra-run [--config DATEI] --journal [TRANSID] [--since DATUM] [--json]\n"
    "\n"
    "  --journal         gibt das Protokoll der schreibenden Läufe aus, den neuesten\n"
    "                    zuerst (nur die von TRANSID, wenn angegeben)\n"
    "  --since DATUM     nur Läufe, die an oder nach DATUM begannen (TT.MM.JJJJ oder\n"
    "                    JJJJ-MM-TT, auch mit Uhrzeit HH:MM, Ortszeit)\n"
    "  --json            als JSON-Feld für Skripte statt als Tabelle\n"
    "  --journal-rows N  behält künftig höchstens N Läufe im Protokoll, die ältesten\n"
    "                    fallen weg (Vorgabe 10000; 0: kein Protokoll)\n";

QDateTime parseSince(const QString& text)
{
    for (const char* format :
         {"dd.MM.yyyy HH:mm", "dd.MM.yyyy", "yyyy-MM-dd HH:mm", "yyyy-MM-ddTHH:mm", "yyyy-MM-dd"}) {
        const QDateTime t = QDateTime::fromString(text, QString::fromLatin1(format));
        if (t.isValid())
            return t;
    }
    return {};
}

namespace {

QJsonValue number(qint64 n)
{
    return n < 0 ? QJsonValue() : QJsonValue(n);
}

QJsonValue time(const QDateTime& t)
{
    return t.isValid() ? QJsonValue(t.toString(Qt::ISODateWithMs)) : QJsonValue();
}

QByteArray asJson(const std::vector<JournalEntry>& entries)
{
    QJsonArray rows;
    for (const JournalEntry& e : entries) {
        rows.append(QJsonObject{
            {u"id"_qs, e.id},
            {u"transid"_qs, e.transId},
            {u"program"_qs, e.program},
            {u"started"_qs, time(e.started)},
            {u"ended"_qs, time(e.ended)},
            {u"user"_qs, e.user},
            {u"host"_qs, e.host},
            {u"pid"_qs, e.pid},
            {u"source"_qs, e.source},
            {u"sourceSize"_qs, number(e.sourceSize)},
            {u"sourceModified"_qs, time(e.sourceModified)},
            {u"sourceRows"_qs, number(e.sourceRows)},
            {u"sourceSha256"_qs, e.sourceSha256.isEmpty()
                                     ? QJsonValue()
                                     : QJsonValue(QString::fromLatin1(e.sourceSha256))},
            {u"target"_qs, e.target},
            {u"recordsRead"_qs, number(e.recordsRead)},
            {u"recordsWritten"_qs, number(e.recordsWritten)},
            {u"checkLines"_qs,
             QJsonArray::fromStringList(e.checkLines.isEmpty() ? QStringList()
                                                               : e.checkLines.split(u'\n'))},
            {u"allOrNothing"_qs, e.allOrNothing},
            {u"status"_qs, e.status},
            {u"message"_qs, e.message},
        });
    }
    return QJsonDocument(rows).toJson(QJsonDocument::Indented);
}

// One row per run, each column as wide as its widest value; the message of a run that
// did not succeed follows on the lines below its row, indented.
QByteArray asTable(const std::vector<JournalEntry>& entries)
{
    std::vector<QStringList> rows{journalHeadings()};
    for (const JournalEntry& e : entries)
        rows.push_back(journalCells(e));
    std::vector<qsizetype> widths(rows.front().size(), 0);
    for (const QStringList& row : rows)
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[size_t(i)] = std::max(widths[size_t(i)], row[i].size());
    const auto numeric = [](qsizetype column) { return column == 0 || column == 5 || column == 6; };
    QString text;
    for (size_t r = 0; r < rows.size(); ++r) {
        QString line;
        for (qsizetype i = 0; i < rows[r].size(); ++i) {
            const qsizetype width = widths[size_t(i)];
            line +=
                (numeric(i) ? rows[r][i].rightJustified(width) : rows[r][i].leftJustified(width)) +
                u"  "_qs;
        }
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        text += line + QLatin1Char('\n');
        if (r > 0 && !entries[r - 1].message.isEmpty() &&
            entries[r - 1].status != journalstatus::succeeded())
            for (const QString& m : entries[r - 1].message.split(QLatin1Char('\n')))
                text += u"    "_qs + m + QLatin1Char('\n');
    }
    return text.toUtf8();
}

} // namespace

int run(const Request& request)
{
    startup::begin(request.config);
    StreamMessageSink sink(stderr);
    setMessageSink(&sink);
    try {
        if (request.rows >= 0) {
            setJournalRowsKept(request.rows);
            setMessageSink(nullptr);
            return 0;
        }
        // A run of this machine whose process has gone shows as ended without a word.
        try {
            settleAbandonedRuns();
        } catch (...) {
            // a journal that cannot be written now is still read
        }
        const std::vector<JournalEntry> entries = journalEntries(request.transId, request.since);
        const QByteArray out = request.json ? asJson(entries) : asTable(entries);
        writeStandardOutput(out);
        checkStandardOutput();
    } catch (...) {
        showCurrentError(QStringLiteral("quendra-run"));
    }
    setMessageSink(nullptr);
    return sink.errorCount() > 0 ? 1 : 0;
}

} // namespace quendra::journal
