#pragma once

#include "connectors/recordaccess.h"

#include <QDate>
#include <QFileInfoList>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

namespace quendra {

// How a column of a file table is stored in the in-memory SQLite database.
// Dates are stored as ISO text ("yyyy-mm-dd", with " hh:mm:ss" when the value has a
// time of day) in a column declared DATE; the database connector turns them back
// into dates by that declared type. Booleans are 1/0 in a column declared BOOLEAN.
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

// The files of folder whose suffix is one of suffixes (lower case, compared ignoring
// case), sorted by file name ignoring case; this order is the order of the tables.
// Throws error 76 when the folder does not exist.
QFileInfoList folderTableFiles(const QString& folder, const QStringList& suffixes);

// The file of folder that holds table: the table name with one of the suffixes, the
// table name itself when it carries a suffix ("kunden.csv"), or the "#" form
// ("kunden#csv"); an empty path when there is none.
QString findTableFile(const QString& folder, const QString& table, const QStringList& suffixes);

// Conversions of the values a writer receives (text from the engine, or numbers and
// dates). A null QVariant or blank text gives nullopt; anything that is not a number or
// a date throws error 13 with the value in the description.
std::optional<double> numberFromVariant(const QVariant& value);
std::optional<QDate> dateFromVariant(const QVariant& value);
std::optional<bool> booleanFromVariant(const QVariant& value);
// text in the code page codec (an ICU name such as "windows-1252"); a character the code
// page lacks becomes "?" rather than a control character.
QByteArray encodeText(const QByteArray& codec, const QString& text);

// Text of a value for a text column: numbers in the regional format without group
// separators, dates as the regional short date with four-digit year.
QString textFromVariant(const QVariant& value);

// The row a file-table writer appends: AddNew starts it with every column NULL, setItem
// fills one column by its ordinal; the writer's update writes values() and then calls
// rowWritten.
class AppendedRow : public DatabaseRecord {
public:
    void AddNew() override;
    void setItem(int ordinal, const QVariant& value) override;

protected:
    // where: the where-text of setItem ("DbaseFile.setItem").
    explicit AppendedRow(const char* where) : m_where(where) {}
    // Throws "no current record" unless AddNew has started a row.
    void requireRow() const;
    void rowWritten() { m_adding = false; }
    const std::vector<QVariant>& values() const { return m_values; }

private:
    const char* m_where;
    std::vector<QVariant> m_values;
    bool m_adding = false;
};

} // namespace quendra
