#include "common/error.h"
#include "connectors/clsfsconnect.h"
#include "support/casetable.h"
#include "support/filebytes.h"
#include "support/thrown.h"

#include <QDir>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {
using quendra::test::PrintTo; // rows print their name
using quendra::test::readFile;
using quendra::test::writeFile;

class TextFile : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    QString write(const QByteArray& bytes) const
    {
        writeFile(path("src.txt"), bytes);
        return path("src.txt");
    }

    // Every line of the file, each as its list of fields.
    static std::vector<QStringList> readAll(const QString& file, const QString& delimiter)
    {
        clsFSConnect c;
        c.init(file, 1, delimiter);
        std::vector<QStringList> lines;
        for (; !c.isEOF(); c.MoveNext()) {
            QStringList fields;
            for (int i = 0; i < c.fieldCount(); ++i)
                fields << c.getField(i).toString();
            lines.push_back(fields);
        }
        return lines;
    }

    QTemporaryDir dir;
};

TEST_F(TextFile, LinesAreSplitIntoRecordsAndFields)
{
    for (const test::CaseRow& c : test::caseTable(u"connectors/text-lines.tsv"_s)) {
        QString got;
        for (const QStringList& fields : readAll(write(c[1].toLatin1()), c[0]))
            got += fields.join(u'\t') + u'\n';
        EXPECT_EQ(got, c[2]) << c.name;
    }
}

// The encodings a file is read in (tests/data/connectors/text-encodings.tsv).
TEST_F(TextFile, EncodingsDecideWhatTheBytesMean)
{
    for (const test::CaseRow& c : test::caseTable(u"connectors/text-encodings.tsv"_s)) {
        SCOPED_TRACE(c.name);
        const QString file = write(c[2].toLatin1());
        QString got;
        const auto readAll = [&] {
            clsFSConnect in;
            in.setEncoding(c[0]);
            in.init(file, 1, c[1]);
            for (; !in.isEOF(); in.MoveNext()) {
                QStringList fields;
                for (QStringView field : in.currentFields())
                    fields << field.toString();
                got += fields.join(u'\t') + u'\n';
            }
        };
        if (!c[3].startsWith(u'!')) {
            readAll();
            EXPECT_EQ(got, c[3]);
            continue;
        }
        const Error e = test::thrownBy(readAll);
        EXPECT_TRUE(e.description().startsWith(c[3].mid(1).replace(u"@FILE@"_s, file)))
            << e.description().toStdString();
    }
}

// A file read as Windows-1252 is looked through for UTF-8 beside the reading, in blocks: a
// sequence across the end of a block, a line end of two bytes across it, and a byte far
// into the file that settles it is no UTF-8.
TEST_F(TextFile, UtfEightIsFoundAcrossBlocksAndNamedByItsLine)
{
    const QByteArray upToBlock = QByteArray(65534, 'x') + "\r"; // the block ends after the CR
    const struct {
        QByteArray bytes;
        qint64 line; // of the first UTF-8 sequence; 0: read as Windows-1252
    } cases[] = {
        {upToBlock + "\nab\xC3\xBC", 2},
        {QByteArray(65535, 'x') + "\xC3\xBC\r\n", 1},
        {QByteArray(65533, 'x') + "\xE2\x82\xAC\n", 1},
        {upToBlock + "\r\n\n\xC3\xBC" + QByteArray(200000, 'y') + "\xFC", 0},
        {QByteArray(300000, 'a') + "\n\xF0\x9F\x98\x80", 2},
        {QByteArray(300000, 'a'), 0},
    };
    for (const auto& c : cases) {
        const QString file = write(c.bytes);
        clsFSConnect in;
        if (c.line == 0) {
            in.init(file, 1, u";"_s);
            EXPECT_FALSE(in.isEOF());
            continue;
        }
        const Error e = test::thrownBy([&] { in.init(file, 1, u";"_s); });
        EXPECT_TRUE(e.description().contains(u"(zuerst in Zeile %1)"_s.arg(c.line)))
            << c.line << e.description().toStdString();
    }
}

