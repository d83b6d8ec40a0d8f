#pragma once

#include <QByteArray>
#include <vector>

namespace mmsserver {

// The last data packets sent by UDP, kept byte for byte, so that a client can ask again for lost ones by
// their sequence number.
class ResendCache
{
public:
    static constexpr std::size_t capacity = 1024;

    // Empties the cache and makes room; until then nothing is kept.
    void reset();
    void store(quint32 sequence, const QByteArray &datagram);
    // The datagram sent as `sequence`, or nullptr if it was never sent or has been overwritten since.
    const QByteArray *find(quint32 sequence) const;

private:
    struct Entry
    {
        quint32 sequence = 0;
        QByteArray datagram;
    };
    std::vector<Entry> m_entries;
};

} // namespace mmsserver
