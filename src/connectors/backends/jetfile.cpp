// "MS Access" files in the Jet/ACE format (.mdb/.accdb), read through mdbtools' libmdb.
// The data source is the file. Its user tables are loaded in the order of the file's
// own catalogue; system tables (MSys...) are left out. Text arrives as UTF-8 from
// libmdb. Date/time values keep their time of day when they have one. OLE objects and
// binary columns are not text and stay NULL. Writing such files is not offered.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/memorytable.h"
#include "values/numbers.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <mdbtools.h>

#include <algorithm>
#include <vector>

namespace quendra {

namespace {

// Memo columns longer than this are cut by libmdb.
constexpr size_t kBindSize = 256 * 1024;

struct MdbCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableDefFreer {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};

ColumnKind columnKind(const MdbColumn& column)
{
    switch (column.col_type) {
    case MDB_BOOL:
        return ColumnKind::Boolean;
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
        return ColumnKind::Integer;
    case MDB_NUMERIC: {
        // libmdb versions differ in which of the two members holds the precision; the
        // scale is never the larger one.
        const int scale = std::min(column.col_prec, column.col_scale);
        const int precision = std::max(column.col_prec, column.col_scale);
        return scale == 0 && precision <= 18 ? ColumnKind::Integer : ColumnKind::Real;
    }
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
        return ColumnKind::Real;
    case MDB_DATETIME:
        return ColumnKind::Date;
    default:
        return ColumnKind::Text;
    }
}

bool hasNoText(const MdbColumn& column)
{
    return column.col_type == MDB_OLE || column.col_type == MDB_BINARY;
}

// libmdb prints numbers with the C library's locale: a decimal point or comma, no groups.
QVariant numberValue(const QByteArray& text, ColumnKind kind)
{
    bool ok = false;
    if (kind == ColumnKind::Integer) {
        const qlonglong whole = text.toLongLong(&ok);
        if (ok)
            return whole;
    }
    RegionalSettings printed;
    printed.groupSeparator = QChar();
    const QString number = QString::fromLatin1(text);
    for (const char decimal : {'.', ','}) {
        printed.decimalSeparator = QLatin1Char(decimal);
        double value = 0;
        if (parseNumber(number, printed, value))
            return value;
    }
    return QString::fromUtf8(text);
}

QVariant cellValue(const MdbColumn& column, const char* data, int length)
{
    if (length <= 0 || hasNoText(column))
        return {};
    const QByteArray text(data, length);
    const ColumnKind kind = columnKind(column);
    switch (kind) {
    case ColumnKind::Integer:
    case ColumnKind::Real:
        return numberValue(text, kind);
    case ColumnKind::Boolean:
        return text == "0" ? 0 : 1;
    case ColumnKind::Date: {
        const QDateTime stamp =
            QDateTime::fromString(QString::fromLatin1(text), u"yyyy-MM-dd HH:mm:ss");
        return stamp.isValid() ? QVariant(stamp) : QVariant(QString::fromUtf8(text));
    }
    case ColumnKind::Text:
        break;
    }
    return QString::fromUtf8(text);
}

void loadTable(MdbCatalogEntry* entry, QSqlDatabase& db)
{
    std::unique_ptr<MdbTableDef, TableDefFreer> table(mdb_read_table(entry));
    const QString name = QString::fromUtf8(entry->object_name);
    if (!table || !mdb_read_columns(table.get()))
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Die Tabelle %1 der Access-Datei ist nicht lesbar.").arg(name));
    mdb_rewind_table(table.get());
    const unsigned int count = table->num_cols;
    std::vector<QByteArray> buffers(count, QByteArray(int(kBindSize) + 1, '\0'));
    std::vector<int> lengths(count, 0);
    QStringList names;
    QList<TableColumn> columns;
    for (unsigned int i = 0; i < count; ++i) {
        auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        mdb_bind_column(table.get(), int(i) + 1, buffers[i].data(), &lengths[i]);
        names << QString::fromUtf8(column->name);
        columns << TableColumn{{}, columnKind(*column)};
    }
    names = usableColumnNames(names);
    for (int i = 0; i < columns.size(); ++i)
        columns[i].name = names.at(i);

    MemoryTableBuilder memory(db, freeTableName(db, name), columns);
    while (mdb_fetch_row(table.get())) {
        QVariantList values;
        for (unsigned int i = 0; i < count; ++i) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
            values << cellValue(*column, buffers[i].constData(), lengths[i]);
            lengths[i] = 0;
        }
        memory.addRow(values);
    }
    memory.finish();
}

class JetReader : public FileTypeReader {
public:
    void load(const DataSourceLocation& location, QSqlDatabase& memoryDb) override
    {
        trapped("JetFile.load", [&] {
            if (!QFileInfo(location.dataSource).isFile())
                throw standardError(errnum::FileNotFound, location.dataSource);
            std::unique_ptr<MdbHandle, MdbCloser> mdb(
                mdb_open(QFile::encodeName(location.dataSource).constData(), MDB_NOFLAGS));
            if (!mdb || !mdb_read_catalog(mdb.get(), MDB_TABLE))
                throw Error(errnum::PathFileAccess, {},
                            QStringLiteral("Die Datei %1 ist keine lesbare Access-Datenbank.")
                                .arg(QDir::toNativeSeparators(location.dataSource)));
            mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
            mdb_set_shortdate_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
            mdb_set_boolean_fmt_numbers(mdb.get());
            mdb_set_bind_size(mdb.get(), kBindSize);
            for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
                auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
                const QString name = QString::fromUtf8(entry->object_name);
                if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry) ||
                    name.startsWith(QStringLiteral("MSys"), Qt::CaseInsensitive))
                    continue;
                loadTable(entry, memoryDb);
            }
        });
    }
};

} // namespace

std::unique_ptr<FileTypeReader> makeJetReader()
{
    return std::make_unique<JetReader>();
}

} // namespace quendra
