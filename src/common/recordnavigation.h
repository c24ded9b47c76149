#pragma once

#include <QMetaObject>
#include <QString>
#include <functional>

class QAbstractItemModel;
class QObject;

namespace quendra {

// What a grid window needs of the rows it shows: the four moves, the current position,
// a move to a clicked row, the rows as the item model "Primary" and the news of every
// completed move. The configuration cursor (the field and translation editors) and the
// database connector (the raw data viewer) both offer it, so that the grid frame does
// not care which of the two it holds.
class RecordNavigation {
public:
    virtual ~RecordNavigation() = default;

    virtual void MoveFirst() = 0;
    virtual void MoveLast() = 0;
    virtual void MoveNext() = 0;
    virtual void MovePrevious() = 0;
    // 1-based position of the current row; negative when there is none.
    virtual qint64 AbsolutePosition() const = 0;
    // Makes the row at the 1-based position current (a click on a grid row).
    virtual void setAbsolutePosition(qint64 position) = 0;
    // The rows for data member "Primary"; nullptr for any other name.
    virtual QAbstractItemModel* dataMember(const QString& name) = 0;
    // Calls slot after every completed move (the MoveComplete event) for as long as
    // receiver lives.
    virtual QMetaObject::Connection connectMoveComplete(QObject* receiver,
                                                        std::function<void()> slot) = 0;

protected:
    RecordNavigation() = default;
    RecordNavigation(const RecordNavigation&) = default;
    RecordNavigation& operator=(const RecordNavigation&) = default;
};

} // namespace quendra
