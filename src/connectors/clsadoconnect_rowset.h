#pragma once

#include "connectors/backends/valueconversion.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace quendra {

class Backend;
class BulkRows;
class SheetStream;

// The client-side snapshot of one query: column names and every row's typed values,
// fetched completely when the query runs.
struct RowSet {
    QStringList columns;
    std::vector<QList<QVariant>> rows;

    qint64 size() const { return static_cast<qint64>(rows.size()); }
};

// Rows fetched one at a time, forward only: only the row in hand is held.
class RowSource {
public:
    virtual ~RowSource() = default;
    // The names of the columns; none where they are not known before the last row.
    virtual QStringList columns() const = 0;
    // Values a row may have: a row of fewer has nothing in the rest.
    virtual int width() const = 0;
    // The next row into row; false after the last. Throws the provider's error.
    virtual bool next(QList<QVariant>& row) = 0;
};

// One query's rows from a forward-only cursor. Dates that SQLite keeps as ISO text in
// DATE/TIME columns arrive as dates; the numbers of other databases arrive exactly
// (printedNumberValue), not as the double nearest to them.
class RowStream : public RowSource {
public:
    // Runs sql on the back-end, through its own bulk path where it has one; throws the
    // provider's error.
    RowStream(Backend& backend, const QString& sql);
    ~RowStream() override;
    QStringList columns() const override { return m_columns; }
    int width() const override { return int(m_columns.size()); }
    bool next(QList<QVariant>& row) override;

private:
    Backend& m_backend;
    std::unique_ptr<BulkRows> m_bulk; // the database's own bulk path, where it has one
    QSqlQuery m_query;
    QStringList m_columns;
    std::vector<ValueKind> m_kinds; // empty unless values need typing
    std::vector<bool> m_printed;    // numbers that the driver gives as their text
};

// The records of a sheet read straight from its file: as wide as a sheet can be, each row
// as wide as its last cell, without column names (the header row is not a record).
class SheetRowSource : public RowSource {
public:
    explicit SheetRowSource(std::unique_ptr<SheetStream> sheet);
    ~SheetRowSource() override;
    QStringList columns() const override { return {}; }
    int width() const override;
    bool next(QList<QVariant>& row) override;

private:
    std::unique_ptr<SheetStream> m_sheet;
};

// Runs sql on the back-end and fetches the whole result. Dates that SQLite keeps as ISO
// text in DATE/TIME columns arrive as dates. Throws the provider's error.
RowSet fetchRowSet(Backend& backend, const QString& sql);

// The snapshot as a read-only item model for grids: one column per result column,
// captioned with its name; cells show the regional text of their value (the edit role
// gives the typed value).
class RowSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RowSetModel(const RowSet& rows, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Brackets a replacement or growth of the snapshot.
    void beginChange() { beginResetModel(); }
    void endChange() { endResetModel(); }

private:
    const RowSet& m_rows;
    RegionalText m_text;
};

} // namespace quendra
