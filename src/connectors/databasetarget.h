#pragma once

#include "common/error.h"
#include "connectors/backends/connection.h"
#include "connectors/recordaccess.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace quendra {

class Backend;

// The table a run writes its records into. None of its rows are fetched: the rows go
// straight to the back-end's writer, opened with the target. A driver's refusal says
// which table of which data source would not take the rows.
class DatabaseTarget : public DatabaseRecord {
public:
    // connection: a database of the media catalogue; table: the stored
    // table name, $TBL(...) placeholders resolved against the data source; columns: the
    // target fields, which a file type that makes its file anew gives its table;
    // wholeRun: every row goes in as one transaction, which close commits and releasing
    // the target without it takes back. Throws when the table cannot be written.
    DatabaseTarget(const DatabaseConnection& connection, const QString& table,
                   const QStringList& columns, bool wholeRun);
    ~DatabaseTarget() override;
    DatabaseTarget(const DatabaseTarget&) = delete;
    DatabaseTarget& operator=(const DatabaseTarget&) = delete;

    int fieldsCount() const override { return m_writer->fieldsCount(); }
    void AddNew() override { m_writer->AddNew(); }
    void setItem(int ordinal, const QVariant& value) override { m_writer->setItem(ordinal, value); }
    void setNumber(int ordinal, const DecimalNumber& number, const QString& written) override
    {
        m_writer->setNumber(ordinal, number, written);
    }
    void setText(int ordinal, const QString& text) override { m_writer->setText(ordinal, text); }
    void update() override;
    void close() override;
    qint64 rowsReceived() const override { return m_writer->rowsReceived(); }
    qint64 failedRow() const override { return m_writer->failedRow(); }
    const ReplacedCharacters* replaced() const override { return m_writer->replaced(); }
    QString codePageName() const override { return m_writer->codePageName(); }
    // What the run should be told first about how the table is reached (Backend::note).
    QString note() const;

private:
    QString m_table;
    QString m_sourceName;
    std::unique_ptr<Backend> m_backend; // before the writer, which uses it
    std::unique_ptr<DatabaseRecord> m_writer;
};

// Whether the back-end lists the table (ignoring letter case, quotes and a schema in
// front); true when no list can be had (a lost connection lists nothing), so that nothing
// false is claimed.
bool listsTable(const Backend& backend, const QString& table);

// The error of a database head that names neither a table nor a query.
Error noTableNamed(const QString& sourceName);

// The sentence that explains a driver's refusal to open the data source.
QString openRefusal(const QString& sourceName);

// The sentence that explains a driver's refusal of rows for the table (as stored).
QString writeRefusal(const QString& table, const QString& sourceName);

// The writer of a table of an open back-end; wholeRun as DatabaseTarget's. Throws the
// driver's error explained, or Quendra's own when the table takes no run as a whole.
std::unique_ptr<DatabaseRecord> openTableWriter(Backend& backend, const QString& table,
                                                const QString& storedTable,
                                                const QString& sourceName, bool wholeRun);

} // namespace quendra
