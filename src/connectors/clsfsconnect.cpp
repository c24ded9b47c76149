#include "connectors/clsfsconnect.h"

#include "common/error.h"
#include "connectors/clsfsconnect_io.h"
#include "connectors/codepage.h"
#include "connectors/fieldsplit.h"
#include "connectors/readahead.h"

#include <cstring>
#include <span>
#include <system_error>
#include <utility>
#include <vector>

namespace quendra {

namespace {
constexpr qint16 WriteMode = 0;
constexpr qint16 ReadMode = 1;
// A regular file of at least this size is read ahead on a thread of its own; a smaller
// one is read in one go anyway.
constexpr long long ReadAheadFrom = 1 << 20;
} // namespace

// Whole cache lines of its own: a run reads its source on one thread while the target
// is written on another, and neither should slow the other down by sharing a line.
struct alignas(64) clsFSConnect::Impl {
    const CodePages& cp = CodePages::instance();
    QString fileName;
    qint16 mode = WriteMode;
    bool open = false;
    bool eof = false;
    qint64 lineCount = 0;
    std::size_t firstLineFields = 0; // fields of line 1, for the message about a short line
    QString delimiter;
    FieldSplit split; // the delimiter as file bytes
    QString encoding;
    bool oem = false; // encoding "ASCII": lines are written in code page 850

    LineReader reader;
    std::unique_ptr<ReadAhead> ahead; // reads the lines after the current one, when running
    QString line;                     // the current line, decoded, when read here
    std::vector<QStringView> fields;  // the fields of line: the first fieldTotal entries
    // The current line's fields: in fields, or in a batch of the read-ahead.
    const QStringView* fieldData = nullptr;
    std::size_t fieldTotal = 0;
    bool fieldsReady = false;
    bool lineEmpty = false; // the current line has no characters

    LineWriter writer;
    int valuesInLine = 0;

    bool reading() const { return open && mode == ReadMode; }
    bool writing() const { return open && mode == WriteMode; }
    void setDelimiter(const QString& text);
    void readNext();
    void startReadAhead();
    void stopReadAhead();
    void useCurrentLine();
    void prepareFields(std::string_view raw);
    template <class Value>
    void putValues(std::span<const Value> values, std::span<const QStringView> qualifiers);
    QString missingField(int index) const;
};

namespace {
QString fieldsText(std::size_t count)
{
    return count == 1 ? QStringLiteral("1 Feld") : QStringLiteral("%1 Felder").arg(count);
}
} // namespace

// Says what is wrong with the current line when it has no field index (counted from 0).
QString clsFSConnect::Impl::missingField(int index) const
{
    const qint64 field = qint64(index) + 1;
    if (lineEmpty && lineCount > 1)
        return QStringLiteral("Zeile %1 ist leer, die erste Zeile hat %2: es fehlt Feld %3.")
            .arg(lineCount)
            .arg(fieldsText(firstLineFields))
            .arg(field);
    const QString has = QStringLiteral("Zeile %1 hat nur %2 (Trennzeichen \"%3\")")
                            .arg(lineCount)
                            .arg(fieldsText(fieldTotal), delimiter);
    if (lineCount > 1 && fieldTotal < firstLineFields)
        return has + QStringLiteral(", die erste Zeile %1: es fehlt Feld %2.")
                         .arg(firstLineFields)
                         .arg(field);
    return has + QStringLiteral(": es gibt kein Feld %1.").arg(field);
}

void clsFSConnect::Impl::setDelimiter(const QString& text)
{
    delimiter = text;
    split = FieldSplit::of(text, cp);
}

// Decodes the reader's current line into the line buffer and splits it.
void clsFSConnect::Impl::useCurrentLine()
{
    const std::string_view raw = reader.line();
    fieldsReady = false;
    lineEmpty = raw.empty();
    line.resize(qsizetype(raw.size()));
    cp.fromAnsi(raw.data(), raw.size(), reinterpret_cast<char16_t*>(line.data()));
    prepareFields(raw);
}

void clsFSConnect::Impl::prepareFields(std::string_view raw)
{
    trapped("clsFSConnect.prepareFields", [&] {
        if (delimiter.isEmpty())
            throw standardError(errnum::SubscriptOutOfRange);
        fieldTotal = split.split(raw, line.constData(), fields, 0);
        fieldData = fields.data();
        fieldsReady = true;
    });
}

void clsFSConnect::Impl::readNext()
{
    if (ahead) {
        QStringView text;
        std::span<const QStringView> taken;
        if (!ahead->next(text, taken)) {
            eof = true;
            return;
        }
        ++lineCount;
        lineEmpty = text.isEmpty();
        fieldData = taken.data();
        fieldTotal = taken.size();
        return;
    }
    if (!reader.next()) {
        eof = true;
        return;
    }
    ++lineCount;
    useCurrentLine();
    if (lineCount == 1)
        firstLineFields = fieldTotal;
}

// From the line after the current one on, lines are read ahead: the current line was
// split here, so the delimiter is known to be usable.
void clsFSConnect::Impl::startReadAhead()
{
    if (ahead || !fieldsReady || eof || reader.sizeAtOpen() < ReadAheadFrom)
        return;
    try {
        ahead = std::make_unique<ReadAhead>(reader, split, cp);
    } catch (const std::system_error&) {
        // No thread to be had: the file is read line by line.
    }
}

// Ends the read-ahead and makes the reader hold the current line again, as if it had
// read line by line: it has read further than the lines taken.
void clsFSConnect::Impl::stopReadAhead()
{
    if (!ahead)
        return;
    ahead.reset();
    const qint64 current = lineCount;
    reader.rewind();
    for (qint64 n = 0; n < current; ++n)
        reader.next();
    if (current > 0)
        useCurrentLine();
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
        d->fieldsReady = false;
        d->fileName = file;
        d->mode = qint16(mode);
        d->lineCount = 0;
        d->eof = false;
        if (!delimiter.isEmpty())
            trapped("clsFSConnect.setDelimiter", [&] { d->setDelimiter(delimiter); });
        if (d->mode == ReadMode) {
            d->reader.open(file);
            d->open = true;
            d->readNext();
        } else if (d->mode == WriteMode) {
            d->writer.open(file);
            d->open = true;
            d->valuesInLine = 0;
        }
    });
}

