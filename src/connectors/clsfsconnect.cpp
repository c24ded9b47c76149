#include "connectors/clsfsconnect.h"

#include "common/error.h"
#include "connectors/clsfsconnect_io.h"
#include "connectors/codepage.h"

#include <cstring>
#include <utility>
#include <vector>

namespace quendra {

namespace {
constexpr qint16 WriteMode = 0;
constexpr qint16 ReadMode = 1;
} // namespace

struct clsFSConnect::Impl {
    const CodePages& cp = CodePages::instance();
    QString fileName;
    qint16 mode = WriteMode;
    bool open = false;
    bool eof = false;
    qint64 lineCount = 0;
    QString delimiter;
    QByteArray delimiterBytes;    // the delimiter as file bytes
    bool delimiterInFile = false; // every delimiter character has a byte of its own
    QString encoding;

    LineReader reader;
    QString line;                            // the current line, decoded
    std::vector<std::pair<int, int>> fields; // offset and length in line
    bool fieldsReady = false;

    LineWriter writer;
    int valuesInLine = 0;

    bool reading() const { return open && mode == ReadMode; }
    bool writing() const { return open && mode == WriteMode; }
    void setDelimiter(const QString& text);
    void readNext();
    void useCurrentLine();
    void prepareFields(std::string_view raw);
    void append(QStringView value);
};

void clsFSConnect::Impl::setDelimiter(const QString& text)
{
    delimiter = text;
    delimiterBytes.resize(text.size());
    delimiterInFile = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const std::uint8_t b = cp.encode(c);
        delimiterBytes[i] = char(b);
        delimiterInFile = delimiterInFile && cp.decode(b) == c;
    }
}

// Decodes the reader's current line into the line buffer and splits it.
void clsFSConnect::Impl::useCurrentLine()
{
    const std::string_view raw = reader.line();
    fieldsReady = false;
    line.resize(qsizetype(raw.size()));
    QChar* out = line.data();
    for (std::size_t i = 0; i < raw.size(); ++i)
        out[i] = QChar(cp.decode(std::uint8_t(raw[i])));
    prepareFields(raw);
}

// Splits on the raw bytes: decoding maps each byte to one character, so the positions
// are those of the decoded line. A delimiter that no byte sequence can hold never
// matches, and the whole line is one field.
void clsFSConnect::Impl::prepareFields(std::string_view raw)
{
    trapped("clsFSConnect.prepareFields", [&] {
        if (delimiter.isEmpty())
            throw standardError(errnum::SubscriptOutOfRange);
        fields.clear();
        const std::string_view delim(delimiterBytes.constData(),
                                     std::size_t(delimiterBytes.size()));
        std::size_t start = 0;
        while (delimiterInFile) {
            const std::size_t hit =
                delim.size() == 1 ? raw.find(delim[0], start) : raw.find(delim, start);
            if (hit == std::string_view::npos)
                break;
            fields.emplace_back(int(start), int(hit - start));
            start = hit + delim.size();
        }
        fields.emplace_back(int(start), int(raw.size() - start));
        fieldsReady = true;
    });
}

void clsFSConnect::Impl::readNext()
{
    if (!reader.next()) {
        eof = true;
        return;
    }
    ++lineCount;
    useCurrentLine();
}

// Encodes value as file bytes behind the line being built.
void clsFSConnect::Impl::append(QStringView value)
{
    const auto n = std::size_t(value.size());
    char* out = writer.reserve(n);
    const char16_t* in = value.utf16();
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            out[k++] = char(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
            out[k++] = '?'; // one character, one "?"
            ++i;
        } else {
            out[k++] = char(cp.unicodeToAnsi[c]);
        }
    }
    writer.commit(k);
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

int clsFSConnect::fieldCount() const
{
    return d->reading() && d->fieldsReady ? int(d->fields.size()) : 0;
}

QStringView clsFSConnect::getField(int index) const
{
    if (!d->reading())
        return {};
    if (!d->fieldsReady || index < 0 || std::size_t(index) >= d->fields.size()) {
        raiseError(
            standardError(errnum::SubscriptOutOfRange,
                          QStringLiteral("Feld %1 in Zeile %2").arg(index).arg(d->lineCount)),
            QStringLiteral("clsFSConnect.getField"));
    }
    const auto [offset, length] = d->fields[std::size_t(index)];
    return QStringView(d->line).mid(offset, length);
}

void clsFSConnect::setEncoding(const QString& encoding)
{
    d->encoding = encoding;
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
        if (d->valuesInLine++ > 0)
            d->writer.append(d->delimiterBytes.constData(), std::size_t(d->delimiterBytes.size()));
        d->append(qualifier);
        d->append(value);
        d->append(qualifier);
    });
}

void clsFSConnect::update()
{
    trapped("clsFSConnect.update", [&] {
        if (!d->writing())
            return;
        if (d->encoding == QLatin1String("ASCII")) {
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
