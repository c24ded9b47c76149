#pragma once

#include "connectors/backends/filetypes.h"

#include <QString>

namespace quendra {

// A database source or target as a head describes it: the file type row that serves it
// and where its data lie. The back-ends open it, messages name it; the connection string
// is its text form, kept for what a user reads.
struct DatabaseConnection {
    const FileTypeSupport* fileType = nullptr; // nullptr: no database medium
    QString dataSource;                        // the file or folder; for ODBC the data source name
    bool header = false;                       // the first row names the columns (HDR=Yes)
    QString encoding;                          // a "Text" source's encoding when not ANSI
    QString userName;                          // ODBC; empty leaves the data source's own
    QString password;                          // ODBC; empty leaves the data source's own
    QString odbcOptions;                       // further ODBC attributes, "KEY=value;..."
    QString text;                              // the connection string

    // Catalogue name of the file type ("dBase III", ...); empty for an ODBC data source.
    QString fileTypeName() const;
    // What the file type's reader and writer are given.
    DataSourceLocation location() const;
    // What a message calls it: the data source, or the connection string without one.
    QString name() const { return dataSource.isEmpty() ? text : dataSource; }
};

// The ODBC data source a head names by its attributes as written: a data source name
// ("LAGER") or "KEY=value" pieces ("DSN=LAGER;UID=x"). Keys compare case-insensitively,
// a value in double quotes may hold semicolons, and the first occurrence of a key counts.
DatabaseConnection odbcConnection(const QString& attributes);

} // namespace quendra
