#include "filefixtures.h"

#include <QDir>
#include <QFile>
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

} // namespace quendra::test