// UTF-8 writes every character, each line as it would be in Windows-1252; the byte order
// mark begins a new file once, and neither a preview's lines nor a file that is replaced
// lose it or get it twice.
TEST_F(TextFile, UtfEightTargetsWriteEveryCharacter)
{
    const std::vector<QString> values = {u"Łódź"_s, u"a←b"_s, u"😀"_s, QString(QChar(0xD800)),
                                         u"x"_s};
    const std::vector<QStringView> qualifiers = {u"\"", {}, u"„", {}, {}};
    const QByteArray line = QString(u"\"Łódź\"→a←b→„😀„→\uFFFD→x\r\n"_s).toUtf8();
    const QByteArray mark = "\xEF\xBB\xBF";
    const struct {
        const char* encoding;
        LineTarget target;
        QByteArray expected;
    } cases[] = {
        {"UTF-8", LineTarget::Truncate, line + line},
        {"UTF-8 BOM", LineTarget::Truncate, mark + line + line},
        {"UTF-8 BOM", LineTarget::Replace, mark + line + line},
        {"UTF-8 BOM", LineTarget::Memory, line + line},
    };
    for (const auto& c : cases) {
        writeFile(path("out.txt"), "alt\r\n");
        clsFSConnect out;
        out.initWriting(path("out.txt"), c.target, u"→"_s);
        out.setEncoding(QString::fromLatin1(c.encoding));
        out.setValues(values, qualifiers);
        out.update();
        for (size_t i = 0; i < values.size(); ++i)
            out.setValue(qualifiers[i], values[i]);
        out.update();
        const QByteArray memory = c.target == LineTarget::Memory ? out.takeWritten() : "";
        out.close();
        EXPECT_EQ(c.target == LineTarget::Memory ? memory : readFile(path("out.txt")), c.expected)
            << c.encoding << int(c.target);
        EXPECT_EQ(out.replaced().characters, 0);
    }
}

TEST_F(TextFile, CrLfAcrossTheReadBlockIsOneLineEnd)
{
    QByteArray bytes((1 << 20) - 1, 'x');
    bytes += "\r\nnext\r\n";
    bytes += QByteArray(3 << 20, 'y'); // longer than the buffer
    const auto lines = readAll(write(bytes), u";"_s);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0][0].size(), (1 << 20) - 1);
    EXPECT_EQ(lines[1][0], u"next"_s);
    EXPECT_EQ(lines[2][0].size(), 3 << 20);
}

TEST_F(TextFile, EmptyFileHasNoRecord)
{
    clsFSConnect c;
    c.init(write({}), 1, u";"_s);
    EXPECT_TRUE(c.isEOF());
    EXPECT_EQ(c.fieldCount(), 0);
    // A file emptied while open: nothing of its old lines is left to read.
    c.init(write("a;b\r\n"), 1, u";"_s);
    EXPECT_EQ(c.fieldCount(), 2);
    write({});
    c.MoveFirst();
    EXPECT_TRUE(c.isEOF());
    EXPECT_EQ(c.fieldCount(), 0);
}

TEST_F(TextFile, LongFileCountsAndRestartsWithTheSameDelimiter)
{
    QByteArray bytes;
    for (int i = 1; i <= 40000; ++i)
        bytes += QByteArray::number(i) + "||line||some more text to pass a block\r\n";
    clsFSConnect c;
    const QString file = write(bytes);
    c.init(file, 1, u"||"_s);
    c.MoveLast();
    EXPECT_TRUE(c.isEOF());
    EXPECT_EQ(c.AbsolutePosition(), 40000);
    EXPECT_EQ(c.getField(0), u"40000");
    c.MoveFirst();
    EXPECT_FALSE(c.isEOF());
    EXPECT_EQ(c.AbsolutePosition(), 1);
    EXPECT_EQ(c.getField(0), u"1");
    qint64 seen = 0;
    for (; !c.isEOF(); c.MoveNext())
        seen += c.getField(0).toLongLong() == c.AbsolutePosition() ? 1 : 0;
    EXPECT_EQ(seen, 40000);
    c.init(file, 1, u"||"_s); // opened anew, it counts anew
    EXPECT_EQ(c.AbsolutePosition(), 1);
}

