#pragma once

#include "config/configsql.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace quendra {

// The row set of a configuration cursor: a client-side snapshot of the selected rows with
// a current position, begin/end flags and pending changes, offered to grids
// (QTableView) and bound fields (QDataWidgetMapper) as an item model. Edits through
// setData stay pending in their row until the owning cursor writes them (on update or
// when it moves off the row).
class ConfigRowSet : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class EditMode { None, Editing, Adding };

    explicit ConfigRowSet(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // EditRole only. An empty text over a NULL column, or the value the column already
    // holds, changes nothing, so that a bound field that was merely left does not turn
    // the row into a pending change.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Column number of a name, ignoring letter case; -1 for an unknown name.
    int fieldIndex(const QString& name) const;
    const QStringList& columnNames() const { return m_snap.columns; }
    // True when the rows cannot be written back (a statement over several tables).
    bool isReadOnly() const { return m_snap.table.isEmpty(); }

    // Position: -1 before the first row (begin-of-set), rowCount() after the last
    // (end-of-set). Both flags are true for an empty row set.
    int position() const { return m_pos; }
    bool hasCurrentRow() const { return m_pos >= 0 && m_pos < rowCount(); }
    bool isBOF() const { return m_snap.rows.isEmpty() || m_pos < 0; }
    bool isEOF() const { return m_snap.rows.isEmpty() || m_pos >= rowCount(); }
    EditMode editMode() const;

    // The current row's column by name. Throw without a current row (3021) or for an
    // unknown column (3265).
    QVariant value(const QString& column) const;
    // force: store and mark the column even when it holds an equal value already.
    void setValue(const QString& column, const QVariant& value, bool force = false);

    // Used by the owning cursor.
    void reset(Snapshot snapshot);
    void setPosition(int pos);
    const QString& table() const { return m_snap.table; }
    const SnapshotRow& row(int r) const { return m_snap.rows.at(r); }
    bool isPending(int r) const { return m_snap.rows.at(r).state != SnapshotRow::State::Clean; }
    void markStored(int r, qint64 rowid);
    int appendRow();
    void removeRow(int r);

Q_SIGNALS:
    // The current row changed; -1 when there is none (begin- or end-of-set).
    void currentRowChanged(int row);

private:
    int columnOf(const QString& column) const; // throws for an unknown name
    void storeValue(int r, int c, const QVariant& value, bool force = false);

    Snapshot m_snap;
    int m_pos = 0;
};

} // namespace quendra
