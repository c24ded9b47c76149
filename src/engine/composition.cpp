// Composition of one target record from the current source values.
#include "common/error.h"
#include "common/fieldwords.h"
#include "common/valuebuffer.h"
#include "engine/fileconvertstate.h"
#include "engine/indivtorven.h"

#include <limits>

namespace quendra {

void clsFileConvert::Impl::buildPlan(const clsFileConvert& engine)
{
    int slotCount = 0;
    const std::vector<int> slots = slotsByName(def.trgFields, slotCount);
    autoRows.resize(size_t(slotCount));
    lastRows.resize(size_t(slotCount));
    plan.resize(def.trgFields.size());
    for (size_t i = 0; i < plan.size(); ++i) {
        const trgBodyRec& t = def.trgFields[i];
        FieldPlan& p = plan[i];
        p.slot = slots[i];
        p.format = FormatPlan::of(t.format);
        p.shape = ValueShape::of(t, def.trg.fixlength != 0);
        p.hasDefault = !t.defaultvalue.isEmpty();
        if (p.hasDefault) {
            // A default that cannot be converted fails when the first record uses it.
            try {
                p.defaultValue = t.defaultvalue;
                cnvFromFormat(p.defaultValue, p.format, regional);
                p.defaultReady = true;
            } catch (...) {
                p.defaultReady = false;
            }
        }
        p.hasSource = !QStringView(t.srcfield).trimmed().isEmpty();
        if (p.hasSource)
            p.source = engine.getFromIndex(t.srcfield) - 1;
        p.sourceFormat = p.source >= 0 && !def.srcFields[size_t(p.source)].format.isEmpty();
        if (p.sourceFormat)
            p.fromPlan = FormatPlan::of(def.srcFields[size_t(p.source)].format);
        p.carryForward = t.command == QLatin1StringView("<lastvalue>");
        p.autoCount = t.fieldtype == fieldword::AutoCount;
        if (p.autoCount)
            p.start = parseStartValue(t.defaultvalue, regional);
        p.toFormat = !t.format.isEmpty();
        p.ltrim = t.ltrim != 0;
        p.compactDates = p.sourceFormat && p.toFormat && !p.autoCount &&
                         isCompactDate(p.fromPlan) && isCompactDate(p.format);
        // The customer conversion may set any slot between records.
        p.constant = !p.hasSource && !p.autoCount && !torven && !checks->isCheckField(i);
    }
}

void clsFileConvert::Impl::compose(clsFileConvert& engine, size_t i)
{
    const trgBodyRec& t = def.trgFields[i];
    const FieldPlan& p = plan[i];
    QString& value = composing;
    QStringView prefix;
    if (p.hasDefault)
        prefix = p.defaultReady ? p.defaultValue : t.defaultvalue;
    QStringView sourceValue;
    bool converted = false; // already in the target format
    if (!p.hasSource) {
        assignView(value, prefix);
        if (p.hasDefault && !p.defaultReady)
            cnvFromFormat(value, p.format, regional);
    } else {
        if (p.source < 0)
            throw standardError(
                errnum::SubscriptOutOfRange,
                QStringLiteral("Das Quellfeld \"%1\" gibt es nicht").arg(t.srcfield));
        sourceValue = this->sourceValue(p.source);
        if (p.carryForward) {
            // The default is dropped; an unconvertible one still fails as it would.
            if (p.hasDefault && !p.defaultReady) {
                assignView(value, prefix);
                cnvFromFormat(value, p.format, regional);
            }
            trapped("clsFileConvert.lastValue",
                    [&] { lastValue(lastRows[size_t(p.slot)], sourceValue, value); });
        } else if (p.hasDefault && !p.defaultReady) {
            assignView(value, prefix);
            cnvFromFormat(value, p.format, regional);
            value.append(sourceValue);
        } else {
            assignJoined(value, prefix, sourceValue);
        }
        if (p.compactDates && convertCompactDate(value, p.fromPlan, p.format))
            converted = true; // the usual date: read and written without the dotted form
        else if (p.sourceFormat)
            cnvFromFormat(value, p.fromPlan, regional);
    }
    if (p.autoCount) {
        const qint64 n = trapped("clsFileConvert.autoCount", [&] {
            if (!p.start) {
                double number = 0;
                if (parseNumber(QStringView(t.defaultvalue).trimmed(), regional, number))
                    throw standardError(errnum::Overflow,
                                        QStringLiteral("Der Startwert %1 ist zu groß: ein "
                                                       "Zähler reicht bis %2")
                                            .arg(quotedValue(t.defaultvalue))
                                            .arg(std::numeric_limits<qint64>::max()));
                throw standardError(errnum::TypeMismatch,
                                    QStringLiteral("Der Startwert %1 ist keine Zahl")
                                        .arg(quotedValue(t.defaultvalue)));
            }
            return autoCount(autoRows[size_t(p.slot)], sourceValue, *p.start);
        });
        setLength(value, 0);
        appendNumber(value, n);
    }
    if (p.toFormat && !converted)
        cnvToFormat(value, p.format, regional);
    if (p.ltrim)
        removeLeadingBlanks(value);
    if (translation.hasRows(qsizetype(i)))
        translation.apply(qsizetype(i), value);
    if (torven)
        value = indivTorven::torvenRun(engine, value, t.field);
    PlainNumber written;
    bool numberWritten = false;
    if (!p.shape.trimOnly || endsWithBlank(value))
        numberWritten = formatToValue(value, p.shape, regional, written);
    toValues[i].swap(value); // both keep their capacity for the next record
    if (checks->isCheckField(i))
        checks->update(i, t, toValues[i], numberWritten ? &written : nullptr, regional);
}

void clsFileConvert::Impl::planSteps(bool constantsComposed)
{
    steps.clear();
    for (size_t i = 0; i < plan.size(); ++i) {
        if (!(constantsComposed && plan[i].constant))
            steps.push_back({i, fastKind(plan[i], translation.hasRows(qsizetype(i)), torven)});
    }
    this->constantsComposed = constantsComposed;
}

void clsFileConvert::runTargedConvert(bool writeOnly)
{
    trapped("clsFileConvert.runTargedConvert", [&] {
        if (!writeOnly) {
            const QString& transId = d->def.transId;
            if (!d->translation.isLoadedFor(transId)) {
                trapped("clsFileConvert.fieldConvert",
                        [&] { d->translation.load(transId, d->def.trgFields); });
                d->planSteps(false);
            }
            for (const Impl::ComposeStep& step : d->steps) {
                d->field = qsizetype(step.field);
                switch (step.kind) {
                case FieldPlan::Fast::Plain:
                    d->composePlain(step.field);
                    break;
                case FieldPlan::Fast::Count:
                    d->composeCount(step.field);
                    break;
                case FieldPlan::Fast::General:
                    d->compose(*this, step.field);
                    break;
                }
            }
            if (!d->constantsComposed)
                d->planSteps(true);
            d->field = -1;
        }
        d->target->write(d->toValues, d->regional, d->record, &d->field);
    });
}

} // namespace quendra
