#pragma once

#include "config/definitionlayout.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace quendra {

// The rows of one table of an old configuration, in the columns of the table's layout
// (a column the old table lacks is NULL); trgconvert's layout ends with the further
// columns the old table has.
struct OldTable {
    LayoutTable layout;
    QVector<QVector<QVariant>> rows;
};

// What an old configuration holds: the six tables, and the names of other tables of the
// file, which are no part of a configuration and are not taken over.
struct OldConfiguration {
    QVector<OldTable> tables;
    QStringList otherTables;
};

// True when the file begins as a Jet or ACE database (Access .mdb/.accdb) does.
bool isJetFile(const QString& path);

// Reads the six tables of the schema from an old configuration in a Jet file through
// libmdb, in the order of schemaTables(). Tables and columns are found by name, letter
// case ignored; values keep their type and value (a Yes/No column's true is -1, as Access
// stores it). Further columns of trgconvert are taken as they are. Throws quendra::Error, with
// libmdb's own lines, when the file is no Jet file, a table is missing, libmdb reads fewer rows
// than the table stores, a value fills libmdb's buffer (it would be cut) or a value has no place in
// Quendra's tables.
OldConfiguration readJetConfiguration(const QString& path);

} // namespace quendra
