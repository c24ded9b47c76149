#include "connectors/backends/filetypes.h"

namespace quendra {

std::unique_ptr<FileTypeReader> makeParadoxReader()
{
    return nullptr;
}
std::unique_ptr<FileTypeWriter> makeParadoxWriter()
{
    return nullptr;
}

} // namespace quendra
