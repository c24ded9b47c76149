#include "connectors/backends/sqltablewriter.h"

#include "connectors/backends/providererror.h"
#include "connectors/backends/sqlbackend.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QtDebug>

namespace quendra {

namespace {
constexpr int RowsPerTransaction = 500;
}

SqlTableWriter::SqlTableWriter(QSqlDatabase db, const QString& table, const QString& driver,
                               bool sqlite)
    : m_db(std::move(db)), m_table(table), m_driver(driver), m_sqlite(sqlite), m_insert(m_db)
{
    QSqlQuery probe(m_db);
    if (!probe.exec(QStringLiteral("select * from ") + table + QStringLiteral(" where 1=0")))
        throw providerError(probe.lastError(), m_driver);
    const QSqlRecord record = probe.record();
    const QHash<QString, ValueKind> declared =
        sqlite ? sqliteValueKinds(m_db, table) : QHash<QString, ValueKind>();
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        m_columns.append(field.name());
        m_kinds.push_back(sqlite ? declared.value(field.name().toLower(), ValueKind::Other)
                                 : valueKindOf(field.metaType()));
    }
    m_values.resize(m_columns.size());
}

SqlTableWriter::~SqlTableWriter()
{
    m_insert.finish();
    if (m_inTransaction && m_oneTransaction) {
        m_db.rollback();
        return;
    }
    if (m_inTransaction && !m_db.commit())
        qWarning("Quendra: Zeilen konnten nicht abgeschlossen werden: %s",
                 qPrintable(m_db.lastError().text()));
}

void SqlTableWriter::close()
{
    if (m_inTransaction)
        commitBatch();
}

bool SqlTableWriter::keepOneTransaction()
{
    if (!m_inTransaction && !m_db.transaction())
        return false;
    m_inTransaction = true;
    m_oneTransaction = true;
    return true;
}

void SqlTableWriter::AddNew()
{
    std::fill(m_values.begin(), m_values.end(), QVariant());
    m_adding = true;
}

void SqlTableWriter::setItem(int ordinal, const QVariant& value)
{
    if (ordinal < 0 || ordinal >= fieldsCount())
        throw standardError(errnum::ItemNotFound, QString::number(ordinal));
    if (!m_adding)
        throw standardError(errnum::NoCurrentRecord);
    m_values[ordinal] = m_text.forColumn(value, m_kinds[ordinal], m_columns[ordinal]);
}

void SqlTableWriter::prepareInsert(const std::vector<bool>& assigned)
{
    QSqlDriver* driver = m_db.driver();
    QString names;
    QString marks;
    for (size_t i = 0; i < assigned.size(); ++i) {
        if (!assigned[i])
            continue;
        if (!names.isEmpty()) {
            names += QLatin1Char(',');
            marks += QLatin1Char(',');
        }
        names += driver->escapeIdentifier(m_columns[i], QSqlDriver::FieldName);
        marks += QLatin1Char('?');
    }
    const QString sql =
        names.isEmpty()
            ? QStringLiteral("insert into %1 default values").arg(m_table)
            : QStringLiteral("insert into %1 (%2) values (%3)").arg(m_table, names, marks);
    m_insert.finish();
    if (!m_insert.prepare(sql))
        throw providerError(m_insert.lastError(), m_driver);
    m_preparedFor = assigned;
}

void SqlTableWriter::update()
{
    if (!m_adding)
        return;
    std::vector<bool> assigned(m_values.size());
    for (size_t i = 0; i < m_values.size(); ++i)
        assigned[i] = !m_values[i].isNull();
    if (m_sqlite && !m_inTransaction)
        m_inTransaction = m_db.transaction();
    if (assigned != m_preparedFor)
        prepareInsert(assigned);
    int position = 0;
    for (size_t i = 0; i < m_values.size(); ++i) {
        if (assigned[i])
            m_insert.bindValue(position++, m_values[i]);
    }
    if (!m_insert.exec())
        throw providerError(m_insert.lastError(), m_driver);
    m_adding = false;
    if (m_inTransaction && !m_oneTransaction && ++m_rowsInBatch >= RowsPerTransaction)
        commitBatch();
}

void SqlTableWriter::commitBatch()
{
    m_insert.finish();
    m_inTransaction = false;
    m_rowsInBatch = 0;
    if (!m_db.commit())
        throw providerError(m_db.lastError(), m_driver);
}

} // namespace quendra
