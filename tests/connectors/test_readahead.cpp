// Text files of a megabyte and more are read ahead on a thread of their own. What a
// caller sees must be what reading line by line gives: the same lines, fields, counts,
// positions and messages.
#include "common/error.h"
#include "connectors/clsfsconnect.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;

namespace {

constexpr int Megabyte = 1 << 20;

QString writeFile(const QTemporaryDir& dir, const QByteArray& bytes)
{
    QFile f(dir.filePath(QStringLiteral("src.txt")));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
}

// The lines of bytes, cut at CR LF, CR or LF, and their fields, decoded as Latin-1 (the
// test files hold no byte where Windows-1252 differs from it).
std::vector<QStringList> reference(const QByteArray& bytes, const QByteArray& delimiter)
{
    std::vector<QStringList> lines;
    qsizetype start = 0;
    const auto line = [&](qsizetype end) {
        QStringList fields;
        const QByteArray text = bytes.mid(start, end - start);
        for (const QByteArray& f : text.split(delimiter[0])) // one-byte delimiters here
            fields << QString::fromLatin1(f);
        lines.push_back(fields);
    };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r')
            continue;
        line(i);
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        line(bytes.size());
    return lines;
}

std::vector<QStringList> readAll(const QString& file, const QString& delimiter)
{
    clsFSConnect c;
    c.init(file, 1, delimiter);
    std::vector<QStringList> lines;
    for (; !c.isEOF(); c.MoveNext()) {
        QStringList fields;
        for (int i = 0; i < c.fieldCount(); ++i)
            fields << c.getField(i).toString();
        lines.push_back(fields);
        EXPECT_EQ(c.AbsolutePosition(), qint64(lines.size()));
    }
    return lines;
}

// A field of random length and characters: letters, blanks, umlauts.
QByteArray randomField(QRandomGenerator& random, int maxLength)
{
    static const QByteArray chars = QByteArray("abcXYZ 019.,-") + "\xE4\xF6\xFC\xDF\xE9";
    QByteArray f;
    for (int n = int(random.bounded(maxLength + 1)); n > 0; --n)
        f += chars[int(random.bounded(int(chars.size())))];
    return f;
}

struct ShapeCase {
    const char* name;
    int fieldsPerLine; // at most
    int longLineAt;    // a line of 300,000 characters after this many lines; 0: none
    bool finalLineEnd; // the file ends with a line end
};

class ReadAheadShapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ReadAheadShapes, GiveTheLinesAndFieldsOfTheFile)
{
    const ShapeCase& c = GetParam();
    QRandomGenerator random(42);
    const char* const ends[] = {"\r\n", "\n", "\r", "\r\n"};
    QByteArray bytes;
    for (int line = 0; bytes.size() < 3 * Megabyte; ++line) {
        if (c.longLineAt != 0 && line == c.longLineAt)
            bytes += QByteArray(300000, 'L');
        else if (line % 97 != 5) // now and then an empty line
            for (int f = int(random.bounded(c.fieldsPerLine)); f >= 0; --f)
                bytes += randomField(random, 12) + (f > 0 ? ";" : "");
        bytes += ends[random.bounded(4)];
    }
    if (!c.finalLineEnd)
        bytes += "last;line";
    QTemporaryDir dir;
    const std::vector<QStringList> expected = reference(bytes, ";");
    const std::vector<QStringList> got = readAll(writeFile(dir, bytes), QStringLiteral(";"));
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i], expected[i]) << "line " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadAheadShapes,
                         ::testing::Values(ShapeCase{"fewFields", 8, 0, true},
                                           ShapeCase{"manyFields", 400, 0, true},
                                           ShapeCase{"lineLongerThanABatch", 8, 5000, true},
                                           ShapeCase{"longLineFirstAfterTheFirst", 8, 1, false},
                                           ShapeCase{"noFinalLineEnd", 8, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A file of n lines "k;<k>": line k has the fields "k" and its number.
QByteArray numberedLines(int n)
{
    QByteArray bytes;
    for (int k = 1; k <= n; ++k)
        bytes += "k;" + QByteArray::number(k) + "\r\n";
    return bytes;
}

TEST(ReadAheadMoves, LastAndFirstWhileReadingAheadLandWhereLineByLineWould)
{
    constexpr int Lines = 400000; // 4 MB
    QTemporaryDir dir;
    clsFSConnect c;
    c.init(writeFile(dir, numberedLines(Lines)), 1, QStringLiteral(";"));
    for (int k = 1; k < 12345; ++k)
        c.MoveNext();
    EXPECT_EQ(c.getField(1), QStringLiteral("12345"));
    c.MoveLast();
    EXPECT_TRUE(c.isEOF());
    EXPECT_EQ(c.AbsolutePosition(), Lines);
    EXPECT_EQ(c.getField(1), QString::number(Lines));
    c.MoveFirst();
    EXPECT_EQ(c.AbsolutePosition(), 1);
    EXPECT_EQ(c.getField(1), QStringLiteral("1"));
    qint64 sum = 0;
    for (; !c.isEOF(); c.MoveNext())
        sum += c.getField(1).toLongLong() == c.AbsolutePosition() ? 1 : 0;
    EXPECT_EQ(sum, Lines);
    EXPECT_FALSE(c.endedShort());
    EXPECT_EQ(c.bytesRead(), c.sizeAtOpen());
}

TEST(ReadAheadMoves, AShortLineFarIntoTheFileIsNamed)
{
    QByteArray bytes = numberedLines(150000);
    bytes += "nur eins\r\n" + numberedLines(10);
    QTemporaryDir dir;
    clsFSConnect c;
    c.init(writeFile(dir, bytes), 1, QStringLiteral(";"));
    while (c.AbsolutePosition() < 150001)
        c.MoveNext();
    EXPECT_EQ(c.fieldCount(), 1);
    try {
        c.getField(1);
        FAIL() << "no error for the missing field";
    } catch (const Error& e) {
        EXPECT_TRUE(
            e.description().contains(QStringLiteral("Zeile 150001 hat nur 1 Feld (Trennzeichen "
                                                    "\";\"), die erste Zeile 2: es fehlt Feld 2.")))
            << e.description().toStdString();
    }
}

TEST(ReadAheadMoves, ClosingInTheMiddleEndsTheThread)
{
    QTemporaryDir dir;
    const QString file = writeFile(dir, numberedLines(400000));
    for (int taken : {2, 3000, 100000}) {
        clsFSConnect c;
        c.init(file, 1, QStringLiteral(";"));
        for (int k = 1; k < taken; ++k)
            c.MoveNext();
        EXPECT_EQ(c.getField(1), QString::number(taken));
        c.close(); // and the destructor: neither may hang or crash
    }
}

} // namespace
