#include "memorydb.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>
#include <stdexcept>

namespace quendra::test {

MemoryDb::MemoryDb()
{
    static std::atomic<int> counter{0};
    m_name = QStringLiteral("filetypes-test-%1").arg(++counter);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(QStringLiteral(":memory:"));
    if (!m_db.open())
        throw std::runtime_error("in-memory SQLite database cannot be opened");
}

MemoryDb::~MemoryDb()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

QStringList MemoryDb::tables() const
{
    QStringList names;
    QSqlQuery query(m_db);
    query.exec(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid"));
    while (query.next())
        names << query.value(0).toString();
    return names;
}

namespace {
QStringList tableInfo(const QSqlDatabase& db, const QString& table, int column)
{
    QStringList result;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
    query.addBindValue(table);
    query.exec();
    while (query.next())
        result << query.value(column).toString();
    return result;
}
} // namespace

QStringList MemoryDb::columns(const QString& table) const
{
    return tableInfo(m_db, table, 0);
}

QStringList MemoryDb::declaredTypes(const QString& table) const
{
    return tableInfo(m_db, table, 1);
}

std::vector<QVariantList> MemoryDb::rows(const QString& table) const
{
    std::vector<QVariantList> result;
    QString quoted = table;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    QSqlQuery query(m_db);
    query.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(quoted));
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        result.push_back(row);
    }
    return result;
}

std::vector<QStringList> MemoryDb::texts(const QString& table) const
{
    std::vector<QStringList> result;
    for (const QVariantList& row : rows(table))
        result.push_back(rowTexts(row));
    return result;
}

} // namespace quendra::test
