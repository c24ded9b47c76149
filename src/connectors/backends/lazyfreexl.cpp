// The FreeXL functions Quendra calls for Excel files, each handing its arguments to the
// same function of libfreexl, which is loaded at the first call (see LazyLibrary).
#include "connectors/backends/lazylibrary.h"

#include <freexl.h>

namespace {
constinit quendra::LazyLibrary freexl("libfreexl.so.1", "Excel");
} // namespace

#define XL_FORWARD(name, ...) QUENDRA_LAZY_CALL(freexl, name, __VA_ARGS__)

extern "C" {

int freexl_open(const char* path, const void** xls_handle)
{
    XL_FORWARD(freexl_open, path, xls_handle);
}
int freexl_close(const void* xls_handle)
{
    XL_FORWARD(freexl_close, xls_handle);
}
int freexl_get_info(const void* xls_handle, unsigned short what, unsigned int* info)
{
    XL_FORWARD(freexl_get_info, xls_handle, what, info);
}
int freexl_get_worksheet_name(const void* xls_handle, unsigned short sheet_index,
                              const char** string)
{
    XL_FORWARD(freexl_get_worksheet_name, xls_handle, sheet_index, string);
}
int freexl_select_active_worksheet(const void* xls_handle, unsigned short sheet_index)
{
    XL_FORWARD(freexl_select_active_worksheet, xls_handle, sheet_index);
}
int freexl_worksheet_dimensions(const void* xls_handle, unsigned int* rows, unsigned short* columns)
{
    XL_FORWARD(freexl_worksheet_dimensions, xls_handle, rows, columns);
}
int freexl_get_cell_value(const void* xls_handle, unsigned int row, unsigned short column,
                          FreeXL_CellValue* value)
{
    XL_FORWARD(freexl_get_cell_value, xls_handle, row, column, value);
}

} // extern "C"
