#pragma once

#include "connectors/clsfsconnect_io.h"
#include "engine/definition.h"

#include <QStringList>
#include <cstddef>
#include <memory>

namespace quendra {

class clsADOConnect;
class clsFSConnect;
class DatabaseTarget;
class RecordReader;

// The one way from a definition's head to its open source or target: the run, its
// preview and check run, and the main window's raw data view all come through here.

// The open source of a head, read record by record.
struct HeadSource {
    std::unique_ptr<RecordReader> reader;
    int fieldCount = 0; // values per record at opening: fields of line 1, or columns
};

// Opens the source a head names, by its medium: the text file, or the table or query of
// a database. sourceFields: the definition's source fields, which every line of a text
// file is checked against. forwardOnly: a database source is read record by record, not
// held as a whole. Throws for an unknown medium or file type, and when the source
// cannot be opened.
HeadSource openSource(const SrcHead& head, std::size_t sourceFields, bool forwardOnly);

// The table or query of a database head (an ODBC data source or a file type), opened.
std::unique_ptr<clsADOConnect> openDatabaseSource(const SrcHead& head, bool forwardOnly);

// A text target, opened for writing its lines as target says.
std::unique_ptr<clsFSConnect> openTextTarget(const TrgHead& head, LineTarget target);

// The table of a database target, opened for writing rows of these columns (the target
// fields' names, which a file type that makes its file anew gives its table). wholeRun:
// every row of the run goes in as one, or none does.
std::unique_ptr<DatabaseTarget> openDatabaseTarget(const TrgHead& head, const QStringList& columns,
                                                   bool wholeRun);

// Whether a database target can take a run's rows as a whole: not a file type whose
// tables are files of a folder, written row by row.
bool takesWholeRun(const TrgHead& head);

} // namespace quendra
