#pragma once

#include "common/fileidentity.h"

#include <QSqlDatabase>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace quendra {

// One connection to the configuration database file, under a name of its own, closed
// and removed from Qt's connection list when the object ends.
//
// The cursors of one thread share the connection to a file (shared()): opening the file,
// checking it and SQLite's reading of its schema happen once, not for every cursor, and a
// cursor may write while another cursor's query is still running.
class ConfigConnection {
public:
    // Opens the existing SQLite file at path (never creates it). Throws quendra::Error
    // when the file is missing, is no SQLite database or cannot be opened.
    explicit ConfigConnection(const QString& path);
    ~ConfigConnection();
    ConfigConnection(const ConfigConnection&) = delete;
    ConfigConnection& operator=(const ConfigConnection&) = delete;

    // The connection of the calling thread to the file at path: the one that is still
    // held for the same absolute path, or a new one (errors as the constructor's). A file
    // that is gone or was replaced since the held connection was opened gets a new
    // connection, so that every caller meets the file that is at the path now.
    static std::shared_ptr<ConfigConnection> shared(const QString& path);

    QSqlDatabase database() const;
    const QString& path() const { return m_path; }

private:
    QString m_path;
    QString m_name;
    std::optional<FileIdentity> m_identity; // of the file when it was opened
};

// While it exists, every connection that ConfigConnection::shared hands out in its
// thread stays open, also between cursors that are opened one after another (as a run
// opens them): the file is opened, checked and its schema read once, not per cursor.
// It raises no error itself; each cursor opening reports its own as before. Scopes may
// nest: the outermost keeps the connections. Each must end in the thread that began it.
class ConfigConnectionScope {
public:
    ConfigConnectionScope();
    ~ConfigConnectionScope();
    ConfigConnectionScope(const ConfigConnectionScope&) = delete;
    ConfigConnectionScope& operator=(const ConfigConnectionScope&) = delete;

private:
    friend class ConfigConnection;
    void keep(const std::shared_ptr<ConfigConnection>& connection);

    std::vector<std::shared_ptr<ConfigConnection>> m_kept;
    bool m_outermost;
};

} // namespace quendra
