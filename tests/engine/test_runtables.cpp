#include "engine/caseinsensitive.h"
#include "engine/runtables.h"
#include "engine/translationcache.h"

#include <gtest/gtest.h>
#include <random>

using namespace quendra;

namespace {

// Running numbers, their start values and carried values over records are shown by the golden cases
// ("composition", "running_numbers_*"); these are the pieces a run cannot show one by one.

TEST(AppendNumber, WritesDigitsAndSign)
{
    std::vector<qint64> cases = {0, 7, -42, std::numeric_limits<qint64>::max(),
                                 std::numeric_limits<qint64>::min()};
    for (qint64 power = 10; power <= std::numeric_limits<qint64>::max() / 10; power *= 10)
        cases.insert(cases.end(), {power - 1, power, -power, power + 1});
    cases.insert(cases.end(), {999999999999999999, 1000000000000000000, -1000000000000000000});
    for (qint64 n : cases) {
        QString s = QStringLiteral("x");
        appendNumber(s, n);
        EXPECT_EQ(s, QLatin1Char('x') + QString::number(n));
    }
}

TEST(TranslationHash, FindsFirstRowIgnoringCaseAmongFewAndManyRows)
{
    for (const int count : {20, 500}) {
        std::vector<trgBodyRec> fields(2);
        fields[0].field = QStringLiteral("Ort");
        fields[1].field = QStringLiteral("Frei");
        std::vector<std::array<QString, 3>> rows;
        for (int i = 0; i < count; ++i)
            rows.push_back(
                {QStringLiteral("ORT"), QStringLiteral("ort%1").arg(i), QString::number(i)});
        rows.push_back({QStringLiteral("ort"), QStringLiteral("Ä"), QStringLiteral("first")});
        rows.push_back({QStringLiteral("ort"), QStringLiteral("ä"), QStringLiteral("second")});
        rows.push_back({QStringLiteral("ort"), QString(), QStringLiteral("leer")});
        TranslationCache cache;
        cache.build(rows, fields);
        EXPECT_FALSE(cache.hasRows(1));
        struct Case {
            QString in, out;
        };
        const QString last = QStringLiteral("Ort%1").arg(count - 1);
        const Case cases[] = {{u"ORT0"_qs, u"0"_qs},        {last, QString::number(count - 1)},
                              {u"ort500"_qs, u"ort500"_qs}, {u"ä"_qs, u"first"_qs},
                              {u""_qs, u"leer"_qs},         {u" ort1"_qs, u" ort1"_qs}};
        for (const Case& c : cases) {
            QString v = c.in;
            cache.apply(0, v);
            EXPECT_EQ(v, c.out) << count << " " << c.in.toStdString();
        }
        // Values that are in no row, landing on free and on taken slots.
        for (int i = count; i < count + 2000; ++i) {
            QString v = QStringLiteral("ort%1").arg(i);
            cache.apply(0, v);
            ASSERT_EQ(v, QStringLiteral("ort%1").arg(i)) << count;
        }
    }
}

// Texts that differ only in letter case hash and compare alike, in the blocks of four
// units the hash mixes and in the rest; the neighbours of the letters keep their case.
TEST(TranslationHash, UpperCaseFormsHashAlike)
{
    const char16_t units[] = u"aAzZ@[`{mM09 _\u00e4\u00c4\u00df\u00ff\u0131\u017f"; // ı, ſ: I, S
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> unit(0, int(std::size(units)) - 2);
    const UpperHash hash;
    const UpperEqual equal;
    for (int round = 0; round < 2000; ++round) {
        QString text, upper, other;
        for (int n = round % 13; n > 0; --n) {
            const char16_t c = units[unit(rng)];
            text += QChar(c);
            upper += QChar(upperUnit(c));
            other += QChar(unit(rng) % 2 ? upperUnit(c) : c);
        }
        ASSERT_EQ(hash(text), hash(upper)) << text.toStdString();
        ASSERT_TRUE(equal(text, other)) << text.toStdString() << " " << other.toStdString();
    }
    for (char16_t c = 0; c < 0x80; ++c) {
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        const QString four(4, QChar(c));
        EXPECT_TRUE(equal(four, QString(4, QChar(upperUnit(c)))));
        EXPECT_EQ(hash(four) == hash(QString(4, QChar(c ^ 0x20))), letter) << int(c);
    }
}

} // namespace
