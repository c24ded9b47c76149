// Reading a delimited text file line by line and splitting each line into fields,
// compared with a plain reference: the whole file decoded from Windows-1252, cut at
// CR LF, CR or LF, each line split at the delimiter; and every byte of the file must
// reach a field (or a refusal). The fields read are then written back through the writer
// and must read back the same.
//
// Input: one control byte (delimiter; 0xFF: the data starts just before the end of the
// reader's first block, so that lines and line ends straddle a refill), then the file.
#include "common.h"

#include "common/error.h"
#include "connectors/clsfsconnect.h"
#include "connectors/codepage.h"

#include <QFile>
#include <QStringList>
#include <vector>

using namespace quendra;

namespace {

constexpr std::size_t ReadBlock = std::size_t(1) << 20; // the reader's block size

const char16_t* const Delimiters[] = {u";",      u"\t", u",",
                                      u"|",      u"||", u";;",
                                      u"\u20AC", u"ab", u"\u0100" /* no Windows-1252 byte */,
                                      u"\u00E9"};

QString decode(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    CodePages::instance().fromAnsi(bytes.constData(), std::size_t(bytes.size()),
                                   reinterpret_cast<char16_t*>(text.data()));
    return text;
}

// The lines of text: each ends at CR LF, CR, LF or the end; no line after a final end.
// Line ends are found with Qt's own search, which the fuzzer does not trace: a line of a
// megabyte, traced character by character, would take most of the time.
QStringList referenceLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0, cr = text.indexOf(u'\r'), lf = text.indexOf(u'\n');
    while (start < text.size()) {
        if (cr >= 0 && cr < start)
            cr = text.indexOf(u'\r', start);
        if (lf >= 0 && lf < start)
            lf = text.indexOf(u'\n', start);
        const qsizetype end = cr < 0 ? lf : lf < 0 ? cr : std::min(cr, lf);
        lines << text.mid(start, end < 0 ? -1 : end - start);
        if (end < 0)
            break;
        start = end + (end == cr && end + 1 == lf ? 2 : 1);
    }
    return lines;
}

// The oracle: every byte of the file reached a field, or is a delimiter or a line end. The
// fields read, written in Windows-1252 with the delimiter between them, give the file again.
void checkEveryByteRead(const QByteArray& bytes, const std::vector<QStringList>& lines,
                        const QString& delimiter)
{
    const CodePages& cp = CodePages::instance();
    qsizetype at = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].join(delimiter);
        QByteArray written(line.size(), Qt::Uninitialized);
        written.truncate(qsizetype(cp.toAnsi(line, written.data())));
        FUZZ_CHECK(QByteArrayView(bytes).sliced(at).startsWith(written),
                   "line %zu: bytes lost or changed", n);
        at += written.size();
        if (bytes.mid(at, 2) == "\r\n")
            ++at;
        if (at < bytes.size() && (bytes[at] == '\r' || bytes[at] == '\n'))
            ++at;
    }
    FUZZ_CHECK(at == bytes.size(), "%lld bytes behind the last line read",
               (long long)(bytes.size() - at));
}

bool representable(const QString& delimiter)
{
    const CodePages& cp = CodePages::instance();
    for (const QChar c : delimiter) {
        if (cp.decode(cp.encode(c.unicode())) != c.unicode())
            return false;
    }
    return true;
}

QStringList fieldsOf(const clsFSConnect& reader)
{
    QStringList fields;
    const auto all = reader.currentFields();
    FUZZ_CHECK(int(all.size()) == reader.fieldCount(), "field count");
    for (int i = 0; i < reader.fieldCount(); ++i) {
        FUZZ_CHECK(reader.getField(i) == all[std::size_t(i)], "getField %d", i);
        fields << all[std::size_t(i)].toString();
    }
    return fields;
}

// A file in another encoding is refused at opening: its first line starts with a byte
// order mark or holds zero bytes, which no Windows-1252 text has.
bool mayBeRefused(const QByteArray& bytes)
{
    const qsizetype end = bytes.indexOf('\n');
    const QByteArray first = (end < 0 ? bytes : bytes.left(end)).split('\r').front();
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
           bytes.startsWith("\xFE\xFF") || first.contains('\0');
}

// False when the reader refused the file, which only a file in another encoding may be.
bool compareRead(const QString& path, const QByteArray& bytes, const QString& delimiter,
                 const std::vector<QStringList>& expected)
{
    clsFSConnect reader;
    try {
        reader.init(path, 1, delimiter);
    } catch (const Error& e) {
        FUZZ_CHECK(mayBeRefused(bytes), "refused: %s", e.what());
        return false;
    }
    for (int pass = 0; pass < 2; ++pass) { // a second time after MoveFirst
        std::size_t n = 0;
        for (; !reader.isEOF(); reader.MoveNext(), ++n) {
            FUZZ_CHECK(n < expected.size(), "more lines than %zu", expected.size());
            const QStringList got = fieldsOf(reader);
            FUZZ_CHECK(got == expected[n], "line %zu: %s | %s", n, qPrintable(got.join(u'\x1f')),
                       qPrintable(expected[n].join(u'\x1f')));
        }
        FUZZ_CHECK(n == expected.size(), "%zu lines read, %zu expected", n, expected.size());
        reader.MoveFirst();
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t control = data[0];
    const QString delimiter = QString::fromUtf16(Delimiters[control % std::size(Delimiters)]);
    QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    // Now and then a filler line first, so that the data starts k bytes before the reader
    // refills its buffer (k from the input's length). Rarely: a megabyte takes time.
    if (control == 0xFF) {
        const std::size_t k = 1 + (size & 7);
        bytes.prepend('\n');
        bytes.prepend(QByteArray(qsizetype(ReadBlock - k - 1), 'x'));
    }

    const QString path = fuzz::workDir() + QStringLiteral("/in.txt");
    fuzz::writeFile(path, bytes.constData(), std::size_t(bytes.size()));
    std::vector<QStringList> expected;
    for (const QString& line : referenceLines(decode(bytes)))
        expected.push_back(representable(delimiter) ? line.split(delimiter) : QStringList{line});
    if (!compareRead(path, bytes, delimiter, expected))
        return 0;
    checkEveryByteRead(bytes, expected, delimiter);

    // Written back with ";" (values without ";" and line ends), alternately value by value
    // and a record at a time, every line reads back as written.
    const QString out = fuzz::workDir() + QStringLiteral("/out.txt");
    std::vector<QStringList> written;
    {
        clsFSConnect writer;
        writer.init(out, 0, QStringLiteral(";"));
        for (std::size_t n = 0; n < expected.size() && n < 64; ++n) {
            if (expected[n].join(QString()).size() > 4096)
                continue; // the filler line
            QStringList values = expected[n];
            for (QString& v : values)
                v.remove(u';');
            written.push_back(values);
            if (n % 2 == 0) {
                for (const QString& v : values)
                    writer.setValue(v);
            } else {
                const std::vector<QString> all(values.begin(), values.end());
                const std::vector<QStringView> none(all.size());
                writer.setValues(all, none);
            }
            writer.update();
        }
        writer.close();
    }
    QFile file(out);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly), "written file");
    compareRead(out, file.readAll(), QStringLiteral(";"), written);
    return 0;
}
