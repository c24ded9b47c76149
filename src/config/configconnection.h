#pragma once

#include <QSqlDatabase>
#include <QString>

namespace quendra {

// One connection to the configuration database file, under a name of its own, closed
// and removed from Qt's connection list when the object ends.
class ConfigConnection {
public:
    // Opens the existing SQLite file at path (never creates it). Throws quendra::Error
    // when the file is missing, is no SQLite database or cannot be opened.
    explicit ConfigConnection(const QString& path);
    ~ConfigConnection();
    ConfigConnection(const ConfigConnection&) = delete;
    ConfigConnection& operator=(const ConfigConnection&) = delete;

    QSqlDatabase database() const;
    const QString& path() const { return m_path; }

private:
    QString m_path;
    QString m_name;
};

} // namespace quendra
