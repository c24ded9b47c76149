// Rows as COPY's text format takes them, and the refused row as COPY's error names it; the
// rows themselves go through the writer contract and the run faults against the server.
#include "connectors/backends/pgrowsender.h"
#include "connectors/backends/valueconversion.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

TEST(CopyValueText, EachValueAsCopyReadsItBack)
{
    const struct {
        const char* name;
        QVariant value;
        QByteArray text;
    } cases[] = {
        {"null", QVariant(), "\\N"},
        {"nullOfAType", QVariant(QMetaType::fromType<QString>()), "\\N"},
        {"emptyText", u""_s, ""},
        {"escapes", u"a\tb\\N\nc\rd"_s, "a\\tb\\\\N\\nc\\rd"},
        {"umlauts", u"Müller €"_s, "M\xc3\xbcller \xe2\x82\xac"},
        {"escapesAfterAnUmlaut", u"ä\\b\nc\t"_s, "\xc3\xa4\\\\b\\nc\\t"},
        {"beyondTheBasicPlane", u"a\U0001D11E"_s, "a\xf0\x9d\x84\x9e"},
        {"wholeNumber", 42, "42"},
        {"largestUnsigned", qulonglong(18446744073709551615ULL), "18446744073709551615"},
        {"smallestBigint", qlonglong(-9223372036854775807LL - 1), "-9223372036854775808"},
        {"shortestDouble", 0.1, "0.1"},
        {"hugeDouble", 1e300, "1e+300"},
        {"exactDigits", printedNumberValue("12345678901234567890.123456789", false),
         "12345678901234567890.123456789"},
        {"widestMoney", printedNumberValue("-9999999999.99", false), "-9999999999.99"},
        {"date", QDate(2024, 1, 2), "2024-01-02"},
        {"dateTime", QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58, 250)),
         "2024-02-29 23:59:58.250"},
        {"time", QTime(7, 8, 9), "07:08:09.000"},
        {"true", true, "t"},
        {"false", false, "f"},
        {"bytes", QByteArray("A\xff"), "\\\\x41ff"},
    };
    for (const auto& c : cases) {
        QByteArray line = "x";
        appendCopyValue(line, c.value);
        EXPECT_EQ(line, "x" + c.text) << c.name;
    }
}

TEST(CopyErrorLine, IsTheLineTheContextNames)
{
    const struct {
        const char* context;
        int line;
    } cases[] = {
        {"COPY werte_12_3x, line 17, column z: \"0000017\"", 17},
        {"COPY w, line 1: \"x\"", 1},
        {"COPY \"Tabelle, mit Komma\", Zeile 5000", 5000},              // a server speaking German
        {"PL/pgSQL function f() line 3 at RAISE\nCOPY w, line 12", 12}, // from a trigger
        {"SQL statement \"select 1\"\nPL/pgSQL function f() line 3", 0},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(copyErrorLine(c.context), c.line) << c.context;
}

} // namespace