TEST_F(TextFile, WritesValuesWithDelimiterAndLineEnd)
{
    const QString file = path("out.txt");
    QFile written(file);
    {
        clsFSConnect c;
        c.init(file, 0, u";"_s);
        c.setValue(u"");
        c.setValue(u"x");
        c.setValue(u"");
        c.update();
        c.update(); // no values: an empty line
        c.setValue(u"\"", u"Meier");
        c.setValue(u"12,5");
        c.update();
        c.setValue(u"never written"); // no update follows
        c.close();
        ASSERT_TRUE(written.open(QIODevice::ReadOnly)); // it may get the number just closed
    } // going away, the connector closes no number that another file has now
    EXPECT_EQ(written.readAll(), QByteArray(";x;\r\n\r\n\"Meier\";12,5\r\n"));
}

// A file that replaces an old one is finished, not dropped, when the connector goes on to
// the next file, and takes the old one's permissions.
TEST_F(TextFile, WritingAnotherFileFinishesTheFileBefore)
{
    writeFile(path("a.txt"), "alt\r\n");
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                      QFile::ReadGroup; // 0640, the user being the owner
    QFile::setPermissions(path("a.txt"), mode);
    {
        clsFSConnect c;
        c.initWriting(path("a.txt"), LineTarget::Replace, u";"_s);
        c.setValue(u"neu\u2126"); // "?" in the file, counted for this file only
        c.update();
        c.setValue(u"halb"); // no update: a line of neither file
        c.initWriting(path("b.txt"), LineTarget::Replace, u";"_s);
        EXPECT_EQ(c.replaced().characters, 0);
        c.setValue(u"b");
        c.update();
        c.close();
    }
    EXPECT_EQ(readFile(path("a.txt")), QByteArray("neu?\r\n"));
    EXPECT_EQ(QFile::permissions(path("a.txt")), mode); // the new file keeps the old one's
    EXPECT_EQ(readFile(path("b.txt")), QByteArray("b\r\n"));
}

// Lines held back, more than one write block of them, leave the file as it was until they
// are let go; then the file holds them and the lines after. Never let go, they are dropped
// and nothing is left beside the file. They wait in a new file beside it, or in memory
// where a new file would lose the old one's second name: then letting go keeps the name.
TEST_F(TextFile, HeldLinesTouchTheFileOnlyWhenLetGo)
{
    const QByteArray line = QByteArray(99, 'x') + "\r\n";
    const int lines = 30000; // 3 MB
    for (const bool linked : {false, true}) {
        for (const bool letGo : {false, true}) {
            SCOPED_TRACE(testing::Message() << "linked " << linked << ", let go " << letGo);
            QDir(dir.path()).removeRecursively();
            QDir().mkpath(dir.path());
            writeFile(path("out.txt"), "alt\r\n");
            if (linked) {
                ASSERT_EQ(::link(QFile::encodeName(path("out.txt")).constData(),
                                 QFile::encodeName(path("name.txt")).constData()),
                          0);
            }
            {
                clsFSConnect c;
                c.initWriting(path("out.txt"), LineTarget::Held, u";"_s);
                for (int i = 0; i < lines; ++i) {
                    c.setValue(QString::fromLatin1(line.left(99)));
                    c.update();
                }
                EXPECT_EQ(c.heldBytes(), linked ? lines * line.size() : 0);
                EXPECT_EQ(readFile(path("out.txt")), QByteArray("alt\r\n"));
                if (letGo) {
                    c.letGo();
                    EXPECT_EQ(c.heldBytes(), 0);
                    c.setValue(u"danach");
                    c.update();
                }
                c.close();
            }
            const QByteArray expected =
                letGo ? line.repeated(lines) + "danach\r\n" : QByteArray("alt\r\n");
            EXPECT_EQ(readFile(path("out.txt")), expected);
            if (linked) {
                EXPECT_EQ(readFile(path("name.txt")), expected);
            }
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                      linked ? 2 : 1);
        }
    }
    clsFSConnect missing;
    missing.initWriting(path("fehlt/out.txt"), LineTarget::Held, u";"_s);
    EXPECT_THROW(missing.letGo(), Error) << "the folder is missing";
}

