#include "connectors/backends/backendchoice.h"

#include "connectors/backends/providererror.h"
#include "connectors/backends/sheetgrid.h"
#include "connectors/backends/sqlbackend.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

namespace quendra {

namespace {

// Splits "key=value;key=\"quoted;value\";..." into (lower-case key, value) pairs.
QList<std::pair<QString, QString>> splitPairs(const QString& text)
{
    QList<std::pair<QString, QString>> pairs;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) { // a piece without "=": skip it
            if (semi < 0)
                break;
            i = semi + 1;
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed().toLower();
        i = eq + 1;
        QString value;
        if (i < n && text[i] == u'"') {
            const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
            value = text.mid(i + 1, close < 0 ? -1 : close - i - 1);
            i = close < 0 ? n : close + 1;
            const qsizetype next = text.indexOf(QLatin1Char(';'), i);
            i = next < 0 ? n : next + 1;
        } else {
            const qsizetype next = text.indexOf(QLatin1Char(';'), i);
            value = text.mid(i, next < 0 ? -1 : next - i);
            i = next < 0 ? n : next + 1;
        }
        pairs.append({key, value});
    }
    return pairs;
}

[[noreturn]] void refuse(const FileTypeSupport& row)
{
    throw Error(errnum::Unsupported, {}, QString::fromUtf8(row.refusal));
}

std::unique_ptr<Backend> openOdbc(const ConnectionFacts& facts)
{
    if (facts.dataSource.trimmed().isEmpty() && facts.odbcOptions.isEmpty()) {
        throw Error(errnum::InvalidProcedureCall, {},
                    QStringLiteral("Es ist keine ODBC-Datenquelle angegeben."));
    }
    auto backend = std::make_unique<SqlBackend>(QStringLiteral("QODBC"), false);
    QSqlDatabase db = backend->database();
    // Qt puts "DSN=" in front unless the text names a DRIVER= or SERVER= itself.
    QString name = facts.dataSource;
    if (!facts.odbcOptions.isEmpty())
        name += (name.isEmpty() ? QString() : QStringLiteral(";")) + facts.odbcOptions;
    db.setDatabaseName(name);
    if (!facts.userName.isEmpty())
        db.setUserName(facts.userName);
    if (!facts.password.isEmpty())
        db.setPassword(facts.password);
    backend->open();
    // The SQLite ODBC driver reports INTEGER columns as 32-bit ones and cuts larger values
    // when they are read, unless it is told that they have 64 bits.
    if (QSqlQuery(db).exec(QStringLiteral("select sqlite_version()")) &&
        !name.contains(QLatin1String("BIGINT="), Qt::CaseInsensitive)) {
        db.close();
        db.setDatabaseName(name + QStringLiteral(";BIGINT=1;"));
        backend->open();
    }
    return backend;
}

// An SQLite database of this connection alone, held in memory as long as it is small and
// in a temporary file beyond (a sheet of a million rows), removed when it is closed.
std::unique_ptr<SqlBackend> openPrivateDatabase()
{
    auto backend = std::make_unique<SqlBackend>(QStringLiteral("QSQLITE"), true);
    QSqlDatabase db = backend->database();
    db.setDatabaseName(QString());
    backend->open();
    return backend;
}

// Writes of the backend go to the file type's writer, or are refused where it has none.
void setFileTypeWriter(SqlBackend& backend, const FileTypeSupport& row,
                       const DataSourceLocation& location)
{
    std::shared_ptr<FileTypeWriter> writer;
    backend.setWriterFactory(
        [location, &row, writer](const QString& table) mutable -> std::unique_ptr<DatabaseRecord> {
            if (!row.makeWriter)
                refuse(row);
            if (!writer)
                writer = row.makeWriter();
            return writer->openTable(location, table);
        });
}

// Loads a file-type database into a private SQLite copy.
std::unique_ptr<Backend> openMemoryCopy(const ConnectionFacts& facts)
{
    const FileTypeSupport& row = *facts.support;
    if (!row.makeReader)
        refuse(row);
    std::unique_ptr<SqlBackend> backend = openPrivateDatabase();
    QSqlDatabase db = backend->database();
    row.makeReader()->load(facts.location(), db);
    setFileTypeWriter(*backend, row, facts.location());
    return backend;
}

enum class DatabaseFile { Sqlite, Jet, Other };

DatabaseFile sniff(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return DatabaseFile::Other;
    const QByteArray head = file.read(32);
    if (head.isEmpty() || head.startsWith(QByteArrayLiteral("SQLite format 3")))
        return DatabaseFile::Sqlite; // an empty file is an empty SQLite database
    if (head.contains("Standard Jet DB") || head.contains("Standard ACE DB"))
        return DatabaseFile::Jet;
    return DatabaseFile::Other;
}

std::unique_ptr<Backend> openAccess(const ConnectionFacts& facts)
{
    const QFileInfo info(facts.dataSource);
    if (facts.dataSource.isEmpty() || !info.isFile()) {
        throw Error(errnum::FileNotFound, {},
                    QStringLiteral("Die Datenbankdatei \"%1\" wurde nicht gefunden.")
                        .arg(facts.dataSource));
    }
    switch (sniff(facts.dataSource)) {
    case DatabaseFile::Jet:
        return openMemoryCopy(facts);
    case DatabaseFile::Other:
        throw Error(errnum::Unsupported, {},
                    QStringLiteral("Die Datei \"%1\" ist weder eine SQLite- noch eine "
                                   "Access-Datenbank.")
                        .arg(facts.dataSource));
    case DatabaseFile::Sqlite:
        break;
    }
    auto backend = std::make_unique<SqlBackend>(QStringLiteral("QSQLITE"), true);
    QSqlDatabase db = backend->database();
    db.setDatabaseName(facts.dataSource);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    backend->open();
    return backend;
}

} // namespace

