#pragma once

#include "common/error.h"

#include <QSqlError>
#include <QString>

namespace quendra {

// Number of a provider failure that carries no numeric code of its own.
constexpr qint32 GenericProviderError = -2147467259;

// A driver failure as Quendra's error: the native code (or the generic provider number),
// source = driver, description = the driver's own text.
Error providerError(const QSqlError& error, const QString& driver);

// A name for a new Qt SQL connection that no other connector uses.
QString uniqueConnectionName(const char* prefix);

} // namespace quendra
