// "MS Excel 12.0" as a target: the run's rows become a new workbook with one sheet, named
// as the head's table, written through libxlsxwriter into a new file beside the target
// that replaces it only when the run has succeeded. A workbook cannot be appended to: an
// existing one is replaced as a whole. With the header flag the first row holds the
// target fields' names. Numbers go into number cells, dates into date cells shown as
// dd.mm.yyyy, everything else into text cells. A macro workbook (.xlsm) is not written.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "common/replacementfile.h"
#include "connectors/backends/appendedrow.h"
#include "values/regionaltext.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <clocale>
#include <locale.h>
#include <memory>
#include <xlsxwriter.h>

namespace quendra {

namespace {

constexpr qsizetype MaxCellText = 32767; // characters Excel holds in a cell

// libxlsxwriter prints numbers with the C library, by the locale's decimal separator: under
// a German locale a workbook would hold "12,5", which no program reads as 12.5. Its calls
// run in the C locale on this thread while one of these lives.
class CNumbers {
public:
    CNumbers() : m_before(uselocale(cLocale())) {}
    ~CNumbers() { uselocale(m_before); }
    CNumbers(const CNumbers&) = delete;
    CNumbers& operator=(const CNumbers&) = delete;

private:
    static locale_t cLocale()
    {
        // glibc's own C locale: nothing to allocate, nothing to free
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        return c;
    }
    locale_t m_before;
};

struct WorkbookFree {
    void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};

class XlsxRecord : public AppendedRow {
public:
    XlsxRecord(const DataSourceLocation& location, const QString& sheet)
        : AppendedRow("XlsxFile"), m_path(location.dataSource), m_columns(location.columns)
    {
        const CNumbers numbers;
        // A macro workbook written anew would lose its macros, and without them Excel
        // refuses a file named .xlsm.
        if (m_path.endsWith(QStringLiteral(".xlsm"), Qt::CaseInsensitive))
            throw Error(errnum::Unsupported, {},
                        QStringLiteral("Die Makro-Arbeitsmappe %1 kann nicht geschrieben werden: "
                                       "ihre Makros gingen verloren. Bitte als Ziel eine "
                                       "Arbeitsmappe .xlsx wählen.")
                            .arg(QDir::toNativeSeparators(m_path)));
        // libxlsxwriter writes the new file by its name.
        m_file = std::make_unique<ReplacementFile>(m_path);
        lxw_workbook_options options{LXW_TRUE, nullptr, LXW_TRUE}; // rows go to disk at once
        m_workbook.reset(workbook_new_opt(QFile::encodeName(m_file->name()).constData(), &options));
        if (!m_workbook)
            fail(QStringLiteral("libxlsxwriter kann sie nicht anlegen."));
        const QByteArray name = sheet.toUtf8();
        if (workbook_validate_sheet_name(m_workbook.get(), name.constData()) != LXW_NO_ERROR)
            throw Error(errnum::InvalidProcedureCall, {},
                        QStringLiteral("Der Tabellenname „%1“ taugt nicht als Name eines "
                                       "Excel-Arbeitsblatts: höchstens 31 Zeichen, keines von "
                                       "[ ] : * ? / \\ und kein Apostroph am Anfang oder Ende.")
                            .arg(sheet));
        m_sheet = workbook_add_worksheet(m_workbook.get(), name.constData());
        m_dateFormat = workbook_add_format(m_workbook.get());
        m_dateTimeFormat = workbook_add_format(m_workbook.get());
        if (!m_sheet || !m_dateFormat || !m_dateTimeFormat)
            fail(QStringLiteral("libxlsxwriter kann das Arbeitsblatt nicht anlegen."));
        format_set_num_format(m_dateFormat, "dd.mm.yyyy");
        format_set_num_format(m_dateTimeFormat, "dd.mm.yyyy hh:mm:ss");
        if (location.header) {
            for (qsizetype c = 0; c < m_columns.size(); ++c)
                check(worksheet_write_string(m_sheet, 0, lxw_col_t(c),
                                             m_columns.at(c).toUtf8().constData(), nullptr));
            m_row = 1;
        }
    }

    int fieldsCount() const override { return int(m_columns.size()); }
    bool keepOneTransaction() override { return true; }

