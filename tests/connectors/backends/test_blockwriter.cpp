// The block writer over a sender that refuses chosen rows, names the refused row or not,
// or refuses a commit: wherever the refused row falls in the blocks, the table holds
// exactly the rows before it, the writer names it and counts what the table received.
// The same cases against real databases run in engine/test_runfaults.cpp.
#include "connectors/backends/blockwriter.h"
#include "support/casetable.h"
#include "support/thrown.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <optional>
#include <utility>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {
using quendra::test::PrintTo; // rows print their name

// A table of one whole-number column whose rows live in a list; a transaction is the rows
// sent since begin. Refuses the row numbered refused; a sender that cannot name the row
// (several rows a statement) fails a range holding it with nothing written; a commit
// whose rows hold commitRefused is refused as a whole (once only, or each time). Sending early, it
// takes the rows of a block as they are queued, up to the refused one, and send reports how far
// they got.
class ScriptedSender : public RowSender {
public:
    ScriptedSender(std::vector<qint64>& table, qint64 refused, bool knowsRow, qint64 commitRefused,
                   bool refusedOnce, bool early)
        : m_table(table), m_refused(refused), m_knowsRow(knowsRow), m_commitRefused(commitRefused),
          m_refusedOnce(refusedOnce), m_early(early)
    {
    }
    bool sendsEarly() const override { return m_early; }
    void queued(const std::vector<QueuedRow>& rows, size_t row) override
    {
        EXPECT_TRUE(m_open) << "a row sent early outside a transaction";
        EXPECT_EQ(row, m_queued++) << "rows queued out of order";
        if (m_earlyRefused)
            return;
        m_earlyRefused = rows[row][0].toLongLong() == m_refused;
        if (!m_earlyRefused) {
            m_pending.push_back(rows[row][0].toLongLong());
            ++m_earlyEnd;
        }
    }
    SenderColumns columns() override { return {{u"nr"_s}, {ColumnType{ValueKind::Number, {}}}}; }
    bool transactions() const override { return true; }
    void begin() override
    {
        EXPECT_FALSE(m_open) << "begin inside a transaction";
        EXPECT_FALSE(m_commitPending) << "begin before the commit's outcome";
        m_open = true;
    }
    // Sending early, the commit's outcome comes when it is asked for.
    bool commitLater() override
    {
        EXPECT_TRUE(m_open) << "commit without a transaction";
        m_open = !m_early;
        m_commitPending = m_early;
        return m_early;
    }
    void committed() override
    {
        EXPECT_TRUE(m_commitPending) << "no commit to wait for";
        m_commitPending = false;
        m_open = true;
        commit();
    }
    void rollback() override
    {
        m_open = false;
        m_pending.clear();
        m_earlyEnd = 0;
        m_earlyRefused = false;
        m_queued = 0;
    }
    void commit() override
    {
        EXPECT_TRUE(m_open) << "commit without a transaction";
        m_open = false;
        const bool refused =
            std::find(m_pending.begin(), m_pending.end(), m_commitRefused) != m_pending.end();
        if (refused) {
            m_pending.clear();
            if (m_refusedOnce)
                m_commitRefused = 0;
            throw Error(1, u"Test"_s, u"commit refused"_s);
        }
        m_table.insert(m_table.end(), m_pending.begin(), m_pending.end());
        m_pending.clear();
    }
    SentRows send(const std::vector<QueuedRow>& rows, size_t first, size_t count) override
    {
        EXPECT_TRUE(m_open) << "rows outside a transaction";
        SentRows sent;
        const bool single = count == 1;
        if (first == 0)
            m_queued = 0;
        if (first == 0 && (m_earlyEnd > 0 || m_earlyRefused)) {
            EXPECT_LE(m_earlyEnd, count) << "rows sent early beyond the block";
            sent.written = m_earlyEnd;
            first = m_earlyEnd;
            count -= m_earlyEnd;
        }
        const bool refused = std::exchange(m_earlyRefused, false);
        m_earlyEnd = 0;
        for (size_t i = first; i < first + count; ++i) {
            if (refused || rows[i][0].toLongLong() == m_refused) {
                sent.failure = Error(19, u"Test"_s, u"row refused"_s);
                sent.rowKnown = m_knowsRow || single;
                if (!sent.rowKnown) {
                    m_pending.resize(m_pending.size() - sent.written);
                    sent.written = 0;
                }
                return sent;
            }
            m_pending.push_back(rows[i][0].toLongLong());
            ++sent.written;
        }
        return sent;
    }

private:
    std::vector<qint64>& m_table;
    qint64 m_refused;
    bool m_knowsRow;
    qint64 m_commitRefused;
    bool m_refusedOnce;
    bool m_early;
    bool m_open = false;
    bool m_commitPending = false;
    size_t m_earlyEnd = 0; // rows of the block taken early
    bool m_earlyRefused = false;
    size_t m_queued = 0; // rows of the block queued so far
    std::vector<qint64> m_pending;
};

