// Building and writing the lines of a text target.

#include "connectors/clsfsconnect_impl.h"

#include "common/error.h"

#include <cstring>

namespace quendra {

// A character the code page lacks is written as "?" (in code page 850 only at update):
// bytes without such a "?" need no closer look.
bool clsFSConnect::Impl::mayHaveReplaced(const char* bytes, std::size_t n) const
{
    if (isUtf8(kind))
        return false; // UTF-8 holds every character
    if (!oem)
        return std::memchr(bytes, '?', n) != nullptr;
    for (std::size_t i = 0; i < n; ++i) {
        if (cp.ansiToOem[std::uint8_t(bytes[i])] == '?')
            return true;
    }
    return false;
}

void clsFSConnect::Impl::countReplaced(QStringView value, int valueIndex)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (cp.holds(c.unicode(), oem) && !c.isSurrogate())
            continue;
        const bool pair =
            c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate();
        replaced.count(linesWritten + 1, valueIndex, value.mid(i, pair ? 2 : 1).toString());
        i += pair ? 1 : 0;
    }
}

void clsFSConnect::Impl::countReplaced(std::span<const QString> values, int firstValue)
{
    for (std::size_t i = 0; i < values.size(); ++i)
        countReplaced(values[i], firstValue + int(i));
}

void clsFSConnect::initWriting(const QString& file, LineTarget target, const QString& delimiter)
{
    trapped("clsFSConnect.init", [&] {
        close();
        d->start(file, Impl::WriteMode, target, delimiter);
    });
}

QByteArray clsFSConnect::takeWritten()
{
    const std::string lines = d->writer.takeLines();
    return QByteArray(lines.data(), qsizetype(lines.size()));
}

qint64 clsFSConnect::heldBytes() const
{
    return qint64(d->writer.heldBytes());
}

void clsFSConnect::letGo()
{
    trapped("clsFSConnect.update", [&] { d->writer.release(); });
}

const clsFSConnect::Replaced& clsFSConnect::replaced() const
{
    return d->replaced;
}

QString clsFSConnect::codePageName() const
{
    return d->oem ? QStringLiteral("850") : QStringLiteral("1252");
}

void clsFSConnect::setEncoding(const QString& encoding)
{
    d->encoding = encoding;
    d->kind = textEncoding(encoding);
    d->oem = d->kind == TextEncoding::Oem;
    if (!d->writing())
        return;
    if (!d->delimiter.isEmpty())
        d->setDelimiter(d->delimiter);
    // The mark begins a new file, never a preview's lines.
    if (d->kind == TextEncoding::Utf8Bom && d->target != LineTarget::Memory &&
        d->linesWritten == 0 && d->writer.lineSize() == 0)
        d->writer.append(Utf8ByteOrderMark, 3);
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
        const auto delimiterSize =
            d->valuesInLine++ > 0 ? std::size_t(d->delimiterBytes.size()) : 0;
        // UTF-8 takes up to three bytes per unit.
        const std::size_t perUnit = d->writesUtf8() ? 3 : 1;
        char* out = d->writer.reserve(delimiterSize +
                                      perUnit * std::size_t(2 * qualifier.size() + value.size()));
        std::memcpy(out, d->delimiterBytes.constData(), delimiterSize);
        std::size_t k = delimiterSize;
        const auto put = [&](QStringView text) {
            k += perUnit == 3 ? toUtf8(text, out + k) : d->cp.toAnsi(text, out + k);
        };
        put(qualifier);
        put(value);
        put(qualifier);
        if (d->mayHaveReplaced(out, k))
            d->countReplaced(value, d->valuesInLine - 1);
        d->writer.commit(k);
    });
}

void clsFSConnect::planValues(std::span<const QStringView> qualifiers)
{
    d->valueWrites.assign(qualifiers.size(), {});
    for (std::size_t i = 0; i < qualifiers.size(); ++i)
        d->valueWrites[i].qualifier = qualifiers[i];
    d->writesPlanned = false;
}

// What each value's qualifier and delimiter ask of it, once for all records (and again
// after the delimiter changed).
void clsFSConnect::Impl::settleWrites()
{
    shortWrites = delimiterBytes.size() == 1 && delimiter.size() == 1;
    qualifierBytes = 0;
    for (ValueWrite& w : valueWrites) {
        w.mark = w.qualifier.isEmpty() ? QStringView(delimiter) : w.qualifier;
        w.quoted = w.qualifier.size() == 1 && w.qualifier[0].unicode() < 0x80;
        w.quote = w.quoted ? char(w.qualifier[0].unicode()) : 0;
        w.markUnit = w.mark.size() == 1 ? w.mark[0].unicode() : 0;
        shortWrites = shortWrites && w.mark.size() == 1 && (w.quoted || w.qualifier.isEmpty());
        qualifierBytes += 2 * std::size_t(w.qualifier.size()); // one byte per unit
    }
    writesPlanned = true;
}

