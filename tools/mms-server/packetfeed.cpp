#include "packetfeed.h"

namespace mmsserver {

PacketFeed::PacketFeed(const ServerOptions &options, FaultInjector &faults)
    : m_options(options), m_faults(faults), m_pacer(options.pace, options.rateBytesPerSecond)
{}

void PacketFeed::setSource(MediaSource *source, bool live)
{
    m_source = source;
    m_live = live;
    m_packet.assign(source->info().packetSize, '\0');
    m_staged = false;
    m_next = 0;
    m_locationBase = 0;
    if (live)
        m_loopMs = loopMs();
}

void PacketFeed::startAt(quint64 index, quint64 locationBase)
{
    m_next = index;
    m_locationBase = locationBase;
    m_staged = false;
}

// One loop of a live source lasts from the first send time to the end of the last packet.
qint64 PacketFeed::loopMs()
{
    const AsfInfo &info = m_source->info();
    PacketTimes first, last;
    const qsizetype size = qsizetype(m_packet.size());
    const bool firstOk =
        m_source->readPacket(0, m_packet.data()) && parsePacketTimes(ByteView(m_packet.data(), size), &first);
    const bool lastOk = m_source->readPacket(info.packetCount - 1, m_packet.data()) &&
                        parsePacketTimes(ByteView(m_packet.data(), size), &last);
    m_firstSendMs = firstOk ? first.sendTime : 0;
    const qint64 loop = firstOk && lastOk ? qint64(last.sendTime) + last.duration - first.sendTime : 0;
    return loop > 0 ? loop : std::max<qint64>(1, qint64(info.durationSeconds * 1000));
}

quint64 PacketFeed::liveIndexAt(qint64 elapsedMs)
{
    const quint64 loops = quint64(std::max<qint64>(0, elapsedMs) / m_loopMs);
    const qint64 intoLoopMs = std::max<qint64>(0, elapsedMs) % m_loopMs;
    const quint64 within = m_source->packetForTime(double(m_firstSendMs + intoLoopMs) / 1000.0);
    return loops * m_source->info().packetCount + std::min(within, m_source->info().packetCount - 1);
}

bool PacketFeed::stage()
{
    if (m_staged)
        return true;
    const AsfInfo &info = m_source->info();
    if (!m_live && m_next >= info.packetCount)
        return false;
    const quint64 index = m_live ? m_next % info.packetCount : m_next;
    if (!m_source->readPacket(index, m_packet.data()))
        return false;
    m_stagedTimeMs = 0;
    if (m_live || m_pacer.usesSendTimes()) {
        PacketTimes times;
        if (parsePacketTimes(ByteView(m_packet.data(), qsizetype(m_packet.size())), &times)) {
            m_stagedTimeMs = times.sendTime;
            if (m_live) {
                const qint64 shift = liveTimeOffsetMs + qint64(m_next / info.packetCount) * m_loopMs;
                shiftPacketTimes(m_packet.data(), times, quint32(shift));
                m_stagedTimeMs += shift;
            }
        }
    }
    // After the times moved, so that their offsets were read from the packet they were written to.
    trimToSelection();
    m_staged = true;
    return true;
}

void PacketFeed::trimToSelection()
{
    switch (keepWantedPayloads(m_packet.data(), qsizetype(m_packet.size()), m_selection)) {
    case PayloadFilter::Unchanged:
        break;
    case PayloadFilter::Trimmed:
        ++m_trimmed;
        break;
    case PayloadFilter::Emptied:
        ++m_emptied;
        break;
    case PayloadFilter::Unreadable:
        ++m_unreadable;
        break;
    }
}

void PacketFeed::setSelection(const StreamSelection &selection)
{
    m_selection = selection;
    m_staged = false;
}

QString PacketFeed::selectionReport() const
{
    return QStringLiteral("stream selection trimmed %1 packets and emptied %2; %3 unreadable sent whole")
        .arg(m_trimmed)
        .arg(m_emptied)
        .arg(m_unreadable);
}

PacketFeed::Step PacketFeed::next(qint64 *waitMs)
{
    if (!stage())
        return !m_live && m_next >= m_source->info().packetCount ? Step::End : Step::ReadError;
    const qint64 mediaMs = m_pacer.mediaMs(m_stagedTimeMs);
    if (m_live && m_options.liveSeconds && mediaMs >= qint64(*m_options.liveSeconds) * 1000)
        return Step::End;
    if (const qint64 wait = m_pacer.waitMs(mediaMs); wait > 0) {
        *waitMs = wait;
        return Step::Wait;
    }
    if (m_faults.dropsConnection(m_dataSent))
        return Step::Drop;
    return Step::Send;
}

quint32 PacketFeed::sendBytes() const
{
    return m_faults.sentBytes(m_packet.data(), quint32(m_packet.size()));
}

void PacketFeed::sent()
{
    m_staged = false;
    ++m_next;
    ++m_dataSent;
    m_pacer.sent(m_packet.size() + 8);
}

} // namespace mmsserver
