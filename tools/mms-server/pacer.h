#pragma once

#include "options.h"

#include <optional>
#include <QElapsedTimer>

namespace mmsserver {

// When the next data packet may leave: not before its send time with real-time pacing, and not faster
// than the byte-rate limit. Both count from the first packet of a StartPlaying.
class Pacer
{
public:
    Pacer(Pace pace, quint64 rateBytesPerSecond);

    // Only real-time pacing needs the packets' send times.
    bool usesSendTimes() const { return m_pace == Pace::Realtime; }
    // A new StartPlaying: the next packet is time zero again.
    void restart();
    // Media time of a packet since the first one of this play; the first call starts the clock.
    qint64 mediaMs(qint64 sendTimeMs);
    // How long to hold back a packet at `mediaMs`; 0 or less means it may go now.
    qint64 waitMs(qint64 mediaMs) const;
    void sent(quint64 bytes) { m_bytesSent += bytes; }

private:
    const Pace m_pace;
    const quint64 m_rateBytesPerSecond;
    std::optional<qint64> m_firstTimeMs;
    QElapsedTimer m_clock;
    quint64 m_bytesSent = 0;
};

} // namespace mmsserver
