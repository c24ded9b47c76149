#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace quendra::test {

// A temporary folder with an init.mdb (an empty file, or the schema a fresh installation
// has) that initGlobals points at for the lifetime of the object.
class TempConfigDb {
public:
    enum class Content { EmptyFile, Schema };
    // Memory: a folder in /dev/shm where there is one, for tests whose many small writes
    // would otherwise wait for the disk.
    enum class Place { TempFolder, Memory };
    explicit TempConfigDb(Content content = Content::Schema, Place place = Place::TempFolder);
    ~TempConfigDb();

    QString path() const; // the init.mdb
    QString dir() const;  // its folder, for source and target files
    QString filePath(const QString& name) const;

    // Executes statements on the file through a connection of its own (closed again
    // before returning); throws std::runtime_error with the driver's text on failure.
    void exec(const QString& sql) const;
    void execAll(const QStringList& statements) const;
    // Runs a SQL script: statements separated by ";" at line ends.
    void execScript(const QString& script) const;

private:
    QTemporaryDir m_dir;
};

} // namespace quendra::test
