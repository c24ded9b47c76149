#include "engine/sourcewatch.h"

namespace quendra {

SourceWatch::SourceWatch(const QString& file, Check check, RunOptions::Gate gate, bool early)
    : m_check(std::move(check)), m_gate(std::move(gate))
{
    if (file.isEmpty())
        m_values.emplace();
    else
        m_file.emplace(file, early);
}

void SourceWatch::checkFirst(const std::function<void(ValueFingerprint& values)>& readAll)
{
    if (m_values)
        readAll(*m_values);
    take();
    checkBeforeCommit();
}

void SourceWatch::addRecord(const RecordReader& reader, int fieldCount)
{
    if (m_values && !m_identity)
        m_values->addRecord(reader, fieldCount);
}

bool SourceWatch::ready() const
{
    if (!m_passed && m_gate.ready && !m_gate.ready())
        return false;
    return !m_check || m_checked || m_identity || (m_file && m_file->ready());
}

void SourceWatch::checkBeforeCommit()
{
    if (!m_passed) {
        m_passed = true;
        if (m_gate.pass)
            m_gate.pass();
    }
    // Without a check (a repeat wanted anyway) nothing waits for the identity.
    if (m_checked || !m_check)
        return;
    take();
    if (!m_identity)
        return;
    m_checked = true;
    m_check(*m_identity);
}

void SourceWatch::take()
{
    if (m_identity)
        return;
    if (m_file) {
        // A file that could not be read whole (a pipe, say) has no identity.
        if (!m_file->result().sha256.isEmpty())
            m_identity = m_file->result();
    } else if (m_values) {
        m_identity = m_values->result();
        m_values.reset();
    }
}

std::optional<SourceIdentity> SourceWatch::result()
{
    take();
    // A file changed after it was hashed ahead of the run: the run read other bytes.
    if (m_file && m_identity && !m_file->unchanged())
        return std::nullopt;
    return m_identity;
}

} // namespace quendra
