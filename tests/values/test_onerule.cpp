// The same random texts through both paths that read a date: the engine (parseDate) and
// every writer (RegionalText::forColumn) read the same day or refuse alike. Numbers need no
// such check: both paths read them through parseNumber.
#include "common/error.h"
#include "values/regionaltext.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <random>

using namespace quendra;

namespace {

QString randomText(std::mt19937& random, QStringView alphabet)
{
    QString text;
    for (int n = int(random() % 11) + 1; n > 0; --n)
        text += alphabet[qsizetype(random() % std::uint32_t(alphabet.size()))];
    return text;
}

// The writer's value, or a null QVariant when it refuses the text.
QVariant written(const RegionalText& writer, const QString& text, ValueKind kind)
{
    try {
        return writer.forColumn(text, {kind, {}}, QStringLiteral("c"));
    } catch (const Error&) {
        return {};
    }
}

TEST(OneRule, EveryPathReadsTheSameDatesAlike)
{
    const RegionalText writer(QLocale(QLocale::German, QLocale::Germany));
    const RegionalSettings& regional = writer.regional();
    std::mt19937 random(21);
    int dates = 0;
    for (int n = 0; n < 40000; ++n) {
        // Three runs of digits between separators, and sometimes a blank or another mark.
        QString date = randomText(random, u"0123456789 ").left(int(random() % 4) + 1);
        for (int part = 0; part < 2; ++part)
            date += randomText(random, u"./-/.x").left(1) +
                    randomText(random, u"0123456789").left(int(random() % 4) + 1);
        QDate day;
        const bool readDate = parseDate(date, regional, day);
        const QVariant column = written(writer, date, ValueKind::Date);
        const QVariant stamp = written(writer, date, ValueKind::DateTime);
        if (!date.trimmed().isEmpty()) {
            ASSERT_EQ(readDate, !column.isNull()) << date.toStdString();
            ASSERT_EQ(readDate, !stamp.isNull()) << date.toStdString();
            if (readDate) {
                ASSERT_EQ(day, column.toDate()) << date.toStdString();
                ASSERT_EQ(QDateTime(day, QTime(0, 0)), stamp.toDateTime()) << date.toStdString();
            }
        }
        dates += readDate;
    }
    EXPECT_GT(dates, 200); // the texts reach both answers
}

} // namespace
