#include "connectors/clsfsconnect.h"

#include "common/error.h"
#include "common/valuebuffer.h"
#include "connectors/clsfsconnect_io.h"
#include "connectors/codepage.h"
#include "connectors/textencoding.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <vector>

namespace quendra {

namespace {
constexpr qint16 WriteMode = 0;
constexpr qint16 ReadMode = 1;
constexpr bool LittleEndian = std::endian::native == std::endian::little;

// The high bit of every byte of the eight at p that equals c, nothing else (no carry
// crosses a byte, so no byte is marked by its neighbour).
std::uint64_t bytesEqual(const char* p, char c)
{
    constexpr std::uint64_t Low7 = 0x7F7F7F7F7F7F7F7Full;
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    x ^= 0x0101010101010101ull * std::uint8_t(c); // equal bytes become 0
    return ~(((x & Low7) + Low7) | x | Low7);
}
} // namespace

struct clsFSConnect::Impl {
    const CodePages& cp = CodePages::instance();
    QString fileName;
    qint16 mode = WriteMode;
    bool open = false;
    bool eof = false;
    qint64 lineCount = 0;
    std::size_t firstLineFields = 0; // fields of line 1, for the message about a short line
    // Reading a source: its fields, and the fields of line 1 at opening, which every line
    // must have (up to the source's fields).
    std::size_t sourceFields = std::size_t(-1);
    std::size_t recordWidth = 0;
    QString delimiter;
    QByteArray delimiterBytes;    // the delimiter as file bytes
    bool delimiterInFile = false; // every delimiter character has a byte of its own
    QString encoding;
    TextEncoding kind = TextEncoding::Ansi;
    bool oem = false; // encoding "ASCII": lines are written in code page 850
    TextEncoding readAs = TextEncoding::Ansi; // the encoding, or UTF-8 for a file with a mark
    bool byteOrderMark = false;               // line 1 begins with the UTF-8 mark, which is no text
    bool encodingChecked = false;
    LineTarget target = LineTarget::Truncate;

    LineReader reader;
    QString line;                    // the current line, decoded
    std::vector<QStringView> fields; // the fields of line: the first fieldTotal entries
    std::size_t fieldTotal = 0;
    bool fieldsReady = false;

    LineWriter writer;
    int valuesInLine = 0;
    qint64 linesWritten = 0;
    Replaced replaced;

