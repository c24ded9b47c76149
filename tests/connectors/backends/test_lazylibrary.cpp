// A library opened at its first use: a missing library or function is a German error
// that names it, never a crash.
#include "connectors/backends/lazylibrary.h"

#include "common/error.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

using namespace quendra;

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