class BlockWriting : public ::testing::TestWithParam<test::CaseRow> {};

TEST_P(BlockWriting, KeepsTheRowsBeforeTheRefusedOne)
{
    const int rows = GetParam()[0].toInt();
    const qint64 refused = GetParam()[1].toLongLong();
    const qint64 commitRefused = GetParam()[2].toLongLong();
    const bool refusedOnce = GetParam().flag(3);
    const bool wholeRun = GetParam().flag(4);
    const qint64 named = GetParam()[5].toLongLong();
    const qint64 kept = GetParam()[6].toLongLong();
    for (const auto& [knowsRow, early] : {std::pair{true, false}, std::pair{false, false},
                                          std::pair{true, true}, std::pair{false, true}}) {
        SCOPED_TRACE(knowsRow ? "the sender names the row" : "the row is searched");
        SCOPED_TRACE(early ? "rows sent as queued" : "rows sent by the block");
        std::vector<qint64> table;
        BlockWriter writer(std::make_unique<ScriptedSender>(table, refused, knowsRow, commitRefused,
                                                            refusedOnce, early));
        if (wholeRun) {
            ASSERT_TRUE(writer.keepOneTransaction());
        }
        std::optional<Error> failure;
        try {
            for (int nr = 1; nr <= rows; ++nr) {
                writer.AddNew();
                writer.setItem(0, qlonglong(nr));
                writer.update();
            }
            writer.close();
        } catch (const Error& e) {
            failure = e;
            try {
                writer.close(); // as a failed run completes what its target holds back
            } catch (const Error&) {
            }
        }
        EXPECT_EQ(failure.has_value(), kept != rows);
        EXPECT_EQ(writer.failedRow(), named);
        std::vector<qint64> expected(static_cast<size_t>(kept));
        std::iota(expected.begin(), expected.end(), 1);
        EXPECT_EQ(table, expected);
        if (!wholeRun) {
            EXPECT_EQ(writer.rowsReceived(), kept);
        }
    }
}

// Takes every row it is sent as texts.
class TextSender : public RowSender {
public:
    explicit TextSender(QStringList& table) : m_table(table) {}
    SenderColumns columns() override { return {{u"t"_s}, {ColumnType{ValueKind::Text, {}}}}; }
    bool transactions() const override { return false; }
    void begin() override {}
    void commit() override {}
    void rollback() override {}
    SentRows send(const std::vector<QueuedRow>& rows, size_t first, size_t count) override
    {
        for (size_t i = first; i < first + count; ++i)
            m_table.append(rows[i][0].toString());
        return SentRows{count, std::nullopt, false};
    }

private:
    QStringList& m_table;
};

// The caller composes each record's text into the same string, as the engine does; the
// rows keep their own texts, longer or shorter than those a row before them held.
TEST(BlockTexts, RowsKeepTheirOwnWhileTheCallerReusesItsText)
{
    QStringList table;
    QStringList expected;
    {
        BlockWriter writer(std::make_unique<TextSender>(table));
        QString text;
        for (int nr = 0; nr < 12000; ++nr) {
            text.fill(QLatin1Char(char('a' + nr % 26)), 1 + (nr * 7) % 13);
            expected.append(text);
            writer.AddNew();
            writer.setItem(0, text);
            writer.update();
        }
        writer.close();
    }
    EXPECT_EQ(table, expected);
}

INSTANTIATE_TEST_SUITE_P(Places, BlockWriting,
                         ::testing::ValuesIn(test::caseTable(u"connectors/block-writing.tsv"_s)),
                         test::caseName);

} // namespace