TEST_F(TextFile, SplitsAtEveryPlaceOfABlock)
{
    // Lines of 0..40 bytes with the delimiter at one place or at every third, both with
    // one- and two-byte delimiters and all three line ends, so that delimiters and line
    // ends fall on every place of the blocks that are searched at once.
    for (const QString& delimiter : {u";"_s, u"|#"_s}) {
        QByteArray bytes;
        std::vector<QStringList> expected;
        const char* const ends[] = {"\r\n", "\n", "\r"};
        int n = 0;
        for (int length = 0; length <= 40; ++length) {
            for (int every : {0, 3}) {
                for (int at = 0; at <= length; at += every ? length + 1 : 1, ++n) {
                    QString line;
                    for (int k = 0; k < length; ++k) {
                        if ((every && k % every == 2) || (!every && k == at))
                            line += delimiter;
                        else
                            line += QChar(k % 5 == 4 ? u'\u00e4' : char16_t('a' + k % 26));
                    }
                    bytes += line.toLatin1() + ends[n % 3];
                    expected.push_back(line.split(delimiter));
                }
            }
        }
        EXPECT_EQ(readAll(write(bytes), delimiter), expected) << delimiter.toStdString();
    }
}

TEST_F(TextFile, ValuesOfARecordAreWrittenAsOneByOne)
{
    const QString first(1'400'000, u'x'); // wider than the write buffer
    const std::vector<QString> values = {first, u"x"_s, u"Müller"_s, u"12,5"_s, u"€ 中"_s, {}};
    // Qualifiers of one character or none, and one of two.
    const std::vector<QStringView> oneOrNone = {u"\"", {}, u"\"", {}, u"'", {}};
    const std::vector<QStringView> twoToo = {u"\"", {}, u"\"", {}, u"'", u"<>"};
    const QString one = path("one.txt"), all = path("all.txt");
    for (const auto& [delimiter, qualifiers] :
         {std::pair(u";"_s, oneOrNone), std::pair(u";"_s, twoToo), std::pair(u"||"_s, oneOrNone)}) {
        {
            clsFSConnect byValue, byRecord;
            byValue.init(one, 0, delimiter);
            byRecord.init(all, 0, delimiter);
            for (clsFSConnect* c : {&byValue, &byRecord}) {
                const auto record = [&] {
                    if (c == &byRecord) { // in two pieces, as a line may be given
                        c->setValues(std::span(values).first(2), std::span(qualifiers).first(2));
                        c->setValues(std::span(values).subspan(2),
                                     std::span(qualifiers).subspan(2));
                    } else {
                        for (size_t i = 0; i < values.size(); ++i)
                            c->setValue(qualifiers[i], values[i]);
                    }
                };
                c->setValue(u"first"); // a value before the record's: one more delimiter
                record();
                c->update();
                record(); // a line that starts with the record
                c->update();
            }
            // "中" lacks in the code page: counted in both lines, in the same value.
            const auto& r = byRecord.replaced();
            EXPECT_EQ(r.characters, 2);
            EXPECT_EQ(r.lines, 2);
            EXPECT_EQ(r.firstValue, byValue.replaced().firstValue);
            EXPECT_EQ(r.firstCharacter, u"中"_s);
        }
        EXPECT_EQ(readFile(all), readFile(one)) << delimiter.toStdString();
        const QByteArray d = delimiter.toLatin1();
        EXPECT_TRUE(readFile(one).startsWith("first" + d + '"' + first.toLatin1() + '"' + d + "x" +
                                             d + "\"M\xFCller\""));
    }
}

