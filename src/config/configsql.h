#pragma once

#include "common/error.h"

#include <QBitArray>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <optional>

class QSqlError;
class QSqlQuery;

namespace quendra {

// Error numbers of the configuration store that have no SQLite code of their own.
namespace errnum {
constexpr qint32 UnrecognizedDatabase = 3343; // the file is no SQLite database
constexpr qint32 RowNotFound = 3197;          // the row was deleted by someone else
} // namespace errnum

// A driver error as quendra::Error: the native SQLite code as number (1, SQLite's
// generic error, when the driver gives none), source "QSQLITE", the driver's text. What
// the user can mend (a file locked by another program, a write-protected file or folder,
// a full disk, a damaged file) is said in German in front of it.
Error sqlError(const QSqlError& error);
// An error of sqlError with a German sentence in front that says what could not be done
// with which file; other errors, which say so already, stay as they are.
Error explainedSqlError(const Error& error, const QString& sentence);
// Executes a statement without rows ("begin immediate", "commit", ...); throws sqlError
// with SQLite's own code, which QSqlDatabase::commit() does not pass on.
void execStatement(const QSqlDatabase& db, const QString& sql);
// True for the error of a file that another connection holds locked.
bool isLockedError(const Error& error);

// A text as an SQL string literal: between apostrophes, inner apostrophes doubled.
QString quoteSqlText(const QString& text);

// "select * from T[ where transid='X'][ order by O]"; the TransID is quoted safely.
QString buildStatement(const QString& table, bool filterOn, const QString& transId, bool orderingOn,
                       const QString& orderList);

// A statement that reads one table plainly, rewritten so that it also yields each row's
// rowid in front of its own columns.
struct RowidSelect {
    QString table; // as written in the statement, usable in INSERT/UPDATE/DELETE
    QString sql;   // "select rowid, <list> from <table> <rest>"
};
// Empty for statements whose rows cannot be traced back to one table row (joins,
// aggregates, DISTINCT, GROUP BY, compound selects).
std::optional<RowidSelect> rowidSelect(const QString& statement);

// One row of a client-side snapshot.
struct SnapshotRow {
    enum class State { Clean, Changed, Added };
    qint64 rowid = 0;
    QVector<QVariant> values; // a NULL column is an invalid QVariant
    QBitArray dirty;          // columns written since the row was last stored
    State state = State::Clean;
};

// All rows of a statement, read at once.
struct Snapshot {
    QStringList columns; // the statement's own columns
    QString table;       // empty when the rows cannot be written back
    QVector<SnapshotRow> rows;
};

// Executes the statement and fetches every row; throws sqlError on failure.
Snapshot loadSnapshot(const QSqlDatabase& db, const QString& statement);

// Write-back by rowid of the dirty columns of one row; throw sqlError on failure.
// insertRow returns the new row's rowid. updateRow throws RowNotFound when no row has
// that rowid any more.
qint64 insertRow(const QSqlDatabase& db, const QString& table, const QStringList& columns,
                 const SnapshotRow& row);
void updateRow(const QSqlDatabase& db, const QString& table, const QStringList& columns,
               const SnapshotRow& row);
void deleteRow(const QSqlDatabase& db, const QString& table, qint64 rowid);

} // namespace quendra
