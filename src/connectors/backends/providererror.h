#pragma once

#include "common/error.h"

#include <QSqlError>
#include <QString>
#include <utility>

namespace quendra {

// Number of a provider failure that carries no numeric code of its own.
constexpr qint32 GenericProviderError = -2147467259;

// A driver failure as Quendra's error: the native code (or the generic provider number),
// source = driver, description = the driver's own text.
Error providerError(const QSqlError& error, const QString& driver);

// A driver's error with a German sentence in front that says what Quendra was doing
// and with which table or data source; the driver's own text follows on a line of its
// own, for the expert. Errors of Quendra's own (no source) already say what went wrong
// and stay as they are.
Error explainedProviderError(const Error& error, const QString& sentence);

// Runs body; a driver's error from it is explained by the sentence that what() returns
// (built only when it is needed).
template <class Body, class What> decltype(auto) explainingProviderErrors(What&& what, Body&& body)
{
    try {
        return std::forward<Body>(body)();
    } catch (const Error& e) {
        throw explainedProviderError(e, std::forward<What>(what)());
    }
}

// A name for a new Qt SQL connection that no other connector uses.
QString uniqueConnectionName(const char* prefix);

} // namespace quendra
