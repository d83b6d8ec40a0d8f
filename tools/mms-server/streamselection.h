#pragma once

#include "asf.h"

#include <bitset>
#include <QList>
#include <QString>

namespace mmsserver {

// The streams a client asked for, by 0x33 or by stream-switch-entry. A stream it does not name is
// wanted, so a client that never selects gets every stream.
class StreamSelection
{
public:
    void choose(quint16 stream, bool wanted);
    bool dropsAny() const { return m_dropped.any(); }
    bool wanted(quint8 stream) const { return stream >= m_dropped.size() || !m_dropped.test(stream); }
    // "1 on, 2 off, 3 on" over the header's streams, then any other stream the client named.
    QString describe(const QList<AsfStream> &streams) const;

private:
    std::bitset<128> m_dropped; // ASF stream numbers have 7 bits
    QList<std::pair<quint16, bool>> m_named;
};

enum class PayloadFilter
{
    Unchanged,  // every payload is wanted
    Trimmed,    // some payloads left out
    Emptied,    // every payload left out: a packet with no payloads, all padding
    Unreadable, // the packet could not be read and stays as it is
};

// Leaves the payloads of unwanted streams out of `packet`, in place. The packet keeps its size: what is
// left out becomes padding (zeros, counted in a Padding Length field it gains if it had none), and the
// payload count says what is left. Send time, duration and every kept payload stay byte for byte.
PayloadFilter keepWantedPayloads(char *packet, qsizetype size, const StreamSelection &selection);

} // namespace mmsserver
