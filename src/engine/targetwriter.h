#pragma once

#include "engine/definition.h"
#include "values/numbers.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <deque>
#include <memory>
#include <vector>

namespace quendra {

class clsFSConnect;
class DatabaseTarget;
class Error;
struct ReplacedCharacters;
struct RegionalSettings;

// Where a run's target records go.
enum class TargetOutput {
    Write,        // into the target, record by record
    AllOrNothing, // into the target only when the whole run succeeds
    Memory,       // into memory only (takeOutput): nothing is opened for writing
};

// What a text target writes around a field's value: the head's text qualifier around a
// "Text" field, nothing around the others.
QStringView textQualifier(const TrgHead& head, const trgBodyRec& field);

// The target of a run: a text file or a database table,
// opened when the first record is written and released at the end of the run.
class TargetWriter {
public:
    TargetWriter(const TrgHead& head, const std::vector<trgBodyRec>& fields);
    ~TargetWriter();

    // Chooses where the records go (before the first one). AllOrNothing is refused, before
    // anything is opened, for a database file type that cannot take a run as a whole; a
    // file type that is always written as a whole (a workbook) takes Write as AllOrNothing.
    void setOutput(TargetOutput output);
    // Whether the target changes only when the whole run succeeds.
    bool allOrNothing() const { return m_output == TargetOutput::AllOrNothing; }
    // A text target written record by record is left as it is for now: the records go to
    // a new file beside it, which takes its place at letGo, or where that file would lose
    // something of the old one, they wait in memory (heldBytes) until letGo creates or
    // truncates the file for them.
    // Nothing for other targets, which are opened at their first record.
    void holdBack();
    qint64 heldBytes() const;
    void letGo();
    // Refuses a target that could never be written (no path, unknown medium or file type,
    // a text qualifier equal to the delimiter), so that a run fails before its first
    // record instead of silently writing nothing or lines no reader splits back.
    void checkUsable() const;
    // Memory: the bytes of the records written since the last call. A text target's
    // lines are exactly the bytes the file would get; a database target gives one line
    // per record, "column = value" for each value as it would be bound.
    QByteArray takeOutput();

    // Writes one record of target values (one per target field), opening the target at
    // the first call. Text fields of a text target get the text qualifier around them; a
    // value holding the qualifier, or without one the delimiter, is an error naming the
    // field, as it would be split wrongly. A database target receives numbers and dates
    // as such, empty ones as NULL. record: the source record the values come from, for
    // naming it in an error; field, when given, is set to the field whose value a database
    // target refuses (and to -1 after the values are taken).
    void write(const std::vector<QString>& values, const RegionalSettings& regional,
               qint64 record = 0, qsizetype* field = nullptr);
    // After the run: how many characters the target's code page lacked and wrote as
    // "?", and the first of them with record and field; empty when there was none.
    QString replacementWarning() const;
    // What the run should be told first about how a database target is reached (a slower
    // way than it could be, and why); empty mostly.
    QString note() const;
    // One line of its own in a text target (the check lines).
    void writeLine(const QString& line);

    bool isOpen() const { return m_open; }
    // The records handed to the target by this run so far (check lines not counted), none
    // while they are held back; after completeAfterFailure, those a database table received.
    qint64 recordsWritten() const { return m_holdBack ? 0 : m_records; }
    bool isText() const { return m_head.frommedium == Medium::TextFile; }
    // Writes out what a text target still buffers and closes it, or completes the rows of
    // a database target; throws when the file system or the database refuses them.
    void close();
    // After a failed run: sends the rows a database target still holds back, so that the
    // records before the failure stay written (their own failure, being about an earlier
    // record, takes the place of error), sets record to the record the error is about,
    // and adds to the error how many rows the table received.
    void completeAfterFailure(Error& error, qint64& record);
    // Releases the target (after close, or after an error: then silently), so that all
    // lines written so far stay.
    void release();

private:
    enum class Kind { Text, Number, Date, Other };
    void ensureOpen();
    void writeText(const std::vector<QString>& values, qint64 record);
    const ReplacedCharacters* replaced() const;
    void noteReplaced(qint64 before, qint64 record);
    [[noreturn]] void refuseSplitValue(size_t field, const QString& value) const;
    void writeDatabase(const std::vector<QString>& values, const RegionalSettings& regional,
                       qint64 record, qsizetype* field);
    void describeDatabase(const std::vector<QString>& values, const RegionalSettings& regional,
                          qsizetype* field);

    // What field i's value gives its column: a number as the column's number, a date as
    // a date, a text as it is; throws for a value that is no number or date.
    QVariant boundValue(size_t i, const QString& value, const RegionalSettings& regional) const;
    DecimalNumber number(size_t i, const QString& value, const RegionalSettings& regional) const;

    const TrgHead& m_head;
    TargetOutput m_output = TargetOutput::Write;
    bool m_holdBack = false; // holdBack without letGo yet
    std::vector<Kind> m_kinds;
    std::vector<QString> m_names;          // the target fields' names: the columns by position
    QByteArray m_memory;                   // Memory: a database target's lines not yet taken
    std::vector<QStringView> m_qualifiers; // per field of a text target: textsign or nothing
    bool m_open = false;
    qint64 m_records = 0;
    std::unique_ptr<clsFSConnect> m_file;
    std::unique_ptr<DatabaseTarget> m_database;
    qint64 m_firstReplacedRecord = 0;
    // The records of the rows handed to a database target that it may still hold back,
    // oldest first, and the number of rows handed over in all.
    std::deque<qint64> m_heldRecords;
    qint64 m_rowsHanded = 0;
};

// Where a run with this head writes, as the user names it: the text file's full path, a
// database file's or folder's path with the table, or the table of an ODBC data source
// (whose connection text may hold a password and is left out); and the folder that
// holds the target, empty for a data source.
struct TargetPlace {
    QString text;
    QString folder;
};
TargetPlace targetPlace(const TrgHead& head);

} // namespace quendra
