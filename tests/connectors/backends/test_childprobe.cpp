// Work that may crash or hang a reading library is tried in a child first: only a child
// that ends by itself, done or refusing, lets the reading go on, and none is left behind.
#include "connectors/backends/childprobe.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;

TEST(ChildProbe, OnlyAChildThatEndsByItselfSurvivesAndNoneIsLeftBehind)
{
    EXPECT_TRUE(quendra::survivesInChild([] {}, 5s));
    EXPECT_TRUE(quendra::survivesInChild([] { throw 1; }, 5s)); // refused, not crashed
    EXPECT_FALSE(quendra::survivesInChild([] { std::raise(SIGSEGV); }, 5s));
    EXPECT_FALSE(quendra::survivesInChild([] { ::pause(); }, 0s)); // killed at its limit
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "a child is left unreaped";
}
