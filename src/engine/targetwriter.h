#pragma once

#include "engine/definition.h"

#include <QString>
#include <memory>
#include <vector>

namespace quendra {

class clsADOConnect;
class clsFSConnect;
struct RegionalSettings;

// The target of a run: a text file (medium 0) or a database table (media 1 and 2),
// opened when the first record is written and released at the end of the run.
class TargetWriter {
public:
    TargetWriter(const TrgHead& head, const std::vector<trgBodyRec>& fields);
    ~TargetWriter();

    // Refuses a target that could never be written (no path, unknown medium), so that a
    // run fails before its first record instead of silently writing nothing.
    void checkUsable() const;

    // Writes one record of target values (one per target field), opening the target at
    // the first call. Text fields of a text target get the text qualifier around them;
    // a database target receives numbers and dates as such, empty ones as NULL.
    void write(const std::vector<QString>& values, const RegionalSettings& regional);
    // One line of its own in a text target (the check lines).
    void writeLine(const QString& line);

    bool isOpen() const { return m_open; }
    bool isText() const { return m_head.frommedium == 0; }
    // Writes out what a text target still buffers and closes it, or completes the rows of
    // a database target; throws when the file system or the database refuses them.
    void close();
    // Releases the target (after close, or after an error: then silently), so that all
    // lines written so far stay.
    void release();

private:
    enum class Kind { Text, Number, Date, Other };
    void ensureOpen();
    void writeText(const std::vector<QString>& values);
    void writeDatabase(const std::vector<QString>& values, const RegionalSettings& regional);

    const TrgHead& m_head;
    std::vector<Kind> m_kinds;
    std::vector<QStringView> m_qualifiers; // per field of a text target: textsign or nothing
    bool m_open = false;
    std::unique_ptr<clsFSConnect> m_file;
    std::unique_ptr<clsADOConnect> m_database;
};

} // namespace quendra
