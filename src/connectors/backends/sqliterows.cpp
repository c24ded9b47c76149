#include "connectors/backends/sqliterows.h"

#include "connectors/backends/lazysqlite.h"

namespace quendra {

SqliteRows::SqliteRows(sqlite3* db, const QString& sql) : m_db(db)
{
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    if (lite::prepare(m_db, text.constData(), int(text.size()), &m_statement, &tail) != SQLITE_OK)
        throw lite::failure(m_db);
    if (!m_statement || !QByteArray(tail).trimmed().isEmpty()) {
        const QString message = m_statement
                                    ? QStringLiteral("Die Abfrage enthält mehr als eine Anweisung.")
                                    : QStringLiteral("Die Abfrage ist leer.");
        // The destructor does not run for a constructor that throws.
        lite::finalize(m_statement);
        throw Error(SQLITE_MISUSE, QStringLiteral("QSQLITE"), message);
    }
    const int n = lite::columnCount(m_statement);
    for (int i = 0; i < n; ++i) {
        // Qt's driver drops the double quotes from the names; definitions rely on that.
        m_columns.append(QString::fromUtf8(lite::columnName(m_statement, i)).remove(u'"'));
        const char* declared = lite::columnDecltype(m_statement, i);
        const ValueKind kind =
            declared ? sqliteColumnType(QString::fromUtf8(declared)).kind : ValueKind::Other;
        m_kinds.push_back(sqliteTypedKind(kind) ? kind : ValueKind::Other);
    }
}

SqliteRows::~SqliteRows()
{
    lite::finalize(m_statement);
}

bool SqliteRows::next(QList<QVariant>& row)
{
    if (m_done)
        return false;
    const int result = lite::step(m_statement);
    if (result != SQLITE_ROW) {
        m_done = true;
        if (result == SQLITE_DONE)
            return false;
        throw lite::failure(m_db);
    }
    const int n = int(m_columns.size());
    row.resize(n);
    for (int i = 0; i < n; ++i) {
        row[i] = value(i);
        if (m_kinds[size_t(i)] != ValueKind::Other)
            row[i] = typedSqliteValue(row[i], m_kinds[size_t(i)]);
    }
    return true;
}

QVariant SqliteRows::value(int column) const
{
    switch (lite::columnType(m_statement, column)) {
    case SQLITE_INTEGER:
        return qlonglong(lite::columnInt64(m_statement, column));
    case SQLITE_FLOAT:
        return lite::columnDouble(m_statement, column);
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB: {
        const char* bytes = static_cast<const char*>(lite::columnBlob(m_statement, column));
        return QByteArray(bytes, lite::columnBytes(m_statement, column));
    }
    default: {
        // As UTF-8, the file's own encoding mostly: SQLite's conversion to UTF-16 is slow.
        const auto* text = reinterpret_cast<const char*>(lite::columnText(m_statement, column));
        const int bytes = lite::columnBytes(m_statement, column);
        // The empty text stays apart from NULL: a QString that is not null.
        return text && bytes > 0 ? QString::fromUtf8(text, bytes) : QStringLiteral("");
    }
    }
}

} // namespace quendra
