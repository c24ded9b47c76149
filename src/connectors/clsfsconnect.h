#pragma once

#include "connectors/clsfsconnect_io.h"
#include "connectors/recordaccess.h"
#include "connectors/replacedcharacters.h"

#include <QString>
#include <memory>
#include <span>

namespace quendra {

// A delimited text file read record by record (mode 1) or written record by record
// (mode 0). The file holds Windows-1252 bytes ("ASCII" writes code page 850), each line
// ends with CR LF. Lines are counted in 64 bits, so a file of any length reads.
class clsFSConnect final : public RecordReader {
public:
    clsFSConnect();
    ~clsFSConnect() override; // closes the file; what update wrote is then on disk

    // Opens file for reading (mode 1; the first line becomes current) or writing
    // (mode 0; created or truncated). An empty delimiter keeps the stored one.
    // Throws when the file cannot be opened, and (reading) error 9 when the delimiter is empty.
    void init(const QString& file, qint32 mode, const QString& delimiter = {});
    // Opens file for writing as target says: truncated, as a replacement that takes the
    // file's place at close(), or only into memory (takeWritten).
    void initWriting(const QString& file, LineTarget target, const QString& delimiter = {});
    // Opens file for reading the records of a source with sourceFields fields: the first
    // line sets how many fields every line must have (up to sourceFields), and a first line
    // without the delimiter is refused when more than one field is expected.
    void initReading(const QString& file, const QString& delimiter, std::size_t sourceFields);
    // The bytes of the lines written into memory since initWriting or the last call.
    QByteArray takeWritten();
    // LineTarget::Held: the bytes written and held back in memory so far, and the file
    // that takes them and the lines after them (throws when it cannot be).
    qint64 heldBytes() const;
    void letGo();

    bool isEOF() const override;
    qint64 AbsolutePosition() const override;
    void MoveFirst() override;
    void MoveLast() override;
    void MoveNext() override;
    int fieldCount() const override; // FieldCount
    QStringView getField(int index) const override;
    // All fields of the current line, as getField gives them one by one; empty when
    // no line is current. Valid until the reader moves.
    std::span<const QStringView> currentFields() const;
    // The fields of the current line when it can be a record: it has the fields of the
    // first line (up to the source fields), and none with a value beyond them, which a
    // delimiter inside a value would have shifted there. Throws otherwise.
    bool currentLine(std::span<const QStringView>& fields) const override;
    bool shortened() const override;
    void checkComplete(qint64 records) const override;
    bool handBlocks(ReadBlocks* blocks) override;

    // Characters of the values written that the file's code page does not hold.
    using Replaced = ReplacedCharacters;
    const Replaced& replaced() const;
    // "1252" or "850", as a message names the code page.
    QString codePageName() const;

    void setEncoding(const QString& encoding);
    // Appends one value to the line being built (mode 0 only).
    void setValue(QStringView value);
    // Appends qualifier, value, qualifier as one value (a text field of a text target).
    void setValue(QStringView qualifier, QStringView value);
    // Sets how the values of a record are written from now on: value i between
    // qualifiers[i] (empty for none). The texts must stay valid while values are written.
    void planValues(std::span<const QStringView> qualifiers);
    // Appends all values of a record as planValues set (one per qualifier given there):
    // the same as setValue for each, in one go. A value that holds its qualifier, or
    // without one the delimiter, would be split wrongly by a reader: then nothing is
    // appended and the index of the first such value is returned; otherwise -1.
    qsizetype setValues(std::span<const QString> values);
    qsizetype setValues(std::span<const QString> values, std::span<const QStringView> qualifiers)
    {
        planValues(qualifiers);
        return setValues(values);
    }
    // Writes the line being built, followed by CR LF (mode 0 only). Lines are collected
    // in a large buffer; a failed write of the file system throws here or in close().
    void update();
    // Writes what is still buffered and closes the file; throws when the file system
    // refuses the data (disk full, ...). The destructor closes silently as a last resort.
    void close();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace quendra