// A value holding its qualifier, or without one the delimiter, is found while the record
// is written (short and long values, characters outside Latin-1, marks of two characters):
// its index is returned and nothing of the record reaches the file.
TEST_F(TextFile, AValueHoldingItsMarkIsFoundAndNotWritten)
{
    const QString inQuotes = u"Sagt \"Hallo\" zum Nachbarn"_s;
    const struct {
        const char* encoding;
        QString delimiter;
        std::vector<QString> values;
        std::vector<QStringView> qualifiers;
        qsizetype held;
        QByteArray line; // the line written when no value holds its mark
    } cases[] = {
        {"ANSI",
         u";"_s,
         {u"a;b"_s, u"x"_s, u"Müller"_s},
         {u"\"", {}, {}},
         -1,
         "\"a;b\";x;M\xFCller"},
        {"ANSI", u";"_s, {u"a"_s, u"x"_s, u"Mül;ler"_s}, {u"\"", {}, {}}, 2, {}},
        {"ANSI", u";"_s, {u"a"_s, inQuotes, u"b"_s}, {{}, u"\"", {}}, 1, {}},
        {"ANSI", u";"_s, {u"x;y"_s, u"\"q"_s}, {{}, u"\""}, 0, {}},
        {"ANSI", u";"_s, {u"abcdefghijklmnopqrstuvwxyz;"_s}, {{}}, 0, {}},
        {"ANSI", u";"_s, {u"€ 中;"_s}, {{}}, 0, {}},
        {"ANSI", u"||"_s, {u"a|b"_s, u"a||b"_s}, {{}, {}}, 1, {}},
        {"ANSI", u";"_s, {u"a<b"_s, u"x<>y"_s}, {u"<>", u"<>"}, 1, {}},
        {"ANSI", u";"_s, {u"x„y"_s}, {u"„"}, 0, {}},
        {"ANSI", {}, {u"a;b"_s, u"c"_s}, {{}, {}}, -1, "a;bc"},
        {"ASCII", u";"_s, {u"Maß"_s, u"ä;"_s}, {{}, {}}, 1, {}},
        {"UTF-8",
         u"→"_s,
         {u"a→"_s, u"b"_s},
         {u"\"", {}},
         -1,
         "\"a\xE2\x86\x92\"\xE2\x86\x92"
         "b"},
        {"UTF-8", u"→"_s, {u"a"_s, u"b→c"_s}, {{}, {}}, 1, {}},
    };
    for (const auto& c : cases) {
        const std::string name = c.delimiter.toStdString() + " " + c.values.back().toStdString();
        clsFSConnect out;
        out.init(path("out.txt"), 0, c.delimiter);
        out.setEncoding(QString::fromLatin1(c.encoding));
        EXPECT_EQ(out.setValues(c.values, c.qualifiers), c.held) << name;
        if (c.held < 0)
            out.update();
        out.setValue(u"ok");
        out.update();
        out.close();
        EXPECT_EQ(readFile(path("out.txt")),
                  c.held < 0 ? c.line + "\r\nok\r\n" : QByteArray("ok\r\n"))
            << name;
    }
}

TEST_F(TextFile, EmptyDelimiterJoinsValuesOnWriting)
{
    const QString file = path("out.txt");
    {
        clsFSConnect c;
        c.init(file, 0);
        c.setValue(u"ab");
        c.setValue(QString(3'000'000, u'x')); // wider than the write buffer
        c.update();
        c.setValue(u"cd");
        c.update();
    } // the destructor writes what is buffered
    EXPECT_EQ(readFile(file), "ab" + QByteArray(3'000'000, 'x') + "\r\ncd\r\n");
}

TEST_F(TextFile, EveryByteSurvivesReadingAndWriting)
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n' && b != ';')
            bytes += char(b);
    }
    clsFSConnect in;
    in.init(write(bytes + ";end"), 1, u";"_s);
    const QString out = path("out.txt");
    clsFSConnect c;
    c.init(out, 0, u";"_s);
    c.setValue(in.getField(0));
    c.setValue(in.getField(1));
    c.update();
    c.close();
    EXPECT_EQ(readFile(out), bytes + ";end\r\n");
}

