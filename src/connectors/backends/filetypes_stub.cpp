// Placeholder factories until the file-type back-ends are built: every type is
// reported as not readable or writable here.
#include "connectors/backends/filetypes.h"

namespace quendra {

std::unique_ptr<FileTypeReader> makeDbaseReader() { return nullptr; }
std::unique_ptr<FileTypeWriter> makeDbaseWriter() { return nullptr; }
std::unique_ptr<FileTypeReader> makeParadoxReader() { return nullptr; }
std::unique_ptr<FileTypeWriter> makeParadoxWriter() { return nullptr; }
std::unique_ptr<FileTypeReader> makeExcelReader() { return nullptr; }
std::unique_ptr<FileTypeReader> makeJetReader() { return nullptr; }
std::unique_ptr<FileTypeReader> makeCsvFolderReader() { return nullptr; }
std::unique_ptr<FileTypeWriter> makeCsvFolderWriter() { return nullptr; }

} // namespace quendra
