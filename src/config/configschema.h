#pragma once

#include <QStringList>

namespace quendra {

// The schema version this program writes and expects in dbversion.version.
constexpr int CurrentDbVersion = 2;

// The nine statements that create the configuration schema in an empty database: six
// tables, two indexes and the version row, in the order they must run.
QStringList schemaStatements();

} // namespace quendra
