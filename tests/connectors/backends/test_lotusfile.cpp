// The Lotus 1-2-3 reader on the sheets of the test data (filefixtures.h) and on sheets
// written record by record from the case table connectors/lotus-files.tsv.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/filefixtures.h"
#include "memorydb.h"
#include "support/casetable.h"
#include "support/filebytes.h"
#include "support/thrown.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace quendra;
using namespace Qt::StringLiterals;
using quendra::test::MemoryDb;

namespace {

template <typename T> QByteArray le(T value)
{
    QByteArray bytes(sizeof value, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray record(int type, const QByteArray& body)
{
    return le(quint16(type)) + le(quint16(body.size())) + body;
}

// A file from the case table's notation: records separated by "|", each a tag and its
// words: "bof VERSION", "end", "rec TYPE HEX...", "raw HEX..." (bytes outside any record),
// and release 2 cells "num FORMAT COLUMN ROW NUMBER", "for FORMAT COLUMN ROW RESULT" (a
// formula), "lab COLUMN ROW TEXT" (a label), "str COLUMN ROW TEXT" (a formula's text).
QByteArray lotusFile(const QString& notation)
{
    QByteArray file;
    for (const QString& part : notation.split(u'|')) {
        const QStringList w = part.trimmed().split(u' ');
        const auto hex = [&](int from) {
            return QByteArray::fromHex(w.mid(from).join(QString()).toLatin1());
        };
        const auto cell = [&](int format, int at) {
            return QByteArray(1, char(format)) + le(quint16(w[at].toInt())) +
                   le(quint16(w[at + 1].toInt()));
        };
        const QByteArray text = w.mid(3).join(u' ').toLatin1() + '\0';
        const QByteArray number = le(std::strtod(qPrintable(w.value(4)), nullptr));
        if (w[0] == u"bof")
            file += record(0x00, hex(1));
        else if (w[0] == u"end")
            file += record(0x01, {});
        else if (w[0] == u"rec")
            file += record(w[1].toInt(nullptr, 16), hex(2));
        else if (w[0] == u"raw")
            file += hex(1);
        else if (w[0] == u"num")
            file += record(0x0E, cell(w[1].toInt(nullptr, 16), 2) + number);
        else if (w[0] == u"for") // its formula: the end mark alone
            file +=
                record(0x10, cell(w[1].toInt(nullptr, 16), 2) + number + le(quint16(1)) + '\x03');
        else if (w[0] == u"lab")
            file += record(0x0F, cell(0xFF, 1) + '\'' + text);
        else if (w[0] == u"str")
            file += record(0x33, cell(0xFF, 1) + text);
    }
    return file;
}

QString tableText(const MemoryDb& mem, const QString& table)
{
    QString rows;
    for (const QStringList& row : mem.texts(table))
        rows += row.join(u'\t') + u'\n';
    return rows;
}

// Each sheet loads as tables with these rows, or is refused before any table is made.
TEST(LotusSheetTest, LoadsOrIsRefusedWhole)
{
    for (const test::CaseRow& c : test::caseTable(u"connectors/lotus-files.tsv"_s)) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tabelle.wk1"_s);
        test::writeFile(path, c[0].startsWith(u"file ")
                                  ? test::readFile(test::dataFile(qPrintable(c[0].mid(5))))
                                  : lotusFile(c[0]));
        MemoryDb mem;
        const auto load = [&] {
            LotusType.makeReader()->load(DataSourceLocation{u"Lotus 1-2-3"_s, path, false, {}},
                                         mem.db());
        };
        if (!c[3].isEmpty()) {
            const Error e = test::thrownBy(load);
            EXPECT_EQ(e.number(), errnum::PathFileAccess);
            EXPECT_TRUE(e.description().contains(c[3])) << e.description().toStdString();
            EXPECT_TRUE(mem.tables().isEmpty());
            continue;
        }
        load();
        EXPECT_EQ(mem.tables().join(u'\t'), c[1]);
        if (!mem.tables().isEmpty()) {
            EXPECT_EQ(tableText(mem, mem.tables().front()), c[2]);
        }
    }
}

// A folder or a named pipe is not "not found": the message says what it is.
TEST(LotusFileTest, AFolderOrPipeIsNamedAsSuch)
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath(u"pipe.wk1"_s);
    ASSERT_EQ(::mkfifo(qPrintable(pipe), 0600), 0);
    for (const QString& path : {dir.path(), pipe}) {
        MemoryDb mem;
        const Error e = test::thrownBy([&] {
            LotusType.makeReader()->load(DataSourceLocation{u"Lotus 1-2-3"_s, path, false, {}},
                                         mem.db());
        });
        EXPECT_EQ(e.number(), errnum::PathFileAccess);
        EXPECT_TRUE(e.description().contains(path == pipe ? u"benannte Pipe"_s : u"ein Ordner"_s))
            << e.description().toStdString();
    }
}

} // namespace
