#include "common/globals.h"
#include "common/messagehandler.h"
#include "common/version.h"
#include "support/casename.h"
#include "support/recordingsink.h"

#include <gtest/gtest.h>

using namespace quendra;

namespace {
using quendra::test::PrintTo; // rows print their name

class MessageHandlerTest : public ::testing::Test {
protected:
    void SetUp() override { initGlobals(QStringLiteral("/tmp/none/init.mdb")); }
    test::RecordingSink sink;
};

struct LayoutCase {
    const char* name;
    bool pending;
    qint32 number;
    const char* source;
    const char* note;
    const char* description;
    const char* expected;
};

class ErrorTextLayout : public MessageHandlerTest,
                        public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(ErrorTextLayout, BuildsTextInFixedOrder)
{
    const LayoutCase& c = GetParam();
    const Error e(c.number, QString::fromUtf8(c.source), QString::fromUtf8(c.description));
    showError(c.pending ? &e : nullptr, StyleCritical, QStringLiteral("Main.Form_Load"),
              QString::fromUtf8(c.note));
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].title,
              QStringLiteral("Quendra (" QUENDRA_VERSION ") : Main.Form_Load"));
    EXPECT_EQ(sink.boxes[0].text, QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ErrorTextLayout,
    ::testing::Values(
        LayoutCase{"versionWarning", false, 0, "", "DB-Version ist nicht aktuell.", "",
                   "Anwendung: Quendra (" QUENDRA_VERSION ")\r\n\r\nFehlernummer:  0\r\n"
                   "(DB-Version ist nicht aktuell.)\r\n\r\n"},
        LayoutCase{"emptySource", true, 53, "", "", "Datei nicht gefunden",
                   "Anwendung: Quendra (" QUENDRA_VERSION
                   ")\r\n\r\nFehlernummer:  53\r\nDatei nicht gefunden"},
        LayoutCase{"withSource", true, 3021, "Modul: clsInitDBConnect.init\r\nSource: SQLite", "",
                   "kein Datensatz",
                   "Anwendung: Quendra (" QUENDRA_VERSION
                   ")\r\nModul: clsInitDBConnect.init\r\nSource: "
                   "SQLite\r\n\r\nFehlernummer:  3021\r\nkein Datensatz"},
        LayoutCase{"negativeNumber", true, -2147467259, "P", "Datensatz 17, Feld BETRAG", "x",
                   "Anwendung: Quendra (" QUENDRA_VERSION
                   ")\r\nP\r\n\r\nFehlernummer: -2147467259\r\n"
                   "(Datensatz 17, Feld BETRAG)\r\n\r\nx"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageHandlerTest, WarningCarriesStyleAndNoPendingError)
{
    showError(nullptr, StyleWarning, QStringLiteral("clsInitDBConnect.chkDBVersion"),
              QStringLiteral("DB-Version ist nicht aktuell."));
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].style, StyleWarning);
    EXPECT_EQ(sink.boxes[0].helpContext, QStringLiteral("0"));
}

struct RaiseCase {
    const char* name;
    const char* source;
    const char* module;
    const char* expected;
};

class RaiseErrorSource : public ::testing::TestWithParam<RaiseCase> {};

TEST_P(RaiseErrorSource, RebuildsSource)
{
    const RaiseCase& c = GetParam();
    try {
        raiseError(91, QString::fromUtf8(c.source), QStringLiteral("d"),
                   QString::fromUtf8(c.module));
        FAIL() << "raiseError returned";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 91);
        EXPECT_EQ(e.description(), QStringLiteral("d"));
        EXPECT_EQ(e.source(), QString::fromUtf8(c.expected));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RaiseErrorSource,
    ::testing::Values(RaiseCase{"moduleReplacesSource", "ODBC", "clsADOConnect.init",
                                "Modul: clsADOConnect.init\r\nSource: ODBC"},
                      RaiseCase{"emptySourceOnlyModule", "", "clsFSConnect.init",
                                "Modul: clsFSConnect.init"},
                      RaiseCase{"emptyModuleKeepsSource", "S", "", "S\r\nSource: S"},
                      RaiseCase{"bothEmpty", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrappedChain, EachLevelAddsItsModuleLine)
{
    try {
        trapped("clsFileConvert.init", [] {
            trapped("clsInitDBConnect.init",
                    [] { throw Error(1, QStringLiteral("QSQLITE"), QStringLiteral("kaputt")); });
        });
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.source(), QStringLiteral("Modul: clsFileConvert.init\r\nSource: Modul: "
                                             "clsInitDBConnect.init\r\nSource: QSQLITE"));
        EXPECT_EQ(e.number(), 1);
    }
}

TEST(TrappedChain, ForeignExceptionsBecomeErrors)
{
    try {
        trapped("clsX.y", [] { throw std::runtime_error("boom"); });
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.description(), QStringLiteral("boom"));
        EXPECT_EQ(e.source(), QStringLiteral("Modul: clsX.y"));
    }
}

} // namespace

namespace {

TEST_F(MessageHandlerTest, TrapHandlerShowsWhatTheHandlerThrowsAndEnds)
{
    int reached = 0;
    const bool ok = trapHandler("Main.cmdRun_Click", [&] {
        ++reached;
        throw Error(53, QStringLiteral("Modul: clsFSConnect.init"), QStringLiteral("fehlt"));
        ++reached; // never reached
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(reached, 1);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].style, StyleCritical);
    EXPECT_EQ(sink.boxes[0].title,
              QStringLiteral("Quendra (" QUENDRA_VERSION ") : Main.cmdRun_Click"));
    EXPECT_TRUE(sink.boxes[0].text.contains(QStringLiteral("Modul: clsFSConnect.init")));

    EXPECT_TRUE(trapHandler("Main.cmdClose_Click", [] {}));
    EXPECT_EQ(sink.boxes.size(), 1u); // a handler that succeeds shows nothing
}

} // namespace
