// The in-memory tables every file-type reader fills, and the value conversions that the
// file-type writers share.
#include "connectors/backends/filetypetable.h"

#include "common/error.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QStringEncoder>

namespace quendra {

namespace {

QString declaredType(ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Integer:
        return QStringLiteral("INTEGER");
    case ColumnKind::Real:
        return QStringLiteral("REAL");
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
        return value.toDate().toString(Qt::ISODate);
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = value.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(Qt::ISODate);
        return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    return value;
}

[[noreturn]] void throwMismatch(const QVariant& value)
{
    throw standardError(errnum::TypeMismatch, quotedValue(value.toString()));
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

QFileInfoList folderTableFiles(const QString& folder, const QStringList& suffixes)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        throw standardError(errnum::PathNotFound, folder);
    QFileInfoList result;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        if (suffixes.contains(entry.suffix().toLower()))
            result << entry;
    }
    return result;
}

QString findTableFile(const QString& folder, const QString& table, const QStringList& suffixes)
{
    const QDir dir(folder);
    QStringList candidates;
    for (const QString& suffix : suffixes)
        candidates << table + QLatin1Char('.') + suffix;
    const int hash = table.lastIndexOf(QLatin1Char('#'));
    if (hash > 0)
        candidates << table.left(hash) + QLatin1Char('.') + table.mid(hash + 1);
    if (suffixes.contains(QFileInfo(table).suffix().toLower()))
        candidates << table;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    // An exact name wins over one that differs only in letter case.
    for (const QString& candidate : candidates) {
        if (QFileInfo(dir.filePath(candidate)).isFile())
            return dir.filePath(candidate);
    }
    for (const QString& candidate : candidates) {
        for (const QFileInfo& entry : entries) {
            if (entry.fileName().compare(candidate, Qt::CaseInsensitive) == 0)
                return entry.filePath();
        }
    }
    return {};
}

std::optional<double> numberFromVariant(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return value.toDouble();
    default:
        break;
    }
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    double number = QLocale().toDouble(text, &ok);
    if (!ok)
        number = QLocale::c().toDouble(text, &ok);
    if (!ok)
        throwMismatch(value);
    return number;
}

std::optional<QDate> dateFromVariant(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime) {
        const QDate date = value.toDate();
        if (!date.isValid())
            throwMismatch(value);
        return date;
    }
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    const QLocale locale;
    const QString patterns[] = {QStringLiteral("yyyy-MM-dd"), QStringLiteral("dd.MM.yyyy"),
                                QStringLiteral("yyyyMMdd"),
                                locale.dateFormat(QLocale::ShortFormat)};
    // A time of day after the date ("2024-03-01 00:00:00") is ignored.
    const QString day = text.section(QLatin1Char(' '), 0, 0);
    for (const QString& pattern : patterns) {
        const QDate date = QDate::fromString(day, pattern);
        if (date.isValid())
            return date;
    }
    throwMismatch(value);
}

std::optional<bool> booleanFromVariant(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed().toLower();
    if (text.isEmpty())
        return std::nullopt;
    static const QStringList yes = {
        QStringLiteral("1"), QStringLiteral("-1"),   QStringLiteral("t"),    QStringLiteral("y"),
        QStringLiteral("j"), QStringLiteral("true"), QStringLiteral("wahr"), QStringLiteral("ja")};
    static const QStringList no = {QStringLiteral("0"),      QStringLiteral("f"),
                                   QStringLiteral("n"),      QStringLiteral("false"),
                                   QStringLiteral("falsch"), QStringLiteral("nein")};
    if (yes.contains(text))
        return true;
    if (no.contains(text))
        return false;
    throwMismatch(value);
}

QByteArray encodeText(const QByteArray& codec, const QString& text)
{
    QStringEncoder encoder(codec.constData());
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    bytes.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder single(codec.constData()); // a fresh one: the error state sticks
        const QByteArray one = single.encode(QStringView(text).mid(i, length));
        bytes += single.hasError() ? QByteArray("?") : one;
        i += length;
    }
    return bytes;
}

void AppendedRow::AddNew()
{
    m_values.assign(size_t(fieldsCount()), QVariant());
    m_adding = true;
}

void AppendedRow::setItem(int ordinal, const QVariant& value)
{
    trapped(m_where, [&] {
        requireRow();
        if (ordinal < 0 || ordinal >= fieldsCount())
            throw standardError(errnum::ItemNotFound, QString::number(ordinal));
        m_values[size_t(ordinal)] = value;
    });
}

void AppendedRow::requireRow() const
{
    if (!m_adding)
        throw standardError(errnum::NoCurrentRecord);
}

QString textFromVariant(const QVariant& value)
{
    if (value.isNull())
        return {};
    QLocale locale;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        QString pattern = locale.dateFormat(QLocale::ShortFormat);
        if (!pattern.contains(QStringLiteral("yyyy")))
            pattern.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
        return value.toDate().toString(pattern);
    }
    default:
        return value.toString();
    }
}

} // namespace quendra
