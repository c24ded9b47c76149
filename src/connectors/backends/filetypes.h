#pragma once

#include "connectors/backends/filetypelist.h"
#include "connectors/recordaccess.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <span>

class QSqlDatabase;

namespace quendra {

class SheetStream;

// What a medium-2 connection string names: the catalogue file type, the data source
// (a file or a folder, by type), the header flag (HDR=Yes) and the suffixes of the
// type's table files.
struct DataSourceLocation {
    QString fileType;
    QString dataSource;
    bool header = false;
    QStringList tableFiles; // suffixes of the file type's table files in a folder
    // The columns of a table that a writer makes anew (a workbook): the target fields.
    QStringList columns = {};
    QString encoding = {}; // a source's encoding of text ("ANSI" when empty)
};

// Reads the tables of one database file type into an open in-memory SQLite database,
// one table per source table, created in the order the file type lists its tables
// (that order is the catalogue order of $TBL(...) placeholders). Column values keep
// their type (text, integer, real, date as ISO text); NULLs stay NULL. Throws quendra::Error
// with a German description when the data source cannot be read.
class FileTypeReader {
public:
    virtual ~FileTypeReader() = default;
    virtual void load(const DataSourceLocation& location, QSqlDatabase& memoryDb) = 0;
    // The records of one table read straight from the file, once through, without the
    // copy: the rows "select * from " and table would give, in their order ($TBL(...)
    // resolved against the same catalogue). nullptr where the type cannot, or table names
    // none of its tables; the copy is read then.
    virtual std::unique_ptr<SheetStream> openSheet(const DataSourceLocation& location,
                                                   const QString& table);
};

// Appends rows to one table of a database file type. Throws quendra::Error when the table
// cannot be opened for writing; never leaves a broken file behind.
class FileTypeWriter {
public:
    virtual ~FileTypeWriter() = default;
    virtual std::unique_ptr<DatabaseRecord> openTable(const DataSourceLocation& location,
                                                      const QString& table) = 0;
};

// For readers whose data source is a file: throws quendra::Error 53 ("Datei nicht
// gefunden") when path names nothing, and 75 saying what it is when it names a folder or
// something other than a plain file (a named pipe, a device).
void requireDataFile(const QString& path);

// How a database is opened: through ODBC, as a database file (an SQLite file, or a Jet
// file copied into memory), or copied into memory by the file type's reader.
enum class BackendKind { Odbc, DatabaseFile, MemoryCopy };

// One file type of the media catalogue: the pieces of the connection strings its heads
// get, and how this platform reads and writes it. Each row stands beside its reader (dbasefile.cpp
// defines DbaseIIIType), written with named fields; the catalogue in filetypes.cpp lists them. The
// windows' choice list, the connection strings and the back-end choice all follow the row.
struct FileTypeSupport {
    const char* name;         // catalogue name; nullptr for the ODBC data source of medium 1
    const char* providerText; // "PROVIDER=...;" as its connection strings begin
    const char* extendedProperties = ""; // written behind "Data Source=path;"
    bool header = false;                 // the extended properties end with the header flag (HDR=)
    BackendKind backend = BackendKind::MemoryCopy;
    std::unique_ptr<FileTypeReader> (*makeReader)() = nullptr; // nullptr: cannot be read here
    std::unique_ptr<FileTypeWriter> (*makeWriter)() = nullptr; // nullptr: cannot be written here
    const char* refusal =
        nullptr; // German: why it cannot be read or written, and what to use instead
    const char* tableFiles = ""; // suffixes of its table files in a folder, blank-separated
    bool fileButton = false;     // a source head shows the file button beside its data source
    // The writer makes the whole file anew from a run's rows (a workbook cannot be appended
    // to): the target is not read, and the new file replaces it only when the run succeeded.
    bool wholeFile = false;
    bool textSource = false; // its tables are text, read in the head's source encoding
};

// The provider text of the rows that Jet (or ACE) opens.
inline constexpr char JetProvider[] = "PROVIDER=Microsoft.Jet.OLEDB.4.0;";

// The rows, each defined in the file filetypelist.h names.
#define QUENDRA_DECLARE_FILE_TYPE(row) extern const FileTypeSupport row;
QUENDRA_FILE_TYPES(QUENDRA_DECLARE_FILE_TYPE)
#undef QUENDRA_DECLARE_FILE_TYPE

// Every row, in catalogue order, the ODBC data source last.
std::span<const FileTypeSupport> fileTypeSupport();

// The catalogue row of a file type: the exact (case-sensitive) name, otherwise "Text".
const FileTypeSupport& fileTypeRow(const QString& fileType);

// The suffixes of the table files of a file type whose data source is a folder ("dbf"
// for "dBase III"); empty for every other type.
QStringList tableFileSuffixes(const QString& fileType);

} // namespace quendra
