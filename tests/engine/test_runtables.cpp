#include "engine/numbers.h"
#include "engine/runtables.h"
#include "engine/translationcache.h"

#include <gtest/gtest.h>

using namespace quendra;

namespace {

struct SequenceCase {
    const char* name;
    std::vector<const char*> values;
    qint64 start;
    std::vector<qint64> numbers;
};

class AutoCountSequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(AutoCountSequence, NumbersRunsOfEqualValues)
{
    AutoCountRow row;
    std::vector<qint64> got;
    for (const char* v : GetParam().values)
        got.push_back(autoCount(row, QString::fromUtf8(v), GetParam().start));
    EXPECT_EQ(got, GetParam().numbers);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoCountSequence,
    ::testing::Values(SequenceCase{"groups", {"A", "A", "B", "B", "C"}, 1, {1, 1, 2, 2, 3}},
                      SequenceCase{"noSource", {"", "", ""}, 0, {0, 1, 2}},
                      SequenceCase{"onlyPrevious", {"A", "B", "A"}, 7, {7, 8, 9}},
                      SequenceCase{"emptyBreaksRun", {"A", "", "", "A", "A"}, 1, {1, 2, 3, 4, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LastValue, CarriesTheLastNonEmptyValue)
{
    struct Case {
        std::vector<const char*> values;
        std::vector<const char*> results;
    };
    const Case cases[] = {{{"A", "", "", "B", ""}, {"A", "A", "A", "B", "B"}},
                          {{"", "", "C"}, {"", "", "C"}}};
    for (const Case& c : cases) {
        LastValueRow row;
        QString result;
        for (size_t i = 0; i < c.values.size(); ++i) {
            lastValue(row, QString::fromUtf8(c.values[i]), result);
            EXPECT_EQ(result, QString::fromUtf8(c.results[i])) << i;
        }
    }
}

TEST(StartValue, AcceptsIntegersAndRegionalNumbersOnly)
{
    const RegionalSettings german;
    EXPECT_EQ(parseStartValue(u"", german), 0);
    EXPECT_EQ(parseStartValue(u" 12 ", german), 12);
    EXPECT_EQ(parseStartValue(u"2,5", german), 2); // halves to even
    EXPECT_EQ(parseStartValue(u"-3", german), -3);
    EXPECT_EQ(parseStartValue(u"abc", german), std::nullopt);
}

TEST(AppendNumber, WritesDigitsAndSign)
{
    const qint64 cases[] = {0, 7, -42, std::numeric_limits<qint64>::max(),
                            std::numeric_limits<qint64>::min()};
    for (qint64 n : cases) {
        QString s = QStringLiteral("x");
        appendNumber(s, n);
        EXPECT_EQ(s, QLatin1Char('x') + QString::number(n));
    }
}

TEST(TranslationHash, FindsFirstRowIgnoringCaseAmongManyRows)
{
    std::vector<trgBodyRec> fields(2);
    fields[0].field = QStringLiteral("Ort");
    fields[1].field = QStringLiteral("Frei");
    std::vector<std::array<QString, 3>> rows;
    for (int i = 0; i < 500; ++i)
        rows.push_back({QStringLiteral("ORT"), QStringLiteral("ort%1").arg(i), QString::number(i)});
    rows.push_back({QStringLiteral("ort"), QStringLiteral("Ä"), QStringLiteral("first")});
    rows.push_back({QStringLiteral("ort"), QStringLiteral("ä"), QStringLiteral("second")});
    TranslationCache cache;
    cache.build(rows, fields);
    EXPECT_FALSE(cache.hasRows(1));
    struct Case {
        QString in, out;
    };
    const Case cases[] = {{u"ORT0"_qs, u"0"_qs},
                          {u"Ort499"_qs, u"499"_qs},
                          {u"ort500"_qs, u"ort500"_qs},
                          {u"ä"_qs, u"first"_qs},
                          {u" ort1"_qs, u" ort1"_qs}};
    for (const Case& c : cases) {
        QString v = c.in;
        cache.apply(0, v);
        EXPECT_EQ(v, c.out) << c.in.toStdString();
    }
}

} // namespace
