// The customer bookings are golden cases (tests/data/engine/torven_*); what they cannot
// show is the state one run leaves to the next.
#include "engine/indivtorven.h"
#include "engine/rundefinition.h"
#include "support/filebytes.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace quendra;

namespace {

TEST(TorvenState, SecondRunContinuesTheLineNumbers)
{
    test::TempConfigDb db;
    db.execScript(
        QString::fromUtf8(test::readFile(QStringLiteral(
                              QUENDRA_TEST_DATA_DIR "/engine/torven_correction/definition.sql")))
            .replace(QStringLiteral("@DIR@"), db.dir()));
    // EWFJNB before EWJHCD: numbered before the batch resets it.
    db.exec(QStringLiteral("update trgBody set sort = -1 where field = 'EWFJNB'"));
    test::writeFile(db.filePath(QStringLiteral("src.txt")), "4711;01;31.12.2004;10\r\n");
    indivTorven::resetState();
    test::RecordingSink sink;

    const QString out = db.filePath(QStringLiteral("out.txt"));
    showRunResult(runDefinition(QStringLiteral("T")));
    EXPECT_EQ(test::readFile(out), QByteArray("0;100200041231;100200;S1;H;10;KST1;KT;V;19;QU\r\n"
                                              "0;100200041231;999000;K;S;10;KK;KTK;;0;QU\r\n"));
    // Same group as the last record of the first run: the line number goes on from there.
    RunOptions again;
    again.again = true;
    showRunResult(runDefinition(QStringLiteral("T"), nullptr, again));
    EXPECT_EQ(test::readFile(out), QByteArray("1;100200041231;100200;S1;H;10;KST1;KT;V;19;QU\r\n"
                                              "0;100200041231;999000;K;S;10;KK;KTK;;0;QU\r\n"));
    EXPECT_TRUE(sink.boxes.empty());
}

} // namespace
