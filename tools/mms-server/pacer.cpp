#include "pacer.h"

#include <algorithm>

namespace mmsserver {

Pacer::Pacer(Pace pace, quint64 rateBytesPerSecond) : m_pace(pace), m_rateBytesPerSecond(rateBytesPerSecond)
{}

void Pacer::restart()
{
    m_firstTimeMs.reset();
    m_bytesSent = 0;
}

qint64 Pacer::mediaMs(qint64 sendTimeMs)
{
    if (!m_firstTimeMs) {
        m_firstTimeMs = sendTimeMs;
        m_clock.start();
    }
    return sendTimeMs - *m_firstTimeMs;
}

qint64 Pacer::waitMs(qint64 mediaMs) const
{
    qint64 wait = 0;
    if (m_pace == Pace::Realtime)
        wait = mediaMs - m_clock.elapsed();
    if (m_rateBytesPerSecond)
        wait = std::max<qint64>(wait, qint64(m_bytesSent * 1000 / m_rateBytesPerSecond) - m_clock.elapsed());
    return wait;
}

} // namespace mmsserver
