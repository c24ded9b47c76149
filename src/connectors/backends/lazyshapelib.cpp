// The shapelib functions Quendra calls for dBase files, each handing its arguments to the
// same function of libshp, which is loaded at the first call (see LazyLibrary).
#include "connectors/backends/lazylibrary.h"

#include <shapefil.h>

namespace {
constinit quendra::LazyLibrary shapelib("libshp.so.2", "dBase");
} // namespace

#define DBF_FORWARD(name, ...) QUENDRA_LAZY_CALL(shapelib, name, __VA_ARGS__)

extern "C" {

DBFHandle DBFOpen(const char* pszDBFFile, const char* pszAccess)
{
    DBF_FORWARD(DBFOpen, pszDBFFile, pszAccess);
}
void DBFClose(DBFHandle hDBF)
{
    DBF_FORWARD(DBFClose, hDBF);
}
void DBFUpdateHeader(DBFHandle hDBF)
{
    DBF_FORWARD(DBFUpdateHeader, hDBF);
}
int DBFGetFieldCount(DBFHandle psDBF)
{
    DBF_FORWARD(DBFGetFieldCount, psDBF);
}
int DBFGetRecordCount(DBFHandle psDBF)
{
    DBF_FORWARD(DBFGetRecordCount, psDBF);
}
DBFFieldType DBFGetFieldInfo(DBFHandle psDBF, int iField, char* pszFieldName, int* pnWidth,
                             int* pnDecimals)
{
    DBF_FORWARD(DBFGetFieldInfo, psDBF, iField, pszFieldName, pnWidth, pnDecimals);
}
char DBFGetNativeFieldType(DBFHandle hDBF, int iField)
{
    DBF_FORWARD(DBFGetNativeFieldType, hDBF, iField);
}
const char* DBFGetCodePage(DBFHandle psDBF)
{
    DBF_FORWARD(DBFGetCodePage, psDBF);
}
const char* DBFReadTuple(DBFHandle psDBF, int hEntity)
{
    DBF_FORWARD(DBFReadTuple, psDBF, hEntity);
}
int DBFWriteAttributeDirectly(DBFHandle psDBF, int hEntity, int iField, void* pValue)
{
    DBF_FORWARD(DBFWriteAttributeDirectly, psDBF, hEntity, iField, pValue);
}

} // extern "C"
