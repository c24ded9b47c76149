#pragma once

#include <QByteArray>
#include <QString>

namespace quendra {

// The file that path names: symbolic links followed to their end, also when the last one
// names a file that does not exist yet. A chain that does not end after 40 links is left
// where it stands; opening it then fails as the system says.
QString linkedFile(const QString& path);

// A new file beside the file a path names that takes its place in one step once it is
// complete (a rename within the folder), so that a reader meets the old file or the whole
// new one. Links are followed (linkedFile): a link stays a link, and the file it names is
// replaced or made. The new file has the old one's permissions, owner and group, or the
// permissions a new file gets. Its name carries the process number (leftoverfiles.h).
class ReplacementFile {
public:
    // Throws quendra::Error when the folder is missing or write-protected, the old file is
    // no regular file, or its owner or group cannot be kept.
    explicit ReplacementFile(const QString& path);
    // Removes the new file unless it has taken the old one's place.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    int descriptor() const { return m_fd; }
    // The new file's path, for a writer that opens it by name (SQLite).
    const QString& name() const { return m_name; }
    // Syncs and closes the new file and puts it in the old one's place. Throws when the
    // file system refuses; the new file is then removed and the old one is as it was.
    void commit();
    // Puts the new file in the old one's place now, unsynced, and hands over its
    // descriptor, which stays open for the rest of the content (the caller closes it).
    // Throws as commit does.
    int putInPlaceOpen();
    // Removes the new file; the old one stays as it was.
    void discard() noexcept;

private:
    QString m_path;   // as given, for messages
    QString m_target; // the file replaced
    QString m_name;   // the new file; empty once it is gone or in place
    int m_fd = -1;
};

// Whether a new file can take the place of the file path names without losing anything
// of it that truncating it would keep: true when there is no such file, or a regular file
// of this process's user and group with one name and no extended attributes (no access
// list, no security label).
bool replaceableWholly(const QString& path);

// Writes bytes as the new content of the file at path, through a ReplacementFile.
void writeWholeFile(const QString& path, const QByteArray& bytes);

} // namespace quendra
