// The cells of one spreadsheet sheet (Excel, Lotus 1-2-3) as a table in memory. With a
// header the first row gives the column names (an empty one becomes F<n>); without one the
// columns are F1, F2, ... A column's type is that of all its values: integers, numbers,
// dates (with time of day where a cell has one), logicals or, when they differ, text, in
// which every cell keeps its value in the regional form (numbers as 12,5, dates as
// 31.12.2005); no value is dropped because it does not fit the column.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <vector>

namespace quendra {

// Rows of cells, all of one width; a cell is a number (qlonglong or double), a QDate,
// a QDateTime, a bool, a QString or NULL.
using SheetGrid = std::vector<QVariantList>;

// Creates the table of the sheet (its name made unique in db) and fills it.
void loadSheetGrid(const SheetGrid& grid, const QString& sheet, bool header, QSqlDatabase& db);

// A cell's name as the spreadsheet shows it: column letters, then the row counted from 1
// ("B3"); row and column count from 0.
QString cellName(unsigned row, unsigned column);

} // namespace quendra
