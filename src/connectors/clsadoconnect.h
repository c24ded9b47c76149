#pragma once

#include "common/recordnavigation.h"
#include "connectors/backends/connection.h"
#include "connectors/recordaccess.h"

#include <QObject>
#include <QString>
#include <memory>

class QAbstractItemModel;

namespace quendra {

// One table or query of a database of the media catalogue: an ODBC data source, or a
// database file of a catalogue file type.
// Reads record by record for the engine, writes rows for a database target, and
// offers its rows as the item model "Primary" to the raw data viewer.
class clsADOConnect : public QObject, public RecordReader, public RecordNavigation {
    Q_OBJECT
public:
    explicit clsADOConnect(QObject* parent = nullptr);
    ~clsADOConnect() override;

    void setSource(const DatabaseConnection& connection);
    void setTable(const QString& table);
    // Stores the query; after init it reopens the row set at once (placeholders unresolved).
    void setSQL(const QString& sql);
    // Before init: the records are fetched one by one as MoveNext reaches them, and only
    // the current one is held, so that a source of any size takes the same memory. Such
    // a row set moves forward only. A table of a workbook named without SQL is then read
    // straight from its file, as wide as a sheet can be (fieldCount), each record as wide
    // as its last cell (valueCount).
    void setForwardOnly(bool on);
    // Opens connection and row set: the SQL, or "select * from " and the table, with
    // $TBL(...) placeholders resolved.
    void init();

    bool isEOF() const override;
    // True before the first record (and on an empty row set).
    bool isBOF() const;
    qint64 AbsolutePosition() const override;
    void MoveFirst() override;
    void MoveLast() override;
    void MoveNext() override;
    void MovePrevious() override;
    // Makes the record at the 1-based position current (a click on the viewer's grid).
    void setAbsolutePosition(qint64 position) override;
    int fieldCount() const override;
    int valueCount() const override;
    QStringView getField(int index) const override;
    // The current record's values as getField gives them, all at once.
    bool currentLine(std::span<const QStringView>& fields) const override;
    QString note() const override;

    // The open row set: column count and row-by-row writing for a database target.
    DatabaseRecord& record();
    bool EditingRecord() const;
    void AddNew();
    void Delete();
    void update();
    void Cancel();
    void Requery();

    // "Primary" yields the row set as an item model; any other name nullptr.
    QAbstractItemModel* dataMember(const QString& name) override;
    QMetaObject::Connection connectMoveComplete(QObject* receiver,
                                                std::function<void()> slot) override;

    // Resolves $TBL(...) placeholders against the connected database's tables.
    QString replSQLTable(const QString& sql);

Q_SIGNALS:
    void MoveComplete();
    void dataMemberChanged(const QString& name);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Whether a target of this connection can take all rows of a run as one
// transaction (an SQLite file, an ODBC data source, a workbook made anew); the file types
// whose tables are files in a folder cannot.
bool canWriteInOneTransaction(const DatabaseConnection& connection);

} // namespace quendra
