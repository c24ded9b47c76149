// The libxlsxwriter functions Quendra calls to write workbooks, each handing its arguments
// to the same function of libxlsxwriter, which is loaded at the first call (see
// LazyLibrary).
#include "connectors/backends/lazylibrary.h"

#include <xlsxwriter.h>

namespace {
constinit quendra::LazyLibrary xlsxwriter("libxlsxwriter.so.4", "Excel");
} // namespace

#define LXW_FORWARD(name, ...) QUENDRA_LAZY_CALL(xlsxwriter, name, __VA_ARGS__)

extern "C" {

lxw_workbook* workbook_new_opt(const char* filename, lxw_workbook_options* options)
{
    LXW_FORWARD(workbook_new_opt, filename, options);
}
lxw_worksheet* workbook_add_worksheet(lxw_workbook* workbook, const char* sheetname)
{
    LXW_FORWARD(workbook_add_worksheet, workbook, sheetname);
}
lxw_error workbook_validate_sheet_name(lxw_workbook* workbook, const char* sheetname)
{
    LXW_FORWARD(workbook_validate_sheet_name, workbook, sheetname);
}
lxw_format* workbook_add_format(lxw_workbook* workbook)
{
    LXW_FORWARD(workbook_add_format, workbook);
}
void format_set_num_format(lxw_format* format, const char* num_format)
{
    LXW_FORWARD(format_set_num_format, format, num_format);
}
lxw_error worksheet_write_string(lxw_worksheet* worksheet, lxw_row_t row, lxw_col_t col,
                                 const char* string, lxw_format* format)
{
    LXW_FORWARD(worksheet_write_string, worksheet, row, col, string, format);
}
lxw_error worksheet_write_number(lxw_worksheet* worksheet, lxw_row_t row, lxw_col_t col,
                                 double number, lxw_format* format)
{
    LXW_FORWARD(worksheet_write_number, worksheet, row, col, number, format);
}
lxw_error worksheet_write_datetime(lxw_worksheet* worksheet, lxw_row_t row, lxw_col_t col,
                                   lxw_datetime* datetime, lxw_format* format)
{
    LXW_FORWARD(worksheet_write_datetime, worksheet, row, col, datetime, format);
}
lxw_error workbook_close(lxw_workbook* workbook)
{
    LXW_FORWARD(workbook_close, workbook);
}
void lxw_workbook_free(lxw_workbook* workbook)
{
    LXW_FORWARD(lxw_workbook_free, workbook);
}
char* lxw_strerror(lxw_error error_num)
{
    LXW_FORWARD(lxw_strerror, error_num);
}

} // extern "C"
