#include "config/configrowset.h"

#include "common/error.h"
#include "common/globals.h"

namespace quendra {

namespace {

Error readOnlyError()
{
    return Error(errnum::Unsupported, {},
                 QStringLiteral("Die Auswahl kann nicht geändert werden, weil sich ihre Zeilen "
                                "nicht genau einer Tabelle zuordnen lassen."));
}

// Whether writing value changes what the column holds. Bound widgets hand back text
// for numbers and Booleans for 0/1 columns, so values compare by their text, a Boolean
// by its truth.
bool sameValue(const QVariant& stored, const QVariant& value)
{
    if (stored.isNull())
        return value.isNull() || (value.canConvert<QString>() && value.toString().isEmpty());
    if (value.isNull())
        return false;
    if (value.typeId() == QMetaType::Bool)
        return stored.toBool() == value.toBool();
    return stored.toString() == value.toString();
}

} // namespace

ConfigRowSet::ConfigRowSet(QObject* parent) : QAbstractTableModel(parent) {}

int ConfigRowSet::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_snap.rows.size());
}

int ConfigRowSet::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_snap.columns.size());
}

QVariant ConfigRowSet::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) ||
        (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_snap.rows.at(index.row()).values.at(index.column());
}

QVariant ConfigRowSet::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columnCount())
        return m_snap.columns.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool ConfigRowSet::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || isReadOnly() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    storeValue(index.row(), index.column(), value);
    return true;
}

Qt::ItemFlags ConfigRowSet::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && !isReadOnly())
        f |= Qt::ItemIsEditable;
    return f;
}

int ConfigRowSet::fieldIndex(const QString& name) const
{
    for (qsizetype i = 0; i < m_snap.columns.size(); ++i) {
        // Letter case folds one code unit to one, so only names of the same length can
        // match; checking that first spares the case-insensitive comparison of most.
        const QString& column = m_snap.columns.at(i);
        if (column.size() == name.size() && column.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

ConfigRowSet::EditMode ConfigRowSet::editMode() const
{
    if (!hasCurrentRow())
        return EditMode::None;
    switch (m_snap.rows.at(m_pos).state) {
    case SnapshotRow::State::Added:
        return EditMode::Adding;
    case SnapshotRow::State::Changed:
        return EditMode::Editing;
    case SnapshotRow::State::Clean:
        break;
    }
    return EditMode::None;
}

int ConfigRowSet::columnOf(const QString& column) const
{
    const int c = fieldIndex(column);
    if (c < 0 && !m_snap.table.isEmpty())
        throw Error(errnum::ItemNotFound, {},
                    QStringLiteral("Der Tabelle %1 der Konfigurationsdatenbank %2 fehlt die "
                                   "Spalte %3.")
                        .arg(m_snap.table, globals().configDbPath, column));
    if (c < 0)
        throw standardError(errnum::ItemNotFound, column);
    return c;
}

QVariant ConfigRowSet::value(const QString& column) const
{
    const int c = columnOf(column);
    if (!hasCurrentRow())
        throw standardError(errnum::NoCurrentRecord);
    return m_snap.rows.at(m_pos).values.at(c);
}

void ConfigRowSet::setValue(const QString& column, const QVariant& value, bool force)
{
    const int c = columnOf(column);
    if (!hasCurrentRow())
        throw standardError(errnum::NoCurrentRecord);
    if (isReadOnly())
        throw readOnlyError();
    storeValue(m_pos, c, value, force);
}

void ConfigRowSet::storeValue(int r, int c, const QVariant& value, bool force)
{
    SnapshotRow& row = m_snap.rows[r];
    if (!force && sameValue(row.values.at(c), value))
        return;
    row.values[c] = value.isNull() ? QVariant() : value;
    row.dirty.setBit(c);
    if (row.state == SnapshotRow::State::Clean)
        row.state = SnapshotRow::State::Changed;
    const QModelIndex idx = index(r, c);
    Q_EMIT dataChanged(idx, idx, {Qt::DisplayRole, Qt::EditRole});
}

void ConfigRowSet::reset(Snapshot snapshot)
{
    beginResetModel();
    m_snap = std::move(snapshot);
    m_pos = 0; // the first row, or end-of-set for an empty selection
    endResetModel();
    Q_EMIT currentRowChanged(hasCurrentRow() ? m_pos : -1);
}

void ConfigRowSet::setPosition(int pos)
{
    m_pos = qBound(-1, pos, rowCount());
    Q_EMIT currentRowChanged(hasCurrentRow() ? m_pos : -1);
}

void ConfigRowSet::markStored(int r, qint64 rowid)
{
    SnapshotRow& row = m_snap.rows[r];
    row.rowid = rowid;
    row.dirty.fill(false);
    row.state = SnapshotRow::State::Clean;
}

int ConfigRowSet::appendRow()
{
    if (isReadOnly())
        throw readOnlyError();
    const int r = rowCount();
    SnapshotRow row;
    row.values.resize(m_snap.columns.size());
    row.dirty.resize(static_cast<int>(m_snap.columns.size()));
    row.state = SnapshotRow::State::Added;
    beginInsertRows({}, r, r);
    m_snap.rows.push_back(std::move(row));
    endInsertRows();
    return r;
}

void ConfigRowSet::removeRow(int r)
{
    beginRemoveRows({}, r, r);
    m_snap.rows.removeAt(r);
    endRemoveRows();
}

} // namespace quendra
