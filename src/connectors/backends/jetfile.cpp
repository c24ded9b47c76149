#include "connectors/backends/filetypes.h"

namespace quendra {

std::unique_ptr<FileTypeReader> makeJetReader()
{
    return nullptr;
}

} // namespace quendra
