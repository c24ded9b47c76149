#pragma once

#include "common/error.h"
#include "connectors/recordaccess.h"
#include "values/regionaltext.h"

#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace quendra {

// One row waiting to be sent: a value per column, NULL leaving the column to its default.
using QueuedRow = std::vector<QVariant>;

// The columns of the table a sender writes into, in "select *" order, and what each keeps.
struct SenderColumns {
    QStringList names;
    std::vector<ColumnType> types;
};

// How far a range of rows got.
struct SentRows {
    size_t written = 0;           // rows of the range that went through, from its first
    std::optional<Error> failure; // none: every row went through
    bool rowKnown = false;        // failure: the row right after the written ones was refused
};

// One database's way of inserting rows into one table. BlockWriter decides which rows go
// in which transaction and what follows a failure; the sender only sends.
class RowSender {
public:
    virtual ~RowSender() = default;
    // The table's columns; asked once, before any row.
    virtual SenderColumns columns() = 0;
    // Whether begin, commit and rollback delimit transactions; without them every row
    // that went through stays.
    virtual bool transactions() const = 0;
    // These throw the database's error; after commit the transaction is over either way.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0; // never throws
    // Sends rows [first, first + count). When the failing row is unknown (several rows
    // went in one statement), the rows counted as written went through.
    virtual SentRows send(const std::vector<QueuedRow>& rows, size_t first, size_t count) = 0;
    // Whether the sender takes each row as it joins the block (queued), so that the
    // database works on the rows while the next ones are prepared.
    virtual bool sendsEarly() const { return false; }
    // rows[row] joined the block, in the transaction begin opened; the sender may send it
    // now, and send, asked for the block, completes what was begun. Never throws: a fault
    // waits for send.
    virtual void queued(const std::vector<QueuedRow>& rows, size_t row)
    {
        Q_UNUSED(rows);
        Q_UNUSED(row);
    }
    // Ends the transaction with a commit whose outcome comes later (true), so that the
    // next rows are prepared meanwhile; committed waits for it and throws the database's
    // error. False: the sender commits only as commit does.
    virtual bool commitLater() { return false; }
    virtual void committed() {}
    // A block failed as a whole although each of its rows goes in alone: from now on
    // each row goes by itself.
    virtual void sendRowsSingly() {}
};

// Appends rows to one table through a sender. Rows are queued and sent in blocks, one
// transaction per block. When a row of a block fails, the rows before it are committed
// and the row's own error is thrown, exactly as if every row had been a statement of its
// own; failedRow() names it. A failure whose row the sender cannot name is searched row
// by row. Asked to, the writer keeps all rows in one transaction that only close commits.
class BlockWriter : public DatabaseRecord {
public:
    explicit BlockWriter(std::unique_ptr<RowSender> sender);
    ~BlockWriter() override;
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    int fieldsCount() const override { return static_cast<int>(m_columns.names.size()); }
    void AddNew() override;
    void setItem(int ordinal, const QVariant& value) override;
    void setNumber(int ordinal, const DecimalNumber& number, const QString& written) override;
    void setText(int ordinal, const QString& text) override;
    void update() override;
    void close() override;
    bool keepOneTransaction() override;
    qint64 rowsReceived() const override { return m_received; }
    qint64 failedRow() const override { return m_failedRow; }

private:
    // Sends the queued rows; commits them unless the run is one transaction and this
    // is not its end.
    void sendBlock(bool end);
    // The slot of column ordinal in the row being added; throws for a column the table
    // lacks and when no row is being added.
    QVariant& slot(int ordinal);
    // Stores value in a queued row's slot. A text the caller holds too is copied into the
    // text the slot kept from an earlier row: neither the caller, composing its next
    // record, nor the slot needs new memory for it.
    static void keep(QVariant& slot, QVariant value);
    // Hands the rows queued since to a sender that sends rows early.
    void sendEarly();
    // Waits for the commit of the block before. A refused commit is settled as a block's
    // commit refused at once: its rows are sent again one by one; when that fails, the
    // error is thrown and the rows queued since are dropped.
    void settleCommit();
    // After the block failed: finds the failing row (by sending the rows one by one when
    // the sender could not name it), commits the rows before it and throws its error.
    // When no row fails alone, the sender takes no several rows at once: the rows stay
    // written and the run goes on a row at a time.
    void settleFailedBlock(bool end, const SentRows& sent);
    // Rows [0, good) again in a fresh transaction, committed; throws when that fails.
    void resendBefore(size_t good, bool asOne);
    void begin();
    void commit();
    void rollback();

    std::unique_ptr<RowSender> m_sender;
    SenderColumns m_columns;
    RegionalText m_text;

    bool m_adding = false;
    std::vector<QueuedRow> m_block;           // queued rows; NULL leaves a column out
    std::vector<QueuedRow> m_committingBlock; // the rows whose commit's outcome is to come
    std::vector<bool> m_given; // the columns of the row being added that have a value
    size_t m_queued = 0;
    size_t m_sentEarly = 0;  // queued rows handed to the sender already
    size_t m_committing = 0; // rows of the block whose commit's outcome is still to come
    bool m_inTransaction = false;
    bool m_oneTransaction = false; // the whole run: committed only by close
    qint64 m_uncommitted = 0;      // rows sent in the one transaction
    qint64 m_received = 0;
    qint64 m_failedRow = 0;
};

} // namespace quendra
