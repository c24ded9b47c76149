#include "connectors/backends/pgsession.h"

#include "connectors/backends/providererror.h"

#include <QSqlError>
#include <QSqlQuery>
#include <libpq-fe.h>
#include <odbcinst.h>
#include <optional>

namespace quendra {

namespace {
// The keys of a psqlODBC data source that say where its database is, under their
// odbc.ini name, the other name a connection text may give them, and libpq's name.
struct SourceKey {
    const char* ini;
    const char* alias;
    const char* libpq;
};
constexpr SourceKey SourceKeys[] = {
    {"Servername", "Server", "host"}, {"Port", nullptr, "port"},
    {"Database", nullptr, "dbname"},  {"Username", "UID", "user"},
    {"Password", "PWD", "password"},  {"SSLmode", nullptr, "sslmode"},
};

// The value of key in "KEY=value;..." (keys upper-case); nullopt when it is not there.
std::optional<QString> optionValue(const QString& options, const char* key)
{
    if (!key)
        return std::nullopt;
    const QString wanted = QString::fromLatin1(key).toUpper();
    for (const QString& pair : options.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq > 0 && pair.left(eq).trimmed() == wanted)
            return pair.mid(eq + 1);
    }
    return std::nullopt;
}

QString iniValue(const QString& section, const char* key, const char* file = "odbc.ini")
{
    if (section.isEmpty())
        return {};
    char value[1024] = {};
    const QByteArray name = section.toUtf8();
    SQLGetPrivateProfileString(name.constData(), key, "", value, int(sizeof value), file);
    return QString::fromUtf8(value);
}

// The value of a key of the data source: the connection text's (under either name), else
// odbc.ini's for the data source; psqlODBC lets braces enclose it.
QString sourceValue(const PgDataSource& source, const char* key, const char* alias = nullptr)
{
    std::optional<QString> value = optionValue(source.options, key);
    if (!value)
        value = optionValue(source.options, alias);
    QString text = value ? value->trimmed() : iniValue(source.name, key).trimmed();
    if (text.startsWith(QLatin1Char('{')) && text.endsWith(QLatin1Char('}')))
        text = text.mid(1, text.size() - 2);
    return text;
}

// A value as libpq's connection text quotes it.
QByteArray quoted(const QString& value)
{
    QByteArray text = value.toUtf8();
    text.replace('\\', "\\\\").replace('\'', "\\'");
    return '\'' + text + '\'';
}

// What tells two sessions on the same database apart from sessions on two: database,
// user, server port and the moment the server started.
constexpr const char* IdentitySql = "select current_database() || '|' || current_user || '|' || "
                                    "coalesce(inet_server_port()::text, '') || '|' || "
                                    "extract(epoch from pg_postmaster_start_time())::text";

QString odbcIdentity(const QSqlDatabase& odbc)
{
    QSqlQuery query(odbc);
    query.setForwardOnly(true);
    if (!query.exec(QString::fromLatin1(IdentitySql)) || !query.next())
        throw providerError(query.lastError(), QStringLiteral("QODBC"));
    return query.value(0).toString();
}
} // namespace

QByteArray libpqConnectionText(const PgDataSource& source)
{
    QByteArray text;
    for (const SourceKey& key : SourceKeys) {
        // User and password of the connection text come apart from the other keys.
        QString value = qstrcmp(key.libpq, "user") == 0       ? source.user
                        : qstrcmp(key.libpq, "password") == 0 ? source.password
                                                              : QString();
        if (value.isEmpty())
            value = sourceValue(source, key.ini, key.alias);
        if (!value.isEmpty())
            text += QByteArray(key.libpq) + '=' + quoted(value) + ' ';
    }
    // libpq's own options, in libpq's syntax.
    return text + sourceValue(source, "pqopt").toUtf8();
}

bool isPsqlOdbcSource(const PgDataSource& source)
{
    // The driver as a name of odbcinst.ini or as the path of its library.
    const QString driver = sourceValue(source, "Driver");
    const QString library =
        driver.contains(QLatin1Char('/')) ? driver : iniValue(driver, "Driver", "odbcinst.ini");
    return library.contains(QLatin1String("psqlodbc"), Qt::CaseInsensitive);
}

QByteArray pgSessionSettings(const PgDataSource& source)
{
    return sourceValue(source, "ConnSettings").toUtf8();
}

PgResult::~PgResult()
{
    if (m_result)
        PQclear(m_result);
}

PgSession::PgSession(const QByteArray& connectionText, const QByteArray& settings)
{
    m_conn = PQconnectdb(connectionText.constData());
    if (!m_conn)
        throw Error(GenericProviderError, QStringLiteral("libpq"),
                    QStringLiteral("Für die Verbindung fehlt der Speicher."));
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const Error failure = error();
        PQfinish(m_conn);
        m_conn = nullptr;
        throw failure;
    }
    // The server's notices are not the run's: its errors reach the run through the
    // results they fail (an error between two statements, as when the server ends the
    // session, through the next statement's).
    PQsetNoticeProcessor(
        m_conn, [](void*, const char*) {}, nullptr);
    if (!settings.isEmpty())
        exec(settings.constData());
    exec("set client_encoding = 'UTF8'; set DateStyle = ISO, MDY; set extra_float_digits = 3");
}

PgSession::~PgSession()
{
    if (m_conn)
        PQfinish(m_conn);
}

void PgSession::exec(const char* sql) const
{
    const PgResult result(PQexec(m_conn, sql));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw error(result.get());
}

QString PgSession::value(const char* sql) const
{
    const PgResult result(PQexec(m_conn, sql));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK || PQntuples(result.get()) < 1)
        throw error(result.get());
    return QString::fromUtf8(PQgetvalue(result.get(), 0, 0));
}

Error PgSession::error(const pg_result* result) const
{
    QString text = QString::fromUtf8(result ? PQresultErrorMessage(result) : "").trimmed();
    if (text.isEmpty())
        text = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Unbekannter Fehler von libpq.");
    return Error(GenericProviderError, QStringLiteral("libpq"), text);
}

PgLink::PgLink(PgDataSource source, QSqlDatabase odbc)
    : m_source(std::move(source)), m_odbc(std::move(odbc))
{
}

PgLink::~PgLink() = default;

PgSession* PgLink::session()
{
    if (m_tried)
        return m_session.get();
    m_tried = true;
    const QString name = m_source.name.isEmpty() ? m_source.options : m_source.name;
    QString reason;
    try {
        auto session =
            std::make_unique<PgSession>(libpqConnectionText(m_source), pgSessionSettings(m_source));
        if (session->value(IdentitySql) == odbcIdentity(m_odbc)) {
            m_session = std::move(session);
            return m_session.get();
        }
        reason = QStringLiteral("libpq erreicht mit den Angaben der Datenquelle eine andere "
                                "Datenbank als ODBC.");
    } catch (const Error& e) {
        reason = e.description();
    }
    m_note = QStringLiteral("Die Datenquelle „%1“ wird über ODBC gelesen und beschrieben, nicht "
                            "über PostgreSQLs eigene Schnittstelle libpq, und ist damit "
                            "langsamer: %2")
                 .arg(name, reason);
    return nullptr;
}

} // namespace quendra