struct ErrorCase {
    const char* name;
    std::function<void(clsFSConnect&, const QString& dir)> run;
    qint32 number;
    const char* where;
};

class Errors : public TextFile, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(Errors, CarryNumberAndModule)
{
    clsFSConnect c;
    const Error e = test::thrownBy([&] { GetParam().run(c, dir.path()); });
    EXPECT_EQ(e.number(), GetParam().number) << e.description().toStdString();
    EXPECT_TRUE(e.source().startsWith(u"Modul: "_s + QString::fromUtf8(GetParam().where)))
        << e.source().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Errors,
    ::testing::Values(ErrorCase{"missingFolder",
                                [](clsFSConnect& c, const QString& d) {
                                    c.init(d + u"/nix/out.txt"_s, 0, u";"_s);
                                },
                                errnum::PathNotFound, "clsFSConnect.init"},
                      ErrorCase{"targetIsAFolder",
                                [](clsFSConnect& c, const QString& d) { c.init(d, 0, u";"_s); },
                                errnum::PathFileAccess, "clsFSConnect.init"},
                      ErrorCase{"readingWithoutDelimiter",
                                [](clsFSConnect& c, const QString& d) {
                                    writeFile(d + u"/a.txt"_s, "a;b\r\n");
                                    c.init(d + u"/a.txt"_s, 1);
                                },
                                errnum::InvalidProcedureCall, "clsFSConnect.init"},
                      ErrorCase{"fieldPastTheLine",
                                [](clsFSConnect& c, const QString& d) {
                                    writeFile(d + u"/a.txt"_s, "a;b;c\r\na;b\r\n");
                                    c.init(d + u"/a.txt"_s, 1, u";"_s);
                                    c.MoveNext();
                                    c.getField(2);
                                },
                                errnum::SubscriptOutOfRange, "clsFSConnect.getField"}),
    [](const auto& info) { return std::string(info.param.name); });

// Neither a close that fails nor a replacement given up keeps a file open; the file to
// be replaced stays as it was.
TEST_F(TextFile, AFailingCloseOrAGivenUpReplacementLeavesNoFileOpen)
{
    const auto openFiles = [] { return QDir(u"/proc/self/fd"_s).count(); };
    const auto before = openFiles();
    clsFSConnect c;
    c.initWriting(u"/dev/full"_s, LineTarget::Truncate, u";"_s);
    c.setValue(u"x");
    c.update();
    EXPECT_THROW(c.close(), Error);
    EXPECT_EQ(openFiles(), before);

    writeFile(path("alt.txt"), "alt\r\n");
    auto givenUp = std::make_unique<clsFSConnect>();
    givenUp->initWriting(path("alt.txt"), LineTarget::Replace, u";"_s);
    givenUp.reset();
    EXPECT_EQ(openFiles(), before);
    EXPECT_EQ(readFile(path("alt.txt")), QByteArray("alt\r\n"));
}

TEST_F(TextFile, MissingFileLeavesNothingOpen)
{
    clsFSConnect c;
    EXPECT_THROW(c.init(path("fehlt.txt"), 1, u";"_s), Error);
    EXPECT_TRUE(c.isEOF());
    c.MoveFirst();
    c.MoveLast();
    EXPECT_TRUE(c.isEOF());
}

// Started without standard input, a program gets descriptor 0 for the first file it opens.
TEST_F(TextFile, ReadsAFileOpenedAsDescriptorZero)
{
    ::close(0);
    EXPECT_EQ(readAll(write("a;b\r\n"), u";"_s), (std::vector<QStringList>{{u"a"_s, u"b"_s}}));
    EXPECT_EQ(::open("/dev/null", O_RDONLY), 0); // standard input again, giving nothing
}

} // namespace
