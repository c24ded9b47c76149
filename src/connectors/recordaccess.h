#pragma once

#include "connectors/replacedcharacters.h"
#include "values/columnnumbers.h"

#include <QString>
#include <QStringView>
#include <QVariant>
#include <span>

namespace quendra {

class ReadBlocks;

// Record-by-record reading, offered by the text file connector and by the database
// connector alike; the conversion engine walks every source through it.
class RecordReader {
public:
    virtual ~RecordReader() = default;

    // EOF: true when there is no current record (after the last one, or nothing open).
    virtual bool isEOF() const = 0;
    // 1-based number of the current record.
    virtual qint64 AbsolutePosition() const = 0;
    virtual void MoveFirst() = 0;
    virtual void MoveLast() = 0;
    virtual void MoveNext() = 0;
    // Number of values per record (fields of the current line, columns of the row set).
    virtual int fieldCount() const = 0;
    // Values the current record holds (at most fieldCount): every field past them is empty.
    virtual int valueCount() const { return fieldCount(); }
    // Value of column index (counted from 0) of the current record, NULL as empty text.
    // The view stays valid until the reader moves. An index past the last column
    // throws error 9 (text) or the provider's item-not-found error (database).
    virtual QStringView getField(int index) const = 0;
    // The values of the current record when the reader holds them as one line (a text
    // file), checked against the rules for a line; valid until the reader moves. False
    // for a reader that hands its values out one by one through getField.
    virtual bool currentLine(std::span<const QStringView>& fields) const
    {
        Q_UNUSED(fields);
        return false;
    }
    // Whether another program shortened the source while it was read: it ended, or its
    // current line ends, before what it held when it was opened.
    virtual bool shortened() const { return false; }
    // After the last record (records: how many were read): throws when the source is
    // shortened, saying what it held at opening and how far it got.
    virtual void checkComplete(qint64 records) const { Q_UNUSED(records); }
    // What a run should be told first about how the source is reached (a slower way than
    // it could be, and why); empty mostly.
    virtual QString note() const { return {}; }
    // Hands the blocks of a file source to blocks as they are read (see LineReader), until
    // called with nullptr; false for a source that has none (a database, a pipe).
    virtual bool handBlocks(ReadBlocks* blocks)
    {
        Q_UNUSED(blocks);
        return false;
    }
};

// The open row set of a database target, as the engine writes one record into it:
// AddNew, one setItem per target field by 0-based column ordinal, update.
class DatabaseRecord {
public:
    virtual ~DatabaseRecord() = default;
    virtual int fieldsCount() const = 0;
    virtual void AddNew() = 0;
    // A null QVariant leaves the column to its default.
    virtual void setItem(int ordinal, const QVariant& value) = 0;
    // A number as the engine read it, with the text it was read from: the same as setItem
    // with a WrittenNumber, which a writer may take without the variant.
    virtual void setNumber(int ordinal, const DecimalNumber& number, const QString& written)
    {
        setItem(ordinal, QVariant::fromValue(WrittenNumber{number, written}));
    }
    // A text, never null (empty text is a value): the same as setItem with it.
    virtual void setText(int ordinal, const QString& text) { setItem(ordinal, text); }
    virtual void update() = 0;
    // Completes the rows written so far: commits them, or puts a table that is written
    // as a whole in place. Throws when that fails, so that no loss goes unreported;
    // a writer released without close completes silently.
    virtual void close() {}
    // Makes every row from now until close one transaction: close commits them, a writer
    // released without close takes them all back. False when the writer cannot.
    virtual bool keepOneTransaction() { return false; }
    // Rows of this writer that the table holds for certain (committed); -1 when the
    // writer cannot say.
    virtual qint64 rowsReceived() const { return -1; }
    // After update or close threw: the row the error is about, counted from the writer's
    // first row (1-based), when rows are sent later than they are handed over; 0 when the
    // error is about the row in hand.
    virtual qint64 failedRow() const { return 0; }
    // The characters the table's code page lacks that this writer wrote as "?" (rows
    // counted from its first row), and that code page as a message names it ("1252",
    // "850"); nothing for a table that holds every character.
    virtual const ReplacedCharacters* replaced() const { return nullptr; }
    virtual QString codePageName() const { return {}; }
};

} // namespace quendra
