#include "ui/run/previewtexts.h"

#include "common/messagehandler.h"

namespace quendra::ui {

namespace {

// "  NAME: „value“" per value; a value without a field of its own is named by its place.
template <class Fields>
QString namedValues(const Fields& fields, const std::vector<QString>& values)
{
    QString text;
    for (size_t i = 0; i < values.size(); ++i) {
        const QString name =
            i < fields.size() ? fields[i].field : QStringLiteral("Spalte %1").arg(i + 1);
        text += QStringLiteral("  %1: „%2“\n").arg(name, values[i]);
    }
    return text;
}

} // namespace

QString errorLine(const RunMessage& message)
{
    QString description = message.error.description();
    description.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return message.note.isEmpty() ? description : message.note + QStringLiteral(": ") + description;
}

QString recordDetail(const Definition& definition, const RecordOutcome& outcome)
{
    QString text = QStringLiteral("Datensatz %1\n").arg(outcome.number);
    if (outcome.error) {
        const RunMessage& e = *outcome.error;
        text +=
            QStringLiteral("Fehler:\n") +
            errorBoxText(&e.error, e.note).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) +
            QStringLiteral("\n");
    }
    text += QStringLiteral("Quelle:\n") + namedValues(definition.srcFields, outcome.source);
    if (!outcome.error)
        text += QStringLiteral("Ziel:\n") + namedValues(definition.trgFields, outcome.target);
    return text.trimmed();
}

QString listingStatus(const RunResult& result)
{
    const QString summary = nothingWrittenSummary(result);
    if (!result.stopped || !result.failure)
        return summary;
    const QString where = result.failure->note;
    return (where.isEmpty() ? QStringLiteral("Abgebrochen: ")
                            : QStringLiteral("Abgebrochen vor %1: ").arg(where)) +
           summary;
}

} // namespace quendra::ui
