// The libmdb functions Quendra calls, each handing its arguments to the same function of
// libmdb, which is loaded (with GLib) at the first call (see LazyLibrary).
#include "connectors/backends/lazylibrary.h"

// GLib first: mdbtools.h includes it inside its extern "C" block, where GLib's C++ parts fail.
#include <glib.h>
#include <mdbtools.h>

namespace {
constinit quendra::LazyLibrary libmdb("libmdb.so.3", "Access");
} // namespace

#define MDB_FORWARD(name, ...) QUENDRA_LAZY_CALL(libmdb, name, __VA_ARGS__)

extern "C" {

MdbHandle* mdb_open(const char* filename, MdbFileFlags flags)
{
    MDB_FORWARD(mdb_open, filename, flags);
}
void mdb_close(MdbHandle* mdb)
{
    MDB_FORWARD(mdb_close, mdb);
}
GPtrArray* mdb_read_catalog(MdbHandle* mdb, int obj_type)
{
    MDB_FORWARD(mdb_read_catalog, mdb, obj_type);
}
int mdb_is_system_table(MdbCatalogEntry* entry)
{
    MDB_FORWARD(mdb_is_system_table, entry);
}
MdbTableDef* mdb_read_table(MdbCatalogEntry* entry)
{
    MDB_FORWARD(mdb_read_table, entry);
}
void mdb_free_tabledef(MdbTableDef* table)
{
    MDB_FORWARD(mdb_free_tabledef, table);
}
GPtrArray* mdb_read_columns(MdbTableDef* table)
{
    MDB_FORWARD(mdb_read_columns, table);
}
int mdb_bind_column(MdbTableDef* table, int col_num, void* bind_ptr, int* len_ptr)
{
    MDB_FORWARD(mdb_bind_column, table, col_num, bind_ptr, len_ptr);
}
int mdb_rewind_table(MdbTableDef* table)
{
    MDB_FORWARD(mdb_rewind_table, table);
}
int mdb_fetch_row(MdbTableDef* table)
{
    MDB_FORWARD(mdb_fetch_row, table);
}
int mdb_find_row(MdbHandle* mdb, int row, int* start, size_t* len)
{
    MDB_FORWARD(mdb_find_row, mdb, row, start, len);
}
int mdb_crack_row(MdbTableDef* table, int row_start, size_t row_size, MdbField* fields)
{
    MDB_FORWARD(mdb_crack_row, table, row_start, row_size, fields);
}
size_t mdb_ole_read(MdbHandle* mdb, MdbColumn* col, void* ole_ptr, size_t chunk_size)
{
    MDB_FORWARD(mdb_ole_read, mdb, col, ole_ptr, chunk_size);
}
size_t mdb_ole_read_next(MdbHandle* mdb, MdbColumn* col, void* ole_ptr)
{
    MDB_FORWARD(mdb_ole_read_next, mdb, col, ole_ptr);
}
void mdb_set_bind_size(MdbHandle* mdb, size_t bind_size)
{
    MDB_FORWARD(mdb_set_bind_size, mdb, bind_size);
}
void mdb_set_date_fmt(MdbHandle* mdb, const char* format)
{
    MDB_FORWARD(mdb_set_date_fmt, mdb, format);
}
void mdb_set_shortdate_fmt(MdbHandle* mdb, const char* format)
{
    MDB_FORWARD(mdb_set_shortdate_fmt, mdb, format);
}
void mdb_set_boolean_fmt_numbers(MdbHandle* mdb)
{
    MDB_FORWARD(mdb_set_boolean_fmt_numbers, mdb);
}

} // extern "C"
