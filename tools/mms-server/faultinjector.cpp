#include "faultinjector.h"

namespace mmsserver {

FaultInjector::FaultInjector(const ServerOptions &options)
    : m_errorOn(options.errorOn), m_dropAfter(options.dropAfter), m_corruptAfter(options.corruptAfter),
      m_udpDropEvery(options.udpDropEvery), m_drip(options.drip), m_stripPadding(options.stripPadding),
      m_streamChangeAfter(options.streamChangeAfter), m_metadataEvery(options.metadataEvery)
{}

std::optional<quint32> FaultInjector::injectedError(ClientCommand command) const
{
    const auto it = m_errorOn.constFind(command);
    if (it == m_errorOn.constEnd())
        return std::nullopt;
    return *it;
}

bool FaultInjector::dropsConnection(quint64 dataPacketsSent) const
{
    return m_dropAfter && dataPacketsSent >= *m_dropAfter;
}

bool FaultInjector::takeCorruptPacket(quint64 dataPacketsSent)
{
    if (m_corruptSent || !m_corruptAfter || dataPacketsSent != *m_corruptAfter)
        return false;
    m_corruptSent = true;
    return true;
}

bool FaultInjector::losesDatagram()
{
    ++m_datagrams;
    return m_udpDropEvery && m_datagrams % m_udpDropEvery == 0;
}

quint32 FaultInjector::sentBytes(const char *packet, quint32 size) const
{
    if (m_stripPadding)
        while (size > 0 && packet[size - 1] == 0)
            --size;
    return size;
}

bool FaultInjector::takeStreamChange(quint64 dataPacketsSent)
{
    if (m_streamChanged || !m_streamChangeAfter || dataPacketsSent != *m_streamChangeAfter)
        return false;
    m_streamChanged = true;
    return true;
}

bool FaultInjector::metadataDue(quint64 dataPacketsSent) const
{
    return m_metadataEvery && dataPacketsSent > 0 && dataPacketsSent % m_metadataEvery == 0;
}

} // namespace mmsserver
