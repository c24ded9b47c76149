#pragma once

#include "common/error.h"
#include "config/runjournal.h"

#include <atomic>
#include <functional>
#include <future>
#include <optional>
#include <thread>

namespace quendra {

// Writes to the journal; a lock of another program is waited out a few times. The error
// when the journal could not be written, none when it was.
std::optional<Error> journalWrite(const std::function<void()>& write);

// The row of a run that starts, written on a thread of its own so that the run does not
// wait while init.mdb's commit reaches the disk. The constructor returns once the row is
// in the transaction of that thread's connection: init.mdb is locked for writing from then
// on, so that a run that starts later gets a later row, and the rows of runs whose process
// ended are marked "abgebrochen". The commit follows while the run goes on; a run waits for
// it (committed) before its target first changes.
class JournalStartRow {
public:
    // Writes entry as journalStart does, unless the journal keeps no rows. Throws the error
    // that kept the row out (a lock of another program, waited out a few times, among them).
    explicit JournalStartRow(const JournalEntry& entry);
    ~JournalStartRow(); // waits for the commit
    JournalStartRow(const JournalStartRow&) = delete;
    JournalStartRow& operator=(const JournalStartRow&) = delete;

    // Whether the journal keeps rows; when not, nothing was written.
    bool kept() const { return m_id > 0; }
    qint64 id() const { return m_id; }
    // Whether committed() will not wait.
    bool ready() const { return m_done.load(std::memory_order_acquire); }
    // Waits for the commit; the error that undid the row, none when it is in init.mdb.
    const std::optional<Error>& committed();

private:
    void write(JournalEntry entry, std::promise<qint64>& inserted);

    qint64 m_id = 0;
    std::optional<Error> m_fault;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

} // namespace quendra
