#include "connectors/backends/backendchoice.h"

#include "connectors/backends/providererror.h"
#include "connectors/backends/sheetgrid.h"
#include "connectors/backends/sqlbackend.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>

namespace quendra {

namespace {

[[noreturn]] void refuse(const FileTypeSupport& row)
{
    throw Error(errnum::Unsupported, {}, QString::fromUtf8(row.refusal));
}

std::unique_ptr<Backend> openOdbc(const DatabaseConnection& connection)
{
    if (connection.dataSource.trimmed().isEmpty() && connection.odbcOptions.isEmpty()) {
        throw Error(errnum::InvalidProcedureCall, {},
                    QStringLiteral("Es ist keine ODBC-Datenquelle angegeben."));
    }
    auto backend = std::make_unique<SqlBackend>(QStringLiteral("QODBC"), false);
    QSqlDatabase db = backend->database();
    // Qt puts "DSN=" in front unless the text names a DRIVER= or SERVER= itself.
    QString name = connection.dataSource;
    if (!connection.odbcOptions.isEmpty())
        name += (name.isEmpty() ? QString() : QStringLiteral(";")) + connection.odbcOptions;
    const PgDataSource source{connection.dataSource, connection.odbcOptions, connection.userName,
                              connection.password};
    // psqlODBC wraps each statement in a savepoint of its own unless a failing statement
    // may take its transaction with it; the block writer sends the rows before a failing
    // one again anyway, and rows go in faster without the savepoints.
    if (isPsqlOdbcSource(source) && !connection.odbcOptions.contains(QLatin1String("PROTOCOL=")))
        name +=
            (name.isEmpty() ? QString() : QStringLiteral(";")) + QStringLiteral("Protocol=7.4-1");
    db.setDatabaseName(name);
    if (!connection.userName.isEmpty())
        db.setUserName(connection.userName);
    if (!connection.password.isEmpty())
        db.setPassword(connection.password);
    backend->open();
    // The SQLite ODBC driver reports INTEGER columns as 32-bit ones and cuts larger values
    // when they are read, unless it is told that they have 64 bits.
    if (QSqlQuery(db).exec(QStringLiteral("select sqlite_version()")) &&
        !name.contains(QLatin1String("BIGINT="), Qt::CaseInsensitive)) {
        db.close();
        db.setDatabaseName(name + QStringLiteral(";BIGINT=1;"));
        backend->open();
    }
    if (db.driver()->dbmsType() == QSqlDriver::PostgreSQL) {
        // Dates as ISO text, a text that leaves day and month open read month first,
        // in this session as in the one of libpq.
        QSqlQuery(db).exec(QStringLiteral("set DateStyle = ISO, MDY"));
        backend->linkPostgres(source);
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
std::unique_ptr<Backend> openMemoryCopy(const DatabaseConnection& connection)
{
    const FileTypeSupport& row = *connection.fileType;
    if (!row.makeReader)
        refuse(row);
    std::unique_ptr<SqlBackend> backend = openPrivateDatabase();
    QSqlDatabase db = backend->database();
    row.makeReader()->load(connection.location(), db);
    setFileTypeWriter(*backend, row, connection.location());
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

std::unique_ptr<Backend> openAccess(const DatabaseConnection& connection)
{
    const QFileInfo info(connection.dataSource);
    if (connection.dataSource.isEmpty() || !info.isFile()) {
        throw Error(errnum::FileNotFound, {},
                    QStringLiteral("Die Datenbankdatei \"%1\" wurde nicht gefunden.")
                        .arg(connection.dataSource));
    }
    switch (sniff(connection.dataSource)) {
    case DatabaseFile::Jet:
        return openMemoryCopy(connection);
    case DatabaseFile::Other:
        throw Error(errnum::Unsupported, {},
                    QStringLiteral("Die Datei \"%1\" ist weder eine SQLite- noch eine "
                                   "Access-Datenbank.")
                        .arg(connection.dataSource));
    case DatabaseFile::Sqlite:
        break;
    }
    auto backend = std::make_unique<SqlBackend>(QStringLiteral("QSQLITE"), true);
    QSqlDatabase db = backend->database();
    db.setDatabaseName(connection.dataSource);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    backend->open();
    return backend;
}

} // namespace

std::unique_ptr<Backend> openBackend(const DatabaseConnection& connection)
{
    if (connection.fileType) {
        switch (connection.fileType->backend) {
        case BackendKind::Odbc:
            return openOdbc(connection);
        case BackendKind::DatabaseFile:
            return openAccess(connection);
        case BackendKind::MemoryCopy:
            return openMemoryCopy(connection);
        }
    }
    throw Error(errnum::Unsupported, {},
                QStringLiteral("Die Verbindungszeichenfolge \"%1\" nennt keinen Datenbanktreiber, "
                               "den Quendra kennt (ODBC-Datenquelle oder Dateityp des Katalogs).")
                    .arg(connection.text));
}

std::unique_ptr<Backend> openNewFileBackend(const DatabaseConnection& connection,
                                            const QStringList& columns)
{
    if (!connection.fileType || !connection.fileType->wholeFile)
        return nullptr;
    std::unique_ptr<SqlBackend> backend = openPrivateDatabase();
    DataSourceLocation location = connection.location();
    location.columns = columns;
    setFileTypeWriter(*backend, *connection.fileType, location);
    return backend;
}

std::unique_ptr<SheetStream> openSheetStream(const DatabaseConnection& connection,
                                             const QString& table)
{
    const FileTypeSupport* type = connection.fileType;
    if (!type || type->backend != BackendKind::MemoryCopy || !type->makeReader)
        return nullptr;
    return type->makeReader()->openSheet(connection.location(), table);
}

} // namespace quendra
