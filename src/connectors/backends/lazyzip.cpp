// The libzip functions Quendra calls for workbooks and OpenDocument files, each handing its
// arguments to the same function of libzip, which is loaded at the first call (see
// LazyLibrary).
#include "connectors/backends/lazylibrary.h"

#include <zip.h>

namespace {
constinit quendra::LazyLibrary libzip("libzip.so.4", "Excel- und OpenDocument");
} // namespace

#define ZIP_FORWARD(name, ...) QUENDRA_LAZY_CALL(libzip, name, __VA_ARGS__)

extern "C" {

zip_t* zip_open(const char* path, int flags, int* error)
{
    ZIP_FORWARD(zip_open, path, flags, error);
}
void zip_discard(zip_t* archive)
{
    ZIP_FORWARD(zip_discard, archive);
}
zip_int64_t zip_name_locate(zip_t* archive, const char* name, zip_flags_t flags)
{
    ZIP_FORWARD(zip_name_locate, archive, name, flags);
}
int zip_stat_index(zip_t* archive, zip_uint64_t index, zip_flags_t flags, zip_stat_t* stat)
{
    ZIP_FORWARD(zip_stat_index, archive, index, flags, stat);
}
zip_file_t* zip_fopen_index(zip_t* archive, zip_uint64_t index, zip_flags_t flags)
{
    ZIP_FORWARD(zip_fopen_index, archive, index, flags);
}
zip_int64_t zip_fread(zip_file_t* file, void* buffer, zip_uint64_t size)
{
    ZIP_FORWARD(zip_fread, file, buffer, size);
}
int zip_fclose(zip_file_t* file)
{
    ZIP_FORWARD(zip_fclose, file);
}
const char* zip_file_strerror(zip_file_t* file)
{
    ZIP_FORWARD(zip_file_strerror, file);
}
const char* zip_strerror(zip_t* archive)
{
    ZIP_FORWARD(zip_strerror, archive);
}
void zip_error_init_with_code(zip_error_t* error, int code)
{
    ZIP_FORWARD(zip_error_init_with_code, error, code);
}
const char* zip_error_strerror(zip_error_t* error)
{
    ZIP_FORWARD(zip_error_strerror, error);
}
void zip_error_fini(zip_error_t* error)
{
    ZIP_FORWARD(zip_error_fini, error);
}

} // extern "C"
