#pragma once

#include "common/medium.h"
#include "connectors/backends/connection.h"

#include <QString>
#include <QStringList>

namespace quendra {

// What the rest of the program asks about the file types of database heads (medium 2);
// the one table that answers is connectors/backends/filetypes.cpp.

// The catalogue's file type names, in its order, for the windows' choice lists.
QStringList fileTypeNames();

// Connection string for a database source or target: medium 1 (ODBC data source) or
// 2 (a file type of the catalogue; an unknown or empty name is "Text"); empty for every
// other medium.
QString getADOProvider(Medium medium, const QString& path, const QString& fileType, bool header);

// The database source or target of a head: medium 1 (an ODBC data source named by path)
// or 2 (a file type of the catalogue; an unknown or empty name is "Text"), read in
// encoding when it is a source; no file type for every other medium. Its text is the
// connection string above, for a "Text" source not in ANSI with the character set
// (CharacterSet) among the extended properties.
DatabaseConnection describeConnection(Medium medium, const QString& path, const QString& fileType,
                                      bool header, const QString& encoding = {});
// Whether a source of the medium and file type is text read in the chosen encoding.
bool readsInSourceEncoding(Medium medium, const QString& fileType);

// Refuses a database medium (2) with a file type the catalogue does not know (names the
// type and the known ones); an empty type stays the catalogue's "Text".
void checkFileType(Medium medium, const QString& fileType);

// Whether a source head of the file type shows the file button beside its data source
// (for an unknown or empty name as "Text").
bool getFileTypeFileButton(const QString& fileType);

// Whether a database target (medium 2) of the file type is written as a whole new file
// that replaces the old one when the run has succeeded (a workbook), not appended to.
bool writesWholeFile(Medium medium, const QString& fileType);

// Whether the file type offers the header question ("Text" for an unknown or empty name).
bool getFileTypeHeader(const QString& fileType);

// The file that holds the data of a database head: the data source itself when it is a
// file, or in a folder the file of the named table. Empty when it names no existing file
// (a table given only by SQL text or placeholder, a type without table files).
QString databaseDataFile(const QString& path, const QString& fileType, const QString& table);

} // namespace quendra
