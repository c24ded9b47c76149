#pragma once

#include "common/error.h"

#include <gtest/gtest.h>

namespace quendra::test {

// The error the call throws; a failure of the test, and an error numbered 0, when it throws none.
template <class Call> Error thrownBy(Call&& call)
{
    try {
        call();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "kein Fehler";
    return Error(0, {}, {});
}

} // namespace quendra::test
