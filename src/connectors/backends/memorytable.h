#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace quendra {

// How a column of a file table is stored in the in-memory SQLite database.
// Dates are stored as ISO text ("yyyy-mm-dd", with " hh:mm:ss" when the value has a
// time of day) in a column declared DATE; the database connector turns them back
// into dates by that declared type. Booleans are 1/0 in a column declared BOOLEAN. A
// Real column keeps doubles, and a number with more digits than a double (a
// WrittenNumber) as its regional text.
enum class ColumnKind { Text, Integer, Real, Date, Boolean };

struct TableColumn {
    QString name;
    ColumnKind kind = ColumnKind::Text;
};

// Creates one table in the in-memory database and fills it row by row inside one
// transaction. The table is complete after finish(); an object destroyed before that
// rolls its rows back and drops the table. Throws quendra::Error on SQL failures.
class MemoryTableBuilder {
public:
    MemoryTableBuilder(QSqlDatabase& db, const QString& table, const QList<TableColumn>& columns);
    ~MemoryTableBuilder();
    MemoryTableBuilder(const MemoryTableBuilder&) = delete;
    MemoryTableBuilder& operator=(const MemoryTableBuilder&) = delete;

    // One value per column; a null QVariant is NULL, a QDate or QDateTime becomes ISO text.
    void addRow(const QVariantList& values);
    void finish();

private:
    QSqlDatabase& m_db;
    QString m_table;
    QSqlQuery m_insert;
    bool m_finished = false;
};

// SQLite compares table names without regard to letter case: wanted itself when no
// table of the database has that name, else wanted with "#" and the file suffix
// (as "kunden#txt"), numbered further when even that is taken.
QString freeTableName(const QSqlDatabase& db, const QString& wanted, const QString& suffix = {});

// Column names a table can be created with: an empty name becomes F<n> (n = 1-based
// position), a repeated name (ignoring case) gets the position appended.
QStringList usableColumnNames(const QStringList& names);

// F1, F2, ... for a source without a header row.
QStringList numberedColumnNames(int count);

} // namespace quendra
