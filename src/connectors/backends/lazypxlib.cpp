// The pxlib functions Quendra calls, each handing its arguments to the same function of
// libpx, which is loaded at the first call (see LazyLibrary).
#include "connectors/backends/lazylibrary.h"

extern "C" { // pxlib declares its functions without C linkage for C++
#include <paradox.h>
}

namespace {
constinit quendra::LazyLibrary pxlib("libpx.so.0", "Paradox");
} // namespace

#define PX_FORWARD(name, ...) QUENDRA_LAZY_CALL(pxlib, name, __VA_ARGS__)

extern "C" {

pxdoc_t* PX_new(void)
{
    PX_FORWARD(PX_new);
}
pxdoc_t* PX_new3(void (*errorhandler)(pxdoc_t* p, int type, const char* msg, void* data),
                 void* (*allocproc)(pxdoc_t* p, size_t size, const char* caller),
                 void* (*reallocproc)(pxdoc_t* p, void* mem, size_t size, const char* caller),
                 void (*freeproc)(pxdoc_t* p, void* mem), void* errorhandler_user_data)
{
    PX_FORWARD(PX_new3, errorhandler, allocproc, reallocproc, freeproc, errorhandler_user_data);
}
void PX_delete(pxdoc_t* pxdoc)
{
    PX_FORWARD(PX_delete, pxdoc);
}
int PX_open_file(pxdoc_t* pxdoc, const char* filename)
{
    PX_FORWARD(PX_open_file, pxdoc, filename);
}
int PX_create_file(pxdoc_t* pxdoc, pxfield_t* pxf, int numfields, const char* filename, int type)
{
    PX_FORWARD(PX_create_file, pxdoc, pxf, numfields, filename, type);
}
void PX_close(pxdoc_t* pxdoc)
{
    PX_FORWARD(PX_close, pxdoc);
}
int PX_set_tablename(pxdoc_t* pxdoc, const char* tablename)
{
    PX_FORWARD(PX_set_tablename, pxdoc, tablename);
}
int PX_set_value(pxdoc_t* pxdoc, const char* name, float value)
{
    PX_FORWARD(PX_set_value, pxdoc, name, value);
}
char* PX_strdup(pxdoc_t* pxdoc, const char* str)
{
    PX_FORWARD(PX_strdup, pxdoc, str);
}
int PX_get_num_fields(pxdoc_t* pxdoc)
{
    PX_FORWARD(PX_get_num_fields, pxdoc);
}
int PX_get_num_records(pxdoc_t* pxdoc)
{
    PX_FORWARD(PX_get_num_records, pxdoc);
}
int PX_get_recordsize(pxdoc_t* pxdoc)
{
    PX_FORWARD(PX_get_recordsize, pxdoc);
}
pxfield_t* PX_get_field(pxdoc_t* pxdoc, int i)
{
    PX_FORWARD(PX_get_field, pxdoc, i);
}
char* PX_get_record(pxdoc_t* pxdoc, int recno, char* data)
{
    PX_FORWARD(PX_get_record, pxdoc, recno, data);
}
int PX_put_record(pxdoc_t* pxdoc, char* data)
{
    PX_FORWARD(PX_put_record, pxdoc, data);
}
int PX_get_data_bcd(pxdoc_t* pxdoc, unsigned char* data, int len, char** value)
{
    PX_FORWARD(PX_get_data_bcd, pxdoc, data, len, value);
}
int PX_get_data_byte(pxdoc_t* pxdoc, char* data, int len, char* value)
{
    PX_FORWARD(PX_get_data_byte, pxdoc, data, len, value);
}
int PX_get_data_double(pxdoc_t* pxdoc, char* data, int len, double* value)
{
    PX_FORWARD(PX_get_data_double, pxdoc, data, len, value);
}
int PX_get_data_long(pxdoc_t* pxdoc, char* data, int len, long* value)
{
    PX_FORWARD(PX_get_data_long, pxdoc, data, len, value);
}
int PX_get_data_short(pxdoc_t* pxdoc, char* data, int len, short int* value)
{
    PX_FORWARD(PX_get_data_short, pxdoc, data, len, value);
}
void PX_put_data_byte(pxdoc_t* pxdoc, char* data, int len, char value)
{
    PX_FORWARD(PX_put_data_byte, pxdoc, data, len, value);
}
void PX_put_data_double(pxdoc_t* pxdoc, char* data, int len, double value)
{
    PX_FORWARD(PX_put_data_double, pxdoc, data, len, value);
}
void PX_put_data_long(pxdoc_t* pxdoc, char* data, int len, int value)
{
    PX_FORWARD(PX_put_data_long, pxdoc, data, len, value);
}
void PX_put_data_short(pxdoc_t* pxdoc, char* data, int len, short int value)
{
    PX_FORWARD(PX_put_data_short, pxdoc, data, len, value);
}
void PX_SdnToGregorian(long int sdn, int* pYear, int* pMonth, int* pDay)
{
    PX_FORWARD(PX_SdnToGregorian, sdn, pYear, pMonth, pDay);
}
long int PX_GregorianToSdn(int year, int month, int day)
{
    PX_FORWARD(PX_GregorianToSdn, year, month, day);
}

} // extern "C"
