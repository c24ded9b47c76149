// The common kinds of target field, composed straight into their slot. Each takes only
// the steps its field needs, in the order compose takes them, and writes the same value;
// anything unusual about a field leaves it to compose.
#include "common/error.h"
#include "common/valuebuffer.h"
#include "engine/fileconvertstate.h"

#include <algorithm>
#include <atomic>

namespace quendra {

namespace {
std::atomic<bool> fastOn{true};
} // namespace

void setFastComposition(bool on)
{
    fastOn = on;
}

bool fastComposition()
{
    return fastOn;
}

FieldPlan::Fast clsFileConvert::Impl::fastKind(const FieldPlan& p, bool translated, bool torven)
{
    // The customer conversion reads and sets slots between the steps; a default that
    // could not be converted fails on first use; an unknown source field fails.
    if (!fastComposition() || torven || (p.hasDefault && !p.defaultReady) ||
        (p.hasSource && p.source < 0))
        return FieldPlan::Fast::General;
    // Of the formats, only a compact date read and written as a compact date.
    if ((p.sourceFormat || p.toFormat) && !p.compactDates)
        return FieldPlan::Fast::General;
    if (p.hasSource && !p.autoCount)
        return FieldPlan::Fast::Plain;
    if (p.autoCount && p.start && !p.carryForward && !p.ltrim && !translated)
        return FieldPlan::Fast::Count;
    return FieldPlan::Fast::General;
}

void clsFileConvert::Impl::composePlain(size_t i)
{
    const FieldPlan& p = plan[i];
    QString& value = toValues[i];
    const QStringView source = sourceValue(p.source);
    if (p.carryForward)
        lastValue(lastRows[size_t(p.slot)], source, value);
    else
        assignJoined(value, p.defaultValue, source);
    if (p.compactDates && !convertCompactDate(value, p.fromPlan, p.format)) {
        // Not eight digits of a day: the two steps write it or say what is wrong.
        cnvFromFormat(value, p.fromPlan, regional);
        cnvToFormat(value, p.format, regional);
    }
    if (p.ltrim)
        removeLeadingBlanks(value);
    if (translation.hasRows(qsizetype(i)))
        translation.apply(qsizetype(i), value);
    PlainNumber written;
    bool numberWritten = false;
    if (!p.shape.trimOnly || endsWithBlank(value))
        numberWritten = formatToValue(value, p.shape, regional, written);
    if (checks->isCheckField(i))
        checks->update(i, def.trgFields[i], value, numberWritten ? &written : nullptr, regional);
}

void clsFileConvert::Impl::composeCount(size_t i)
{
    const FieldPlan& p = plan[i];
    QString& value = toValues[i];
    const QStringView source = p.hasSource ? sourceValue(p.source) : QStringView();
    const qint64 n = trapped("clsFileConvert.autoCount",
                             [&] { return autoCount(autoRows[size_t(p.slot)], source, *p.start); });
    const quint64 magnitude = n < 0 ? quint64(0) - quint64(n) : quint64(n);
    const int digits = decimalDigits(magnitude);
    const qsizetype size = (n < 0 ? 1 : 0) + digits;
    const qsizetype width = p.shape.width;
    const bool aligned = p.shape.right || p.shape.fixlength;
    if (aligned && width != 0 && size > width) {
        // Too wide: the general shaping throws the error that names the number.
        setLength(value, 0);
        appendNumber(value, n);
        formatToValue(value, p.shape, regional);
    }
    const qsizetype total = aligned ? std::max(size, width) : size;
    QChar* out = setLength(value, total);
    if (p.shape.right) {
        std::fill(out, out + (total - size), QLatin1Char(' '));
        out += total - size;
    } else {
        std::fill(out + size, out + total, QLatin1Char(' '));
    }
    if (n < 0)
        *out++ = QLatin1Char('-');
    writeDigits(out, magnitude, digits);
    if (checks->isCheckField(i))
        checks->update(i, def.trgFields[i], value, nullptr, regional);
}

} // namespace quendra
