// Values of the usual plain forms are read and written by direct routines; a leading
// blank sends the same text through the general reader. Both must agree exactly.
#include "common/error.h"
#include "engine/formatting.h"
#include "support/casetable.h"
#include "values/numbers.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

using namespace quendra;

namespace {

const RegionalSettings German =
    RegionalSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));

QString general(const std::string& text)
{
    return QLatin1Char(' ') + QString::fromStdString(text);
}

// The numbers both ways read and write, and the empty text.
std::vector<std::string> plainNumbers()
{
    std::vector<std::string> texts{""};
    for (const test::CaseRow& row : test::caseTable(QStringLiteral("values/plain-numbers.txt")))
        texts.push_back(row.name);
    return texts;
}

// The number read (sign, digits, point), "keine Zahl", or the error number it fails with.
std::string read(const QString& text)
{
    DecimalNumber n;
    try {
        if (!parseNumber(text, German, n))
            return "keine Zahl";
    } catch (const Error& e) {
        return "Fehler " + std::to_string(e.number());
    }
    std::string s = n.negative ? "-0," : "0,";
    for (int k = 0; k < n.count; ++k)
        s += char('0' + n.digits[std::size_t(k)]);
    return s + "E" + std::to_string(n.point);
}

TEST(PlainForms, NumbersReadAsTheGeneralReaderReadsThem)
{
    for (const std::string& text : plainNumbers())
        EXPECT_EQ(read(QString::fromStdString(text)), read(general(text))) << text;
}

// The text of a sum, or the error number it fails with.
QString sumOf(const std::vector<QString>& texts)
{
    DecimalSum sum;
    try {
        for (const QString& t : texts)
            sum.add(t, German);
    } catch (const Error& e) {
        return QStringLiteral("Fehler %1").arg(e.number());
    }
    return sum.text(German);
}

TEST(PlainForms, SumsAddAsTheGeneralReaderReadsThem)
{
    const std::vector<std::vector<const char*>> cases = {
        {"1,50", "2,5", "-4"},
        {"0,000000000000000001", "1"},
        {"0,0000000000000000005", "1"}, // beyond 18 decimals: rounded
        {"-0", "0,00", "7"},
        {"999999999999999999", "999999999999999999", "-1,25"},
        {"99999999999999999999999999999999999999", "1"}, // outgrows 38 digits
        {"50000000000000000000", "0,000000000000000001"},
        {"12a"},
    };
    for (const auto& texts : cases) {
        std::vector<QString> direct, reference;
        for (const char* t : texts) {
            direct.push_back(QString::fromUtf8(t));
            reference.push_back(general(t));
        }
        EXPECT_EQ(sumOf(direct), sumOf(reference)) << texts.front();
    }
}

TEST(PlainForms, DottedDatesReadAsTheGeneralReaderReadsThem)
{
    for (const char* text :
         {"29.02.2024", "29.02.2023", "31.04.2024", "30.04.2024", "00.01.2024", "01.00.2024",
          "01.13.2024", "31.12.9999", "01.01.0000", "15.06.1900", "1a.01.2024"}) {
        CalendarDate direct, reference;
        const bool ok = parseDate(QString::fromUtf8(text), German, direct);
        ASSERT_EQ(ok, parseDate(general(text), German, reference)) << text;
        if (ok) {
            EXPECT_EQ(direct.year, reference.year) << text;
            EXPECT_EQ(direct.month, reference.month) << text;
            EXPECT_EQ(direct.day, reference.day) << text;
        }
    }
}

TEST(PlainForms, CompactDatesWrittenAsTheirPatterns)
{
    // "DDMMYYYY" is not one of the compact formats: it goes through the date pattern.
    for (const char* value : {"31.12.2005", "1.2.05", "2005-12-31", "01.01.0001", ""}) {
        for (const auto& [compact, pattern] :
             {std::pair{u"ddmmyyyy", u"DDMMYYYY"}, std::pair{u"yyyymmdd", u"YYYYMMDD"}}) {
            QString direct = QString::fromUtf8(value);
            QString reference = direct;
            cnvToFormat(direct, FormatPlan::of(compact), German);
            cnvToFormat(reference, FormatPlan::of(pattern), German);
            EXPECT_EQ(direct, reference) << value;
        }
    }
}

