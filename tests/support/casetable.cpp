#include "support/casetable.h"

#include <QFile>
#include <stdexcept>

namespace quendra::test {

namespace {

QString unescaped(const QString& column)
{
    QString out = QStringLiteral(""); // an empty column is an empty text, not a missing one
    for (qsizetype i = 0; i < column.size(); ++i) {
        if (column[i] != u'\\' || i + 1 == column.size()) {
            out += column[i];
            continue;
        }
        const QChar c = column[++i];
        out += c == u't' ? QChar(u'\t') : c == u'r' ? QChar(u'\r') : c == u'n' ? QChar(u'\n') : c;
    }
    return out;
}

} // namespace

bool CaseRow::flag(int i) const
{
    const QString text = columns.value(i);
    if (text != u"1" && text != u"0")
        throw std::runtime_error(name + ": column " + std::to_string(i) + " is no 1 or 0");
    return text == u"1";
}

std::vector<CaseRow> caseTable(const QString& pathUnderTestData)
{
    QFile file(QStringLiteral(QUENDRA_TEST_DATA_DIR "/") + pathUnderTestData);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + file.fileName().toStdString());
    std::vector<CaseRow> rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList columns = line.split(u'\t');
        const std::string name = columns.takeFirst().toStdString();
        for (QString& column : columns)
            column = unescaped(column);
        rows.push_back({name, columns});
        if (rows.back().columns.size() != rows.front().columns.size())
            throw std::runtime_error(rows.back().name + ": another number of columns");
    }
    return rows;
}

} // namespace quendra::test
