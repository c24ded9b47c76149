#pragma once

#include "connectors/recordaccess.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <memory>

namespace quendra {

// The rows of a query read by a database's own bulk path, one at a time.
class BulkRows {
public:
    virtual ~BulkRows() = default;
    virtual const QStringList& columns() const = 0;
    // The next row into row; false after the last. Throws the database's error.
    virtual bool next(QList<QVariant>& row) = 0;
};

// One open database behind a connection string: the SQL connection that queries run
// on, its table catalogue and, where the back-end can write, row appending.
class Backend {
public:
    virtual ~Backend() = default;

    // The connection queries run on (ODBC, an SQLite file, or an in-memory copy).
    virtual QSqlDatabase database() const = 0;
    // Source name of provider errors: the Qt SQL driver, e.g. "QODBC" or "QSQLITE".
    virtual QString driverName() const = 0;
    // Whether dates arrive as ISO text in columns declared DATE/TIME (SQLite).
    virtual bool isSqlite() const = 0;
    // Tables and views in the order the back-end lists them, system tables skipped.
    virtual QStringList tables() const = 0;
    // Opens table for appending rows. Throws quendra::Error with a German description
    // when the back-end cannot write it; nothing is created in that case.
    virtual std::unique_ptr<DatabaseRecord> openWriter(const QString& table) = 0;
    // Deletes the one row of table whose columns hold values (NULL matches NULL). Throws
    // when the back-end cannot delete, or when not exactly one row matches (nothing is
    // deleted then).
    virtual void deleteRow(const QString& table, const QStringList& columns,
                           const QList<QVariant>& values) = 0;
    // The rows of sql through the database's own bulk path; nullptr where it has none or
    // the query is none it takes (then the connection above reads them).
    virtual std::unique_ptr<BulkRows> bulkRows(const QString& sql)
    {
        Q_UNUSED(sql);
        return nullptr;
    }
    // What a run should be told first about this data source: a slower way it is reached
    // by than it could be, and why. Empty mostly.
    virtual QString note() const { return {}; }
};

} // namespace quendra
