#include "support/testdatabases.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace quendra::test {

QString postgresDsn()
{
    return qEnvironmentVariable("QUENDRA_TEST_PG_DSN");
}

QString postgresLogin()
{
    return qEnvironmentVariable("QUENDRA_TEST_PG_LOGIN");
}

QString sqliteOdbcDsn()
{
    return qEnvironmentVariable("QUENDRA_TEST_SQLITE_DSN");
}

QString monitorMdb()
{
    QDirIterator it(u"" QUENDRA_FIXTURES_DIR ""_s, {u"Monitor.mdb"_s}, QDir::Files,
                    QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

QString uniqueTableName(const QString& prefix)
{
    static std::atomic<int> counter{0};
    return (prefix + u"_%1_%2x"_s.arg(QCoreApplication::applicationPid()).arg(++counter)).toLower();
}

ScratchConnection::ScratchConnection(const QString& driver, const QString& databaseName)
{
    static std::atomic<int> counter{0};
    m_name = u"quendra-test-scratch-%1"_s.arg(++counter);
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, m_name);
    db.setDatabaseName(databaseName);
    if (!db.open()) {
        const QString text = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw std::runtime_error(text.toStdString());
    }
}

ScratchConnection::~ScratchConnection()
{
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

void ScratchConnection::exec(const QString& sql) const
{
    QSqlQuery query(QSqlDatabase::database(m_name, false));
    if (!query.exec(sql))
        throw std::runtime_error((sql + u": "_s + query.lastError().text()).toStdString());
}

void ScratchConnection::execAll(const QStringList& statements) const
{
    for (const QString& sql : statements)
        exec(sql);
}

QStringList ScratchConnection::column(const QString& sql) const
{
    QSqlQuery query(QSqlDatabase::database(m_name, false));
    if (!query.exec(sql))
        throw std::runtime_error((sql + u": "_s + query.lastError().text()).toStdString());
    QStringList values;
    while (query.next())
        values.append(query.value(0).isNull() ? u"<NULL>"_s : query.value(0).toString());
    return values;
}

} // namespace quendra::test
