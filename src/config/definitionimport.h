#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>

namespace quendra {

struct ImportChoice {
    bool replace = false; // an existing definition of the name is overwritten
    QString newId;        // stores the definition under this TransID instead of the file's
};

// The TransID a definition file names. Throws quendra::Error as importDefinition does
// when the file cannot be read.
QString definitionIdOf(const QByteArray& text, const QString& fileName);

// Reads a definition file as exportDefinition writes it and stores it in the open
// configuration database. The whole file is checked before anything is written, and it
// is written in one transaction: on any fault nothing changes, and the German error names
// the file (fileName), line and column. Returns the TransID it was stored under.
QString importDefinition(const QSqlDatabase& db, const QByteArray& text, const QString& fileName,
                         const ImportChoice& choice = {});

} // namespace quendra
