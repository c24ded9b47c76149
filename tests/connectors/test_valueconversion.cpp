// Database values to regional text and back (German regional settings in the tests); the
// common cases run through every writer in test_writercontract.cpp.
#include "common/error.h"
#include "connectors/backends/valueconversion.h"
#include "support/casetable.h"
#include "support/thrown.h"
#include "values/columnnumbers.h"

#include <QDateTime>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace quendra;

namespace {
using namespace Qt::StringLiterals;

struct TextCase {
    const char* name;
    QVariant value;
    const char* expected;
};

// Cheap cases run in one test: a test program of its own for each would cost far more
// than the checks.
TEST(RegionalTextOut, German)
{
    const TextCase cases[] = {
        TextCase{"Null", QVariant(), ""},
        TextCase{"NullOfAType", QVariant(QMetaType::fromType<double>()), ""},
        TextCase{"Text", u"Müller €"_s, "Müller €"},
        TextCase{"Decimal", 12.5, "12,5"},
        TextCase{"NoGroupSeparator", 1234567.25, "1234567,25"},
        TextCase{"WholeDouble", 100.0, "100"},
        TextCase{"NegativeZero", -0.0, "0"},
        TextCase{"ShortestExactForm", 0.1 + 0.2, "0,30000000000000004"},
        TextCase{"LargeWithoutExponent", 1e20, "100000000000000000000"},
        TextCase{"SmallWithoutExponent", -2.5e-7, "-0,00000025"},
        TextCase{"NegativeInteger", qlonglong(-4711), "-4711"},
        TextCase{"LargeInteger", qlonglong(123456789012LL), "123456789012"},
        TextCase{"Date", QDate(2005, 12, 31), "31.12.2005"},
        TextCase{"DatesBeyondTheCommonYears", QDateTime(QDate(10000, 1, 2), QTime(0, 0)),
                 "10000-01-02"},
        TextCase{"YearBeforeOurEra", QDate(-44, 3, 15), "-0044-03-15"},
        TextCase{"Unsigned", 4294967295u, "4294967295"},
        TextCase{"MidnightIsDateOnly", QDateTime(QDate(2005, 1, 2), QTime(0, 0)), "02.01.2005"},
        TextCase{"DateTime", QDateTime(QDate(2005, 1, 2), QTime(14, 30, 5)), "02.01.2005 14:30:05"},
        TextCase{"Binary", QByteArray("Straße"), "Straße"}, // bytes as UTF-8
        TextCase{"Time", QTime(8, 5, 0), "08:05:00"},
        TextCase{"True", true, "Wahr"},
        TextCase{"False", false, "Falsch"}};
    const RegionalText text;
    for (const TextCase& c : cases)
        EXPECT_EQ(text.toText(c.value), QString::fromUtf8(c.expected)) << c.name;
}

TEST(RegionalTextOut, ReusedBufferIsClearedByNull)
{
    const RegionalText text;
    QString out = u"alt"_s;
    text.toText(QVariant(), out);
    EXPECT_TRUE(out.isEmpty());
}

// Values into columns, German regional settings: tests/data/connectors/into-columns.tsv
// names the column by the type an SQLite table declares ("sqlite numeric(18,2)"), by what
// an ODBC driver reports ("odbc 2 18 2": SQL type code, size, decimal digits) or as the
// SQLite ODBC driver is written to ("sqliteodbc real"), and the value as text, as a
// number of the engine ("zahl 12,50") or as a double ("double 0.1").
ColumnType columnOf(const QString& cell)
{
    const QStringList p = cell.split(u' ');
    if (p[0] == u"odbc")
        return odbcColumnType(QMetaType::fromType<double>(), p[1].toInt(), p.value(2).toInt(),
                              p.value(3).toInt());
    return sqliteColumnType(p.mid(1).join(u' '), p[0] == u"sqliteodbc" ? 15 : 17);
}

QVariant valueOf(const QString& cell, const RegionalText& text)
{
    if (cell.startsWith(u"double "))
        return cell.mid(7).toDouble();
    if (!cell.startsWith(u"zahl "))
        return cell;
    WrittenNumber n{{}, cell.mid(5)};
    parseNumber(n.text, text.regional(), n.number);
    return QVariant::fromValue(n);
}

// What the column receives, as "type value"; an error as its number and text.
QString received(const QVariant& v)
{
    if (v.isNull())
        return u"NULL"_s;
    const QString shown = v.typeId() == QMetaType::Double
                              ? QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest)
                              : v.toString();
    return QString::fromLatin1(v.typeName()) + u' ' + shown;
}