    // Completes the workbook and puts it in the target's place.
    void close() override
    {
        if (!m_workbook)
            return;
        const CNumbers numbers;
        const lxw_error closed = workbook_close(m_workbook.release());
        if (closed != LXW_NO_ERROR)
            fail(QString::fromUtf8(lxw_strerror(closed)));
        m_file->commit();
    }

protected:
    void writeRow(const std::vector<QVariant>& values) override
    {
        if (m_row >= LXW_ROW_MAX)
            throw Error(errnum::Overflow, {},
                        QStringLiteral("Ein Excel-Arbeitsblatt fasst höchstens 1.048.576 "
                                       "Zeilen (Excel-Arbeitsmappe %1).")
                            .arg(QDir::toNativeSeparators(m_path)));
        // Every cell is checked before the first is written: a refused row leaves nothing.
        std::vector<QVariant> cells(values.size());
        for (size_t c = 0; c < values.size(); ++c)
            cells[c] = cellValue(lxw_col_t(c), values[c]);
        const CNumbers numbers;
        for (size_t c = 0; c < cells.size(); ++c)
            writeCell(lxw_col_t(c), cells[c]);
        ++m_row;
    }

private:
    [[noreturn]] void fail(const QString& why) const
    {
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Die Excel-Arbeitsmappe %1 kann nicht geschrieben werden: %2")
                        .arg(QDir::toNativeSeparators(m_path), why));
    }

    void check(lxw_error error) const
    {
        if (error != LXW_NO_ERROR)
            fail(QString::fromUtf8(lxw_strerror(error)));
    }

    // What the cell receives: a double, a date-time, a text or nothing. A cell's number is
    // a double, which libxlsxwriter writes with 16 significant digits: a number they do
    // not give back digit for digit is refused, naming field and value.
    QVariant cellValue(lxw_col_t column, const QVariant& value) const
    {
        const QString& field = m_columns.at(int(column));
        switch (value.typeId()) {
        case QMetaType::UnknownType:
            return {};
        case QMetaType::QDate:
        case QMetaType::QDateTime:
            if (const QDate day = value.toDate(); day.year() < 1900 || day.year() > 9999)
                throw Error(errnum::Overflow, {},
                            QStringLiteral("Das Datum %1 des Feldes %2 liegt außerhalb der Jahre "
                                           "1900 bis 9999, die eine Excel-Arbeitsmappe kennt.")
                                .arg(isoDateText(day), field));
            return value;
        case QMetaType::QString:
        case QMetaType::Bool:
            break;
        default:
            ColumnType cell{ValueKind::Number, NumberColumn::binary()};
            cell.number.doubleDigits = 16;
            return rules().forColumn(value, cell, field);
        }
        const QString text = value.toString();
        if (text.size() > MaxCellText)
            throw Error(errnum::Overflow, {},
                        QStringLiteral("Der Wert %1 des Feldes %2 hat %3 Zeichen; eine Zelle "
                                       "einer Excel-Arbeitsmappe fasst höchstens 32.767.")
                            .arg(quotedValue(text), field)
                            .arg(text.size()));
        return text.isEmpty() ? QVariant() : QVariant(text);
    }

    void writeCell(lxw_col_t column, const QVariant& value)
    {
        switch (value.typeId()) {
        case QMetaType::UnknownType:
            return;
        case QMetaType::Double:
            check(worksheet_write_number(m_sheet, m_row, column, value.toDouble(), nullptr));
            return;
        case QMetaType::QDate:
            writeDate(column, QDateTime(value.toDate(), QTime(0, 0)), m_dateFormat);
            return;
        case QMetaType::QDateTime:
            writeDate(column, value.toDateTime(), m_dateTimeFormat);
            return;
        default:
            check(worksheet_write_string(m_sheet, m_row, column,
                                         value.toString().toUtf8().constData(), nullptr));
        }
    }

    void writeDate(lxw_col_t column, const QDateTime& when, lxw_format* format)
    {
        const QDate day = when.date();
        const QTime time = when.time();
        lxw_datetime cell{day.year(),  day.month(),   day.day(),
                          time.hour(), time.minute(), time.second() + time.msec() / 1000.0};
        check(worksheet_write_datetime(m_sheet, m_row, column, &cell, format));
    }

    QString m_path;
    QStringList m_columns;
    std::unique_ptr<ReplacementFile> m_file; // the new workbook, removed unless committed
    std::unique_ptr<lxw_workbook, WorkbookFree> m_workbook;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_dateFormat = nullptr;
    lxw_format* m_dateTimeFormat = nullptr;
    lxw_row_t m_row = 0;
};

class XlsxWriter : public FileTypeWriter {
public:
    std::unique_ptr<DatabaseRecord> openTable(const DataSourceLocation& location,
                                              const QString& table) override
    {
        return trapped("XlsxFile.openTable", [&]() -> std::unique_ptr<DatabaseRecord> {
            return std::make_unique<XlsxRecord>(location, table.trimmed());
        });
    }
};

} // namespace

std::unique_ptr<FileTypeWriter> makeXlsxWriter()
{
    return std::make_unique<XlsxWriter>();
}

} // namespace quendra
