#include "common/error.h"
#include "common/progress.h"
#include "engine/clsfileconvert.h"
#include "engine/rundefinition.h"
#include "engine/runoptions.h"
#include "engine/targetwriter.h"
#include "enginefixture.h"
#include "support/casetable.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace quendra;

namespace {
const QString T = QStringLiteral("T");

class FileConvert : public ::testing::Test, protected test::EngineFixture {};

TEST_F(FileConvert, LoadsFieldsInSortOrderAndFindsThemByTrimmedNameIgnoringCase)
{
    heads(T);
    srcField(T, QStringLiteral("C30"), 30);
    srcField(T, QStringLiteral("BETRAG"), 10);
    srcField(T, QStringLiteral("betrag"), 20);
    trgField(T, QStringLiteral(" Ziel "), QStringLiteral("C30"), 5);
    clsFileConvert engine(T);
    const Definition& def = engine.definition();
    ASSERT_EQ(def.srcFields.size(), 3u);
    EXPECT_EQ(def.srcFields[0].sort, 10);
    EXPECT_EQ(def.srcFields[1].sort, 20);
    EXPECT_EQ(def.srcFields[2].field, QStringLiteral("C30"));
    EXPECT_EQ(engine.getFromIndex(u" betrag "), 1);
    EXPECT_EQ(engine.getFromIndex(u"c30"), 3);
    EXPECT_EQ(engine.getFromIndex(u"fehlt"), 0);
    EXPECT_EQ(engine.getToIndex(u"ZIEL"), 1);
    EXPECT_EQ(def.trg.encoding, QStringLiteral("0")); // NULL encoding
    EXPECT_FALSE(def.customerTorven());
}

TEST_F(FileConvert, SetFromValueWrapsAroundAfterTheLastSlot)
{
    heads(T);
    for (int i = 1; i <= 3; ++i)
        srcField(T, QStringLiteral("S%1").arg(i), i);
    trgField(T, QStringLiteral("Z"), QStringLiteral("S1"), 1);
    // Six values fill the three slots twice; four wrap around once and leave two empty.
    const std::pair<const char*, const char*> cases[] = {{"abcdef", "def"}, {"abcd", "d  "}};
    for (const auto& [values, slots] : cases) {
        clsFileConvert engine(T);
        for (const char* v = values; *v; ++v)
            engine.setFromValue(QString(QLatin1Char(*v)));
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(engine.getFromValue(qint16(k)), QString(QLatin1Char(slots[k - 1])).trimmed())
                << values << k;
    }
}

// Notes what the run reports; asks for a stop once the count reaches stopAt.
class CountingProgress : public ProgressSink {
public:
    void open() override { events << QStringLiteral("open"); }
    void setCount(qint64 count, qint64 maxCount) override
    {
        events << QStringLiteral("%1/%2").arg(count).arg(maxCount);
        last = count;
    }
    void close() override { events << QStringLiteral("close"); }
    bool stopRequested() const override { return stopAt > 0 && last >= stopAt; }
    QStringList events;
    qint64 last = 0, stopAt = 0;
};

// A TransID with an apostrophe finds its fields and translations too.
TEST_F(FileConvert, ReportsEveryRecordAndWritesOneLineEach)
{
    const QString id = QStringLiteral("O'Neil");
    heads(id);
    srcField(id, QStringLiteral("S"), 1);
    trgField(id, QStringLiteral("Z"), QStringLiteral("S"), 1);
    db.exec(QStringLiteral("insert into trgconvert values ('O''Neil', 'Z', 'b', 'x')"));
    writeSource("a\r\nb\r\nc\r\n");
    CountingProgress progress;
    showRunResult(runDefinition(id, &progress));
    EXPECT_EQ(progress.events,
              (QStringList{u"open"_qs, u"1/3"_qs, u"2/3"_qs, u"3/3"_qs, u"close"_qs}));
    EXPECT_EQ(target(), QByteArray("a\r\nx\r\nc\r\n"));
    EXPECT_TRUE(sink.boxes.empty());
}

// Stopped from the progress window after two records, every kind of run ends before the
// third and says what the target holds.
TEST_F(FileConvert, StopAskedForInTheProgressDisplayEndsTheRunBeforeTheNextRecord)
{
    heads(T);
    srcField(T, QStringLiteral("S"), 1);
    trgField(T, QStringLiteral("Z"), QStringLiteral("S"), 1);
    writeSource("a\r\nb\r\nc\r\nd\r\n");
    struct Case {
        RunMode mode;
        bool allOrNothing;
        const char* message;
        QByteArray target;
    } cases[] = {
        {RunMode::Write, false,
         "Die Umsetzung wurde abgebrochen, bevor Datensatz 3 umgesetzt wurde. Das Ziel enthält "
         "die Datensätze davor vollständig, aber keine Prüfsummen.",
         "a\r\nb\r\n"},
        {RunMode::Write, true,
         "Die Umsetzung wurde abgebrochen, bevor Datensatz 3 umgesetzt wurde.\nDas Ziel ist "
         "unverändert.",
         "alt\r\n"},
        {RunMode::Check, false,
         "Der Prüflauf wurde abgebrochen, bevor Datensatz 3 geprüft wurde. Es wurde nichts "
         "geschrieben.",
         "alt\r\n"},
        {RunMode::Preview, false,
         "Die Vorschau wurde abgebrochen, bevor Datensatz 3 umgesetzt wurde. Es wurde nichts "
         "geschrieben.",
         "alt\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        writeTarget("alt\r\n");
        CountingProgress progress;
        progress.stopAt = 2;
        RunOptions options;
        options.mode = c.mode;
        options.allOrNothing = c.allOrNothing;
        const RunResult r = runDefinition(T, &progress, options);
        ASSERT_TRUE(r.failure && r.stopped);
        EXPECT_EQ(r.failure->error.description(), QString::fromUtf8(c.message));
        EXPECT_EQ(c.mode == RunMode::Write ? r.recordsWritten : r.records, c.allOrNothing ? 0 : 2);
        EXPECT_EQ(progress.events.last(), u"close"_qs);
        EXPECT_EQ(target(), c.target);
        EXPECT_EQ(r.target, db.filePath(u"out.txt"_qs));
        EXPECT_EQ(r.targetFolder, db.dir());
    }
}

TEST_F(FileConvert, TargetPlaceNamesWhatTheUserKnowsAndNoPassword)
{
    QDir(db.dir()).mkdir(u"dbf"_qs);
    test::writeFile(db.filePath(u"dbf/kunden.dbf"_qs), "x");
    test::writeFile(db.filePath(u"ziel.db"_qs), "x");
    for (const test::CaseRow& c : test::caseTable(u"engine/target-places.tsv"_qs)) {
        const auto at = [&](int i) { return QString(c[i]).replace(u"@DIR@"_qs, db.dir()); };
        TrgHead head;
        head.frommedium = Medium(c[0].toInt());
        head.path = at(1);
        head.filetype = c[2];
        head.dbtable = c[3];
        const TargetPlace place = targetPlace(head);
        EXPECT_EQ(place.text, at(4)) << c.name;
        EXPECT_EQ(place.folder, at(5)) << c.name;
    }
}

TEST_F(FileConvert, WriteOnlyWritesTheValuesSetWithoutComposing)
{
    heads(T);
    srcField(T, QStringLiteral("S"), 1);
    trgField(T, QStringLiteral("A"), QStringLiteral("S"), 1, QStringLiteral("Anzahl"));
    trgField(T, QStringLiteral("B"), QString(), 2);
    {
        clsFileConvert engine(T);
        engine.setToValue(u"b", QStringLiteral("x  "));
        engine.runTargedConvert(true);
        EXPECT_THROW(engine.setToValue(u"fehlt", QStringLiteral("y")), Error);
        EXPECT_THROW(engine.getFromValue(0), Error);
    }
    EXPECT_EQ(target(), QByteArray(";x\r\n"));
}

} // namespace
