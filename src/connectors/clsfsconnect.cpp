// Opening, moving through and closing a text file's lines.

#include "connectors/clsfsconnect_impl.h"

#include "common/error.h"

namespace quendra {

void clsFSConnect::Impl::readNext()
{
    if (!reader.next()) {
        eof = true;
        return;
    }
    ++lineCount;
    if (lineCount == 1)
        checkEncoding(reader.line());
    useCurrentLine();
    if (lineCount == 1)
        firstLineFields = fieldTotal;
    if (reader.lineCutShort())
        fieldsReady = false; // no value of it may pass as complete
}

clsFSConnect::clsFSConnect() : d(std::make_unique<Impl>()) {}

clsFSConnect::~clsFSConnect()
{
    if (d->writing())
        d->writer.closeSilently();
}

void clsFSConnect::init(const QString& file, qint32 mode, const QString& delimiter)
{
    trapped("clsFSConnect.init", [&] {
        close();
        d->start(file, qint16(mode), LineTarget::Truncate, delimiter);
    });
}

void clsFSConnect::Impl::start(const QString& file, qint16 how, LineTarget target,
                               const QString& delimiter)
{
    fieldsReady = false;
    fileName = file;
    mode = how;
    this->target = target;
    lineCount = 0;
    eof = false;
    readAs = kind;
    byteOrderMark = false;
    encodingChecked = false;
    if (!delimiter.isEmpty())
        trapped("clsFSConnect.setDelimiter", [&] { setDelimiter(delimiter); });
    if (mode == ReadMode) {
        reader.open(file);
        open = true;
        readNext();
        sourceFields = std::size_t(-1);
        recordWidth = fieldsReady ? fieldTotal : 0;
    } else if (mode == WriteMode) {
        writer.open(file, target);
        open = true;
        valuesInLine = 0;
        linesWritten = 0;
        replaced = {};
    }
}

void clsFSConnect::close()
{
    trapped("clsFSConnect.close", [&] {
        if (!d->open)
            return;
        d->open = false;
        d->reader.close();
        if (d->mode == Impl::WriteMode)
            d->writer.close(); // a line without update is not written
    });
}

bool clsFSConnect::isEOF() const
{
    return !d->open || d->eof;
}

qint64 clsFSConnect::AbsolutePosition() const
{
    return d->lineCount;
}

void clsFSConnect::MoveFirst()
{
    trapped("clsFSConnect.MoveFirst", [&] {
        if (!d->reading())
            return;
        d->fieldsReady = false;
        d->lineCount = 0;
        d->eof = false;
        d->reader.rewind();
        d->readNext();
    });
}

void clsFSConnect::MoveLast()
{
    trapped("clsFSConnect.MoveLast", [&] {
        if (!d->reading() || d->eof)
            return;
        // Counts line ends only; the last line is decoded and split once at the end.
        qint64 more = 0;
        while (d->reader.next())
            ++more;
        d->eof = true;
        if (more > 0) {
            d->lineCount += more;
            d->useCurrentLine();
        }
    });
}

void clsFSConnect::MoveNext()
{
    trapped("clsFSConnect.MoveNext", [&] {
        if (d->reading() && !d->eof)
            d->readNext();
    });
}

bool clsFSConnect::shortened() const
{
    return d->reading() && (d->reader.lineCutShort() || (d->eof && d->reader.endedShort()));
}

void clsFSConnect::checkComplete(qint64 records) const
{
    if (!d->reading() || !d->eof || !d->reader.endedShort())
        return;
    throw Error(errnum::NoCurrentRecord, {},
                QStringLiteral("Die Quelldatei endete nach %1 Datensätzen, war beim Öffnen "
                               "aber länger (%2 statt %3 Bytes gelesen): sie wurde während "
                               "der Umsetzung von einem anderen Programm verändert.")
                    .arg(records)
                    .arg(d->reader.bytesRead())
                    .arg(d->reader.sizeAtOpen()));
}

bool clsFSConnect::handBlocks(ReadBlocks* blocks)
{
    if (!d->reading() || d->reader.sizeAtOpen() < 0)
        return false;
    d->reader.handBlocks(blocks);
    return true;
}

int clsFSConnect::fieldCount() const
{
    return d->reading() && d->fieldsReady ? int(d->fieldTotal) : 0;
}

QStringView clsFSConnect::getField(int index) const
{
    if (!d->reading())
        return {};
    if (!d->fieldsReady || index < 0 || std::size_t(index) >= d->fieldTotal) {
        if (d->reader.lineCutShort())
            raiseError(Error(errnum::NoCurrentRecord, {}, d->cutShortText()),
                       QStringLiteral("clsFSConnect.getField"));
        raiseError(standardError(errnum::SubscriptOutOfRange, d->missingField(index)),
                   QStringLiteral("clsFSConnect.getField"));
    }
    return d->fields[std::size_t(index)];
}

std::span<const QStringView> clsFSConnect::currentFields() const
{
    if (!d->reading() || !d->fieldsReady)
        return {};
    return {d->fields.data(), d->fieldTotal};
}

void clsFSConnect::initReading(const QString& file, const QString& delimiter,
                               std::size_t sourceFields)
{
    init(file, Impl::ReadMode, delimiter);
    d->sourceFields = sourceFields;
    // A delimiter that the first line does not hold would put every whole line into
    // the first field ("\t" typed as two characters, "," for a ";" file).
    if (!d->eof && d->recordWidth == 1 && sourceFields > 1)
        throw standardError(errnum::InvalidProcedureCall,
                            QStringLiteral("Das Trennzeichen „%1“ kommt in Zeile 1 nicht "
                                           "vor (Quelldatei %2), die Definition hat aber %3 "
                                           "Quellfelder: jede Zeile käme ganz in das erste "
                                           "Feld. Prüfen Sie das Trennzeichen der Quelle.")
                                .arg(d->delimiter, d->fileName)
                                .arg(sourceFields));
}

bool clsFSConnect::currentLine(std::span<const QStringView>& fields) const
{
    const std::size_t required = std::min(d->sourceFields, d->recordWidth);
    const std::size_t total = d->reading() && d->fieldsReady ? d->fieldTotal : 0;
    if (total > d->recordWidth && d->recordWidth > 0)
        d->refuseExtraFields();
    if (total < required)
        getField(int(total)); // throws, saying what the line lacks
    fields = {d->fields.data(), total};
    return true;
}

} // namespace quendra
