#pragma once

#include "connectors/backends/valueconversion.h"
#include "connectors/recordaccess.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <vector>

namespace quendra {

// Appends rows to one table of an SQL connection. Columns are addressed by their
// 0-based position in "select * from table"; values are bound, never spliced into the
// statement; a column left NULL is omitted from the INSERT so that its default applies.
// On SQLite the rows go in batches of one transaction each, committed every few hundred
// rows and when the writer ends, so that writing stays fast and rows already written
// stay written when a later row fails; or, when asked to, all rows in one transaction
// that only close commits.
class SqlTableWriter : public DatabaseRecord {
public:
    SqlTableWriter(QSqlDatabase db, const QString& table, const QString& driver, bool sqlite);
    ~SqlTableWriter() override;
    SqlTableWriter(const SqlTableWriter&) = delete;
    SqlTableWriter& operator=(const SqlTableWriter&) = delete;

    int fieldsCount() const override { return static_cast<int>(m_columns.size()); }
    void AddNew() override;
    void setItem(int ordinal, const QVariant& value) override;
    void update() override;
    void close() override;
    bool keepOneTransaction() override;

private:
    void prepareInsert(const std::vector<bool>& assigned);
    void commitBatch();

    QSqlDatabase m_db;
    QString m_table;
    QString m_driver;
    bool m_sqlite;
    QStringList m_columns;
    std::vector<ValueKind> m_kinds;
    RegionalText m_text;

    bool m_adding = false;
    std::vector<QVariant> m_values;
    std::vector<bool> m_preparedFor; // columns of the prepared INSERT
    QSqlQuery m_insert;
    bool m_inTransaction = false;
    bool m_oneTransaction = false; // the whole run: committed only by close
    int m_rowsInBatch = 0;
};

} // namespace quendra
