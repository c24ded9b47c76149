// The identity of a source: a text file's over the blocks the run reads, a database
// source's over its values.
#include "connectors/clsfsconnect_io.h"
#include "connectors/recordaccess.h"
#include "engine/sourceidentity.h"
#include "engine/sourcewatch.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

// Records as a reader hands them out: fieldCount fields, each record holding its values.
class Records : public RecordReader {
public:
    Records(int fields, std::vector<QStringList> records) : m_fields(fields), m_records(records) {}
    bool isEOF() const override { return m_at >= m_records.size(); }
    qint64 AbsolutePosition() const override { return qint64(m_at) + 1; }
    void MoveFirst() override { m_at = 0; }
    void MoveLast() override { m_at = m_records.size() - 1; }
    void MoveNext() override { ++m_at; }
    int fieldCount() const override { return m_fields; }
    int valueCount() const override { return int(m_records[m_at].size()); }
    QStringView getField(int index) const override
    {
        return index < m_records[m_at].size() ? QStringView(m_records[m_at][index]) : QStringView();
    }

private:
    int m_fields;
    std::vector<QStringList> m_records;
    size_t m_at = 0;
};

QByteArray identity(Records records)
{
    ValueFingerprint values;
    for (; !records.isEOF(); records.MoveNext())
        values.addRecord(records, records.fieldCount());
    return values.result().sha256;
}

// A sheet read straight from its file ends each record at its last cell; read through a
// table, the same record has its empty fields up to the table's width: one identity. The
// values still belong to their records.
TEST(ValueFingerprint, EmptyFieldsAtTheEndDoNotCountButRecordsDo)
{
    const QByteArray table =
        identity(Records(3, {{u"a"_s, u""_s, u""_s}, {u"b"_s, u"c"_s, u""_s}}));
    EXPECT_EQ(identity(Records(16384, {{u"a"_s}, {u"b"_s, u"c"_s}})), table);
    EXPECT_NE(identity(Records(3, {{u"a"_s, u"b"_s, u"c"_s}})), table);
    EXPECT_NE(identity(Records(3, {{u"a"_s, u""_s, u""_s}, {u"b"_s, u""_s, u"c"_s}})), table);
}

// A file's identity is the SHA-256 of its bytes as sha256sum gives it, however far the run
// read it before the identity is wanted: to its end, a few lines (the rest read beside
// it), to its end and again from its start, from a block beyond its first (a gap read
// beside it), or not at all (read ahead).
class FileIdentity : public ::testing::Test {
protected:
    QString write(const QByteArray& bytes)
    {
        QFile file(m_dir.filePath(u"quelle.txt"_s));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    }
    static QByteArray sha256sum(const QString& path)
    {
        QProcess tool;
        tool.start(u"sha256sum"_s, {path});
        EXPECT_TRUE(tool.waitForFinished());
        return tool.readAllStandardOutput().left(64);
    }
    static void readLines(LineReader& reader, int lines)
    {
        for (int i = 0; i != lines && reader.next(); ++i) {
        }
    }

    QTemporaryDir m_dir;
};

TEST_F(FileIdentity, IsTheSha256OfTheBytesHoweverTheRunReadsThem)
{
    const QByteArray block(1 << 20, 'x');
    const struct {
        const char* name;
        QByteArray bytes;
    } sources[] = {
        {"byte order mark", "\xEF\xBB\xBF"
                            "a;b\r\nc;d\r\n"},
        {"last line without line end", "a;b\nc;d\nlast"},
        {"CR LF across blocks", block.left((1 << 20) - 1) + "\r\n" + block + "\r\n" + block},
        {"line longer than a block", "a\r\n" + block + block + block.left(99) + "\r\nb\r\n"},
    };
    enum Way { ToTheEnd, FewLines, Rewound, FromLaterBlock, Ahead };
    for (const auto& source : sources) {
        const QString path = write(source.bytes);
        const QByteArray expected = sha256sum(path);
        ASSERT_EQ(expected.size(), 64);
        for (const Way way : {ToTheEnd, FewLines, Rewound, FromLaterBlock, Ahead}) {
            SCOPED_TRACE(testing::Message() << source.name << ", way " << way);
            LineReader reader;
            reader.open(path);
            FileFingerprint file(path, way == Ahead);
            if (way == FromLaterBlock)
                readLines(reader, 3);
            if (way != Ahead)
                reader.handBlocks(&file);
            readLines(reader, way == FewLines ? 2 : -1);
            if (way == Rewound) {
                reader.rewind();
                readLines(reader, 2);
            }
            const SourceIdentity& identity = file.result();
            reader.handBlocks(nullptr);
            EXPECT_EQ(identity.sha256, expected);
            EXPECT_EQ(identity.size, source.bytes.size());
            EXPECT_EQ(identity.modified, QFileInfo(path).lastModified().toUTC());
        }
    }
}

// A file that another program changes while the run reads it, or after it was hashed
// ahead of the run, has no identity: neither the old file's nor a mix of both.
TEST_F(FileIdentity, AFileChangedWhileReadHasNone)
{
    const QByteArray lines = QByteArray("1;2\r\n").repeated(600000);
    for (const bool ahead : {false, true}) {
        for (const bool grown : {false, true}) {
            SCOPED_TRACE(testing::Message() << (ahead ? "ahead" : "handed") << ", "
                                            << (grown ? "grown" : "changed in place"));
            const QString path = write(lines);
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-3600),
                             QFileDevice::FileModificationTime);
            LineReader reader;
            reader.open(path);
            SourceWatch watch(path, {}, {}, ahead);
            if (ahead)
                ASSERT_TRUE(watch.result().has_value());
            else
                reader.handBlocks(watch.blocks());
            readLines(reader, 10);
            file.seek(grown ? lines.size() : lines.size() / 2);
            file.write("9");
            file.close();
            readLines(reader, -1);
            EXPECT_FALSE(watch.result().has_value());
            reader.handBlocks(nullptr);
        }
    }
}

} // namespace
