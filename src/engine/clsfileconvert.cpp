#include "engine/clsfileconvert.h"

#include "common/error.h"
#include "common/valuebuffer.h"
#include "engine/fileconvertstate.h"

#include <algorithm>

namespace quendra {

namespace {
QStringView trimmedView(QStringView s)
{
    return s.trimmed();
}

// Position (1-based) of the first field whose trimmed name equals the trimmed name
// given, ignoring letter case; 0 when none does.
template <class Rec> qint16 findField(const std::vector<Rec>& fields, QStringView name)
{
    const QStringView wanted = trimmedView(name);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (trimmedView(fields[i].field).compare(wanted, Qt::CaseInsensitive) == 0)
            return qint16(i + 1);
    }
    return 0;
}
} // namespace

clsFileConvert::Impl::Impl(ProgressSink* sink) : progress(sink) {}

clsFileConvert::clsFileConvert(const QString& transId, ProgressSink* progress)
    : d(std::make_unique<Impl>(progress))
{
    trapped("clsFileConvert.init", [&] {
        d->def = loadDefinition(transId);
        d->torven = d->def.customerTorven();
        d->regional = RegionalSettings::fromLocale();
        d->fromValues.resize(d->def.srcFields.size());
        d->toValues.resize(d->def.trgFields.size());
        d->checks.emplace(d->def.trgFields);
        d->target.emplace(d->def.trg, d->def.trgFields);
        d->buildPlan(*this);
    });
}

clsFileConvert::~clsFileConvert() = default;

const Definition& clsFileConvert::definition() const
{
    return d->def;
}

QString clsFileConvert::getFromDelimiter() const
{
    return d->def.src.delimiter;
}

QString clsFileConvert::getFromTable() const
{
    return d->def.src.dbtable;
}

QString clsFileConvert::getFromFileType() const
{
    return d->def.src.filetype;
}

qint16 clsFileConvert::getFromIndex(QStringView field) const
{
    return findField(d->def.srcFields, field);
}

Medium clsFileConvert::getFromMedium() const
{
    return d->def.src.frommedium;
}

QString clsFileConvert::getFromPath() const
{
    return d->def.src.path;
}

QString clsFileConvert::getFromSQLString() const
{
    return d->def.src.sqlstring;
}

const QString& clsFileConvert::getFromValue(qint16 index) const
{
    return trapped("clsFileConvert.getFromValue", [&]() -> const QString& {
        if (index < 1 || size_t(index) > d->fromValues.size())
            throw standardError(errnum::SubscriptOutOfRange,
                                QStringLiteral("Quellfeld %1").arg(index));
        return d->fromValues[size_t(index - 1)];
    });
}

qint16 clsFileConvert::getToIndex(QStringView field) const
{
    return findField(d->def.trgFields, field);
}

void clsFileConvert::Impl::settleFromValues()
{
    for (size_t j = 0; j < lineValues.size(); ++j)
        assignView(fromValues[j], lineValues[j]);
    lineValues = {};
}

void clsFileConvert::setFromValue(QStringView value)
{
    // Counts the columns of a record; past the last source field all slots are emptied
    // and counting starts again at the first. (Values a run read in place are settled
    // into the slots before the run returns.)
    std::vector<QString>& slots = d->fromValues;
    if (slots.empty())
        return;
    if (++d->fromPos > qsizetype(slots.size())) {
        for (QString& s : slots)
            s.resize(0);
        d->fromPos = 1;
    }
    assignView(slots[size_t(d->fromPos - 1)], value);
}

void clsFileConvert::setToValue(QStringView field, const QString& value)
{
    trapped("clsFileConvert.setToValue", [&] {
        const qint16 i = getToIndex(field);
        if (i == 0)
            throw standardError(errnum::SubscriptOutOfRange,
                                QStringLiteral("Zielfeld %1 gibt es nicht").arg(field));
        QString& slot = d->toValues[size_t(i - 1)];
        assignView(slot, value);
        formatToValue(slot, d->def.trgFields[size_t(i - 1)], d->def.trg.fixlength != 0,
                      d->regional);
    });
}

void clsFileConvert::Impl::takeRecord(const RecordReader& reader, int fieldCount)
{
    // Every record fills the source fields from the first: column k into field k.
    // Columns beyond the source fields are not read; fields beyond the record's columns
    // are empty, so that no value moves into another field or record. Whether a text
    // file's line can be a record at all, its reader says.
    const std::size_t n = fromValues.size();
    const std::size_t required = std::min(n, std::size_t(std::max(fieldCount, 0)));
    std::size_t taken = required;
    lineValues = {};
    std::span<const QStringView> line;
    if (reader.currentLine(line)) {
        taken = std::min(n, line.size());
        if (taken == n && !torven) {
            // Read in place: only the customer conversion asks for the values by number.
            lineValues = line.first(n);
        } else {
            for (std::size_t j = 0; j < taken; ++j)
                assignView(fromValues[j], line[j]);
        }
    } else {
        for (std::size_t j = 0; j < required; ++j)
            assignView(fromValues[j], reader.getField(int(j)));
    }
    if (lineValues.empty()) {
        for (std::size_t j = taken; j < n; ++j)
            fromValues[j].resize(0);
    }
    fromPos = qsizetype(taken);
}

QString clsFileConvert::Impl::runNote() const
{
    if (record <= 0)
        return {};
    QString note = QStringLiteral("Datensatz ") + QString::number(record);
    if (field >= 0)
        note += QStringLiteral(", Feld ") + def.trgFields[size_t(field)].field;
    return note;
}

} // namespace quendra
