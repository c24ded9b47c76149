#include "connectors/backends/connection.h"

#include <QList>
#include <QSet>
#include <utility>

namespace quendra {

namespace {

// Splits "key=value;key=\"quoted;value\";..." into (lower-case key, value) pairs.
QList<std::pair<QString, QString>> splitPairs(const QString& text)
{
    QList<std::pair<QString, QString>> pairs;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) { // a piece without "=": skip it
            if (semi < 0)
                break;
            i = semi + 1;
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed().toLower();
        i = eq + 1;
        QString value;
        if (i < n && text[i] == u'"') {
            const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
            value = text.mid(i + 1, close < 0 ? -1 : close - i - 1);
            i = close < 0 ? n : close + 1;
            const qsizetype next = text.indexOf(QLatin1Char(';'), i);
            i = next < 0 ? n : next + 1;
        } else {
            const qsizetype next = text.indexOf(QLatin1Char(';'), i);
            value = text.mid(i, next < 0 ? -1 : next - i);
            i = next < 0 ? n : next + 1;
        }
        pairs.append({key, value});
    }
    return pairs;
}

} // namespace

QString DatabaseConnection::fileTypeName() const
{
    return fileType && fileType->name && fileType->backend != BackendKind::Odbc
               ? QString::fromUtf8(fileType->name)
               : QString();
}

DataSourceLocation DatabaseConnection::location() const
{
    DataSourceLocation location{fileTypeName(), dataSource, header,
                                tableFileSuffixes(fileTypeName())};
    location.encoding = encoding;
    return location;
}

DatabaseConnection odbcConnection(const QString& attributes)
{
    DatabaseConnection c;
    c.fileType = &OdbcSourceType;
    QString dsn;
    QSet<QString> seen;
    for (const auto& [key, value] : splitPairs(QStringLiteral("dsn=") + attributes)) {
        if (seen.contains(key))
            continue;
        seen.insert(key);
        if (key == u"dsn")
            dsn = value;
        else if (key == u"data source")
            c.dataSource = value;
        else if (key == u"uid" || key == u"user id")
            c.userName = value;
        else if (key == u"pwd" || key == u"password")
            c.password = value;
        else if (key == u"database" || key == u"provider" || key == u"extended properties")
            continue; // the data source's own database applies; the rest names the driver
        else
            c.odbcOptions += key.toUpper() + QLatin1Char('=') + value + QLatin1Char(';');
    }
    if (c.dataSource.isEmpty())
        c.dataSource = dsn;
    return c;
}

} // namespace quendra
