#include "connectors/backends/sheetgrid.h"

#include "connectors/backends/memorytable.h"
#include "connectors/backends/valueconversion.h"

#include <cmath>

namespace quendra {

namespace {

bool isIntegral(const QVariant& value)
{
    if (value.typeId() == QMetaType::LongLong)
        return true;
    const double number = value.toDouble();
    return std::floor(number) == number && std::fabs(number) < 9.0e15;
}

ColumnKind columnKind(const SheetGrid& grid, size_t first, int column)
{
    bool allIntegral = true, allNumbers = true, allDates = true, allLogicals = true, any = false;
    for (size_t r = first; r < grid.size(); ++r) {
        const QVariant& value = grid[r].at(column);
        if (value.isNull())
            continue;
        any = true;
        const int type = value.typeId();
        const bool number = type == QMetaType::LongLong || type == QMetaType::Double;
        allNumbers = allNumbers && number;
        allIntegral = allIntegral && number && isIntegral(value);
        allDates = allDates && (type == QMetaType::QDate || type == QMetaType::QDateTime);
        allLogicals = allLogicals && type == QMetaType::Bool;
    }
    if (!any)
        return ColumnKind::Text;
    if (allIntegral)
        return ColumnKind::Integer;
    if (allNumbers)
        return ColumnKind::Real;
    if (allLogicals)
        return ColumnKind::Boolean;
    return allDates ? ColumnKind::Date : ColumnKind::Text;
}

// A cell as its column stores it: typed in a column of one kind, else as the text the
// user's regional settings give it (dates as 31.12.2005, with the time only when it is
// not midnight), so that no cell loses its value to its column.
QVariant valueFor(ColumnKind kind, const QVariant& value, const RegionalText& text)
{
    if (value.isNull())
        return {};
    switch (kind) {
    case ColumnKind::Integer:
        return qlonglong(value.toDouble());
    case ColumnKind::Text:
        return text.toText(value);
    default:
        return value;
    }
}

QString headerName(const QVariant& value, const RegionalText& text)
{
    if (value.typeId() == QMetaType::Double && isIntegral(value))
        return QString::number(qlonglong(value.toDouble()));
    return text.toText(value);
}

} // namespace

void loadSheetGrid(const SheetGrid& grid, const QString& sheet, bool header, QSqlDatabase& db)
{
    const RegionalText text;
    int width = grid.empty() ? 0 : int(grid.front().size());
    QStringList names = numberedColumnNames(width);
    const size_t first = header && !grid.empty() ? 1 : 0;
    if (first == 1) {
        for (int c = 0; c < width; ++c)
            names[c] = headerName(grid.front().at(c), text);
    }
    names = usableColumnNames(names);
    QList<TableColumn> columns;
    for (int c = 0; c < width; ++c)
        columns << TableColumn{names.at(c), columnKind(grid, first, c)};
    if (columns.isEmpty()) // an empty sheet: one column, no rows
        columns << TableColumn{QStringLiteral("F1"), ColumnKind::Text};

    MemoryTableBuilder table(db, freeTableName(db, sheet), columns);
    for (size_t r = first; r < grid.size(); ++r) {
        QVariantList values;
        for (int c = 0; c < width; ++c)
            values << valueFor(columns.at(c).kind, grid[r].at(c), text);
        values.resize(columns.size());
        table.addRow(values);
    }
    table.finish();
}

QString cellName(unsigned row, unsigned column)
{
    QString letters;
    for (unsigned c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row + 1);
}

} // namespace quendra
