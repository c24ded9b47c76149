// The expat functions Quendra calls to read the XML parts of workbooks and OpenDocument
// files, each handing its arguments to the same function of libexpat, which is loaded at
// the first call (see LazyLibrary).
#include "connectors/backends/lazylibrary.h"

#include <expat.h>

namespace {
constinit quendra::LazyLibrary expat("libexpat.so.1", "Excel- und OpenDocument");
} // namespace

#define XML_FORWARD(name, ...) QUENDRA_LAZY_CALL(expat, name, __VA_ARGS__)

extern "C" {

XML_Parser XML_ParserCreateNS(const XML_Char* encoding, XML_Char separator)
{
    XML_FORWARD(XML_ParserCreateNS, encoding, separator);
}
void XML_ParserFree(XML_Parser parser)
{
    XML_FORWARD(XML_ParserFree, parser);
}
void XML_SetUserData(XML_Parser parser, void* data)
{
    XML_FORWARD(XML_SetUserData, parser, data);
}
void XML_SetElementHandler(XML_Parser parser, XML_StartElementHandler start,
                           XML_EndElementHandler end)
{
    XML_FORWARD(XML_SetElementHandler, parser, start, end);
}
void XML_SetCharacterDataHandler(XML_Parser parser, XML_CharacterDataHandler handler)
{
    XML_FORWARD(XML_SetCharacterDataHandler, parser, handler);
}
void XML_SetStartDoctypeDeclHandler(XML_Parser parser, XML_StartDoctypeDeclHandler handler)
{
    XML_FORWARD(XML_SetStartDoctypeDeclHandler, parser, handler);
}
enum XML_Status XML_Parse(XML_Parser parser, const char* data, int length, int isFinal)
{
    XML_FORWARD(XML_Parse, parser, data, length, isFinal);
}
enum XML_Status XML_StopParser(XML_Parser parser, XML_Bool resumable)
{
    XML_FORWARD(XML_StopParser, parser, resumable);
}
enum XML_Error XML_GetErrorCode(XML_Parser parser)
{
    XML_FORWARD(XML_GetErrorCode, parser);
}
const XML_LChar* XML_ErrorString(enum XML_Error code)
{
    XML_FORWARD(XML_ErrorString, code);
}
XML_Size XML_GetCurrentLineNumber(XML_Parser parser)
{
    XML_FORWARD(XML_GetCurrentLineNumber, parser);
}

} // extern "C"
