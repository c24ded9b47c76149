#pragma once

#include "common/error.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <memory>

struct pg_conn;
struct pg_result;

namespace quendra {

// A psqlODBC data source as a connection text names it: the data source's name (empty
// when the text names the driver and server itself), the further keys ("KEY=value;",
// upper-case keys) and user and password.
struct PgDataSource {
    QString name;
    QString options;
    QString user;
    QString password;
};

// The libpq connection text that reaches the data source's database: server, port,
// database, user, password and SSL mode as odbc.ini holds them for the data source, a
// key given in the connection text winning, and the data source's own libpq options
// (pqopt) at the end, as psqlODBC adds them.
QByteArray libpqConnectionText(const PgDataSource& source);
// Whether the data source's driver is psqlODBC, as the connection text names it or
// odbc.ini and odbcinst.ini say.
bool isPsqlOdbcSource(const PgDataSource& source);
// The statements the data source runs at the start of a session (ConnSettings).
QByteArray pgSessionSettings(const PgDataSource& source);

// One result of libpq, cleared when it goes.
class PgResult {
public:
    explicit PgResult(pg_result* result) : m_result(result) {}
    ~PgResult();
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;
    pg_result* get() const { return m_result; }

private:
    pg_result* m_result;
};

// A session of PostgreSQL's own client library, run with ISO dates (month before day
// where a text leaves it open), UTF-8 texts and doubles printed exactly. Closed by the
// destructor.
class PgSession {
public:
    // Connects and runs settings (SQL, may be empty); throws quendra::Error when libpq is
    // missing or the server refuses.
    PgSession(const QByteArray& connectionText, const QByteArray& settings);
    ~PgSession();
    PgSession(const PgSession&) = delete;
    PgSession& operator=(const PgSession&) = delete;

    pg_conn* handle() const { return m_conn; }
    // Runs sql, which returns no rows; throws the server's error.
    void exec(const char* sql) const;
    // The first value of the first row of sql; throws the server's error.
    QString value(const char* sql) const;
    // The server's error, from the result or else the connection, as Quendra's error.
    Error error(const pg_result* result = nullptr) const;

private:
    pg_conn* m_conn = nullptr;
};

// The libpq session beside an ODBC connection to PostgreSQL, opened at the first need:
// on the same database (name, server, port and start of the server compared), as the
// same user. When it cannot be had, the ODBC connection does the work and note() says
// so for the run's first message.
class PgLink {
public:
    PgLink(PgDataSource source, QSqlDatabase odbc);
    ~PgLink();
    PgLink(const PgLink&) = delete;
    PgLink& operator=(const PgLink&) = delete;

    // The session; nullptr when there is none (note() says why).
    PgSession* session();
    const QString& note() const { return m_note; }

private:
    PgDataSource m_source;
    QSqlDatabase m_odbc;
    std::unique_ptr<PgSession> m_session;
    bool m_tried = false;
    QString m_note;
};

} // namespace quendra
