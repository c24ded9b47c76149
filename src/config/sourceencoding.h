#pragma once

#include <QSqlDatabase>
#include <QString>

namespace quendra {

// The encoding a definition's text source is read in ("ANSI", "ASCII" or "UTF-8"), kept
// per TransID in Quendra's own table quendraSourceHead of init.mdb, made at the first
// choice: the definition tables keep their columns. A definition without a choice (an
// older one, a migrated configuration) is read as "ANSI", which is kept as no row. Throws
// quendra::Error when init.mdb cannot be read or written, and (storing) for a word that is no such
// encoding.
QString loadSourceEncoding(const QSqlDatabase& db, const QString& transId);
void storeSourceEncoding(const QSqlDatabase& db, const QString& transId, const QString& encoding);

} // namespace quendra
