#pragma once

#include <QList>
#include <QtGlobal>

#include <chrono>
#include <map>
#include <optional>

namespace lumo {

// Which data packets of a UDP stream are missing, from the sequence counter every data packet
// carries (the flag byte of its media prefix: the low 8 bits of a count the server starts at 0
// and raises by one per data packet), and when to ask the server again for each.
class UdpGapTracker
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int MaxTries = 6;
    static constexpr std::chrono::milliseconds RetryInterval{250};
    // Sequence numbers one resend request names at most.
    static constexpr int RequestSize = 32;
    // Gaps remembered at most; a larger loss is past asking for.
    static constexpr qsizetype MaxMissing = 8192;
    // A first packet counted higher than this is not taken to mean that those before it were
    // lost: the server may count from elsewhere.
    static constexpr quint8 LeadingLossLimit = 32;

    // A data packet arrived with this counter byte; returns its 32-bit sequence number, or
    // nullopt for one too old to place (from before the start).
    std::optional<quint32> arrived(quint8 counter, Clock::time_point now);
    // The stream runs up to `last`: every packet after the highest seen is missing too.
    void expectUpTo(quint32 last, Clock::time_point now);
    // The sequence numbers to ask for now, at most RequestSize; each is asked again after
    // RetryInterval, MaxTries times in all.
    QList<quint32> due(Clock::time_point now);
    // When due() next has something; nullopt when nothing is left to ask for.
    std::optional<Clock::time_point> nextDue() const;

    // Packets missing now, asked for or given up.
    qsizetype missingCount() const { return qsizetype(m_missing.size()) + m_beyondLimit; }
    std::optional<quint32> firstMissing() const;
    bool started() const { return m_started; }

private:
    struct Gap
    {
        int tries = 0;
        Clock::time_point nextAsk;
    };
    void markMissing(quint32 from, quint32 to, Clock::time_point now);

    bool m_started = false;
    quint32 m_highest = 0;
    std::map<quint32, Gap> m_missing;
    qsizetype m_beyondLimit = 0; // lost, but not remembered one by one
    std::optional<quint32> m_firstBeyondLimit;
};

} // namespace lumo
