// Records written behind the run must reach the file exactly as writing them at once
// would, in their order, across batch boundaries, and a refused write must surface.
#include "common/error.h"
#include "connectors/clsfsconnect.h"
#include "engine/writebehind.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;

namespace {

constexpr std::size_t Batch = WriteBehind::BatchRecords;
const QStringView Qualifiers[] = {u"\"", u"", u"'#"};

// Record k: a text, a number, a value with a character outside ASCII.
std::vector<QString> record(std::size_t k)
{
    return {QStringLiteral("Text %1").arg(k), QString::number(k * 7),
            k % 3 ? QStringLiteral("€%1").arg(k) : QString()};
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Piece {
    std::size_t records; // records to add, then
    int lines;           // lines of their own
};

struct OrderCase {
    const char* name;
    std::vector<Piece> pieces;
};

class WriteBehindOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(WriteBehindOrder, WritesWhatWritingAtOnceWrites)
{
    QTemporaryDir dir;
    const QString behindPath = dir.filePath(QStringLiteral("behind.txt"));
    const QString directPath = dir.filePath(QStringLiteral("direct.txt"));
    clsFSConnect behindFile, directFile;
    behindFile.init(behindPath, 0, QStringLiteral(";"));
    directFile.init(directPath, 0, QStringLiteral(";"));
    {
        WriteBehind behind(behindFile, Qualifiers);
        std::size_t k = 0;
        int line = 0;
        for (const Piece& p : GetParam().pieces) {
            for (std::size_t r = 0; r < p.records; ++r, ++k) {
                std::vector<QString> values = record(k);
                directFile.setValues(values, Qualifiers);
                directFile.update();
                behind.add(values);
            }
            for (int l = 0; l < p.lines; ++l, ++line) {
                const QString text = QStringLiteral("Zeile %1").arg(line);
                directFile.setValue(text);
                directFile.update();
                behind.addLine(text);
            }
        }
        behind.finish();
    }
    behindFile.close();
    directFile.close();
    const QByteArray expected = fileBytes(directPath);
    EXPECT_FALSE(GetParam().pieces.size() > 1 && expected.isEmpty());
    EXPECT_EQ(fileBytes(behindPath), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteBehindOrder,
    ::testing::Values(OrderCase{"nothing", {}}, OrderCase{"oneRecord", {{1, 0}}},
                      OrderCase{"justBelowABatch", {{Batch - 1, 2}}},
                      OrderCase{"oneBatch", {{Batch, 2}}},
                      OrderCase{"oneBeyondABatch", {{Batch + 1, 2}}},
                      OrderCase{"manyBatches", {{3 * Batch + 5, 3}}},
                      OrderCase{"linesBetweenRecords", {{Batch + 3, 2}, {Batch, 1}, {2, 0}}},
                      OrderCase{"linesOnly", {{0, 3}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The file system refuses the bytes while the records are written behind: the error
// reaches the caller, at a later add or at the latest when finishing.
TEST(WriteBehindFailure, ARefusedWriteReachesTheCaller)
{
    clsFSConnect file;
    file.init(QStringLiteral("/dev/full"), 0, QStringLiteral(";"));
    bool failed = false;
    try {
        WriteBehind behind(file, Qualifiers);
        // More than the file's write block, so that the writing thread meets the refusal.
        for (std::size_t k = 0; k < 40 * Batch; ++k) {
            std::vector<QString> values = record(k);
            behind.add(values);
        }
        behind.finish();
    } catch (const Error& e) {
        failed = true;
        EXPECT_TRUE(e.description().contains(QStringLiteral("/dev/full")))
            << e.description().toStdString();
    }
    EXPECT_TRUE(failed);
}

} // namespace
