#include "journal.h"

#include "common/error.h"
#include "common/globals.h"
#include "common/messagehandler.h"
#include "common/streamoutput.h"
#include "config/runjournal.h"

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

namespace {

struct Call {
    QString config;
    QString transId;
    QDateTime since;
    bool json = false;
    int rows = -1; // --journal-rows
};

// A point in local time as a user types it; invalid when it is none.
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

// Nothing for a wrong call.
std::optional<Call> parse(const QStringList& args)
{
    Call c;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--journal" || (arg == u"--json" && !std::exchange(c.json, true)))
            continue;
        if (arg == u"--journal-rows") {
            bool ok = false;
            c.rows = ++i < args.size() ? args[i].toInt(&ok) : -1;
            if (!ok || c.rows < 0)
                return std::nullopt;
            continue;
        }
        if (arg == u"--config" || arg == u"--since") {
            if (++i >= args.size() || args[i].isEmpty())
                return std::nullopt;
            if (arg == u"--config") {
                c.config = args[i];
            } else {
                c.since = parseSince(args[i]);
                if (!c.since.isValid())
                    return std::nullopt;
            }
        } else if (arg.startsWith(u"--config=")) {
            c.config = arg.mid(9);
        } else if (arg.startsWith(QLatin1Char('-')) || !c.transId.isEmpty()) {
            return std::nullopt;
        } else {
            c.transId = arg;
        }
    }
    return c;
}

QString localTime(const QDateTime& t)
{
    return t.isValid() ? t.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))
                       : QString();
}

QString count(qint64 n)
{
    return n < 0 ? QString() : QString::number(n);
}

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
    std::vector<QStringList> rows{{u"Nr"_qs, u"Beginn"_qs, u"Ende"_qs, u"TransID"_qs, u"Status"_qs,
                                   u"gelesen"_qs, u"geschrieben"_qs, u"Quelle"_qs, u"SHA-256"_qs,
                                   u"Ziel"_qs, u"Benutzer"_qs}};
    for (const JournalEntry& e : entries)
        rows.push_back({QString::number(e.id), localTime(e.started), localTime(e.ended), e.transId,
                        e.status, count(e.recordsRead), count(e.recordsWritten), e.source,
                        QString::fromLatin1(e.sourceSha256.left(12)), e.target,
                        e.user + QLatin1Char('@') + e.host});
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

std::optional<int> runIfAsked(const QStringList& args)
{
    const bool rows = args.contains(u"--journal-rows"_qs);
    if (!args.contains(u"--journal"_qs) && !rows)
        return std::nullopt;
    const std::optional<Call> call = parse(args);
    if (!call || (rows && (args.contains(u"--journal"_qs) || call->json || call->since.isValid() ||
                           !call->transId.isEmpty()))) {
        std::fputs(usage, stderr);
        return 2;
    }
    initGlobals(call->config);
    StreamMessageSink sink(stderr);
    setMessageSink(&sink);
    try {
        if (rows) {
            setJournalRowsKept(call->rows);
            setMessageSink(nullptr);
            return 0;
        }
        // A run of this machine whose process has gone shows as ended without a word.
        try {
            settleAbandonedRuns();
        } catch (...) {
            // a journal that cannot be written now is still read
        }
        const std::vector<JournalEntry> entries = journalEntries(call->transId, call->since);
        const QByteArray out = call->json ? asJson(entries) : asTable(entries);
        writeStandardOutput(out);
        checkStandardOutput();
    } catch (...) {
        showCurrentError(QStringLiteral("quendra-run"));
    }
    setMessageSink(nullptr);
    return sink.errorCount() > 0 ? 1 : 0;
}

} // namespace quendra::journal
