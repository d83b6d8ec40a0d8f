#include "resendcache.h"

namespace mmsserver {

void ResendCache::reset()
{
    m_entries.assign(capacity, Entry());
}

void ResendCache::store(quint32 sequence, const QByteArray &datagram)
{
    if (m_entries.empty())
        return;
    m_entries[sequence % capacity] = {sequence, datagram};
}

const QByteArray *ResendCache::find(quint32 sequence) const
{
    if (m_entries.empty())
        return nullptr;
    const Entry &entry = m_entries[sequence % capacity];
    return entry.sequence == sequence && !entry.datagram.isEmpty() ? &entry.datagram : nullptr;
}

} // namespace mmsserver
