#pragma once

#include "engine/runoptions.h"
#include "engine/sourceidentity.h"

#include <functional>
#include <optional>

namespace quendra {

class RecordReader;

// The identity of a writing run's source and its check before the target changes. Where
// the target takes the records only at the end (all or nothing), the identity is taken
// while the run reads and checked before the target takes them. Where it takes each
// record as it comes, a text target holds its first records back while a file is hashed
// beside the run; otherwise the source is read for its identity first and checked before
// the first record.
class SourceWatch {
public:
    using Check = std::function<void(const SourceIdentity& source)>;

    // file: the path of a text source, empty for a database source (its identity is taken
    // over the values read). check may be empty (the identity is only taken); it throws
    // quendra::Error to stop the run. gate is passed before the check (either may be empty).
    // early: the identity is wanted before the run has read the file, which is then read
    // beside the run; otherwise the file's blocks are hashed as the run reads them
    // (blocks()).
    SourceWatch(const QString& file, Check check, RunOptions::Gate gate = {}, bool early = true);

    // Before the first record, for a target that changes as records come: the identity
    // is taken now (readAll hands a database source's every record to the fingerprint)
    // and checked.
    void checkFirst(const std::function<void(ValueFingerprint& values)>& readAll);
    // Whether the identity is a file's, taken on a thread of its own as the run goes.
    bool hashesFile() const { return m_file.has_value(); }
    // Where the run's reader hands the blocks of a file it reads; nullptr for a database.
    ReadBlocks* blocks() { return m_file ? &*m_file : nullptr; }
    // Whether checkBeforeCommit will not wait: for the gate, nor for an identity to check.
    bool ready() const;
    // A record the run reads (a database source whose identity was not taken first).
    void addRecord(const RecordReader& reader, int fieldCount);
    // Before the target first changes, or an all-or-nothing target takes the records: the
    // gate passed and the identity checked, unless they were already.
    void checkBeforeCommit();
    // The identity, when the source has one and a file is still as it was when hashed.
    std::optional<SourceIdentity> result();

private:
    void take();

    std::optional<FileFingerprint> m_file;
    std::optional<ValueFingerprint> m_values;
    std::optional<SourceIdentity> m_identity;
    Check m_check;
    bool m_checked = false;
    RunOptions::Gate m_gate;
    bool m_passed = false;
};

} // namespace quendra
