#include "connectors/backends/providererror.h"

#include <atomic>

namespace quendra {

Error providerError(const QSqlError& error, const QString& driver)
{
    bool numeric = false;
    // ODBC reports several diagnostic records separated by ";"; the first one counts.
    const qint32 code = error.nativeErrorCode().section(QLatin1Char(';'), 0, 0).toInt(&numeric);
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Unbekannter Fehler des Datenbanktreibers.");
    return Error(numeric && code != 0 ? code : GenericProviderError, driver, text);
}

Error explainedProviderError(const Error& error, const QString& sentence)
{
    if (error.source().isEmpty())
        return error;
    return Error(error.number(), error.source(), withDriverText(sentence, error.description()),
                 error.helpFile(), error.helpContext());
}

QString uniqueConnectionName(const char* prefix)
{
    static std::atomic<quint64> counter{0};
    return QString::fromLatin1(prefix) + QLatin1Char('-') + QString::number(++counter);
}

} // namespace quendra
