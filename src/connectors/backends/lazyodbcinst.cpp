// The one function of unixODBC's installer library Quendra calls: the keys of a data
// source as odbc.ini holds them. The library is loaded at the first call (see
// LazyLibrary); the ODBC driver manager has it loaded already whenever a data source is
// open.
#include "connectors/backends/lazylibrary.h"

#include <odbcinst.h>

namespace {
constinit quendra::LazyLibrary odbcinst("libodbcinst.so.2", "ODBC");
} // namespace

extern "C" {

int INSTAPI SQLGetPrivateProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue,
                                       LPSTR returned, int size, LPCSTR fileName)
{
    QUENDRA_LAZY_CALL(odbcinst, SQLGetPrivateProfileString, section, entry, defaultValue, returned,
                      size, fileName);
}

} // extern "C"
