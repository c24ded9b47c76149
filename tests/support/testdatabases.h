#pragma once

#include <QString>
#include <QStringList>

namespace quendra::test {

// ODBC data sources that scripts/with-test-services.sh sets up; empty when the tests run
// without it (the tests that need them skip themselves then).
QString postgresDsn();
// The PostgreSQL data source as a definition names it, with a user that must give its
// password ("DSN;uid=USER;pwd=PASSWORD"): what the ODBC cases connect with.
QString postgresLogin();
QString sqliteOdbcDsn();

// Monitor.mdb, a small Jet database from the Debian package mrtg-contrib (fetched by
// scripts/fetch-fixtures.sh); empty when it is not there.
QString monitorMdb();

// A table name no other test (in this or a concurrent test program) uses:
// prefix, process id and a counter, in lower case.
QString uniqueTableName(const QString& prefix);

// A Qt SQL connection of its own for setting up and checking test data: an ODBC data
// source (driver "QODBC") or an SQLite file ("QSQLITE"). Throws std::runtime_error with
// the driver's text when opening or a statement fails.
class ScratchConnection {
public:
    ScratchConnection(const QString& driver, const QString& databaseName);
    ~ScratchConnection();
    ScratchConnection(const ScratchConnection&) = delete;
    ScratchConnection& operator=(const ScratchConnection&) = delete;

    void exec(const QString& sql) const;
    void execAll(const QStringList& statements) const;
    // The first column of every row of a query, each value as its text (NULL as "<NULL>").
    QStringList column(const QString& sql) const;

private:
    QString m_name;
};

} // namespace quendra::test