    bool reading() const { return open && mode == ReadMode; }
    bool writing() const { return open && mode == WriteMode; }
    // Opens file for reading or writing (after close()).
    void start(const QString& file, qint16 how, LineTarget target, const QString& delimiter);
    void setDelimiter(const QString& text);
    void readNext();
    void useCurrentLine();
    void prepareFields(std::string_view raw);
    void prepareFieldsOfText();
    void checkEncoding(std::string_view raw);
    void refuseUtf8ReadAsSingleByte() const;
    [[noreturn]] void refuseInvalidUtf8(std::size_t bad) const;
    bool writesUtf8() const { return writing() && isUtf8(kind); }
    QString missingField(int index) const;
    bool mayHaveReplaced(const char* bytes, std::size_t n) const;
    void countReplaced(std::span<const QString> values, int firstValue);
    void countReplaced(QStringView value, int valueIndex);
    QString cutShortText() const;
    void refuseExtraFields() const;
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
    if (line.isEmpty() && lineCount > 1)
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

QString clsFSConnect::Impl::cutShortText() const
{
    return QStringLiteral("Die Quelldatei %1 wurde während des Lesens kürzer: beim Öffnen hatte "
                          "sie %2 Bytes, jetzt endet sie nach %3 Bytes mitten in Zeile %4. Ein "
                          "anderes Programm hat sie verändert.")
        .arg(fileName)
        .arg(reader.sizeAtOpen())
        .arg(reader.bytesRead())
        .arg(lineCount);
}

namespace {
// Latin letters in UTF-16 without byte order mark: every other byte is zero.
bool zeroEveryOther(std::string_view raw)
{
    if (raw.size() < 2)
        return false;
    for (std::size_t first = 0; first < 2; ++first) {
        bool all = true;
        for (std::size_t i = first; i < raw.size() && all; i += 2)
            all = raw[i] == '\0';
        if (all)
            return true;
    }
    return false;
}
} // namespace

// The first line tells the encoding of a file: the UTF-8 byte order mark says UTF-8,
// whatever was chosen; UTF-16 (a mark, or the zero bytes of Latin letters) is refused.
// A file chosen as single-byte that holds UTF-8 without the mark is refused once, before
// its first line is used: read byte by byte it would give "BÃ¼ro" for "Büro".
void clsFSConnect::Impl::checkEncoding(std::string_view raw)
{
    byteOrderMark = raw.starts_with(Utf8ByteOrderMark);
    readAs = byteOrderMark ? TextEncoding::Utf8 : kind;
    if (!delimiter.isEmpty())
        setDelimiter(delimiter);
    if (raw.starts_with("\xFF\xFE") || raw.starts_with("\xFE\xFF") || zeroEveryOther(raw))
        throw Error(errnum::InvalidProcedureCall, {},
                    QStringLiteral("Die Quelldatei %1 ist in UTF-16 geschrieben; gelesen werden "
                                   "Windows-1252 (ANSI), Codepage 850 (ASCII) und UTF-8. "
                                   "Speichern Sie sie in einer dieser Kodierungen.")
                        .arg(fileName));
    if (!isUtf8(readAs) && !std::exchange(encodingChecked, true))
        refuseUtf8ReadAsSingleByte();
}

void clsFSConnect::Impl::refuseUtf8ReadAsSingleByte() const
{
    const long long at = reader.utf8Start();
    if (at < 0)
        return;
    throw Error(errnum::InvalidProcedureCall, {},
                QStringLiteral("Die Quelldatei %1 ist in UTF-8 geschrieben (zuerst in Zeile %2), "
                               "die Definition liest sie aber als %3: Umlaute und andere "
                               "Sonderzeichen würden verfälscht. Es wurde nichts geschrieben. "
                               "Wählen Sie im Hauptfenster unter „Von“ die Kodierung „UTF-8“ "
                               "(in der Textform der Definition: encoding = \"UTF-8\" im "
                               "Abschnitt [source]).")
                    .arg(fileName)
                    .arg(reader.lineAt(at))
                    .arg(kind == TextEncoding::Oem ? QStringLiteral("Codepage 850 (ASCII)")
                                                   : QStringLiteral("Windows-1252 (ANSI)")));
}

void clsFSConnect::Impl::refuseInvalidUtf8(std::size_t bad) const
{
    const std::string_view raw = reader.line();
    const std::size_t inLine = bad + (byteOrderMark && lineCount == 1 ? 3 : 0);
    throw Error(errnum::InvalidProcedureCall, {},
                QStringLiteral("Die Quelldatei %1 ist kein gültiges UTF-8: Zeile %2, Byte %3 "
                               "der Zeile (Byte %4 der Datei) ist 0x%5. Prüfen Sie die Kodierung "
                               "der Quelle (im Hauptfenster unter „Von“); in Windows-1252 wäre "
                               "die Zeile „%6“.")
                    .arg(fileName)
                    .arg(lineCount)
                    .arg(inLine + 1)
                    .arg(reader.lineOffset() + (long long)inLine + 1)
                    .arg(std::uint8_t(raw[inLine]), 2, 16, QLatin1Char('0'))
                    .arg(QString::fromStdU16String([&] {
                        // enough to recognise the line
                        const std::size_t n = std::min<std::size_t>(raw.size(), 60);
                        std::u16string text(n, u' ');
                        cp.fromAnsi(raw.data(), n, text.data());
                        return n < raw.size() ? text + u"…" : text;
                    }())));
}

// The delimiter as the file's bytes: in UTF-8, or in the code page a line is read in
// (written lines are built in Windows-1252 and turned into code page 850 as a whole).
void clsFSConnect::Impl::setDelimiter(const QString& text)
{
    delimiter = text;
    const TextEncoding as = mode == WriteMode ? kind : readAs;
    if (isUtf8(as)) {
        delimiterBytes = text.toUtf8();
        delimiterInFile = true;
        return;
    }
    const auto& table = as == TextEncoding::Oem ? cp.oemToUnicode : cp.ansiToUnicode;
    delimiterBytes.resize(text.size());
    delimiterInFile = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const auto* at = std::find(table.begin(), table.end(), c);
        delimiterBytes[i] = char(at - table.begin());
        delimiterInFile = delimiterInFile && at != table.end();
    }
}

// Decodes the reader's current line into the line buffer and splits it.
void clsFSConnect::Impl::useCurrentLine()
{
    std::string_view raw = reader.line();
    if (byteOrderMark && lineCount == 1)
        raw.remove_prefix(std::min<std::size_t>(raw.size(), 3));
    fieldsReady = false;
    auto* text = reinterpret_cast<char16_t*>(setLength(line, qsizetype(raw.size())));
    if (readAs == TextEncoding::Ansi) {
        cp.fromAnsi(raw.data(), raw.size(), text);
    } else if (readAs == TextEncoding::Oem) {
        for (std::size_t i = 0; i < raw.size(); ++i)
            text[i] = cp.oemToUnicode[std::uint8_t(raw[i])];
    } else {
        std::size_t bad = 0;
        const std::ptrdiff_t units = fromUtf8(raw.data(), raw.size(), text, &bad);
        if (units < 0)
            refuseInvalidUtf8(bad);
        if (std::size_t(units) != raw.size()) { // characters of more than one byte
            line.truncate(units);
            prepareFieldsOfText();
            return;
        }
    }
    prepareFields(raw);
}

// Splits the decoded line where its characters are not one byte each.
void clsFSConnect::Impl::prepareFieldsOfText()
{
    if (delimiter.isEmpty())
        return prepareFields({});
    const QStringView text(line);
    std::size_t count = 0;
    qsizetype start = 0;
    const auto field = [&](qsizetype end) {
        if (count == fields.size())
            fields.resize(2 * fields.size() + 16);
        fields[count++] = text.mid(start, end - start);
    };
    for (qsizetype hit; (hit = text.indexOf(delimiter, start)) >= 0; start = hit + delimiter.size())
        field(hit);
    field(text.size());
    fieldTotal = count;
    fieldsReady = true;
}

// Splits on the raw bytes: decoding maps each byte to one character, so the positions
// are those of the decoded line. A delimiter that no byte sequence can hold never
// matches, and the whole line is one field.
void clsFSConnect::Impl::prepareFields(std::string_view raw)
{
    trapped("clsFSConnect.prepareFields", [&] {
        if (delimiter.isEmpty())
            throw Error(errnum::InvalidProcedureCall, {},
                        QStringLiteral("Für die Quelldatei %1 ist kein Trennzeichen angegeben: "
                                       "ohne Trennzeichen lassen sich die Felder einer Zeile "
                                       "nicht trennen.")
                            .arg(fileName));
        // The entries are reused line by line and grow only for a line with more fields.
        // They are counted and stored through locals, which stay in registers.
        const QChar* text = line.constData();
        QStringView* entries = fields.data();
        std::size_t count = 0, room = fields.size();
        const auto field = [&](std::size_t start, std::size_t end) {
            if (count == room) {
                fields.resize(2 * room + 16);
                entries = fields.data();
                room = fields.size();
            }
            entries[count++] = QStringView(text + start, qsizetype(end - start));
        };
        const std::string_view delim(delimiterBytes.constData(),
                                     std::size_t(delimiterBytes.size()));
        std::size_t start = 0;
        if (delimiterInFile && delim.size() == 1) {
            // Fields are short: a block of bytes at a time beats a library search per field.
            const char d = delim[0];
            std::size_t i = 0;
#if defined(__SSE2__)
            const __m128i wanted = _mm_set1_epi8(d);
            const auto block = [&](std::size_t at) {
                const __m128i v =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(raw.data() + at));
                return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, wanted)));
            };
            const auto take = [&](std::size_t at, unsigned hits) { // hits: bit k for byte at + k
                for (; hits != 0; hits &= hits - 1) {
                    const std::size_t end = at + std::size_t(std::countr_zero(hits));
                    field(start, end);
                    start = end + 1;
                }
            };
            for (; i + 16 <= raw.size(); i += 16)
                take(i, block(i));
            if (i < raw.size() && raw.size() >= 16) {
                // The rest: the line's last 16 bytes, without those already searched.
                const std::size_t last = raw.size() - 16;
                take(last, block(last) & (~0u << (i - last)));
                i = raw.size();
            }
#endif
            for (; LittleEndian && i + 8 <= raw.size(); i += 8) {
                for (std::uint64_t hits = bytesEqual(raw.data() + i, d); hits != 0;
                     hits &= hits - 1) {
                    const std::size_t at = i + std::size_t(std::countr_zero(hits) / 8);
                    field(start, at);
                    start = at + 1;
                }
            }
            for (; i < raw.size(); ++i) {
                if (raw[i] == d) {
                    field(start, i);
                    start = i + 1;
                }
            }
        } else {
            while (delimiterInFile) {
                const std::size_t hit = raw.find(delim, start);
                if (hit == std::string_view::npos)
                    break;
                field(start, hit);
                start = hit + delim.size();
            }
        }
        field(start, raw.size());
        fieldTotal = count;
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