// The first value that holds its mark, or -1.
qsizetype clsFSConnect::Impl::valueHoldingMark(std::span<const QString> values) const
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        const QStringView mark = valueWrites[i].mark;
        if (!mark.isEmpty() && values[i].contains(mark))
            return qsizetype(i);
    }
    return -1;
}

qsizetype clsFSConnect::setValues(std::span<const QString> values)
{
    return trapped("clsFSConnect.setValue", [&]() -> qsizetype {
        if (!d->writing())
            return -1;
        if (values.size() != d->valueWrites.size())
            throw Error(errnum::InvalidProcedureCall, {},
                        QStringLiteral("%1 Werte für eine Zeile von %2 Werten")
                            .arg(values.size())
                            .arg(d->valueWrites.size()));
        if (!d->writesPlanned)
            d->settleWrites();
        if (d->writesUtf8()) {
            // Values are not moved block by block here: looked at apart.
            const qsizetype held = d->valueHoldingMark(values);
            for (std::size_t i = 0; held < 0 && i < values.size(); ++i)
                setValue(d->valueWrites[i].qualifier, values[i]);
            return held;
        }
        return d->shortWrites ? d->setValuesShort(values) : d->setValuesGeneral(values);
    });
}

// Room for the values of a line: one byte per character at most, the delimiters and
// qualifiers, and the slack that short values are moved with.
char* clsFSConnect::Impl::reserveLine(std::span<const QString> values, std::size_t delimiterSize)
{
    std::size_t room = values.size() * delimiterSize + qualifierBytes + CodePages::ShortMove;
    for (const QString& value : values)
        room += std::size_t(value.size());
    return writer.reserve(room);
}

// The values moved to out[0..k) become part of the line; the replaced characters among
// them are counted.
void clsFSConnect::Impl::commitValues(std::span<const QString> values, const char* out,
                                      std::size_t k, const CodePages::EncodeNotes& notes)
{
    if (oem ? mayHaveReplaced(out, k) : notes.missing)
        countReplaced(values, valuesInLine);
    valuesInLine += int(values.size());
    writer.commit(k);
}

// One byte of delimiter, qualifiers of one byte or none, marks of one unit: each value is
// looked at for its mark while it is moved, and for characters the code page lacks.
qsizetype clsFSConnect::Impl::setValuesShort(std::span<const QString> values)
{
    char* out = reserveLine(values, 1);
    const char separator = delimiterBytes[0];
    const ValueWrite* w = valueWrites.data();
    CodePages::EncodeNotes notes;
    std::size_t k = 0;
    if (valuesInLine > 0)
        out[k++] = separator;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out[k++] = separator;
        out[k] = w[i].quote; // overwritten by the value when there is no qualifier
        k += w[i].quoted;
        k += cp.toAnsiShort(values[i], out + k, w[i].markUnit, notes);
        out[k] = w[i].quote;
        k += w[i].quoted;
    }
    if (notes.held)
        return valueHoldingMark(values); // nothing of the line is committed
    commitValues(values, out, k, notes);
    return -1;
}

// Delimiters, qualifiers or marks of other sizes.
qsizetype clsFSConnect::Impl::setValuesGeneral(std::span<const QString> values)
{
    const auto delimiterSize = std::size_t(delimiterBytes.size());
    char* out = reserveLine(values, delimiterSize);
    CodePages::EncodeNotes notes;
    std::size_t k = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0 || valuesInLine > 0) {
            std::memcpy(out + k, delimiterBytes.constData(), delimiterSize);
            k += delimiterSize;
        }
        const ValueWrite& w = valueWrites[i];
        k += cp.toAnsi(w.qualifier, out + k);
        if (w.mark.size() == 1) {
            k += cp.toAnsiShort(values[i], out + k, w.markUnit, notes);
        } else {
            k += cp.toAnsiShort(values[i], out + k, notes);
            notes.held = notes.held || (!w.mark.isEmpty() && values[i].contains(w.mark));
        }
        k += cp.toAnsi(w.qualifier, out + k);
        if (notes.held)
            return qsizetype(i); // nothing of the line is committed
    }
    commitValues(values, out, k, notes);
    return -1;
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
        ++d->linesWritten;
        d->writer.endLine();
    });
}

} // namespace quendra