ConnectionFacts parseConnectionString(const QString& connectionString)
{
    ConnectionFacts facts;
    QString dsn;
    QSet<QString> seen;
    for (const auto& [key, value] : splitPairs(connectionString)) {
        if (seen.contains(key))
            continue; // the first occurrence counts (Paradox repeats an empty Data Source)
        seen.insert(key);
        if (key == u"provider")
            facts.provider = value.trimmed();
        else if (key == u"data source")
            facts.dataSource = value;
        else if (key == u"extended properties")
            facts.extendedProperties = value;
        else if (key == u"dsn")
            dsn = value;
        else if (key == u"uid" || key == u"user id")
            facts.userName = value;
        else if (key == u"pwd" || key == u"password")
            facts.password = value;
        else if (key == u"database")
            continue; // repeats the data source name; the data source's own database applies
        else
            facts.odbcOptions += key.toUpper() + QLatin1Char('=') + value + QLatin1Char(';');
    }
    facts.support = recogniseFileType(facts.provider, facts.extendedProperties);
    if (facts.support && facts.support->backend == BackendKind::Odbc && facts.dataSource.isEmpty())
        facts.dataSource = dsn;
    for (const auto& [key, value] : splitPairs(facts.extendedProperties)) {
        if (key == u"hdr")
            facts.header = value.trimmed().compare(u"yes", Qt::CaseInsensitive) == 0;
        else if (key == u"characterset")
            facts.encoding = value.trimmed() == u"65001" ? QStringLiteral("UTF-8")
                             : value.trimmed().compare(u"oem", Qt::CaseInsensitive) == 0
                                 ? QStringLiteral("ASCII")
                                 : QStringLiteral("ANSI");
    }
    return facts;
}

std::unique_ptr<Backend> openBackend(const QString& connectionString)
{
    const ConnectionFacts facts = parseConnectionString(connectionString);
    if (facts.support) {
        switch (facts.support->backend) {
        case BackendKind::Odbc:
            return openOdbc(facts);
        case BackendKind::DatabaseFile:
            return openAccess(facts);
        case BackendKind::MemoryCopy:
            return openMemoryCopy(facts);
        }
    }
    throw Error(errnum::Unsupported, {},
                QStringLiteral("Die Verbindungszeichenfolge \"%1\" nennt keinen Datenbanktreiber, "
                               "den Quendra kennt (ODBC-Datenquelle oder Dateityp des Katalogs).")
                    .arg(connectionString));
}

std::unique_ptr<Backend> openNewFileBackend(const QString& connectionString,
                                            const QStringList& columns)
{
    const ConnectionFacts facts = parseConnectionString(connectionString);
    if (!facts.support || !facts.support->wholeFile)
        return nullptr;
    std::unique_ptr<SqlBackend> backend = openPrivateDatabase();
    DataSourceLocation location = facts.location();
    location.columns = columns;
    setFileTypeWriter(*backend, *facts.support, location);
    return backend;
}

std::unique_ptr<SheetStream> openSheetStream(const QString& connectionString, const QString& table)
{
    const ConnectionFacts facts = parseConnectionString(connectionString);
    if (!facts.support || facts.support->backend != BackendKind::MemoryCopy ||
        !facts.support->makeReader)
        return nullptr;
    return facts.support->makeReader()->openSheet(facts.location(), table);
}

} // namespace quendra
