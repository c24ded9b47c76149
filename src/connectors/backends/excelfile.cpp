#include "connectors/backends/filetypes.h"

namespace quendra {

std::unique_ptr<FileTypeReader> makeExcelReader()
{
    return nullptr;
}

} // namespace quendra
