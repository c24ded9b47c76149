#include "engine/sourcewatch.h"

namespace quendra {

SourceWatch::SourceWatch(const QString& file, Check check) : m_check(std::move(check))
{
    if (file.isEmpty())
        m_values.emplace();
    else
        m_file.emplace(file);
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

void SourceWatch::checkBeforeCommit()
{
    take();
    if (m_checked || !m_identity || !m_check)
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
        m_file.reset();
    } else if (m_values) {
        m_identity = m_values->result();
        m_values.reset();
    }
}

std::optional<SourceIdentity> SourceWatch::result()
{
    take();
    return m_identity;
}

} // namespace quendra
