#include "config/configconnection.h"

#include "config/configsql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <vector>

namespace quendra {

namespace {

// A file of 0 bytes is an empty SQLite database; any other file must begin so.
const QByteArray SqliteMagic("SQLite format 3\0", 16);

constexpr int LockWaitMilliseconds = 2000;

void checkFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw Error(errnum::FileNotFound, {},
                    QStringLiteral("Die Konfigurationsdatenbank %1 wurde nicht gefunden.")
                        .arg(QDir::toNativeSeparators(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Die Konfigurationsdatenbank %1 kann nicht geöffnet werden: %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    if (info.size() == 0)
        return;
    if (file.read(SqliteMagic.size()) != SqliteMagic)
        throw Error(errnum::UnrecognizedDatabase, {},
                    QStringLiteral("Die Datei %1 ist keine Quendra-Konfigurationsdatenbank im "
                                   "SQLite-Format.")
                        .arg(QDir::toNativeSeparators(path)));
}

thread_local ConfigConnectionScope* outermostScope = nullptr;

QString uniqueConnectionName()
{
    static std::atomic<quint64> counter{0};
    return QStringLiteral("quendra-config-%1").arg(++counter);
}

} // namespace

ConfigConnection::ConfigConnection(const QString& path) : m_path(path)
{
    m_identity = fileIdentity(path);
    checkFile(path);
    m_name = uniqueConnectionName();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    // mode=rw: SQLite must never create the file, even if it vanished after the check.
    // A lock of another program that lasts longer than a short write is reported
    // instead of waited for.
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(LockWaitMilliseconds));
    db.setDatabaseName(
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
        QStringLiteral("?mode=rw"));
    if (!db.open()) {
        const Error e = sqlError(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw e;
    }
}

ConfigConnection::~ConfigConnection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

std::shared_ptr<ConfigConnection> ConfigConnection::shared(const QString& path)
{
    // Qt allows a connection only in the thread that opened it, so each thread keeps its
    // own list. It holds no connection alive: the last cursor that lets go closes it.
    struct Entry {
        QString absolutePath;
        std::weak_ptr<ConfigConnection> connection;
    };
    thread_local std::vector<Entry> held;

    std::erase_if(held, [](const Entry& e) { return e.connection.expired(); });
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    const auto found = std::find_if(held.begin(), held.end(),
                                    [&](const Entry& e) { return e.absolutePath == absolutePath; });
    std::shared_ptr<ConfigConnection> connection;
    if (found != held.end()) {
        connection = found->connection.lock();
        // A file that was deleted or replaced under the open connection would still be
        // read and written through it; the caller must meet (or miss) the file at the path.
        if (!connection->m_identity || connection->m_identity != fileIdentity(absolutePath)) {
            connection.reset();
            held.erase(found); // its holders keep it until they open anew
        }
    }
    if (!connection) {
        connection = std::make_shared<ConfigConnection>(path);
        held.push_back({absolutePath, connection});
    }
    if (outermostScope)
        outermostScope->keep(connection);
    return connection;
}

QSqlDatabase ConfigConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

ConfigConnectionScope::ConfigConnectionScope() : m_outermost(outermostScope == nullptr)
{
    if (m_outermost)
        outermostScope = this;
}

ConfigConnectionScope::~ConfigConnectionScope()
{
    if (m_outermost)
        outermostScope = nullptr;
}

void ConfigConnectionScope::keep(const std::shared_ptr<ConfigConnection>& connection)
{
    if (std::find(m_kept.begin(), m_kept.end(), connection) == m_kept.end())
        m_kept.push_back(connection);
}

} // namespace quendra
