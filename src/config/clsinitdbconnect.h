#pragma once

#include "common/recordnavigation.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>

class QAbstractItemModel;

namespace quendra {

class ConfigRowSet;

// A cursor over one selection of one table of the configuration database init.mdb.
// Each object uses the connection to the file that the thread's cursors share (see
// ConfigConnection::shared), checks (and if need be creates) the schema on every
// opening, holds an editable client-side snapshot of the selected rows, moves
// through it, and offers it to grids and bound fields as the item model "Primary".
// Every operation reports failures by throwing quendra::Error; before init every
// operation but the setters fails with error 91.
//
// Pending changes are written by update and by any move off the changed row; init,
// Requery and setSQL on an open cursor write them before they re-read. Changes still
// pending when the object ends are dropped.
class clsInitDBConnect : public QObject, public RecordNavigation {
    Q_OBJECT
public:
    explicit clsInitDBConnect(QObject* parent = nullptr);
    ~clsInitDBConnect() override;

    void setTable(const QString& table);
    void setSQL(const QString& sql);         // after init: reopens the row set at once
    void setOrderBy(const QString& order);   // empty text changes nothing
    void setTransID(const QString& transId); // switches the transid filter on

    // Builds the statement, opens the connection to init.mdb, checks the schema version
    // and opens the row set.
    void init();
    // The statement init executes (or executed): "select * from T where transid='X' order by O".
    QString statement() const;

    bool EditingRecord() const;
    bool isEOF() const;
    qint64 AbsolutePosition() const override; // 1-based, -1 without a current row

    void AddNew();
    void Delete();
    // The row set; the same object for the cursor's whole life, also after re-opening.
    ConfigRowSet& record();
    void Requery();
    void update();
    void Cancel();
    void crebas();

    void MoveFirst() override;
    void MoveLast() override;
    void MoveNext() override;
    void MovePrevious() override;
    // Makes the row at the 1-based position current (a grid's row click); like every
    // move it first writes a pending change of the row it leaves.
    void setAbsolutePosition(qint64 position) override;

    // Column value of the current row by name (case-insensitive); a NULL column gives a
    // null QVariant. Throws without a current row or for an unknown column.
    QVariant value(const QString& column) const;
    // Writes a column of the current row; pending until update or a move.
    void setValue(const QString& column, const QVariant& value);

    // "Primary" yields the row set as an item model; any other name, or a cursor that is
    // not open, nullptr.
    QAbstractItemModel* dataMember(const QString& name) override;
    QMetaObject::Connection connectMoveComplete(QObject* receiver,
                                                std::function<void()> slot) override;

Q_SIGNALS:
    void MoveComplete();
    void dataMemberChanged(const QString& name);

private:
    bool chkDBVersion();
    void requireOpen() const;
    ConfigRowSet& rows() const;
    void openRowSet(const QString& statement, bool reportMove = true);
    void moveTo(int position);
    void writeRow(int row);
    void writeAllPending();

    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace quendra
