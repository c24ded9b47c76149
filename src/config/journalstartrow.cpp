#include "config/journalstartrow.h"

#include "common/globals.h"
#include "config/configconnection.h"
#include "config/configsql.h"

#include <QThread>

namespace quendra {

std::optional<Error> journalWrite(const std::function<void()>& write)
{
    constexpr int Attempts = 3;
    for (int attempt = 1;; ++attempt) {
        try {
            write();
            return std::nullopt;
        } catch (...) {
            Error error = currentError();
            if (!isLockedError(error) || attempt == Attempts)
                return error;
        }
        QThread::msleep(500);
    }
}

JournalStartRow::JournalStartRow(const JournalEntry& entry)
{
    std::promise<qint64> inserted;
    std::future<qint64> id = inserted.get_future();
    m_thread = std::thread([this, entry, p = std::move(inserted)]() mutable { write(entry, p); });
    try {
        m_id = id.get();
    } catch (...) {
        m_thread.join();
        throw;
    }
}

JournalStartRow::~JournalStartRow()
{
    if (m_thread.joinable())
        m_thread.join();
}

const std::optional<Error>& JournalStartRow::committed()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_fault;
}

void JournalStartRow::write(JournalEntry entry, std::promise<qint64>& inserted)
{
    // The thread's own connection, held from the transaction's start to its end.
    const ConfigConnectionScope scope;
    qint64 id = 0;
    std::optional<QSqlDatabase> db;
    const std::optional<Error> fault = journalWrite([&] {
        db = ConfigConnection::shared(globals().configDbPath)->database();
        if (journalRowsKept() <= 0)
            return;
        execStatement(*db, QStringLiteral("begin immediate"));
        try {
            settleAbandonedRuns();
            id = journalStart(entry);
        } catch (...) {
            try {
                execStatement(*db, QStringLiteral("rollback"));
            } catch (...) {
            }
            throw;
        }
    });
    if (fault) {
        m_done.store(true, std::memory_order_release);
        inserted.set_exception(std::make_exception_ptr(*fault));
        return;
    }
    inserted.set_value(id);
    if (id > 0) {
        m_fault = journalWrite([&] { execStatement(*db, QStringLiteral("commit")); });
        if (m_fault) {
            try {
                execStatement(*db, QStringLiteral("rollback"));
            } catch (...) {
            }
        }
    }
    db.reset();
    m_done.store(true, std::memory_order_release);
}

} // namespace quendra