TEST(IntoColumn, ReceivesExactlyOrIsRefused)
{
    const RegionalText text;
    for (const test::CaseRow& c : test::caseTable(u"connectors/into-columns.tsv"_s)) {
        QString result;
        try {
            result = received(text.forColumn(valueOf(c[1], text), columnOf(c[0]), u"c"_s));
        } catch (const Error& e) {
            result = u"Fehler %1: %2"_s.arg(e.number()).arg(e.description());
        }
        EXPECT_EQ(result, c[2]) << c.name;
    }
}

TEST(SqliteColumns, IsoDates)
{
    EXPECT_EQ(typedSqliteValue(u"2005-12-31"_s, ValueKind::Date), QVariant(QDate(2005, 12, 31)));
    EXPECT_EQ(typedSqliteValue(u"2005-12-31T00:00:00.000"_s, ValueKind::Date),
              QVariant(QDate(2005, 12, 31)));
    EXPECT_EQ(typedSqliteValue(u"2000-06-17 20:36:24"_s, ValueKind::Date),
              QVariant(QDateTime(QDate(2000, 6, 17), QTime(20, 36, 24))));
    EXPECT_EQ(typedSqliteValue(qlonglong(1), ValueKind::Boolean), QVariant(true));
    EXPECT_EQ(typedSqliteValue(qlonglong(0), ValueKind::Boolean), QVariant(false));
    EXPECT_EQ(typedSqliteValue(u"ja"_s, ValueKind::Boolean), QVariant(u"ja"_s)); // stays text
    EXPECT_EQ(typedSqliteValue(u"kein Datum"_s, ValueKind::Date), QVariant(u"kein Datum"_s));
    EXPECT_EQ(typedSqliteValue(u"2005-12-31"_s, ValueKind::Text), QVariant(u"2005-12-31"_s));
}

// Dates go to a database as ISO text for every year Qt holds, never as an empty text.
TEST(DatabaseText, DatesAreIsoInEveryYear)
{
    const struct {
        QVariant value;
        QByteArray text;
    } cases[] = {
        {QDate(2005, 12, 31), "2005-12-31"},
        {QDate(10000, 1, 2), "10000-01-02"},
        {QDate(-44, 3, 15), "-0044-03-15"},
        {QDateTime(QDate(12345, 6, 7), QTime(8, 9, 10, 11)), "12345-06-07 08:09:10.011"},
        {QTime(8, 5, 0), "08:05:00.000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(databaseText(c.value), c.text) << c.text.constData();
}

// The ODBC and COPY rows append the frequent types in place: the same bytes as
// databaseText, behind what the row holds already.
TEST(DatabaseText, AppendedAsItIsGiven)
{
    const QVariant values[] = {
        u"Zoë Straße €"_s,
        u"𝄞 Noten"_s,
        u""_s,
        u"abc"_s,
        QString(QChar(0xD800)) + u"a"_s + QChar(0xDC00), // halves of pairs alone
        u"x"_s + QChar(0xD83D),
        qlonglong(-9223372036854775807LL - 1),
        qlonglong(0),
        QDate(1, 1, 1),
        QDate(2024, 2, 29),
        QDate(10000, 1, 2),
        2.5,
        true,
    };
    for (const QVariant& value : values) {
        QByteArray row = "vorher;";
        appendDatabaseText(row, value);
        EXPECT_EQ(row, "vorher;" + databaseText(value)) << value.toString().toStdString();
    }
}

// A number column's text as the Access library prints it; one that is no number stays text.
TEST(PrintedNumbers, WholeDecimalAndNone)
{
    EXPECT_EQ(printedNumberValue("-12", true), QVariant(qlonglong(-12)));
    EXPECT_EQ(printedNumberValue("2,5", true), QVariant(2.5));
    EXPECT_EQ(printedNumberValue("nan", false), QVariant(u"nan"_s));
}

// A printed number is a double only where the double gives its digits back; else it stays
// exact, whatever its length.
TEST(PrintedNumbers, DoubleOnlyWhereItKeepsTheDigits)
{
    const struct {
        const char* text;
        bool isDouble;
    } cases[] = {
        {"0.1", true},
        {"-9999999999.99", true},
        {"123456789012345", true},
        {"100000000000000000000", true},
        {"9007199254740993", false}, // 2^53 + 1
        {"0.12345678901234567", false},
        {"-1234567890123.4567", false},
    };
    for (const auto& c : cases) {
        const QVariant value = printedNumberValue(c.text, false);
        if (c.isDouble) {
            EXPECT_EQ(value, QVariant(std::strtod(c.text, nullptr))) << c.text;
        } else {
            ASSERT_EQ(value.metaType(), QMetaType::fromType<WrittenNumber>()) << c.text;
            EXPECT_EQ(decimalText(value.value<WrittenNumber>().number), QLatin1String(c.text));
        }
    }
}

} // namespace
