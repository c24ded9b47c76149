#include "config/definitionlayout.h"

#include "common/error.h"
#include "config/configschema.h"

#include <QRegularExpression>
#include <QStringList>

namespace quendra {

namespace {

LayoutColumn parseColumn(const QString& declaration)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"re(^\s*"?([0-9A-Za-z_]+)"?\s+(\w+)(?:\((\d+)\))?\s*$)re"));
    const QRegularExpressionMatch m = pattern.match(declaration);
    LayoutColumn column;
    column.name = m.captured(1);
    const QString type = m.captured(2).toLower();
    if (type == u"varchar") {
        column.kind = LayoutColumn::Kind::Text;
        column.maxLength = m.captured(3).toInt();
    } else if (type == u"memo") {
        column.kind = LayoutColumn::Kind::Memo;
    } else {
        column.kind = LayoutColumn::Kind::Integer;
    }
    return column;
}

QVector<LayoutTable> readLayout()
{
    static const QRegularExpression createTable(QStringLiteral(R"(^create table (\w+) \((.*)\)$)"),
                                                QRegularExpression::DotMatchesEverythingOption);
    QVector<LayoutTable> tables;
    for (const QString& statement : schemaStatements()) {
        const QRegularExpressionMatch m = createTable.match(statement);
        if (!m.hasMatch())
            continue;
        LayoutTable table;
        table.name = m.captured(1);
        for (const QString& declaration : m.captured(2).split(QLatin1Char(',')))
            table.columns << parseColumn(declaration);
        tables << table;
    }
    return tables;
}

} // namespace

QString sqlColumnName(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (plain.match(name).hasMatch())
        return name;
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString LayoutTable::selectList() const
{
    QStringList names;
    for (const LayoutColumn& c : columns)
        names << sqlColumnName(c.name);
    return names.join(QStringLiteral(", "));
}

const QVector<LayoutTable>& schemaTables()
{
    static const QVector<LayoutTable> tables = readLayout();
    return tables;
}

const QVector<LayoutTable>& definitionTables()
{
    static const QVector<LayoutTable> tables = [] {
        QVector<LayoutTable> definitions = schemaTables();
        definitions.removeIf([](const LayoutTable& t) { return t.name == u"dbversion"; });
        return definitions;
    }();
    return tables;
}

const LayoutTable& definitionTable(const QString& name)
{
    for (const LayoutTable& t : definitionTables()) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    }
    throw standardError(errnum::SubscriptOutOfRange, name);
}

} // namespace quendra
