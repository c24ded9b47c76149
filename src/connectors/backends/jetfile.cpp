// "MS Access" files in the Jet/ACE format (.mdb/.accdb), read through mdbtools' libmdb.
// The data source is the file. Its user tables are loaded in the order of the file's
// own catalogue; system tables (MSys...) are left out. Text arrives as UTF-8 from
// libmdb. Date/time values keep their time of day when they have one. OLE objects and
// binary columns arrive as their stored bytes, as an SQLite BLOB does. Writing such files
// is not offered.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/mdbreading.h"
#include "connectors/backends/memorytable.h"
#include "connectors/backends/valueconversion.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <optional>
#include <vector>

namespace quendra {

namespace {

[[noreturn]] void throwDamaged(const QString& file, const QString& table, const QString& what,
                               const LibraryMessages& messages)
{
    throw Error(errnum::PathFileAccess, {},
                QStringLiteral("Die Tabelle %1 der Access-Datei %2 ist beschädigt: %3.")
                        .arg(table, QDir::toNativeSeparators(file), what) +
                    messages.text());
}

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

// The bytes of a binary column or an OLE object, whose bound buffer holds only the
// reference to its long-value pages; none when the pages do not hold the length the
// reference gives (a chain cut short or running in a circle).
std::optional<QByteArray> storedBytes(MdbHandle* mdb, MdbColumn& column, char* bound)
{
    if (column.col_type == MDB_BINARY) // libmdb's text of it ends at the first zero byte
        return QByteArray(reinterpret_cast<const char*>(mdb->pg_buf) + column.cur_value_start,
                          column.cur_value_len);
    char reference[MDB_MEMO_OVERHEAD];
    std::copy_n(bound, sizeof reference, reference);
    const qsizetype stored = qFromLittleEndian<quint32>(reference) & 0x3fffffff;
    QByteArray bytes;
    for (size_t chunk = mdb_ole_read(mdb, &column, reference, kBindSize);
         chunk > 0 && bytes.size() + qsizetype(chunk) <= stored;
         chunk = mdb_ole_read_next(mdb, &column, reference))
        bytes.append(bound, qsizetype(chunk));
    if (bytes.size() != stored)
        return std::nullopt;
    return bytes;
}

QVariant cellValue(const MdbColumn& column, const char* data, int length)
{
    if (length <= 0)
        return {};
    const QByteArray text(data, length);
    const ColumnKind kind = columnKind(column);
    switch (kind) {
    case ColumnKind::Integer:
    case ColumnKind::Real:
        return printedNumberValue(text, kind == ColumnKind::Integer);
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

void loadTable(MdbCatalogEntry* entry, QSqlDatabase& db, const QString& file,
               const LibraryMessages& messages)
{
    MdbTable table(mdb_read_table(entry));
    const QString name = QString::fromUtf8(entry->object_name);
    if (!table || !mdb_read_columns(table.get()))
        throwDamaged(file, name, QStringLiteral("ihre Spalten sind nicht lesbar"), messages);
    if (const QString what = tooManyColumns(table.get()); !what.isEmpty())
        throwDamaged(file, name, what, messages);
    const unsigned int count = table->num_cols;
    BoundColumns bound(table.get());
    std::vector<int>& lengths = bound.lengths;
    QStringList names;
    QList<TableColumn> columns;
    for (unsigned int i = 0; i < count; ++i) {
        auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        names << QString::fromUtf8(column->name);
        columns << TableColumn{{}, columnKind(*column)};
    }
    names = usableColumnNames(names);
    for (int i = 0; i < columns.size(); ++i)
        columns[i].name = names.at(i);

    MemoryTableBuilder memory(db, freeTableName(db, name), columns);
    unsigned int rows = 0;
    while (mdb_fetch_row(table.get())) {
        if (++rows > table->num_rows) // libmdb runs in a circle on some damaged page chains
            throwDamaged(file, name,
                         QStringLiteral("sie gibt mehr Zeilen her, als gespeichert sind (%1)")
                             .arg(table->num_rows),
                         messages);
        QVariantList values;
        for (unsigned int i = 0; i < count; ++i) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
            if (mayBeCut(lengths[i]))
                throwDamaged(file, name,
                             QStringLiteral("der Wert der Spalte %1 in Zeile %2 füllt den "
                                            "Puffer von libmdb (%3 Bytes) und wäre gekürzt")
                                 .arg(names.at(int(i)))
                                 .arg(rows)
                                 .arg(kBindSize),
                             messages);
            const std::optional<double> floating =
                lengths[i] > 0 ? storedFloatingPoint(entry->mdb, *column) : std::nullopt;
            if (floating)
                values << *floating;
            else if (!hasNoText(*column))
                values << cellValue(*column, bound.buffers[i].constData(), lengths[i]);
            else if (column->cur_value_len <= 0)
                values << QVariant();
            else if (const auto bytes = storedBytes(entry->mdb, *column, bound.buffers[i].data()))
                values << *bytes;
            else
                throwDamaged(file, name,
                             QStringLiteral("der Wert der Spalte %1 in Zeile %2 ist nicht "
                                            "vollständig lesbar")
                                 .arg(names.at(int(i)))
                                 .arg(rows),
                             messages);
            lengths[i] = 0;
        }
        memory.addRow(values);
    }
    // libmdb passes over rows and pages it cannot read without a word.
    if (rows != table->num_rows)
        throwDamaged(file, name,
                     QStringLiteral("gespeichert sind %1 Zeilen, lesbar nur %2")
                         .arg(table->num_rows)
                         .arg(rows),
                     messages);
    memory.finish();
}

class JetReader : public FileTypeReader {
public:
    void load(const DataSourceLocation& location, QSqlDatabase& memoryDb) override
    {
        trapped("JetFile.load", [&] {
            const QString& file = location.dataSource;
            const LibraryMessages messages;
            const MdbFile mdb = openAccessFile(file, messages);
            for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
                auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
                if (isUserTable(entry))
                    loadTable(entry, memoryDb, file, messages);
            }
        });
    }
};

} // namespace

static std::unique_ptr<FileTypeReader> makeJetReader()
{
    return std::make_unique<JetReader>();
}

// "MS Access" names an SQLite file, read and written through SQL, or a Jet file, which
// this reader copies into memory and which cannot be written.
const FileTypeSupport AccessType{
    .name = "MS Access",
    .providerText = JetProvider,
    .backend = BackendKind::DatabaseFile,
    .makeReader = makeJetReader,
    .refusal = "Access-Datenbanken (Jet/ACE) können hier nur gelesen werden. Bitte als Ziel eine "
               "SQLite-Datenbank (Dateityp \"MS Access\"), eine dBase-Tabelle oder eine CSV-Datei "
               "(Dateityp \"Text\") verwenden."};

} // namespace quendra
