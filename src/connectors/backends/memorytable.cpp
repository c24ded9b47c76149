// The in-memory tables every file-type reader fills.
#include "connectors/backends/memorytable.h"

#include "common/error.h"
#include "values/columnnumbers.h"

#include <QDateTime>
#include <QSet>
#include <QSqlError>

namespace quendra {

namespace {

QString declaredType(ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Integer:
        return QStringLiteral("INTEGER");
    case ColumnKind::Real:
        return {}; // no affinity: a number kept as its text stays text
    case ColumnKind::Date:
        return QStringLiteral("DATE");
    case ColumnKind::Boolean:
        return QStringLiteral("BOOLEAN");
    case ColumnKind::Text:
        break;
    }
    return QStringLiteral("TEXT");
}

QString quoted(const QString& identifier)
{
    QString inner = identifier;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

[[noreturn]] void throwSql(const QSqlError& error, const QString& what)
{
    bool ok = false;
    const int native = error.nativeErrorCode().toInt(&ok);
    throw Error(ok ? native : 0, {}, what + QStringLiteral(": ") + error.text());
}

QVariant storedValue(const QVariant& value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDate)
        return isoDateText(value.toDate());
    if (value.metaType() == QMetaType::fromType<WrittenNumber>()) {
        QString text; // more digits than a double holds: as the regional text of the number
        formatPlainNumber(text, value.value<WrittenNumber>().number,
                          RegionalSettings::fromLocale());
        return text;
    }
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = value.toDateTime();
        if (dt.time() == QTime(0, 0))
            return isoDateText(dt.date());
        return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    return value;
}

} // namespace

MemoryTableBuilder::MemoryTableBuilder(QSqlDatabase& db, const QString& table,
                                       const QList<TableColumn>& columns)
    : m_db(db), m_table(table), m_insert(db)
{
    QStringList defs;
    QStringList marks;
    for (const TableColumn& column : columns) {
        defs << quoted(column.name) + QLatin1Char(' ') + declaredType(column.kind);
        marks << QStringLiteral("?");
    }
    QSqlQuery create(m_db);
    if (!create.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table), defs.join(u", "))))
        throwSql(create.lastError(),
                 QStringLiteral("Tabelle %1 kann nicht angelegt werden").arg(table));
    if (!m_db.transaction())
        throwSql(m_db.lastError(), QStringLiteral("Tabelle %1").arg(table));
    if (!m_insert.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)")
                              .arg(quoted(table), marks.join(QLatin1Char(',')))))
        throwSql(m_insert.lastError(), QStringLiteral("Tabelle %1").arg(table));
}

MemoryTableBuilder::~MemoryTableBuilder()
{
    if (m_finished)
        return;
    m_insert.finish();
    m_db.rollback();
    QSqlQuery(m_db).exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoted(m_table)));
}

void MemoryTableBuilder::addRow(const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        m_insert.bindValue(i, storedValue(values.at(i)));
    if (!m_insert.exec())
        throwSql(m_insert.lastError(), QStringLiteral("Tabelle %1").arg(m_table));
}

void MemoryTableBuilder::finish()
{
    m_insert.finish();
    if (!m_db.commit())
        throwSql(m_db.lastError(), QStringLiteral("Tabelle %1").arg(m_table));
    m_finished = true;
}

QString freeTableName(const QSqlDatabase& db, const QString& wanted, const QString& suffix)
{
    QSet<QString> taken;
    const QStringList tables = db.tables();
    for (const QString& name : tables)
        taken.insert(name.toLower());
    if (!taken.contains(wanted.toLower()))
        return wanted;
    const QString base = suffix.isEmpty() ? wanted : wanted + QLatin1Char('#') + suffix;
    QString name = base;
    for (int n = 2; taken.contains(name.toLower()); ++n)
        name = base + QString::number(n);
    return name;
}

QStringList usableColumnNames(const QStringList& names)
{
    QStringList result;
    QSet<QString> seen;
    for (int i = 0; i < names.size(); ++i) {
        QString name = names.at(i).trimmed();
        if (name.isEmpty())
            name = QStringLiteral("F%1").arg(i + 1);
        if (seen.contains(name.toLower()))
            name += QString::number(i + 1);
        while (seen.contains(name.toLower()))
            name += QLatin1Char('_');
        seen.insert(name.toLower());
        result << name;
    }
    return result;
}

QStringList numberedColumnNames(int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QStringLiteral("F%1").arg(i);
    return names;
}

} // namespace quendra
