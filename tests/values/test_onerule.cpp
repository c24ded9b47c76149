// The same random texts through every path that reads a number or a date: the engine
// (parseNumber, parseDate) and every writer (RegionalText::forColumn) read the same value
// or refuse alike.
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
        return writer.forColumn(text, kind, QStringLiteral("c"));
    } catch (const Error&) {
        return {};
    }
}

TEST(OneRule, EveryPathReadsTheSameTextsAlike)
{
    const RegionalText writer(QLocale(QLocale::German, QLocale::Germany));
    const RegionalSettings& regional = writer.regional();
    std::mt19937 random(21);
    int numbers = 0, dates = 0;
    for (int n = 0; n < 40000; ++n) {
        const QString number = randomText(random, u"0123456789.,-+ eE");
        double value = 0;
        const bool read = parseNumber(number, regional, value);
        const QVariant real = written(writer, number, ValueKind::Real);
        if (!number.trimmed().isEmpty()) {
            ASSERT_EQ(read, !real.isNull()) << number.toStdString();
            if (read) {
                ASSERT_EQ(value, real.toDouble()) << number.toStdString();
            }
        }
        numbers += read;

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
    EXPECT_GT(numbers, 5000); // the texts reach both answers
    EXPECT_GT(dates, 200);
}

} // namespace