void clsFSConnect::close()
{
    trapped("clsFSConnect.close", [&] {
        if (!d->open)
            return;
        d->open = false;
        d->ahead.reset();
        d->reader.close();
        if (d->mode == WriteMode)
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
        d->ahead.reset();
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
        d->stopReadAhead();
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
        if (d->reading() && !d->eof) {
            d->startReadAhead();
            d->readNext();
        }
    });
}

bool clsFSConnect::endedShort() const
{
    return d->reading() && d->eof && d->reader.endedShort();
}

qint64 clsFSConnect::sizeAtOpen() const
{
    return d->reader.sizeAtOpen();
}

qint64 clsFSConnect::bytesRead() const
{
    return d->reader.bytesRead();
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
        raiseError(standardError(errnum::SubscriptOutOfRange, d->missingField(index)),
                   QStringLiteral("clsFSConnect.getField"));
    }
    return d->fieldData[std::size_t(index)];
}

std::span<const QStringView> clsFSConnect::currentFields() const
{
    if (!d->reading() || !d->fieldsReady)
        return {};
    return {d->fieldData, d->fieldTotal};
}

void clsFSConnect::setEncoding(const QString& encoding)
{
    d->encoding = encoding;
    d->oem = encoding == QLatin1StringView("ASCII");
}

void clsFSConnect::setValue(QStringView value)
{
    setValue({}, value);
}

void clsFSConnect::setValue(QStringView qualifier, QStringView value)
{
    trapped("clsFSConnect.setValue", [&] {
        if (!d->writing())
            return;
        // One byte per character at most: room for everything at once.
        const auto delimiterSize = d->valuesInLine++ > 0 ? std::size_t(d->split.bytes.size()) : 0;
        char* out =
            d->writer.reserve(delimiterSize + std::size_t(2 * qualifier.size() + value.size()));
        std::memcpy(out, d->split.bytes.constData(), delimiterSize);
        std::size_t k = delimiterSize;
        k += d->cp.toAnsi(qualifier, out + k);
        k += d->cp.toAnsi(value, out + k);
        k += d->cp.toAnsi(qualifier, out + k);
        d->writer.commit(k);
    });
}

namespace {
// A value in a buffer of its own may move in one short step; a view is encoded as is.
std::size_t encodeValue(const CodePages& cp, const QString& value, char* out)
{
    return cp.toAnsiShort(value, out);
}

std::size_t encodeValue(const CodePages& cp, QStringView value, char* out)
{
    return cp.toAnsi(value, out);
}
} // namespace

template <class Value>
void clsFSConnect::Impl::putValues(std::span<const Value> values,
                                   std::span<const QStringView> qualifiers)
{
    if (!writing())
        return;
    const auto delimiterSize = std::size_t(split.bytes.size());
    // One byte per character at most, and the slack that short values are moved with.
    std::size_t room = values.size() * delimiterSize + CodePages::ShortMove;
    for (std::size_t i = 0; i < values.size(); ++i)
        room += std::size_t(values[i].size() + 2 * qualifiers[i].size());
    char* out = writer.reserve(room);
    const char* delim = split.bytes.constData();
    std::size_t k = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0 || valuesInLine > 0) {
            if (delimiterSize == 1)
                out[k] = delim[0];
            else
                std::memcpy(out + k, delim, delimiterSize);
            k += delimiterSize;
        }
        const QStringView q = qualifiers[i];
        if (q.size() == 1 && q[0].unicode() < 0x80) { // the usual '"'
            out[k++] = char(q[0].unicode());
            k += encodeValue(cp, values[i], out + k);
            out[k++] = char(q[0].unicode());
        } else if (q.isEmpty()) {
            k += encodeValue(cp, values[i], out + k);
        } else {
            k += cp.toAnsi(q, out + k);
            k += cp.toAnsi(values[i], out + k);
            k += cp.toAnsi(q, out + k);
        }
    }
    valuesInLine += int(values.size());
    writer.commit(k);
}

void clsFSConnect::setValues(std::span<const QString> values,
                             std::span<const QStringView> qualifiers)
{
    trapped("clsFSConnect.setValue", [&] { d->putValues(values, qualifiers); });
}

void clsFSConnect::setValues(std::span<const QStringView> values,
                             std::span<const QStringView> qualifiers)
{
    trapped("clsFSConnect.setValue", [&] { d->putValues(values, qualifiers); });
}

void clsFSConnect::update()
{
    trapped("clsFSConnect.update", [&] {
        if (!d->writing())
            return;
        if (d->oem) {
            char* p = d->writer.lineData();
            for (std::size_t i = 0, n = d->writer.lineSize(); i < n; ++i)
                p[i] = char(d->cp.ansiToOem[std::uint8_t(p[i])]);
        }
        d->writer.append("\r\n", 2);
        d->valuesInLine = 0;
        d->writer.endLine();
    });
}

} // namespace quendra
