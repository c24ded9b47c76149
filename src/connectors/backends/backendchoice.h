#pragma once

#include "connectors/backends/backend.h"
#include "connectors/backends/filetypes.h"

#include <QString>
#include <memory>

namespace quendra {

// What a connection string of the media catalogue asks for.
struct ConnectionFacts {
    const FileTypeSupport* support = nullptr; // nullptr: a provider that nothing here serves
    QString provider;
    QString dataSource;         // ODBC: the data source name; otherwise the file or folder
    QString extendedProperties; // unquoted, e.g. "text;HDR=Yes;"
    bool header = false;        // HDR=Yes among the extended properties
    QString userName;           // ODBC uid, empty leaves the data source's own
    QString password;           // ODBC pwd, empty leaves the data source's own
    QString odbcOptions;        // further ODBC attributes, "KEY=value;..."
    QString encoding;           // CharacterSet among the extended properties, as a word

    // Catalogue name of the file type ("dBase III", ...); empty for an ODBC data source.
    QString fileType() const
    {
        return support && support->name && support->backend != BackendKind::Odbc
                   ? QString::fromUtf8(support->name)
                   : QString();
    }
    DataSourceLocation location() const
    {
        DataSourceLocation location{fileType(), dataSource, header, tableFileSuffixes(fileType())};
        location.encoding = encoding;
        return location;
    }
};

// Splits a connection string into its facts. Keys compare case-insensitively, a value
// in double quotes may hold semicolons, and the first occurrence of a key counts.
ConnectionFacts parseConnectionString(const QString& connectionString);

// Opens the back-end that serves the connection string. Throws quendra::Error: the
// provider's error when the database cannot be opened, a German explanation naming the
// file type when this platform cannot read it.
std::unique_ptr<Backend> openBackend(const QString& connectionString);

// The back-end of a target whose file type writes its file anew from a run's rows (a
// workbook): nothing is read, and rows go to the type's writer, which makes a table of
// these columns (the target fields). nullptr for every other file type.
std::unique_ptr<Backend> openNewFileBackend(const QString& connectionString,
                                            const QStringList& columns);

class SheetStream;

// The records of a table of the connection string's file type read straight from its file
// (see FileTypeReader::openSheet); nullptr where the type cannot, and for every other
// data source.
std::unique_ptr<SheetStream> openSheetStream(const QString& connectionString, const QString& table);

} // namespace quendra
