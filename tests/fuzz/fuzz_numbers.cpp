// Reading and writing numbers. The plain forms most values have go through direct routines; a
// leading blank sends the same text through the general reader, and both must agree exactly: in the
// number read, in the field value written (or the error raised), and in what a check sum adds. A
// number read and written in its plain form reads back as the same number, and a column
// takes a number only in a form that gives back every digit: a double exactly when the
// double's shortest form is the number, a whole number exactly when it has 64 bits.
//
// Input: the text, then a field shape (type, length, decimals, zero padding, plus sign) in
// the last five bytes, last byte first; each shape is written aligned both ways, with and
// without fixed length.
#include "common.h"

#include "common/error.h"
#include "engine/formatting.h"
#include "values/columnnumbers.h"
#include "values/numbers.h"

#include <climits>
#include <cmath>
#include <fuzzer/FuzzedDataProvider.h>
#include <optional>

using namespace quendra;

namespace {

const RegionalSettings German = RegionalSettings::fromLocale(QLocale(QLocale::German));

bool same(const DecimalNumber& a, const DecimalNumber& b)
{
    return a.negative == b.negative && a.count == b.count && a.point == b.point &&
           a.digits == b.digits;
}

// The value written for the field, or the number of the error raised instead.
QString written(QString value, const ValueShape& shape)
{
    try {
        formatToValue(value, shape, German);
        return value;
    } catch (const Error& e) {
        return QStringLiteral("Fehler %1").arg(e.number());
    }
}

// The text added three times, so that the sum outgrows what one value holds.
QString sumOf(const QString& text)
{
    DecimalSum sum;
    try {
        for (int i = 0; i < 3; ++i)
            sum.add(text, German);
    } catch (const Error& e) {
        return QStringLiteral("Fehler %1").arg(e.number());
    }
    return sum.text(German);
}

// 1 for a number read, 0 for a text that is no number, minus the error number for a
// number that cannot be read exactly (more significant digits than are kept).
int readDecimal(QStringView text, DecimalNumber& out)
{
    try {
        return parseNumber(text, German, out) ? 1 : 0;
    } catch (const Error& e) {
        return -e.number();
    }
}

// What a column receives, read back as a number; nothing when it refuses the number.
std::optional<DecimalNumber> intoColumn(const DecimalNumber& n, const NumberColumn& column)
{
    try {
        const ColumnNumber c = numberForColumn(n, {}, column, {}, German);
        RegionalSettings point = German;
        point.decimalSeparator = QLatin1Char('.');
        DecimalNumber back;
        if (c.form == ColumnNumber::Form::Whole)
            parseNumber(QString::number(c.whole), German, back);
        else if (c.form == ColumnNumber::Form::Decimal)
            parseNumber(decimalText(c.exact, 2), point, back);
        else
            back = shortestDecimal(c.binary);
        return back;
    } catch (const Error&) {
        return std::nullopt;
    }
}

void checkColumns(const DecimalNumber& n, const QString& text)
{
    const double nearest = nearestDouble(n);
    const bool givesBack = std::isfinite(nearest) && same(shortestDecimal(nearest), n);
    const auto binary = intoColumn(n, NumberColumn::binary());
    FUZZ_CHECK(binary.has_value() == givesBack, "double: %s", qPrintable(text));
    FUZZ_CHECK(!binary || same(*binary, n), "double back: %s", qPrintable(text));
    bool fits = false; // a whole number of 64 bits
    if (n.decimals() == 0)
        decimalText(n).toLongLong(&fits);
    const auto integer = intoColumn(n, NumberColumn::whole(LLONG_MIN, LLONG_MAX));
    FUZZ_CHECK(integer.has_value() == fits, "whole: %s", qPrintable(text));
    FUZZ_CHECK(!integer || same(*integer, n), "whole back: %s", qPrintable(text));
    const auto exact = intoColumn(n, NumberColumn());
    FUZZ_CHECK(exact && same(*exact, n), "decimal: %s", qPrintable(text));
}

void checkReading(const QString& text)
{
    const QString general = QLatin1Char(' ') + text;
    DecimalNumber direct, reference;
    const int read = readDecimal(text, direct);
    FUZZ_CHECK(read == readDecimal(general, reference), "read: %s", qPrintable(text));
    // A double keeps fewer digits anyway, so an over-precise number still reads as one.
    double asDouble = 0;
    FUZZ_CHECK((read != 0) == parseNumber(text, German, asDouble), "as double: %s",
               qPrintable(text));
    FUZZ_CHECK(sumOf(text) == sumOf(general), "sum: %s", qPrintable(text));
    if (read != 1)
        return;
    FUZZ_CHECK(same(direct, reference), "digits: %s", qPrintable(text));

    PlainNumber plain;
    if (readPlainNumber(text, German.decimalSeparator, plain)) {
        DecimalSum byPlain, byDecimal;
        byPlain.add(plain);
        byDecimal.add(direct);
        FUZZ_CHECK(byPlain.text(German) == byDecimal.text(German), "plain: %s", qPrintable(text));
    }

    checkColumns(direct, text);

    QString again;
    formatPlainNumber(again, direct, German);
    DecimalNumber back;
    FUZZ_CHECK(parseNumber(again, German, back) && same(back, direct), "plain form %s of %s",
               qPrintable(again), qPrintable(text));
}

void checkWriting(const QString& text, const ValueShape& shape)
{
    // A text field keeps the blank; a number field reads it as the general reader does.
    FUZZ_CHECK(!shape.number || written(text, shape) == written(QLatin1Char(' ') + text, shape),
               "field %d/%d: %s -> %s | %s", shape.length, shape.decscale, qPrintable(text),
               qPrintable(written(text, shape)),
               qPrintable(written(QLatin1Char(' ') + text, shape)));
    // The number handed to a check sum adds as the final text would.
    QString value = text;
    PlainNumber number;
    try {
        if (!formatToValue(value, shape, German, number))
            return;
    } catch (const Error&) {
        return;
    }
    DecimalSum byNumber;
    for (int i = 0; i < 3; ++i)
        byNumber.add(number);
    FUZZ_CHECK(byNumber.text(German) == sumOf(value), "sum of %s", qPrintable(value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    trgBodyRec field;
    field.fieldtype = in.ConsumeBool() ? QStringLiteral("Zahl") : QStringLiteral("Text");
    field.length = in.ConsumeIntegralInRange<qint16>(-2, 40);
    field.decscale = in.ConsumeIntegralInRange<qint16>(-2, 20);
    field.zeroPadding = in.ConsumeBool();
    field.plus = in.ConsumeBool();
    const QString text = fuzz::textOf(in.ConsumeRemainingBytes<std::uint8_t>());

    checkReading(text);
    for (const bool right : {false, true}) {
        field.adjustment = right ? QStringLiteral("rechts") : QString();
        for (const bool fixlength : {false, true})
            checkWriting(text, ValueShape::of(field, fixlength));
    }
    return 0;
}
