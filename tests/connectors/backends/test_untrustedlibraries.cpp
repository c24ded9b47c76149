// Libraries the readers cannot trust: opened at first use (a missing library or function is
// a German error naming it), and work that may crash or hang in them tried in a child first.
#include "connectors/backends/childprobe.h"
#include "connectors/backends/lazylibrary.h"

#include "common/error.h"
#include "support/thrown.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quendra;
using namespace std::chrono_literals;

TEST(LazyLibrary, MissingLibraryOrFunctionIsAnErrorNamingIt)
{
    struct Case {
        const char* soname;
        const char* function;
        const char* named; // what the message must name
    };
    const Case cases[] = {
        {"libquendra-fehlt.so.0", "PX_new", "libquendra-fehlt.so.0"},
        {"libpx.so.0", "PX_gibt_es_nicht", "PX_gibt_es_nicht"},
    };
    for (const Case& c : cases) {
        LazyLibrary library(c.soname, "Paradox");
        const Error e = test::thrownBy([&] { library.symbol(c.function); });
        EXPECT_EQ(e.number(), errnum::FileNotFound);
        EXPECT_TRUE(e.description().contains(QLatin1StringView(c.named)))
            << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QStringLiteral("Paradox-Dateien")));
    }
}

TEST(LazyLibrary, FindsAFunctionOfTheLibrary)
{
    LazyLibrary library("libpx.so.0", "Paradox");
    EXPECT_NE(library.symbol("PX_new"), nullptr);
    EXPECT_EQ(library.symbol("PX_new"), library.symbol("PX_new")) << "opened once";
}

TEST(ChildProbe, OnlyAChildThatEndsByItselfSurvivesAndNoneIsLeftBehind)
{
    EXPECT_EQ(tryInChild([] {}, 5s), ChildOutcome::Survived);
    EXPECT_EQ(tryInChild([] { throw 1; }, 5s), ChildOutcome::Survived); // refused, not crashed
    EXPECT_EQ(tryInChild([] { std::raise(SIGSEGV); }, 5s), ChildOutcome::Crashed);
    EXPECT_EQ(tryInChild([] { ::usleep(50000); }, 0s), ChildOutcome::Survived) << "no limit";
    EXPECT_EQ(tryInChild([] { ::pause(); }, 1ms), ChildOutcome::TimedOut); // ended at its limit
    const auto reaping = std::signal(SIGCHLD, SIG_IGN); // a child that cannot be waited for
    EXPECT_EQ(tryInChild([] {}, 5s), ChildOutcome::Survived);
    std::signal(SIGCHLD, reaping);
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "a child is left unreaped";
}

TEST(ChildProbe, ReadingTimeGrowsWithTheFileUnlessTheEnvironmentSetsIt)
{
    const QByteArray before = qgetenv("QUENDRA_READ_TIMEOUT");
    qunsetenv("QUENDRA_READ_TIMEOUT");
    EXPECT_EQ(readingTimeLimit(3 << 20), 63s);
    qputenv("QUENDRA_READ_TIMEOUT", "5400.5");
    EXPECT_EQ(readingTimeLimit(3 << 20), 5400500ms);
    qputenv("QUENDRA_READ_TIMEOUT", "lang");
    EXPECT_EQ(readingTimeLimit(0), 60s);
    before.isNull() ? qunsetenv("QUENDRA_READ_TIMEOUT") : qputenv("QUENDRA_READ_TIMEOUT", before);
}
