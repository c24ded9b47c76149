#include "connectors/backends/sqlbackend.h"

#include "connectors/backends/odbcrows.h"
#include "connectors/backends/odbcsender.h"
#include "connectors/backends/pgcopyout.h"
#include "connectors/backends/pgrowsender.h"
#include "connectors/backends/providererror.h"
#include "connectors/backends/sqliterows.h"
#include "connectors/backends/sqlitesender.h"
#include "connectors/backends/sqltablewriter.h"
#include "connectors/backends/tableplaceholders.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace quendra {

SqlBackend::SqlBackend(const QString& qtDriver, bool sqlite)
    : m_connection(uniqueConnectionName("quendra-db")), m_driver(qtDriver), m_sqlite(sqlite)
{
    const QSqlDatabase db = QSqlDatabase::addDatabase(qtDriver, m_connection);
    if (!db.isValid()) {
        throw Error(
            errnum::Unsupported, qtDriver,
            QStringLiteral("Der Qt-Datenbanktreiber %1 ist nicht installiert.").arg(qtDriver));
    }
}

SqlBackend::~SqlBackend()
{
    m_postgres.reset();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

void SqlBackend::open()
{
    QSqlDatabase db = database();
    bool opened = false;
    {
        // unixODBC takes the character set of the texts Quendra hands over as SQL_C_CHAR
        // from the locale when the connection opens: UTF-8, whatever the process's locale.
        const Utf8Characters utf8;
        opened = db.open();
    }
    if (!opened)
        throw providerError(db.lastError(), m_driver);
    if (m_sqlite) {
        // SQLite opens any file; a file that is no database, or whose first page is
        // damaged, shows only when the schema is read. Read it here, so that the refusal
        // names the file instead of a table list that comes out empty.
        QSqlQuery schema(db);
        if (!schema.exec(QStringLiteral("select count(*) from sqlite_master")))
            throw providerError(schema.lastError(), m_driver);
    }
}

void SqlBackend::linkPostgres(const PgDataSource& source)
{
    m_postgres = std::make_unique<PgLink>(source, database());
}

std::unique_ptr<BulkRows> SqlBackend::bulkRows(const QString& sql)
{
    if (m_sqlite) {
        sqlite3* handle = SqliteRowSender::handleOf(database());
        return handle ? std::make_unique<SqliteRows>(handle, sql) : nullptr;
    }
    if (PgSession* session = m_postgres ? m_postgres->session() : nullptr) {
        if (std::unique_ptr<BulkRows> rows = PgCopyRows::open(*session, sql))
            return rows;
    }
    // Every other ODBC data source through a block cursor, on the same connection.
    void* connection = odbcConnectionOf(database());
    return connection ? std::make_unique<OdbcRows>(connection, sql) : nullptr;
}

QSqlDatabase SqlBackend::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

QStringList SqlBackend::tables() const
{
    const QStringList all =
        database().tables(static_cast<QSql::TableType>(QSql::Tables | QSql::Views));
    QStringList result;
    for (const QString& name : all) {
        const QString lower = name.toLower();
        if (lower.startsWith(u"sqlite_") || lower.startsWith(u"pg_catalog.") ||
            lower.startsWith(u"information_schema."))
            continue;
        result.append(name);
    }
    return result;
}

std::unique_ptr<DatabaseRecord> SqlBackend::openWriter(const QString& table)
{
    if (m_writerFactory)
        return m_writerFactory(table);
    // An SQLite file takes its rows through SQLite's own interface, on the same connection.
    if (m_sqlite && SqliteRowSender::handleOf(database()))
        return std::make_unique<BlockWriter>(std::make_unique<SqliteRowSender>(database(), table));
    // PostgreSQL takes them through libpq's COPY, on the same database.
    if (PgSession* session = m_postgres ? m_postgres->session() : nullptr)
        return std::make_unique<BlockWriter>(
            std::make_unique<PgRowSender>(*session, database(), table));
    // Every other ODBC data source through the driver manager itself, on the same connection.
    if (odbcConnectionOf(database()))
        return std::make_unique<BlockWriter>(std::make_unique<OdbcRowSender>(database(), table));
    return std::make_unique<BlockWriter>(
        std::make_unique<SqlRowSender>(database(), table, m_driver, m_sqlite));
}

void SqlBackend::deleteRow(const QString& table, const QStringList& columns,
                           const QList<QVariant>& values)
{
    if (m_writerFactory) {
        throw Error(errnum::Unsupported, {},
                    QStringLiteral("In dieser Datenquelle können keine Datensätze gelöscht "
                                   "werden."));
    }
    QSqlDatabase db = database();
    QString where;
    QList<QVariant> bound;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString name = db.driver()->escapeIdentifier(columns[i], QSqlDriver::FieldName);
        where += (where.isEmpty() ? QString() : QStringLiteral(" and ")) + name;
        if (values[i].isNull()) {
            where += QStringLiteral(" is null");
        } else {
            where += QStringLiteral(" = ?");
            // A number kept exactly goes as the text databases read a decimal from.
            const bool exact = values[i].metaType() == QMetaType::fromType<WrittenNumber>();
            bound.append(exact ? decimalText(values[i].value<WrittenNumber>().number) : values[i]);
        }
    }
    const bool transaction = db.transaction();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("delete from %1 where %2").arg(table, where));
    for (const QVariant& value : bound)
        query.addBindValue(value);
    const bool done = query.exec();
    const int affected = done ? query.numRowsAffected() : -1;
    const QSqlError failure = query.lastError();
    query.finish();
    if (done && affected == 1) {
        if (transaction && !db.commit())
            throw providerError(db.lastError(), m_driver);
        return;
    }
    if (transaction)
        db.rollback();
    if (!done)
        throw providerError(failure, m_driver);
    throw Error(errnum::NoCurrentRecord, {},
                affected == 0 ? QStringLiteral("Der Datensatz wurde in der Tabelle nicht mehr "
                                               "gefunden.")
                              : QStringLiteral("Der Datensatz ist in der Tabelle nicht eindeutig; "
                                               "es wurde nichts gelöscht."));
}

QHash<QString, ColumnType> sqliteColumnTypes(const QSqlDatabase& db, const QString& table,
                                             int doubleDigits)
{
    const QString name = unquotedTableName(table);
    QHash<QString, ColumnType> kinds;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("select name, type from pragma_table_info(?)"));
    query.addBindValue(name);
    if (!query.exec())
        return kinds;
    while (query.next()) {
        kinds.insert(query.value(0).toString().toLower(),
                     sqliteColumnType(query.value(1).toString(), doubleDigits));
    }
    return kinds;
}

} // namespace quendra
