// The common kinds of field are composed by paths of their own. Random definitions and
// records are run twice, with and without those paths: the target bytes and every box
// must be the same. A preview of the first records must give the bytes the run wrote
// for them, a check run the run's error, and neither may touch the target.
#include "engine/clsfileconvert.h"
#include "engine/fileconvertstate.h"
#include "engine/rundefinition.h"
#include "enginefixture.h"

#include <QFileInfo>
#include <QStringList>
#include <gtest/gtest.h>
#include <random>

using namespace quendra;

namespace {

const QString T = QStringLiteral("T");

template <class T, std::size_t N> const T& pick(std::mt19937& rng, const T (&choices)[N])
{
    return choices[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

bool coin(std::mt19937& rng, int percent)
{
    return std::uniform_int_distribution<int>(0, 99)(rng) < percent;
}

QString sqlText(const char* text)
{
    return QLatin1Char('\'') + test::EngineFixture::quoted(QString::fromUtf8(text)) +
           QLatin1Char('\'');
}

// A definition of up to six target fields over the source fields a (texts), b (numbers
// and dates) and c (both), with the switches that decide between the paths: field type,
// width, format, default, source, alignment, sign, zero filling, blanks removed, carried
// value, check sum, translation. Most definitions run through all records; the others
// stop at a record, which the paths must report alike.
QStringList randomDefinition(std::mt19937& rng)
{
    static const char* const types[] = {"Text", "Text", "Text", "Zahl", "Datum", "AutoCount"};
    static const char* const formats[] = {"", "yyyymmdd", "ddmmyyyy", "tyymmdd"};
    static const char* const textDefaults[] = {"", "", "", "F-", " x", "abc"};
    static const char* const countDefaults[] = {"", "1", "7", "1", "1", "x"};
    static const char* const textSources[] = {"a", "a", "c", "", "A "};
    static const char* const textChecks[] = {"", "", "", "Anzahl", "Summe"};
    static const char* const numberChecks[] = {"", "Anzahl", "Summe"};
    static const char* const olds[] = {"4000", "x", "X", "(*)", "", "ab", "01"};
    static const char* const news[] = {"8400", "", "ersetzt", "y", "   ", "8"};
    static const int lengths[] = {0, 0, 2, 3, 6, 8, 10};

    QStringList sql;
    sql << QStringLiteral("insert into srcBody (transid, field, format, sort) values "
                          "('T', 'a', '', 1), ('T', 'b', %1, 2), ('T', 'c', '', 3)")
               .arg(sqlText(coin(rng, 50) ? "" : pick(rng, formats)));
    sql << QStringLiteral("update trgHead set fixlength = %1").arg(coin(rng, 30) ? -1 : 0);
    const int fields = std::uniform_int_distribution<int>(1, 6)(rng);
    for (int i = 0; i < fields; ++i) {
        const QString name = coin(rng, 10) ? QStringLiteral("F0") : QStringLiteral("F%1").arg(i);
        const QString type = QString::fromUtf8(pick(rng, types));
        const bool text = type == u"Text";
        const char* source = text                   ? pick(rng, textSources)
                             : type == u"AutoCount" ? (coin(rng, 70) ? "a" : "")
                                                    : "b";
        const char* defaultValue = type == u"AutoCount" ? pick(rng, countDefaults)
                                   : text               ? pick(rng, textDefaults)
                                                        : "";
        sql << QStringLiteral("insert into trgBody (transid, field, length, decscale, fieldtype, "
                              "format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "
                              "\"0padding\", ltrim, command) values ('T', '%1', %2, %3, %4, %5, "
                              "%6, %7, '%8', %9, %10, %11, %12, %13, %14)")
                   .arg(name)
                   .arg(type == u"Datum" && coin(rng, 70) ? 10 : pick(rng, lengths))
                   .arg(coin(rng, 30) ? 2 : 0)
                   .arg(sqlText(type.toUtf8().constData()),
                        sqlText(coin(rng, type == u"Datum" ? 70 : 10) ? pick(rng, formats) : ""),
                        sqlText(defaultValue), sqlText(coin(rng, 2) ? "fehlt" : source),
                        coin(rng, 40) ? QStringLiteral("rechts") : QString(),
                        sqlText(text              ? pick(rng, textChecks)
                                : type == u"Zahl" ? pick(rng, numberChecks)
                                                  : ""))
                   .arg(i)
                   .arg(coin(rng, 20) ? -1 : 0)
                   .arg(coin(rng, 20) ? -1 : 0)
                   .arg(coin(rng, 30) ? -1 : 0)
                   .arg(sqlText(coin(rng, 20) ? "<lastvalue>" : ""));
        for (int rows = coin(rng, 30) ? 3 : 0; rows > 0; --rows)
            sql << QStringLiteral("insert into trgconvert (transid, field, old, new) values "
                                  "('T', '%1', %2, %3)")
                       .arg(name, sqlText(pick(rng, olds)), sqlText(pick(rng, news)));
    }
    return sql;
}

// Records of three columns; values repeat, so that running numbers stay and advance.
QByteArray randomSource(std::mt19937& rng)
{
    static const char* const texts[] = {"",   "",   " ",  "  x ", "x",         "X",
                                        "01", "01", "02", "ab",   "M\xFCller", "abcdefghij"};
    static const char* const numbers[] = {"20240131", "20240131", "31012024", "1240131",
                                          "00000000", "12",       "-3",       "+7",
                                          "0",        " 12,5 ",   "12,50",    ""};
    QByteArray bytes;
    const int records = std::uniform_int_distribution<int>(1, 8)(rng);
    for (int r = 0; r < records; ++r) {
        const char* c = coin(rng, 50) ? pick(rng, texts) : pick(rng, numbers);
        bytes += QByteArray(pick(rng, texts)) + ';' + pick(rng, numbers) + ';' + c + "\r\n";
    }
    return bytes;
}

struct Outcome {
    QByteArray target;
    QStringList boxes;
};

// The good records' bytes of a preview, up to its first faulty record.
struct PreviewBytes : RunObserver {
    QByteArray bytes;
    bool faulty = false;
    void record(const RecordOutcome& o) override
    {
        faulty = faulty || o.error.has_value();
        if (!faulty)
            bytes += o.bytes;
    }
};

QString boxText(const std::optional<RunMessage>& m)
{
    return m ? errorBoxText(&m->error, m->note) : QString();
}

class FastComposition : public ::testing::Test, protected test::EngineFixture {
protected:
    // Some 300 runs of a few records each: in memory, so that they do not wait for the disk.
    FastComposition() : EngineFixture(test::TempConfigDb::Place::Memory) {}
    void TearDown() override { setFastComposition(true); }

    Outcome run(bool fast)
    {
        setFastComposition(fast);
        QFile::remove(db.filePath(QStringLiteral("out.txt")));
        sink.boxes.clear();
        RunOptions again; // both ways convert the same source
        again.again = true;
        showRunResult(runDefinition(T, nullptr, again));
        Outcome o{target(), {}};
        for (const MessageBoxData& b : sink.boxes)
            o.boxes << b.text;
        return o;
    }
};

TEST_F(FastComposition, WritesWhatTheGeneralStepsWrite)
{
    heads(T);
    db.exec(QStringLiteral("update trgHead set textsign = '\"', chkrecord = -1"));
    int boxes = 0;
    for (unsigned seed = 1; seed <= 300 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        db.execAll({QStringLiteral("delete from srcBody"), QStringLiteral("delete from trgBody"),
                    QStringLiteral("delete from trgconvert")});
        db.execAll(randomDefinition(rng));
        writeSource(randomSource(rng));
        const Outcome general = run(false);
        const Outcome fast = run(true);
        boxes += general.boxes.isEmpty() ? 0 : 1;
        EXPECT_EQ(fast.target.toStdString(), general.target.toStdString());
        EXPECT_EQ(fast.boxes.join(u'\n').toStdString(), general.boxes.join(u'\n').toStdString());

        const QFileInfo out(db.filePath(QStringLiteral("out.txt")));
        const QDateTime written = out.lastModified();
        PreviewBytes preview;
        const int n = std::uniform_int_distribution<int>(1, 8)(rng);
        const RunResult shown = runDefinition(T, nullptr, {RunMode::Preview, n, false, &preview});
        const RunResult checked = runDefinition(T, nullptr, {RunMode::Check});
        EXPECT_EQ(target(), fast.target) << "written by a preview or check";
        EXPECT_EQ(QFileInfo(out.filePath()).lastModified(), written);
        // The preview shows the run's first records, all of them when it reached the end.
        const std::string ran = fast.target.toStdString();
        EXPECT_EQ(ran.substr(0, std::size_t(preview.bytes.size())), preview.bytes.toStdString());
        const bool whole = !preview.faulty && shown.records < n && fast.boxes.isEmpty();
        if (preview.faulty || whole) {
            EXPECT_EQ(ran, (preview.bytes + (whole ? shown.checkLines : "")).toStdString());
        }
        // The check run stops at the run's first error and counts as the run does.
        EXPECT_EQ(checked.recordFaults.empty() ? boxText(checked.failure)
                                               : boxText(checked.recordFaults.front()),
                  fast.boxes.value(0))
            << "check";
        if (fast.boxes.isEmpty()) {
            EXPECT_TRUE(fast.target.endsWith(checked.checkLines)) << ran;
        }
    }
    // Both the written records and the errors at a record and field were compared.
    EXPECT_GT(boxes, 20);
    EXPECT_LT(boxes, 250);
}

} // namespace
