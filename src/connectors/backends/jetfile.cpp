// "MS Access" files in the Jet/ACE format (.mdb/.accdb), read through mdbtools' libmdb.
// The data source is the file. Its user tables are loaded in the order of the file's
// own catalogue; system tables (MSys...) are left out. Text arrives as UTF-8 from
// libmdb. Date/time values keep their time of day when they have one. OLE objects and
// binary columns are not text and stay NULL. Writing such files is not offered.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/childprobe.h"
#include "connectors/backends/memorytable.h"
#include "values/numbers.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <mdbtools.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace quendra {

namespace {

// Memo columns longer than this are cut by libmdb: a value that fills the buffer may
// have been cut, so it is refused instead of passed on shortened.
constexpr size_t kBindSize = 256 * 1024;

// What libmdb writes to standard error while it reads (pages it skips, rows it cannot
// read), taken from the stream for the time of one load, so that an error can quote it.
class LibraryMessages {
public:
    LibraryMessages()
    {
        std::fflush(stderr);
        m_file = std::tmpfile();
        m_saved = m_file ? ::dup(STDERR_FILENO) : -1;
        if (m_saved >= 0)
            ::dup2(::fileno(m_file), STDERR_FILENO);
    }
    ~LibraryMessages()
    {
        restore();
        if (m_file)
            std::fclose(m_file);
    }
    LibraryMessages(const LibraryMessages&) = delete;
    LibraryMessages& operator=(const LibraryMessages&) = delete;

    // The lines written so far, after a line break; empty when there were none.
    QString text() const
    {
        if (!m_file)
            return {};
        std::fflush(stderr);
        QByteArray bytes;
        std::rewind(m_file);
        char block[4096];
        for (size_t n; (n = std::fread(block, 1, sizeof block, m_file)) > 0 && bytes.size() < 4096;)
            bytes.append(block, qsizetype(n));
        std::fseek(m_file, 0, SEEK_END);
        const QString lines = QString::fromLocal8Bit(bytes.left(4096)).trimmed();
        return lines.isEmpty() ? QString() : QStringLiteral("\nMeldungen von libmdb:\n") + lines;
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    std::FILE* m_file = nullptr;
    int m_saved = -1;
};

[[noreturn]] void throwDamaged(const QString& file, const QString& table, const QString& what,
                               const LibraryMessages& messages)
{
    throw Error(errnum::PathFileAccess, {},
                QStringLiteral("Die Tabelle %1 der Access-Datei %2 ist beschädigt: %3.")
                        .arg(table, QDir::toNativeSeparators(file), what) +
                    messages.text());
}

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

// A table's columns bound to buffers that libmdb fills row by row.
struct BoundColumns {
    explicit BoundColumns(MdbTableDef* table)
        : buffers(table->num_cols, QByteArray(int(kBindSize) + 1, '\0')),
          lengths(table->num_cols, 0)
    {
        mdb_rewind_table(table);
        for (unsigned int i = 0; i < table->num_cols; ++i)
            mdb_bind_column(table, int(i) + 1, buffers[i].data(), &lengths[i]);
    }
    std::vector<QByteArray> buffers;
    std::vector<int> lengths;
};

bool isUserTable(MdbCatalogEntry* entry)
{
    return entry->object_type == MDB_TABLE && !mdb_is_system_table(entry) &&
           !QString::fromUtf8(entry->object_name)
                .startsWith(QStringLiteral("MSys"), Qt::CaseInsensitive);
}

// What a load asks of libmdb, with nothing kept: the catalogue, every user table's
// columns and rows.
void walkFile(const QByteArray& native)
{
    std::unique_ptr<MdbHandle, MdbCloser> mdb(mdb_open(native.constData(), MDB_NOFLAGS));
    if (!mdb || !mdb_read_catalog(mdb.get(), MDB_TABLE))
        return;
    mdb_set_bind_size(mdb.get(), kBindSize);
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (!isUserTable(entry))
            continue;
        std::unique_ptr<MdbTableDef, TableDefFreer> table(mdb_read_table(entry));
        if (!table || !mdb_read_columns(table.get()))
            return;
        BoundColumns bound(table.get());
        while (mdb_fetch_row(table.get())) {
        }
    }
}

void loadTable(MdbCatalogEntry* entry, QSqlDatabase& db, const QString& file,
               const LibraryMessages& messages)
{
    std::unique_ptr<MdbTableDef, TableDefFreer> table(mdb_read_table(entry));
    const QString name = QString::fromUtf8(entry->object_name);
    if (!table || !mdb_read_columns(table.get()))
        throwDamaged(file, name, QStringLiteral("ihre Spalten sind nicht lesbar"), messages);
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
        ++rows;
        QVariantList values;
        for (unsigned int i = 0; i < count; ++i) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
            if (size_t(std::max(lengths[i], 0)) >= kBindSize)
                throwDamaged(file, name,
                             QStringLiteral("der Wert der Spalte %1 in Zeile %2 ist länger als "
                                            "%3 Bytes und wäre gekürzt")
                                 .arg(names.at(int(i)))
                                 .arg(rows)
                                 .arg(kBindSize),
                             messages);
            values << cellValue(*column, bound.buffers[i].constData(), lengths[i]);
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
            if (!QFileInfo(file).isFile())
                throw standardError(errnum::FileNotFound, file);
            // libmdb loops without end on some damaged files (a property block of
            // length zero): tried in a child first, given a minute and one more second
            // for each megabyte.
            const QByteArray native = QFile::encodeName(file);
            const auto limit = std::chrono::seconds(60 + QFileInfo(file).size() / (1 << 20));
            if (!survivesInChild([&] { walkFile(native); }, limit))
                throw Error(errnum::PathFileAccess, {},
                            QStringLiteral("Die Datei %1 ist beschädigt: die Bibliothek libmdb "
                                           "kann sie nicht lesen.")
                                .arg(QDir::toNativeSeparators(file)));
            const LibraryMessages messages;
            std::unique_ptr<MdbHandle, MdbCloser> mdb(mdb_open(native.constData(), MDB_NOFLAGS));
            // A catalogue read with complaints may lack tables: none of it is trusted.
            if (!mdb || !mdb_read_catalog(mdb.get(), MDB_TABLE) || !messages.text().isEmpty())
                throw Error(errnum::PathFileAccess, {},
                            QStringLiteral("Die Datei %1 ist keine lesbare Access-Datenbank.")
                                    .arg(QDir::toNativeSeparators(file)) +
                                messages.text());
            mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
            mdb_set_shortdate_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
            mdb_set_boolean_fmt_numbers(mdb.get());
            mdb_set_bind_size(mdb.get(), kBindSize);
            for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
                auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
                if (isUserTable(entry))
                    loadTable(entry, memoryDb, file, messages);
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
