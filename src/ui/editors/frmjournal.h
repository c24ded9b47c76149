#pragma once

#include "common/recordnavigation.h"
#include "ui/editors/gridframe.h"

#include <QStandardItemModel>

class QComboBox;

namespace quendra::ui {

// The rows of the journal as the grid frame moves through them: read once, held in a
// model, the newest first.
class JournalRows : public QObject, public RecordNavigation {
    Q_OBJECT
public:
    explicit JournalRows(QObject* parent = nullptr);

    // Reads the rows of transId (all when empty) again; the first row becomes current.
    void load(const QString& transId);

    void MoveFirst() override { moveTo(1); }
    void MoveLast() override { moveTo(m_model.rowCount()); }
    void MoveNext() override { moveTo(m_position + 1); }
    void MovePrevious() override { moveTo(m_position - 1); }
    qint64 AbsolutePosition() const override { return m_position; }
    void setAbsolutePosition(qint64 position) override { moveTo(position); }
    QAbstractItemModel* dataMember(const QString& name) override;
    QMetaObject::Connection connectMoveComplete(QObject* receiver,
                                                std::function<void()> slot) override;

Q_SIGNALS:
    void MoveComplete();

private:
    // Beyond either end the current row stays where it is.
    void moveTo(qint64 position);

    QStandardItemModel m_model;
    qint64 m_position = -1;
};

// "Protokoll": the runs that wrote, newest first, read only; the box at the top shows the
// runs of one definition only.
class frmJournal : public GridFrame {
    Q_OBJECT
public:
    explicit frmJournal(QWidget* parent = nullptr);

protected:
    void formLoad() override;
    QWidget* firstStrip() const override { return m_filter; }

private:
    void filterChosen();
    // Binds the rows loaded, each column as wide as its texts.
    void showRows();

    JournalRows m_rows;
    QWidget* m_filter = nullptr;
    QComboBox* m_cmbTransID = nullptr;
};

} // namespace quendra::ui
