#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace quendra {

// One definition as a text file that a version control system can keep, diff and merge.
struct DefinitionText {
    QByteArray text;      // UTF-8, lines ending in LF
    QStringList warnings; // German, one sentence each
};

// Writes the definition transId of the open configuration database in the fixed layout
// that importDefinition reads: the format number, the TransID, the source head and its
// fields, the target head and its fields with their translation rows, translation rows
// of names that are no target field, and the end marker (FirstFormatWithEnd). Keys are the tables'
// column names in their order; a NULL column has no key. Throws quendra::Error when the definition
// does not exist or a value cannot be written without change.
DefinitionText exportDefinition(const QSqlDatabase& db, const QString& transId);

// A file name for the definition's file in a folder: the TransID with the characters a
// file name cannot hold replaced, and ".toml".
QString definitionFileName(const QString& transId);

} // namespace quendra
