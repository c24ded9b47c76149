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

// The first value that holds its mark, or -1: in UTF-8, where values are not moved
// block by block, and for marks of more than one character.
qsizetype clsFSConnect::Impl::valueHoldingMark(std::span<const QString> values,
                                               std::span<const QStringView> qualifiers) const
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        const QStringView mark = qualifiers[i].isEmpty() ? QStringView(delimiter) : qualifiers[i];
        if (!mark.isEmpty() && values[i].contains(mark))
            return qsizetype(i);
    }
    return -1;
}

qsizetype clsFSConnect::setValues(std::span<const QString> values,
                                  std::span<const QStringView> qualifiers)
{
    return trapped("clsFSConnect.setValue", [&]() -> qsizetype {
        if (!d->writing())
            return -1;
        if (d->writesUtf8()) {
            const qsizetype held = d->valueHoldingMark(values, qualifiers);
            for (std::size_t i = 0; held < 0 && i < values.size(); ++i)
                setValue(qualifiers[i], values[i]);
            return held;
        }
        const auto delimiterSize = std::size_t(d->delimiterBytes.size());
        // One byte per character at most, and the slack that short values are moved with.
        std::size_t room = values.size() * delimiterSize + CodePages::ShortMove;
        for (std::size_t i = 0; i < values.size(); ++i)
            room += std::size_t(values[i].size() + 2 * qualifiers[i].size());
        char* out = d->writer.reserve(room);
        const CodePages& cp = d->cp;
        const char* delimiter = d->delimiterBytes.constData();
        std::size_t k = 0;
        // Each value is looked at for its mark while it is moved; one of more than one
        // character is looked for apart.
        const auto put = [&](const QString& value, QStringView mark) __attribute__((always_inline))
        {
            bool held = false;
            if (mark.size() == 1) {
                k += cp.toAnsiShort(value, out + k, mark[0].unicode(), held);
            } else {
                k += cp.toAnsiShort(value, out + k);
                held = !mark.isEmpty() && value.contains(mark);
            }
            return held;
        };
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0 || d->valuesInLine > 0) {
                if (delimiterSize == 1)
                    out[k] = delimiter[0];
                else
                    std::memcpy(out + k, delimiter, delimiterSize);
                k += delimiterSize;
            }
            const QStringView q = qualifiers[i];
            bool held = false;
            if (q.size() == 1 && q[0].unicode() < 0x80) { // the usual '"'
                out[k++] = char(q[0].unicode());
                held = put(values[i], q);
                out[k++] = char(q[0].unicode());
            } else if (q.isEmpty()) {
                held = put(values[i], d->delimiter);
            } else {
                k += cp.toAnsi(q, out + k);
                held = put(values[i], q);
                k += cp.toAnsi(q, out + k);
            }
            if (held)
                return qsizetype(i); // nothing of the line is committed
        }
        if (d->mayHaveReplaced(out, k))
            d->countReplaced(values, d->valuesInLine);
        d->valuesInLine += int(values.size());
        d->writer.commit(k);
        return qsizetype(-1);
    });
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
