#pragma once

#include "connectors/backends/backend.h"
#include "connectors/backends/pgsession.h"
#include "connectors/backends/valueconversion.h"

#include <QHash>
#include <functional>

namespace quendra {

// A back-end on one Qt SQL connection (ODBC, an SQLite file, or an in-memory SQLite
// copy of a file-type database). The connection is added under a unique name by the
// constructor and removed again by the destructor; everything that queried it must be
// gone by then.
class SqlBackend : public Backend {
public:
    using WriterFactory = std::function<std::unique_ptr<DatabaseRecord>(const QString& table)>;

    SqlBackend(const QString& qtDriver, bool sqlite);
    ~SqlBackend() override;
    SqlBackend(const SqlBackend&) = delete;
    SqlBackend& operator=(const SqlBackend&) = delete;

    // Opens the connection; throws the provider's error on failure.
    void open();
    // Replaces the default writer (SQL INSERT into the table on this connection).
    void setWriterFactory(WriterFactory factory) { m_writerFactory = std::move(factory); }
    // The connection reaches PostgreSQL through psqlODBC: rows are read and written
    // through libpq on the same database, when it can be had (note() says when not).
    void linkPostgres(const PgDataSource& source);

    QSqlDatabase database() const override;
    QString driverName() const override { return m_driver; }
    bool isSqlite() const override { return m_sqlite; }
    QStringList tables() const override;
    std::unique_ptr<DatabaseRecord> openWriter(const QString& table) override;
    void deleteRow(const QString& table, const QStringList& columns,
                   const QList<QVariant>& values) override;
    std::unique_ptr<BulkRows> bulkRows(const QString& sql) override;
    QString note() const override { return m_postgres ? m_postgres->note() : QString(); }

private:
    QString m_connection;
    QString m_driver;
    bool m_sqlite;
    WriterFactory m_writerFactory;
    std::unique_ptr<PgLink> m_postgres;
};

// The declared types of the columns of an SQLite table, keyed by lower-case column name
// (sqliteColumnType); empty when the database is no SQLite database. doubleDigits: as
// sqliteColumnType's.
QHash<QString, ColumnType> sqliteColumnTypes(const QSqlDatabase& db, const QString& table,
                                             int doubleDigits = 17);

} // namespace quendra
