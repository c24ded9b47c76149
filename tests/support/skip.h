#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace quendra::test {

// What a test that cannot run reports: a skip, or, when QUENDRA_TEST_NO_SKIP=1 is set (the CI test
// command sets it), a failure, so that a missing service or fixture cannot hide behind a green run.
inline ::testing::TestPartResult::Type skipResultType()
{
    const char* noSkip = std::getenv("QUENDRA_TEST_NO_SKIP");
    return noSkip && std::strcmp(noSkip, "1") == 0 ? ::testing::TestPartResult::kFatalFailure
                                                   : ::testing::TestPartResult::kSkip;
}

} // namespace quendra::test

// Use as GTEST_SKIP: QUENDRA_SKIP() << "reason";
#define QUENDRA_SKIP()                                                                             \
    return GTEST_MESSAGE_("Test kann nicht laufen", ::quendra::test::skipResultType())