void clsFSConnect::initWriting(const QString& file, LineTarget target, const QString& delimiter)
{
    trapped("clsFSConnect.init", [&] {
        close();
        d->start(file, WriteMode, target, delimiter);
    });
}

QByteArray clsFSConnect::takeWritten()
{
    const std::string lines = d->writer.takeLines();
    return QByteArray(lines.data(), qsizetype(lines.size()));
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
    init(file, ReadMode, delimiter);
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

// A line with more fields than the first one holds a delimiter inside a value (as in
// "Meier; Hans"): every value after it would be taken for the next field. Empty fields
// at its end (a closing delimiter) lose nothing.
void clsFSConnect::Impl::refuseExtraFields() const
{
    const std::span<const QStringView> extra(fields.data() + recordWidth, fieldTotal - recordWidth);
    if (std::all_of(extra.begin(), extra.end(), [](QStringView v) { return v.isEmpty(); }))
        return;
    throw standardError(errnum::SubscriptOutOfRange,
                        QStringLiteral("Zeile %1 hat %2 Felder, die erste Zeile nur %3 "
                                       "(Trennzeichen „%4“): ein Trennzeichen in einem Wert "
                                       "verschiebt die Werte dahinter in andere Felder.")
                            .arg(lineCount)
                            .arg(fieldTotal)
                            .arg(recordWidth)
                            .arg(delimiter));
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

void clsFSConnect::setValues(std::span<const QString> values,
                             std::span<const QStringView> qualifiers)
{
    trapped("clsFSConnect.setValue", [&] {
        if (!d->writing())
            return;
        if (d->writesUtf8()) {
            for (std::size_t i = 0; i < values.size(); ++i)
                setValue(qualifiers[i], values[i]);
            return;
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
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0 || d->valuesInLine > 0) {
                if (delimiterSize == 1)
                    out[k] = delimiter[0];
                else
                    std::memcpy(out + k, delimiter, delimiterSize);
                k += delimiterSize;
            }
            const QStringView q = qualifiers[i];
            if (q.size() == 1 && q[0].unicode() < 0x80) { // the usual '"'
                out[k++] = char(q[0].unicode());
                k += cp.toAnsiShort(values[i], out + k);
                out[k++] = char(q[0].unicode());
            } else if (q.isEmpty()) {
                k += cp.toAnsiShort(values[i], out + k);
            } else {
                k += cp.toAnsi(q, out + k);
                k += cp.toAnsi(values[i], out + k);
                k += cp.toAnsi(q, out + k);
            }
        }
        if (d->mayHaveReplaced(out, k))
            d->countReplaced(values, d->valuesInLine);
        d->valuesInLine += int(values.size());
        d->writer.commit(k);
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
