#include "engine/clsfileconvert.h"

#include "common/error.h"
#include "common/functions.h"
#include "common/progress.h"
#include "common/stoprequest.h"
#include "common/valuebuffer.h"
#include "connectors/clsadoconnect.h"
#include "connectors/clsfsconnect.h"
#include "engine/fileconvertstate.h"
#include "engine/indivtorven.h"
#include "engine/targetoversource.h"

#include <algorithm>
#include <csignal>

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

qint32 clsFileConvert::getFromMedium() const
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
    d->settleFromValues();
    // Counts the columns of a record; past the last source field all slots are emptied
    // and counting starts again at the first.
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

void clsFileConvert::Impl::takeRecord(const RecordReader& reader, const clsFSConnect* file,
                                      int fieldCount)
{
    // Every record fills the source fields from the first: column k into field k.
    // Columns beyond the source fields are not read; fields beyond the record's columns
    // are empty, so that no value moves into another field or record. A line of a text
    // file needs the columns that the first line has (up to the source fields).
    const std::size_t n = fromValues.size();
    const std::size_t required = std::min(n, std::size_t(std::max(fieldCount, 0)));
    std::size_t taken = required;
    lineValues = {};
    const std::span<const QStringView> line =
        file ? file->currentFields() : std::span<const QStringView>();
    if (file && line.size() >= required) {
        taken = std::min(n, line.size());
        if (taken == n && !torven) {
            // Read in place: only the customer conversion asks for the values by number.
            lineValues = line.first(n);
        } else {
            for (std::size_t j = 0; j < taken; ++j)
                assignView(fromValues[j], line[j]);
        }
    } else {
        // A short line fails here, saying what is wrong with it.
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

namespace {
// The source of a run, opened by medium: a text file or a database table or query.
struct OpenSource {
    std::unique_ptr<clsFSConnect> file;
    std::unique_ptr<clsADOConnect> database;
    RecordReader* reader = nullptr;
    int fieldCount = 0;
};

OpenSource openSource(const clsFileConvert& engine, const SrcHead& head)
{
    OpenSource s;
    const qint32 medium = engine.getFromMedium();
    if (medium == 0) {
        s.file = std::make_unique<clsFSConnect>();
        s.file->init(engine.getFromPath(), 1, engine.getFromDelimiter());
        s.fieldCount = s.file->fieldCount();
        s.reader = s.file.get();
    } else if (medium == 1 || medium == 2) {
        s.database = std::make_unique<clsADOConnect>();
        s.database->setSource(getADOProvider(qint16(medium), engine.getFromPath(),
                                             engine.getFromFileType(), head.header != 0));
        if (!engine.getFromSQLString().isEmpty())
            s.database->setSQL(engine.getFromSQLString());
        if (!engine.getFromTable().isEmpty())
            s.database->setTable(engine.getFromTable());
        s.database->init();
        s.fieldCount = s.database->record().fieldsCount();
        s.reader = s.database.get();
    } else {
        throw standardError(errnum::ObjectMissing,
                            QStringLiteral("Das Quellmedium %1 ist unbekannt (0 Textdatei, "
                                           "1 ODBC-Datenquelle, 2 Datenbankdatei)")
                                .arg(medium));
    }
    return s;
}

// The run stops before a record when someone asked it to from outside.
Error stoppedError(qint64 record)
{
    const int signal = stopSignal();
    const QString by = signal == SIGTERM  ? QStringLiteral(" durch das Signal SIGTERM")
                       : signal == SIGINT ? QStringLiteral(" durch das Signal SIGINT")
                                          : QString();
    return Error(errnum::UserInterrupt, {},
                 QStringLiteral("Die Umsetzung wurde%1 abgebrochen, bevor Datensatz %2 "
                                "umgesetzt wurde. Das Ziel enthält die Datensätze davor "
                                "vollständig, aber keine Prüfsummen.")
                     .arg(by)
                     .arg(record));
}

// A source that delivered fewer records than it held at the start was changed by
// another program during the run; the target would look complete but is not.
void checkSourceComplete(const OpenSource& source, qint64 total, qint64 read)
{
    if (total > 0 && read < total)
        throw Error(errnum::NoCurrentRecord, {},
                    QStringLiteral("Die Quelle endete nach %1 von %2 Datensätzen: sie wurde "
                                   "während der Umsetzung von einem anderen Programm "
                                   "verändert. Das Ziel ist unvollständig.")
                        .arg(read)
                        .arg(total));
    if (source.file && source.file->endedShort())
        throw Error(errnum::NoCurrentRecord, {},
                    QStringLiteral("Die Quelldatei endete nach %1 Datensätzen, war beim Öffnen "
                                   "aber länger (%2 statt %3 Bytes gelesen): sie wurde während "
                                   "der Umsetzung von einem anderen Programm verändert. Das "
                                   "Ziel ist unvollständig.")
                        .arg(read)
                        .arg(source.file->bytesRead())
                        .arg(source.file->sizeAtOpen()));
}
} // namespace

RunResult clsFileConvert::RunConvert()
{
    RunResult result;
    if (d->progress)
        d->progress->open();
    OpenSource source;
    try {
        refuseTargetOverSource(d->def.src, d->def.trg);
        source = openSource(*this, d->def.src);
        d->target->checkUsable();
        RecordReader& reader = *source.reader;
        // The record count only feeds the progress display. A text file would be read
        // twice for it, so without a display it is not counted (the file is at its first
        // line after opening anyway). An empty source has no first record to return to: a
        // database row set would refuse the move, so there is nothing to count.
        qint64 total = 0;
        if (!reader.isEOF() && (d->progress || !source.file)) {
            reader.MoveLast();
            total = reader.AbsolutePosition();
            reader.MoveFirst();
        }
        qint64 read = 0;
        while (!reader.isEOF()) {
            d->record = reader.AbsolutePosition();
            if (stopRequested())
                throw stoppedError(d->record);
            if (d->progress)
                d->progress->setCount(d->record, total);
            d->takeRecord(reader, source.file.get(), source.fieldCount);
            runTargedConvert(false);
            read = d->record;
            reader.MoveNext();
        }
        d->record = 0;
        checkSourceComplete(source, total, read);
        if (d->torven)
            indivTorven::torvenRunCorrectAmount(*this, true);
        if (d->def.trg.chkrecord != 0 && d->target->isText() && d->checks->started() &&
            d->target->isOpen()) {
            d->target->writeLine(QStringLiteral("Prüfsumme:"));
            for (const QString& line : d->checks->lines(d->regional))
                d->target->writeLine(line);
        }
        d->target->close();
    } catch (...) {
        result.failure =
            RunMessage{currentError(), QStringLiteral("clsFileConvert.RunConvert"), d->runNote()};
    }
    d->settleFromValues(); // while the source's last line is still there
    d->record = 0;
    d->field = -1;
    if (d->progress)
        d->progress->close();
    d->target->release();
    return result;
}

} // namespace quendra
