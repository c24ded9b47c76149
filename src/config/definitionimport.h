#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class QIODevice;

namespace quendra {

struct ImportChoice {
    bool replace = false; // an existing definition of the name is overwritten
    QString newId;        // stores the definition under this TransID instead of the file's
};

// The most a definition file may hold: a definition of 10,000 fields takes about 3 MB,
// and this leaves room for large translation tables.
constexpr qint64 MaxDefinitionBytes = 16 * 1024 * 1024;

// Reads a definition file from device (a file, standard input, a pipe). Throws
// quendra::Error naming the file (name) when it cannot be read or holds more than
// MaxDefinitionBytes, as an endless pipe would.
QByteArray readDefinitionFile(QIODevice& device, const QString& name);

struct ImportResult {
    QString transId;      // the TransID the definition was stored under
    QStringList warnings; // German, one sentence each
};

// The TransID a definition file names. Throws quendra::Error as importDefinition does
// when the file cannot be read.
QString definitionIdOf(const QByteArray& text, const QString& fileName);

// Reads a definition file as exportDefinition writes it and stores it in the open
// configuration database; a further column of its translation rows that trgconvert lacks
// is added as a text column, with a warning. The whole file is checked before anything is
// written, and it is written in one transaction: on any fault nothing changes, and the
// German error names the file (fileName), line and column. Refused are, besides faults of the
// layout, values a run would refuse (a number beyond 16 bits, a text holding a null character) and
// a file without its end marker, which is cut off; a file of a format before the marker is read
// with a warning.
ImportResult importDefinition(const QSqlDatabase& db, const QByteArray& text,
                              const QString& fileName, const ImportChoice& choice = {});

} // namespace quendra
