#include "connectors/backends/mdbreading.h"

#include "common/error.h"
#include "connectors/backends/childprobe.h"
#include "connectors/backends/filetypes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <bit>
#include <charconv>
#include <cstring>
#include <unistd.h>

namespace quendra {

LibraryMessages::LibraryMessages()
{
    std::fflush(stderr);
    m_file = std::tmpfile();
    m_saved = m_file ? ::dup(STDERR_FILENO) : -1;
    if (m_saved >= 0)
        ::dup2(::fileno(m_file), STDERR_FILENO);
}

LibraryMessages::~LibraryMessages()
{
    restore();
    if (m_file)
        std::fclose(m_file);
}

QString LibraryMessages::text() const
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

void LibraryMessages::restore()
{
    if (m_saved < 0)
        return;
    std::fflush(stderr);
    ::dup2(m_saved, STDERR_FILENO);
    ::close(m_saved);
    m_saved = -1;
}

std::optional<double> storedFloatingPoint(MdbHandle* mdb, const MdbColumn& column)
{
    const unsigned char* at = mdb->pg_buf + column.cur_value_start;
    if (column.col_type == MDB_DOUBLE && column.cur_value_len == 8)
        return std::bit_cast<double>(qFromLittleEndian<quint64>(at));
    if (column.col_type != MDB_FLOAT || column.cur_value_len != 4)
        return std::nullopt;
    const float single = std::bit_cast<float>(qFromLittleEndian<quint32>(at));
    char text[32];
    const auto printed = std::to_chars(text, text + sizeof text, single);
    double value = 0;
    std::from_chars(text, printed.ptr, value);
    return value;
}

bool isUserTable(MdbCatalogEntry* entry)
{
    return entry->object_type == MDB_TABLE && !mdb_is_system_table(entry) &&
           !QString::fromUtf8(entry->object_name)
                .startsWith(QStringLiteral("MSys"), Qt::CaseInsensitive);
}

QString tooManyColumns(MdbTableDef* table)
{
    if (table->num_cols <= 255)
        return {};
    return QStringLiteral("ihre Definition gibt %1 Spalten an, eine Access-Tabelle hat "
                          "höchstens 255")
        .arg(table->num_cols);
}

namespace {

unsigned int boundColumnCount(MdbTableDef* table)
{
    if (const QString what = tooManyColumns(table); !what.isEmpty())
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Die Tabelle %1 ist beschädigt: %2.")
                        .arg(QString::fromUtf8(table->name), what));
    return table->num_cols;
}

} // namespace

BoundColumns::BoundColumns(MdbTableDef* table)
    : buffers(boundColumnCount(table), QByteArray(int(kBindSize) + 1, '\0')),
      lengths(table->num_cols, 0)
{
    mdb_rewind_table(table);
    for (unsigned int i = 0; i < table->num_cols; ++i)
        mdb_bind_column(table, int(i) + 1, buffers[i].data(), &lengths[i]);
}

std::vector<bool> nullColumns(MdbTableDef* table)
{
    std::vector<bool> nulls(table->num_cols, true);
    int start = 0;
    size_t length = 0;
    MdbHandle* mdb = table->entry->mdb;
    if (table->cur_row == 0 || mdb_find_row(mdb, int(table->cur_row) - 1, &start, &length) != 0)
        return nulls;
    std::vector<MdbField> fields(table->num_cols);
    const int count = mdb_crack_row(table, start & 0x1fff, length, fields.data());
    for (int i = 0; i < count && i < int(nulls.size()); ++i)
        nulls[size_t(i)] = fields[size_t(i)].is_null;
    return nulls;
}

namespace {

// What a load asks of libmdb, with nothing kept: the catalogue, every user table's
// columns and rows.
void walkFile(const QByteArray& native)
{
    MdbFile mdb(mdb_open(native.constData(), MDB_NOFLAGS));
    if (!mdb || !mdb_read_catalog(mdb.get(), MDB_TABLE))
        return;
    mdb_set_bind_size(mdb.get(), kBindSize);
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (!isUserTable(entry))
            continue;
        MdbTable table(mdb_read_table(entry));
        if (!table || !mdb_read_columns(table.get()))
            return;
        BoundColumns bound(table.get());
        // libmdb runs in a circle on some damaged page chains: never more rows than stored.
        for (unsigned int rows = 0; rows <= table->num_rows && mdb_fetch_row(table.get()); ++rows) {
        }
    }
}

// libmdb lists the catalogue from the rows of the table MSysObjects that it can read and
// passes over the others without a word, so that $TBL(5) would name another table. The
// table's definition counts its rows: every one of them must be readable.
void checkCatalogue(MdbHandle* mdb, const QString& file)
{
    MdbCatalogEntry objects{};
    objects.mdb = mdb;
    objects.object_type = MDB_TABLE;
    objects.table_pg = 2; // where the catalogue's definition lies in every Jet file
    std::strcpy(objects.object_name, "MSysObjects");
    MdbTable table(mdb_read_table(&objects));
    unsigned int rows = 0;
    if (table && mdb_read_columns(table.get())) {
        mdb_rewind_table(table.get());
        while (rows <= table->num_rows && mdb_fetch_row(table.get()))
            ++rows;
    }
    if (!table || rows != table->num_rows)
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Der Katalog der Access-Datei %1 ist beschädigt: er verzeichnet "
                                   "%2 Einträge, lesbar sind nur %3. Welche Tabellen die Datei "
                                   "enthält, lässt sich so nicht sicher sagen.")
                        .arg(QDir::toNativeSeparators(file))
                        .arg(table ? table->num_rows : 0)
                        .arg(rows));
}

} // namespace

MdbFile openAccessFile(const QString& file, const LibraryMessages& messages)
{
    requireDataFile(file);
    const QByteArray native = QFile::encodeName(file);
    readInChildFirst([&] { walkFile(native); }, file,
                     QStringLiteral("Die Datei %1 ist beschädigt: die Bibliothek libmdb kann "
                                    "sie nicht lesen.")
                         .arg(QDir::toNativeSeparators(file)));
    MdbFile mdb(mdb_open(native.constData(), MDB_NOFLAGS));
    // A catalogue read with complaints may lack tables: none of it is trusted.
    if (!mdb || !mdb_read_catalog(mdb.get(), MDB_TABLE) || !messages.text().isEmpty())
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Die Datei %1 ist keine lesbare Access-Datenbank.")
                            .arg(QDir::toNativeSeparators(file)) +
                        messages.text());
    checkCatalogue(mdb.get(), file);
    mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    mdb_set_shortdate_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(mdb.get());
    mdb_set_bind_size(mdb.get(), kBindSize);
    return mdb;
}

} // namespace quendra
