#include "connectors/databasetarget.h"

#include "connectors/backends/backendchoice.h"
#include "connectors/backends/providererror.h"
#include "connectors/backends/tableplaceholders.h"

namespace quendra {

DatabaseTarget::DatabaseTarget(const DatabaseConnection& connection, const QString& table,
                               const QStringList& columns, bool wholeRun)
    : m_table(table), m_sourceName(connection.name())
{
    // A failure to open the data source shows as the database connector's, whose opening
    // this is; the writer's own failures name their own place.
    const QString resolved = trapped("clsADOConnect.init", [&] {
        if (table.trimmed().isEmpty())
            throw noTableNamed(m_sourceName);
        explainingProviderErrors([&] { return openRefusal(m_sourceName); },
                                 [&] {
                                     m_backend = openNewFileBackend(connection, columns);
                                     if (!m_backend)
                                         m_backend = openBackend(connection);
                                 });
        return resolveTablePlaceholders(table, [this] { return m_backend->tables(); });
    });
    m_writer = openTableWriter(*m_backend, resolved, table, m_sourceName, wholeRun);
}

DatabaseTarget::~DatabaseTarget() = default;

QString DatabaseTarget::note() const
{
    return m_backend->note();
}

void DatabaseTarget::update()
{
    explainingProviderErrors([&] { return writeRefusal(m_table, m_sourceName); },
                             [&] { m_writer->update(); });
}

void DatabaseTarget::close()
{
    explainingProviderErrors([&] { return writeRefusal(m_table, m_sourceName); },
                             [&] { m_writer->close(); });
}

bool listsTable(const Backend& backend, const QString& table)
{
    const QString name = unquotedTableName(table);
    QStringList names;
    try {
        names = backend.tables();
    } catch (...) {
        return true;
    }
    if (names.isEmpty())
        return true;
    for (const QString& t : names) {
        if (t.compare(name, Qt::CaseInsensitive) == 0 ||
            t.section(QLatin1Char('.'), -1).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

Error noTableNamed(const QString& sourceName)
{
    return Error(errnum::InvalidProcedureCall, {},
                 QStringLiteral("Für „%1“ ist weder eine Tabelle noch eine SQL-Abfrage "
                                "angegeben.")
                     .arg(sourceName));
}

QString openRefusal(const QString& sourceName)
{
    return QStringLiteral("Die Datenquelle „%1“ kann nicht geöffnet werden.").arg(sourceName);
}

QString writeRefusal(const QString& table, const QString& sourceName)
{
    return QStringLiteral("In die Tabelle „%1“ von „%2“ kann nicht geschrieben werden.")
        .arg(table.trimmed(), sourceName);
}

std::unique_ptr<DatabaseRecord> openTableWriter(Backend& backend, const QString& table,
                                                const QString& storedTable,
                                                const QString& sourceName, bool wholeRun)
{
    std::unique_ptr<DatabaseRecord> writer;
    try {
        writer = backend.openWriter(table);
    } catch (const Error& e) {
        if (!e.source().isEmpty() && !listsTable(backend, table))
            throw explainedProviderError(e, QStringLiteral("Die Tabelle „%1“ gibt es in „%2“ "
                                                           "nicht.")
                                                .arg(table.trimmed(), sourceName));
        throw explainedProviderError(e, writeRefusal(storedTable, sourceName));
    }
    if (wholeRun && !writer->keepOneTransaction()) {
        throw Error(errnum::Unsupported, {},
                    writeRefusal(storedTable, sourceName) +
                        QStringLiteral(" Die Datenbank kann die Zeilen nicht in einer "
                                       "Transaktion aufnehmen."));
    }
    return writer;
}

} // namespace quendra
