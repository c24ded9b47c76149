// Composition of one target record from the current source values.
#include "common/error.h"
#include "common/globals.h"
#include "engine/fileconvertstate.h"
#include "engine/indivtorven.h"

namespace quendra {

namespace {
void removeLeadingBlanks(QString& value)
{
    qsizetype n = 0;
    while (n < value.size() && value.at(n) == QLatin1Char(' '))
        ++n;
    if (n > 0)
        value.remove(0, n);
}
} // namespace

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
        p.hasDefault = !t.defaultvalue.isEmpty();
        if (p.hasDefault) {
            // A default that cannot be converted fails when the first record uses it.
            try {
                p.defaultValue = t.defaultvalue;
                cnvFromFormat(p.defaultValue, t.format);
                p.defaultReady = true;
            } catch (...) {
                p.defaultReady = false;
            }
        }
        p.hasSource = !QStringView(t.srcfield).trimmed().isEmpty();
        if (p.hasSource)
            p.source = engine.getFromIndex(t.srcfield) - 1;
        p.carryForward = t.command == QLatin1StringView("<lastvalue>");
        p.autoCount = t.fieldtype == QLatin1StringView("AutoCount");
        if (p.autoCount)
            p.start = parseStartValue(t.defaultvalue, regional);
        p.toFormat = !t.format.isEmpty();
        p.ltrim = t.ltrim != 0;
    }
}

void clsFileConvert::Impl::compose(clsFileConvert& engine, size_t i)
{
    const trgBodyRec& t = def.trgFields[i];
    const FieldPlan& p = plan[i];
    QString& value = toValues[i];
    value.resize(0);
    if (p.hasDefault) {
        value.append(QStringView(p.defaultReady ? p.defaultValue : t.defaultvalue));
        if (!p.defaultReady)
            trapped("clsFileConvert.cnvFromFormat", [&] { cnvFromFormat(value, t.format); });
    }
    QStringView sourceValue;
    if (p.hasSource) {
        if (p.source < 0)
            throw standardError(
                errnum::SubscriptOutOfRange,
                QStringLiteral("Das Quellfeld \"%1\" gibt es nicht").arg(t.srcfield));
        sourceValue = fromValues[size_t(p.source)];
        if (p.carryForward) {
            trapped("clsFileConvert.lastValue",
                    [&] { lastValue(lastRows[size_t(p.slot)], sourceValue, value); });
        } else {
            value.append(sourceValue);
        }
        trapped("clsFileConvert.cnvFromFormat",
                [&] { cnvFromFormat(value, def.srcFields[size_t(p.source)].format); });
    }
    if (p.autoCount) {
        const qint64 n = trapped("clsFileConvert.autoCount", [&] {
            if (!p.start)
                throw standardError(
                    errnum::TypeMismatch,
                    QStringLiteral("Der Startwert \"%1\" ist keine Zahl").arg(t.defaultvalue));
            return autoCount(autoRows[size_t(p.slot)], sourceValue, *p.start);
        });
        value.resize(0);
        appendNumber(value, n);
    }
    if (p.toFormat)
        trapped("clsFileConvert.cnvToFormat", [&] { cnvToFormat(value, t.format, regional); });
    if (p.ltrim)
        removeLeadingBlanks(value);
    if (translation.hasRows(qsizetype(i)))
        translation.apply(qsizetype(i), value);
    if (torven)
        value = indivTorven::torvenRun(engine, value, t.field);
    trapped("clsFileConvert.formatToValue",
            [&] { formatToValue(value, t, def.trg.fixlength != 0, regional); });
    if (checks->isCheckField(i))
        checks->update(i, t, value, regional);
}

void clsFileConvert::runTargedConvert(bool writeOnly)
{
    trapped("clsFileConvert.runTargedConvert", [&] {
        if (!writeOnly) {
            const QString& transId = currentTransID();
            if (!d->translation.isLoadedFor(transId)) {
                trapped("clsFileConvert.fieldConvert",
                        [&] { d->translation.load(transId, d->def.trgFields); });
            }
            for (size_t i = 0; i < d->toValues.size(); ++i) {
                d->field = qsizetype(i);
                d->compose(*this, i);
            }
            d->field = -1;
        }
        d->target->write(d->toValues, d->regional);
    });
}

} // namespace quendra
