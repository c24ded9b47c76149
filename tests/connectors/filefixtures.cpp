#include "filefixtures.h"

#include "connectors/clsadoconnect.h"
#include "connectors/filetypes.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <stdexcept>
extern "C" { // pxlib declares its functions without C linkage for C++
#include <paradox.h>
}

namespace quendra::test {

void createParadox(const QString& path, const std::vector<ParadoxColumn>& columns)
{
    pxdoc_t* doc = PX_new();
    const int count = int(columns.size());
    auto* f = static_cast<pxfield_t*>(doc->malloc(doc, count * sizeof(pxfield_t), "test"));
    for (int i = 0; i < count; ++i)
        f[i] = {PX_strdup(doc, columns[size_t(i)].name), columns[size_t(i)].type,
                columns[size_t(i)].length, 0};
    if (PX_create_file(doc, f, count, QFile::encodeName(path).constData(), pxfFileTypNonIndexDB) <
        0)
        throw std::runtime_error("PX_create_file failed");
    PX_set_value(doc, "codepage", 1252.0f);
    PX_close(doc);
    PX_delete(doc);
}

QString dataFile(const char* name)
{
    return QStringLiteral(QUENDRA_TEST_DATA_DIR "/files/") + QLatin1String(name);
}

QStringList workbookRows(const QString& path, const QString& table, bool forwardOnly, int& width)
{
    const QString type = path.endsWith(u".xls")   ? QStringLiteral("MS Excel 8.0")
                         : path.endsWith(u".ods") ? QStringLiteral("OpenDocument")
                                                  : QStringLiteral("MS Excel 12.0");
    clsADOConnect c;
    c.setSource(describeConnection(Medium::DatabaseFile, path, type, true));
    c.setTable(table);
    c.setForwardOnly(forwardOnly);
    c.init();
    width = width > 0 ? width : c.fieldCount();
    QStringList rows;
    for (; !c.isEOF(); c.MoveNext()) {
        EXPECT_LE(c.valueCount(), width) << "a value beyond the columns";
        QStringList cells;
        for (int i = 0; i < width; ++i)
            cells.append(c.getField(i).toString());
        rows.append(cells.join(QLatin1Char('\t')));
    }
    return rows;
}

} // namespace quendra::test
