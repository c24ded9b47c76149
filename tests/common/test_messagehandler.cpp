#include "common/globals.h"
#include "common/messagehandler.h"
#include "common/version.h"
#include "support/casetable.h"
#include "support/recordingsink.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

class MessageHandlerTest : public ::testing::Test {
protected:
    void SetUp() override { initGlobals(u"/tmp/none/init.mdb"_s); }
    test::RecordingSink sink;
};

class ErrorTextLayout : public MessageHandlerTest,
                        public ::testing::WithParamInterface<test::CaseRow> {};

TEST_P(ErrorTextLayout, BuildsTextInFixedOrder)
{
    const test::CaseRow& c = GetParam();
    const Error e(c[1].toInt(), c[2], c[4]);
    showError(c[0] == u"1" ? &e : nullptr, StyleCritical, u"Main.Form_Load"_s, c[3]);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].title,
              QStringLiteral("Quendra (" QUENDRA_VERSION ") : Main.Form_Load"));
    EXPECT_EQ(sink.boxes[0].text, c[5].replace(u"@VERSION@"_s, QStringLiteral(QUENDRA_VERSION)));
}

INSTANTIATE_TEST_SUITE_P(Rows, ErrorTextLayout,
                         ::testing::ValuesIn(test::caseTable(u"common/error-text.tsv"_s)),
                         test::caseName);

class RaiseErrorSource : public ::testing::TestWithParam<test::CaseRow> {};

TEST_P(RaiseErrorSource, RebuildsSource)
{
    const test::CaseRow& c = GetParam();
    const Error e = test::thrownBy([&] { raiseError(91, c[0], u"d"_s, c[1]); });
    EXPECT_EQ(e.number(), 91);
    EXPECT_EQ(e.description(), u"d"_s);
    EXPECT_EQ(e.source(), c[2]);
}

INSTANTIATE_TEST_SUITE_P(Rows, RaiseErrorSource,
                         ::testing::ValuesIn(test::caseTable(u"common/raised-source.tsv"_s)),
                         test::caseName);

TEST(TrappedChain, ForeignExceptionsBecomeErrors)
{
    const std::tuple<std::function<void()>, qint32, QString> cases[] = {
        {[] { throw std::runtime_error("boom"); }, errnum::InvalidProcedureCall, u"boom"_s},
        {[] { throw std::bad_alloc(); }, errnum::OutOfMemory, u"Nicht genügend Speicher"_s},
        {[] { throw 1; }, errnum::InvalidProcedureCall, u"Unbekannter Fehler"_s}};
    for (const auto& [work, number, text] : cases) {
        const Error e = test::thrownBy([&] { trapped("clsX.y", work); });
        EXPECT_EQ(e.number(), number);
        EXPECT_EQ(e.description(), text);
        EXPECT_EQ(e.source(), u"Modul: clsX.y"_s);
    }
}

TEST_F(MessageHandlerTest, TrapHandlerShowsWhatTheHandlerThrowsAndEnds)
{
    int reached = 0;
    const bool ok = trapHandler("Main.cmdRun_Click", [&] {
        ++reached;
        throw Error(53, u"Modul: clsFSConnect.init"_s, u"fehlt"_s);
        ++reached; // never reached
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(reached, 1);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].style, StyleCritical);
    EXPECT_EQ(sink.boxes[0].title,
              QStringLiteral("Quendra (" QUENDRA_VERSION ") : Main.cmdRun_Click"));
    EXPECT_TRUE(sink.boxes[0].text.contains(u"Modul: clsFSConnect.init"_s));

    EXPECT_TRUE(trapHandler("Main.cmdClose_Click", [] {}));
    EXPECT_EQ(sink.boxes.size(), 1u); // a handler that succeeds shows nothing
}

} // namespace
