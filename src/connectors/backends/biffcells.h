#pragma once

#include <QString>
#include <QVariant>
#include <vector>

namespace quendra {

// A cell of an Excel 97 workbook (BIFF8) that FreeXL does not report as it is: the
// stored result of a formula, and a logical (TRUE/FALSE) or error cell.
struct BiffCell {
    int sheet = 0; // position of the worksheet in the workbook
    unsigned row = 0;
    unsigned column = 0;
    // A double, a bool, a QString (a text result or an error such as "#DIV/0!"), or
    // null for a formula whose result is empty.
    QVariant value;
};

// Every such cell of the workbook at path, sheets in workbook order. Throws
// quendra::Error 75 when the file is not a compound document holding a workbook stream.
std::vector<BiffCell> readBiffCells(const QString& path);

// The error 75 for a file that is no readable workbook.
[[noreturn]] void throwUnreadableWorkbook(const QString& path);

} // namespace quendra
