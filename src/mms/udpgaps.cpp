#include "mms/udpgaps.h"

namespace lumo {

void UdpGapTracker::markMissing(quint32 from, quint32 to, Clock::time_point now)
{
    for (quint32 seq = from; seq < to; ++seq) {
        if (qsizetype(m_missing.size()) >= MaxMissing) {
            if (!m_firstBeyondLimit)
                m_firstBeyondLimit = seq;
            m_beyondLimit += qsizetype(to - seq);
            return;
        }
        m_missing.emplace(seq, Gap{0, now});
    }
}

std::optional<quint32> UdpGapTracker::arrived(quint8 counter, Clock::time_point now)
{
    if (!m_started) {
        m_started = true;
        // The count starts at 0 with the first data packet: lower counts were lost on the way.
        if (counter <= LeadingLossLimit)
            markMissing(0, counter, now);
        m_highest = counter;
        return m_highest;
    }
    // The nearest sequence number with this low byte: ahead of or behind the highest seen.
    const qint64 seq = qint64(m_highest) + qint8(quint8(counter - quint8(m_highest)));
    if (seq < 0)
        return std::nullopt;
    if (quint32(seq) > m_highest) {
        markMissing(m_highest + 1, quint32(seq), now);
        m_highest = quint32(seq);
    } else {
        m_missing.erase(quint32(seq)); // a resend, or a packet that came late
    }
    return quint32(seq);
}

void UdpGapTracker::expectUpTo(quint32 last, Clock::time_point now)
{
    if (!m_started || last <= m_highest)
        return;
    markMissing(m_highest + 1, last + 1, now);
    m_highest = last;
}

QList<quint32> UdpGapTracker::due(Clock::time_point now)
{
    QList<quint32> asked;
    for (auto &[seq, gap] : m_missing) {
        if (asked.size() >= RequestSize)
            break;
        if (gap.tries >= MaxTries || gap.nextAsk > now)
            continue;
        ++gap.tries;
        gap.nextAsk = now + RetryInterval;
        asked.append(seq);
    }
    return asked;
}

std::optional<UdpGapTracker::Clock::time_point> UdpGapTracker::nextDue() const
{
    std::optional<Clock::time_point> next;
    for (const auto &[seq, gap] : m_missing) {
        if (gap.tries < MaxTries && (!next || gap.nextAsk < *next))
            next = gap.nextAsk;
    }
    return next;
}

std::optional<quint32> UdpGapTracker::firstMissing() const
{
    if (!m_missing.empty())
        return m_missing.begin()->first;
    return m_firstBeyondLimit;
}

} // namespace lumo
