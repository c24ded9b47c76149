#include "connectors/backends/sheetgrid.h"

#include "common/error.h"
#include "connectors/backends/memorytable.h"
#include "connectors/backends/valueconversion.h"
#include "values/numbers.h"

#include <QDataStream>
#include <QTemporaryFile>

#include <cmath>

namespace quendra {

namespace {

constexpr size_t RowsInMemory = 4096;

bool isIntegral(const QVariant& value)
{
    if (value.typeId() == QMetaType::LongLong)
        return true;
    const double number = value.toDouble();
    return isWholeNumber(number) && std::fabs(number) < 9.0e15;
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

bool holdsValue(const QVariantList& cells)
{
    return std::any_of(cells.cbegin(), cells.cend(), [](const QVariant& v) { return !v.isNull(); });
}

[[noreturn]] void throwSpillFailed(const QString& sheet)
{
    throw Error(errnum::PathFileAccess, {},
                QStringLiteral("Die Tabelle \"%1\" kann nicht zwischengespeichert werden: der "
                               "temporäre Ordner ist nicht beschreibbar oder voll.")
                    .arg(sheet));
}

} // namespace

struct SheetTable::Column {
    bool any = false, integral = true, numbers = true, dates = true, logicals = true;

    void see(const QVariant& value)
    {
        if (value.isNull())
            return;
        any = true;
        const int type = value.typeId();
        const bool number = type == QMetaType::LongLong || type == QMetaType::Double;
        numbers = numbers && number;
        integral = integral && number && isIntegral(value);
        dates = dates && (type == QMetaType::QDate || type == QMetaType::QDateTime);
        logicals = logicals && type == QMetaType::Bool;
    }

    ColumnKind kind() const
    {
        if (!any)
            return ColumnKind::Text;
        if (integral)
            return ColumnKind::Integer;
        if (numbers)
            return ColumnKind::Real;
        if (logicals)
            return ColumnKind::Boolean;
        return dates ? ColumnKind::Date : ColumnKind::Text;
    }
};

SheetTable::SheetTable(QSqlDatabase& db, const QString& sheet, bool header)
    : m_db(db), m_sheet(sheet), m_header(header)
{
}

SheetTable::~SheetTable() = default;

void SheetTable::addRow(const QVariantList& cells)
{
    if (!holdsValue(cells))
        return;
    if (m_header && !m_named) {
        m_names = cells;
        m_named = true;
        m_columns.resize(std::max(m_columns.size(), size_t(cells.size())));
        return;
    }
    m_columns.resize(std::max(m_columns.size(), size_t(cells.size())));
    for (qsizetype c = 0; c < cells.size(); ++c)
        m_columns[size_t(c)].see(cells.at(c));
    m_rows.push_back(cells);
    if (m_rows.size() >= RowsInMemory)
        spill();
}

void SheetTable::spill()
{
    if (!m_spilled) {
        m_spilled = std::make_unique<QTemporaryFile>();
        if (!m_spilled->open())
            throwSpillFailed(m_sheet);
    }
    QDataStream out(m_spilled.get());
    for (const QVariantList& row : m_rows)
        out << row;
    if (out.status() != QDataStream::Ok)
        throwSpillFailed(m_sheet);
    m_rows.clear();
}

void SheetTable::finish()
{
    const RegionalText text;
    const int width = int(m_columns.size());
    QStringList names = numberedColumnNames(width);
    for (int c = 0; c < m_names.size(); ++c)
        names[c] = headerName(m_names.at(c), text);
    names = usableColumnNames(names);
    QList<TableColumn> columns;
    for (int c = 0; c < width; ++c)
        columns << TableColumn{names.at(c), m_columns[size_t(c)].kind()};
    if (columns.isEmpty()) // an empty sheet: one column, no rows
        columns << TableColumn{QStringLiteral("F1"), ColumnKind::Text};

    MemoryTableBuilder table(m_db, freeTableName(m_db, m_sheet), columns);
    QVariantList values;
    const auto add = [&](const QVariantList& row) {
        values.resize(0);
        for (int c = 0; c < columns.size(); ++c)
            values << valueFor(columns.at(c).kind, row.value(c), text);
        table.addRow(values);
    };
    if (m_spilled) {
        if (!m_spilled->flush() || !m_spilled->seek(0))
            throwSpillFailed(m_sheet);
        QDataStream in(m_spilled.get());
        QVariantList row;
        while (!in.atEnd()) {
            in >> row;
            if (in.status() != QDataStream::Ok)
                throwSpillFailed(m_sheet);
            add(row);
        }
        m_spilled.reset();
    }
    for (const QVariantList& row : m_rows)
        add(row);
    m_rows.clear();
    table.finish();
}

void SheetRecords::addRow(const QVariantList& cells)
{
    if (!holdsValue(cells))
        return;
    if (m_header)
        m_header = false; // the header row names the columns
    else
        m_rows.push_back(cells);
}

bool SheetRecords::take(QVariantList& row)
{
    if (m_rows.empty())
        return false;
    row = std::move(m_rows.front());
    m_rows.pop_front();
    return true;
}

void loadSheetGrid(const SheetGrid& grid, const QString& sheet, bool header, QSqlDatabase& db)
{
    SheetTable table(db, sheet, header);
    for (const QVariantList& row : grid)
        table.addRow(row);
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