// The final shape of a value, or the error number it fails with.
QString shaped(QString value, const trgBodyRec& field, bool fixlength)
{
    try {
        formatToValue(value, field, fixlength, German);
        return value;
    } catch (const Error& e) {
        return QStringLiteral("Fehler %1").arg(e.number());
    }
}

TEST(PlainForms, NumberFieldsWrittenAsTheGeneralWriterWritesThem)
{
    struct Shape {
        qint16 length, decscale, zeroPadding, plus;
    };
    const Shape shapes[] = {{9, 2, 1, 1}, {9, 2, 1, 0},  {5, 2, 0, 0},  {5, 0, 1, 0}, {0, 3, 0, 1},
                            {3, 1, 1, 0}, {4, 18, 0, 0}, {2, -1, 1, 0}, {0, 0, 0, 0}};
    const std::vector<std::string> values = plainNumbers();
    for (const Shape& s : shapes) {
        trgBodyRec field;
        field.fieldtype = QStringLiteral("Zahl");
        field.length = s.length;
        field.decscale = s.decscale;
        field.zeroPadding = s.zeroPadding;
        field.plus = s.plus;
        for (const std::string& text : values) {
            // Both ways agree also on which numbers do not fit the width.
            for (const char* adjustment : {"", "rechts"}) {
                field.adjustment = QString::fromUtf8(adjustment);
                for (const bool fixlength : {false, true}) {
                    EXPECT_EQ(shaped(QString::fromStdString(text), field, fixlength),
                              shaped(general(text), field, fixlength))
                        << text << " " << s.length << "/" << s.decscale << adjustment;
                }
            }
            // The number handed to a check sum adds as the final text would.
            for (const bool right : {false, true}) {
                field.adjustment = right ? QStringLiteral("rechts") : QString();
                QString handed = QString::fromStdString(text);
                PlainNumber written;
                try {
                    if (!formatToValue(handed, ValueShape::of(field, false), German, written))
                        continue;
                } catch (const Error&) {
                    continue; // too long for the width: nothing is written or summed
                }
                DecimalSum byNumber, byText;
                byNumber.add(written);
                EXPECT_NO_THROW(byText.add(handed, German)) << handed.toStdString();
                EXPECT_EQ(byNumber.text(German), byText.text(German)) << handed.toStdString();
            }
        }
    }
}

TEST(PlainForms, CompactDatesConvertedInOneStepAsInTwo)
{
    const FormatPlan ymd = FormatPlan::of(u"yyyymmdd"), dmy = FormatPlan::of(u"ddmmyyyy");
    for (const char* text :
         {"20240229", "20230229", "00001231", "99991231", "20241301", "20240100", "31122005",
          "2024 101", "2024-1-1", "2024010", "", "1234567a", "00000000", " 20240229", "0",
          // the neighbours of the digits, a digit of another script, a unit above 0x8000
          "2024/101", "20240:01", "/9991231", "20240\u066001", "202\u80300101"}) {
        const QString input = QString::fromUtf8(text);
        // Eight ASCII digits that make a day take the one step.
        const bool usual =
            input.size() == 8 && input != u"00000000" &&
            std::all_of(input.begin(), input.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        for (const FormatPlan* from : {&ymd, &dmy}) {
            for (const FormatPlan* to : {&ymd, &dmy}) {
                QString twoSteps = input;
                bool failed = false;
                try {
                    cnvFromFormat(twoSteps, *from, German);
                    cnvToFormat(twoSteps, *to, German);
                } catch (const Error&) {
                    failed = true;
                }
                QString oneStep = input;
                const bool converted = convertCompactDate(oneStep, *from, *to);
                if (usual && !failed) {
                    EXPECT_TRUE(converted) << text;
                }
                if (converted) {
                    EXPECT_FALSE(failed) << text;
                    EXPECT_EQ(oneStep, twoSteps) << text;
                } else {
                    EXPECT_EQ(oneStep, input) << text;
                }
            }
        }
    }
}

} // namespace
