// The cells of one spreadsheet sheet (Excel, OpenDocument, Lotus 1-2-3) as a table in
// memory. With a header the first row gives the column names (an empty one becomes F<n>);
// without one the columns are F1, F2, ... A column's type is that of all its values:
// integers, numbers, dates (with time of day where a cell has one), logicals or, when they
// differ, text, in which every cell keeps its value in the regional form (numbers as 12,5,
// dates as 31.12.2005); no value is dropped because it does not fit the column. Rows
// without any value are left out.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <deque>
#include <memory>
#include <vector>

class QTemporaryFile;

namespace quendra {

// The columns a sheet may have (A to XFD) and its rows.
constexpr int SheetColumns = 16384;
constexpr qint64 SheetRowsMax = 1048576;

// A cell is a number (qlonglong or double), a QDate, a QDateTime, a QTime, a bool, a
// QString or NULL.
using SheetGrid = std::vector<QVariantList>;

// Where a reader puts the rows of a sheet as it comes across them.
class SheetRows {
public:
    virtual ~SheetRows() = default;
    // The cells of the next row, from the first column on; rows may differ in width.
    virtual void addRow(const QVariantList& cells) = 0;
};

// Takes the rows of one sheet as a reader comes across them and makes its table at the
// end, when the kinds of its columns are known. Rows beyond the first few thousand wait
// in a temporary file, so that a sheet of a million rows takes no more memory than one
// of a thousand.
class SheetTable : public SheetRows {
public:
    SheetTable(QSqlDatabase& db, const QString& sheet, bool header);
    ~SheetTable() override;
    SheetTable(const SheetTable&) = delete;
    SheetTable& operator=(const SheetTable&) = delete;

    void addRow(const QVariantList& cells) override;
    // Creates the table (its name made unique in the database) and fills it.
    void finish();

private:
    struct Column; // what the cells of a column have been so far
    void spill();

    QSqlDatabase& m_db;
    QString m_sheet;
    bool m_header;
    QVariantList m_names; // the header row, once seen
    bool m_named = false;
    std::vector<Column> m_columns;
    SheetGrid m_rows; // rows not yet spilled
    std::unique_ptr<QTemporaryFile> m_spilled;
};

// The records of a sheet as its table holds them, handed on while the sheet is read: the
// rows with a value, without the header row. Each cell keeps the value the reader gave
// it; its text is the one the table's column gives it, whatever kind that column has.
class SheetRecords : public SheetRows {
public:
    explicit SheetRecords(bool header) : m_header(header) {}
    void addRow(const QVariantList& cells) override;
    // The oldest row not yet taken into row; false when there is none.
    bool take(QVariantList& row);

private:
    bool m_header;
    std::deque<QVariantList> m_rows;
};

// A sheet read straight from its file, record by record (SheetRecords).
class SheetStream {
public:
    virtual ~SheetStream() = default;
    // The next record into row; false after the last. Throws quendra::Error naming the
    // file when it is damaged.
    virtual bool next(QVariantList& row) = 0;
};

// The table of a sheet held as a whole.
void loadSheetGrid(const SheetGrid& grid, const QString& sheet, bool header, QSqlDatabase& db);

// A cell's name as the spreadsheet shows it: column letters, then the row counted from 1
// ("B3"); row and column count from 0.
QString cellName(unsigned row, unsigned column);

} // namespace quendra
