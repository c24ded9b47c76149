#pragma once

#include "connectors/backends/backend.h"
#include "connectors/backends/connection.h"

#include <QString>
#include <memory>

namespace quendra {

// Opens the back-end that serves the connection. Throws quendra::Error: the provider's
// error when the database cannot be opened, a German explanation naming the file type
// when this platform cannot read it.
std::unique_ptr<Backend> openBackend(const DatabaseConnection& connection);

// The back-end of a target whose file type writes its file anew from a run's rows (a
// workbook): nothing is read, and rows go to the type's writer, which makes a table of
// these columns (the target fields). nullptr for every other file type.
std::unique_ptr<Backend> openNewFileBackend(const DatabaseConnection& connection,
                                            const QStringList& columns);

class SheetStream;

// The records of a table of the connection's file type read straight from its file (see
// FileTypeReader::openSheet); nullptr where the type cannot, and for every other data
// source.
std::unique_ptr<SheetStream> openSheetStream(const DatabaseConnection& connection,
                                             const QString& table);

} // namespace quendra
