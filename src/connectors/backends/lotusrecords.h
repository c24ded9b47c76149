#pragma once

// The cells of a Lotus 1-2-3 file as its records hold them, read without a library: a
// chain of records (type and length, two little-endian bytes each) from a beginning-of-file
// record (its first word the version) to an end-of-file record (type 1). Release 1 and 2
// files (.wks, .wk1) keep one sheet, release 3 and later (.wk3, .wk4, .123) up to 256.

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <vector>

namespace quendra {

struct LotusCell {
    int sheet = 0;
    int row = 0;
    int column = 0;
    qsizetype offset = 0; // of the record that holds the cell
    // A double, a QString (a label, a formula's text result, or an error value as the Excel
    // reader gives it: "#VALUE!" for ERR, "#N/A" for NA), or null for an empty cell.
    QVariant value;
    // How the cell shows its number, where the cell itself says so (release 1 and 2 keep
    // the format in the cell; release 3 and later in records of their own).
    enum class Shows { Number, Date, Time } shows = Shows::Number;
    // Why the value cannot be taken as it stands (a number beyond the range of a double);
    // empty when it can.
    QString fault;
};

struct LotusBook {
    bool release3 = false;
    int sheets = 1; // the sheets the file declares
    std::vector<LotusCell> cells;
};

// Reads every cell of the file at path (bytes). Throws quendra::Error 75 for a file that
// is no Lotus 1-2-3 sheet, one cut short before its end record, a password-protected
// release 2 file, and one whose cell records cannot be read as they stand (too short or
// too long, beyond column IV, on a sheet the file does not declare, twice for one cell,
// after the end record, a label holding a control character), naming the byte offset of
// the record. Bytes after the end record that form no cell are left as Lotus leaves them.
// Labels are read in code page 850.
LotusBook readLotusRecords(const QByteArray& bytes, const QString& path);

} // namespace quendra
