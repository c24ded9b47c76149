#include "connectors/backends/blockwriter.h"

#include "common/valuebuffer.h"
#include "common/variantnull.h"

#include <QtDebug>
#include <algorithm>
#include <utility>

namespace quendra {

namespace {
// Rows per transaction: large enough that the database's own cost per commit and per
// round trip vanishes, small enough that a block in memory stays small.
constexpr size_t RowsPerBlock = 5000;
// Rows prepared while the block before is committed, before they are sent.
constexpr size_t RowsDuringCommit = 1000;
} // namespace

BlockWriter::BlockWriter(std::unique_ptr<RowSender> sender)
    : m_sender(std::move(sender)), m_columns(m_sender->columns())
{
}

BlockWriter::~BlockWriter()
{
    if (m_oneTransaction) {
        rollback();
        return;
    }
    try {
        sendBlock(true);
    } catch (const Error& e) {
        qWarning("Quendra: Zeilen konnten nicht abgeschlossen werden: %s",
                 qPrintable(e.description()));
    }
}

void BlockWriter::close()
{
    sendBlock(true);
}

bool BlockWriter::keepOneTransaction()
{
    if (!m_sender->transactions())
        return false;
    begin();
    m_oneTransaction = true;
    return true;
}

void BlockWriter::AddNew()
{
    if (m_queued == m_block.size())
        m_block.emplace_back(m_columns.names.size());
    m_given.assign(m_columns.names.size(), false);
    m_adding = true;
}

QVariant& BlockWriter::slot(int ordinal)
{
    if (ordinal < 0 || ordinal >= fieldsCount())
        throw standardError(errnum::ItemNotFound, QString::number(ordinal));
    if (!m_adding)
        throw standardError(errnum::NoCurrentRecord);
    return m_block[m_queued][size_t(ordinal)];
}

void BlockWriter::setItem(int ordinal, const QVariant& value)
{
    QVariant& kept = slot(ordinal);
    const auto column = size_t(ordinal);
    keep(kept, m_text.forColumn(value, m_columns.types[column], m_columns.names[ordinal]));
    m_given[column] = true;
}

void BlockWriter::setNumber(int ordinal, const DecimalNumber& number, const QString& written)
{
    QVariant& kept = slot(ordinal);
    const auto column = size_t(ordinal);
    keep(kept,
         m_text.forColumn(number, written, m_columns.types[column], m_columns.names[ordinal]));
    m_given[column] = true;
}

void BlockWriter::setText(int ordinal, const QString& text)
{
    QVariant& kept = slot(ordinal);
    const auto column = size_t(ordinal);
    if (m_columns.types[column].kind != ValueKind::Text || text.isNull()) {
        setItem(ordinal, text);
        return;
    }
    // A text column takes the text as it is: into the text the slot kept from an earlier
    // row, without a variant, or as keep takes it.
    if (kept.typeId() == QMetaType::QString && !isNullValue(kept))
        assignView(*static_cast<QString*>(kept.data()), text);
    else
        keep(kept, text);
    m_given[column] = true;
}

void BlockWriter::keep(QVariant& slot, QVariant value)
{
    if (value.typeId() == QMetaType::QString && !isNullValue(value) &&
        slot.typeId() == QMetaType::QString && !isNullValue(slot)) {
        const QString& text = *static_cast<const QString*>(value.constData());
        if (!text.isEmpty() && !text.isDetached()) {
            assignView(*static_cast<QString*>(slot.data()), text);
            return;
        }
    }
    slot = std::move(value);
}

void BlockWriter::update()
{
    if (!m_adding)
        return;
    m_adding = false;
    m_failedRow = 0;
    QueuedRow& row = m_block[m_queued];
    for (size_t c = 0; c < row.size(); ++c) {
        if (!m_given[c])
            row[c] = QVariant();
    }
    ++m_queued;
    if (m_sender->sendsEarly() && (m_committing == 0 || m_queued >= RowsDuringCommit))
        sendEarly();
    if (m_queued >= RowsPerBlock)
        sendBlock(false);
}

void BlockWriter::sendEarly()
{
    settleCommit();
    if (!m_sender->sendsEarly())
        return; // the block before went in row by row: so do the rows from now on
    try {
        begin();
    } catch (const Error&) {
        return; // sending the block meets the same fault and settles it
    }
    for (; m_sentEarly < m_queued; ++m_sentEarly)
        m_sender->queued(m_block, m_sentEarly);
}

void BlockWriter::settleCommit()
{
    if (m_committing == 0)
        return;
    const size_t rows = std::exchange(m_committing, 0);
    std::optional<Error> refused;
    try {
        m_sender->committed();
    } catch (const Error& e) {
        refused = e;
    }
    if (!refused) {
        m_received += qint64(rows);
        return;
    }
    // As a commit refused at once: the block is tried again row by row.
    const size_t since = m_queued;
    std::swap(m_block, m_committingBlock);
    m_queued = rows;
    try {
        settleFailedBlock(false, SentRows{0, refused, false});
    } catch (const Error&) {
        std::swap(m_block, m_committingBlock);
        m_queued = 0; // the run ends here: the rows queued since go nowhere
        m_sentEarly = 0;
        throw;
    }
    std::swap(m_block, m_committingBlock);
    m_queued = since;
}

void BlockWriter::sendBlock(bool end)
{
    settleCommit();
    if (m_queued == 0 && !(end && m_oneTransaction && m_inTransaction))
        return;
    m_failedRow = 0;
    m_sentEarly = 0;
    SentRows sent;
    try {
        begin();
        sent = m_sender->send(m_block, 0, m_queued);
        if (!sent.failure && m_oneTransaction && !end) {
            m_uncommitted += qint64(m_queued);
            m_queued = 0;
            return;
        }
        if (!sent.failure && !m_oneTransaction && !end && m_sender->commitLater()) {
            m_inTransaction = false;
            m_committing = m_queued;
            m_queued = 0;
            std::swap(m_block, m_committingBlock); // kept until the commit is confirmed
            return;
        }
        if (!sent.failure)
            commit();
    } catch (const Error& e) {
        sent = SentRows{0, e, false}; // the block as a whole
    }
    if (sent.failure) {
        settleFailedBlock(end, sent);
        return;
    }
    m_received += m_uncommitted + qint64(m_queued);
    m_uncommitted = 0;
    m_oneTransaction = false;
    m_queued = 0;
}

void BlockWriter::settleFailedBlock(bool end, const SentRows& sent)
{
    const size_t count = m_queued;
    m_queued = 0; // whatever follows, this block is done with
    // Without transactions, the rows that went through are in the table already.
    size_t good = m_sender->transactions() ? 0 : sent.written;
    rollback();
    std::optional<Error> failure;
    bool rowFailed = false; // the failure is a row's own, not the transaction's
    if (sent.rowKnown) {
        good = sent.written;
        failure = sent.failure;
        rowFailed = true;
    } else {
        // Row by row, as if every row were a statement of its own.
        try {
            begin();
            for (; good < count; ++good) {
                SentRows one = m_sender->send(m_block, good, 1);
                failure = std::move(one.failure);
                if (failure)
                    break;
            }
            rowFailed = failure.has_value();
        } catch (const Error& e) {
            failure = e;
        }
    }
    if (m_oneTransaction && !failure && m_uncommitted == 0 && count > 0) {
        // The transaction holds this block's rows alone, each sent by itself.
        m_sender->sendRowsSingly();
        m_uncommitted = qint64(count);
        if (end)
            sendBlock(true); // commits
        return;
    }
    if (m_oneTransaction) {
        // All or nothing: the rows before are taken back as well; the row is only named.
        rollback();
        m_oneTransaction = false;
        // No row fails alone: the commit was refused (a constraint checked only then),
        // which no single record caused; the database's own reason is the message.
        m_failedRow = failure ? m_received + m_uncommitted + qint64(good) + 1 : 0;
        m_uncommitted = 0;
        throw failure ? *failure : *sent.failure;
    }
    if (!failure) {
        try {
            commit();
            // Every row went in alone: the sender takes no several rows at once.
            m_sender->sendRowsSingly();
            m_received += qint64(count);
            return;
        } catch (const Error& e) {
            failure = e; // the block is lost as a whole: its first row is the one missing
            good = 0;
        }
    }
    if (rowFailed && m_sender->transactions()) {
        // The failure ended the transaction: the rows before the failing one go in again,
        // as they went in a moment ago.
        rollback();
        try {
            resendBefore(good, sent.rowKnown);
        } catch (const Error& e) {
            rollback();
            failure = e;
            good = 0;
        }
    }
    m_failedRow = m_received + qint64(good) + 1;
    m_received += qint64(good);
    throw *failure;
}

void BlockWriter::resendBefore(size_t good, bool asOne)
{
    begin();
    for (size_t i = 0; i < good;) {
        const size_t rows = asOne ? good : 1;
        SentRows sent = m_sender->send(m_block, i, rows);
        if (sent.failure)
            throw *sent.failure;
        i += rows;
    }
    commit();
}

void BlockWriter::begin()
{
    if (m_inTransaction || !m_sender->transactions())
        return;
    m_sender->begin();
    m_inTransaction = true;
}

void BlockWriter::commit()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    m_sender->commit();
}

void BlockWriter::rollback()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    m_sender->rollback();
}

} // namespace quendra
