#pragma once

#include <QString>
#include <QVariant>

namespace quendra {

// Connection string for a database source or target: medium 1 (ODBC data source) or
// 2 (a file type of the catalogue); empty for every other medium.
QString getADOProvider(qint16 medium, const QString& path, const QString& fileType, bool header);

// Whether the file type's catalogue row offers the header question ("Text" for an
// unknown or empty name).
bool getFileTypeHeader(const QString& fileType);

// Catalogue row of a file type: exact, case-sensitive name match among rows 0..5,
// otherwise row 6 ("Text").
int fileTypeRow(const QString& fileType);
// Refuses a database medium (2) with a file type the catalogue does not know (names
// the type and the known ones); an empty type stays the catalogue's "Text" row.
void checkFileType(qint16 medium, const QString& fileType);

// The default when value is NULL, else value itself (an empty text is not NULL).
QVariant nz(const QVariant& value, const QVariant& defaultValue);

// text repeated count times; empty for count 0 or less.
QString Repeat(const QString& text, int count);

} // namespace quendra
