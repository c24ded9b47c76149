#include "support/caserows.h"

#include <QFile>

namespace quendra::test {

namespace {

QString unescaped(const QString& cell)
{
    QString out = QStringLiteral(""); // an empty cell is an empty text, not a missing one
    for (qsizetype i = 0; i < cell.size(); ++i) {
        if (cell[i] != u'\\' || i + 1 == cell.size()) {
            out += cell[i];
            continue;
        }
        const QChar c = cell[++i];
        out += c == u't' ? QChar(u'\t') : c == u'r' ? QChar(u'\r') : c == u'n' ? QChar(u'\n') : c;
    }
    return out;
}

} // namespace

std::vector<CaseRow> caseRows(const char* file)
{
    QFile f(QStringLiteral(QUENDRA_TEST_DATA_DIR "/") + QString::fromUtf8(file));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("Falltabelle %s fehlt", file);
    std::vector<CaseRow> rows;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    for (const QString& line : lines) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList cells = line.split(u'\t');
        CaseRow row{cells.takeFirst().toStdString(), {}};
        for (const QString& cell : cells)
            row.cells << unescaped(cell);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace quendra::test
