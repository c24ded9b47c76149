#include "connectors/clsadoconnect_rowset.h"

#include "connectors/backends/backend.h"
#include "connectors/backends/providererror.h"
#include "connectors/backends/sheetgrid.h"
#include "connectors/backends/sqlbackend.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <limits>

namespace quendra {

namespace {
// Kinds of the result columns of an SQLite query, from the declared types of the
// tables they come from (columns of expressions stay Other).
std::vector<ValueKind> sqliteResultKinds(const QSqlDatabase& db, const QSqlRecord& record)
{
    QHash<QString, QHash<QString, ColumnType>> tables;
    std::vector<ValueKind> kinds;
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        if (field.tableName().isEmpty()) {
            kinds.push_back(ValueKind::Other);
            continue;
        }
        auto it = tables.find(field.tableName());
        if (it == tables.end())
            it = tables.insert(field.tableName(), sqliteColumnTypes(db, field.tableName()));
        kinds.push_back(it->value(field.name().toLower()).kind);
    }
    return kinds;
}
} // namespace

RowStream::RowStream(Backend& backend, const QString& sql)
    : m_backend(backend), m_bulk(backend.bulkRows(sql)), m_query(backend.database())
{
    if (m_bulk) {
        m_columns = m_bulk->columns();
        return;
    }
    m_query.setForwardOnly(true);
    // SQLite's numbers are 64-bit integers and doubles; those of other databases (numeric,
    // decimal) may hold more digits than a double, so their drivers give them as text.
    m_query.setNumericalPrecisionPolicy(backend.isSqlite() ? QSql::LowPrecisionDouble
                                                           : QSql::HighPrecision);
    if (!m_query.exec(sql))
        throw providerError(m_query.lastError(), backend.driverName());
    const QSqlRecord record = m_query.record();
    for (int i = 0; i < record.count(); ++i) {
        m_columns.append(record.fieldName(i));
        m_printed.push_back(!backend.isSqlite() &&
                            record.field(i).metaType().id() == QMetaType::Double);
    }
    if (!backend.isSqlite())
        return;
    m_kinds = sqliteResultKinds(backend.database(), record);
    if (std::none_of(m_kinds.begin(), m_kinds.end(), sqliteTypedKind))
        m_kinds.clear();
}

RowStream::~RowStream() = default;

bool RowStream::next(QList<QVariant>& row)
{
    if (m_bulk)
        return m_bulk->next(row);
    if (!m_query.next()) {
        if (m_query.lastError().isValid())
            throw providerError(m_query.lastError(), m_backend.driverName());
        return false;
    }
    const int n = int(m_columns.size());
    row.resize(n);
    for (int i = 0; i < n; ++i) {
        row[i] = m_query.value(i);
        if (m_printed[size_t(i)] && row[i].typeId() == QMetaType::QString)
            row[i] = printedNumberValue(row[i].toString().toLatin1(), false);
        else if (!m_kinds.empty() && sqliteTypedKind(m_kinds[size_t(i)]))
            row[i] = typedSqliteValue(row[i], m_kinds[size_t(i)]);
    }
    return true;
}

SheetRowSource::SheetRowSource(std::unique_ptr<SheetStream> sheet) : m_sheet(std::move(sheet)) {}

SheetRowSource::~SheetRowSource() = default;

int SheetRowSource::width() const
{
    return SheetColumns;
}

bool SheetRowSource::next(QList<QVariant>& row)
{
    return m_sheet->next(row);
}

RowSet fetchRowSet(Backend& backend, const QString& sql)
{
    RowStream stream(backend, sql);
    RowSet result;
    result.columns = stream.columns();
    for (QList<QVariant> row; stream.next(row); row = QList<QVariant>())
        result.rows.push_back(std::move(row));
    return result;
}

RowSetModel::RowSetModel(const RowSet& rows, QObject* parent)
    : QAbstractTableModel(parent), m_rows(rows)
{
}

int RowSetModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(std::min<qint64>(m_rows.size(), std::numeric_limits<int>::max()));
}

int RowSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.columns.size());
}

QVariant RowSetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const QVariant& value = m_rows.rows[static_cast<size_t>(index.row())][index.column()];
    if (role == Qt::DisplayRole)
        return m_text.toText(value);
    if (role == Qt::EditRole)
        return value;
    return {};
}

QVariant RowSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < m_rows.columns.size() ? m_rows.columns[section]
                                                               : QVariant();
    return section + 1;
}

} // namespace quendra
