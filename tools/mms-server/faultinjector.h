#pragma once

#include "options.h"

#include <optional>

namespace mmsserver {

// The faults a test can ask for on the command line, decided per session from the options and from
// what the session has sent so far.
class FaultInjector
{
public:
    explicit FaultInjector(const ServerOptions &options);

    // The hr that the reply to `command` should carry instead of success.
    std::optional<quint32> injectedError(ClientCommand command) const;
    // Whether the connection is to be cut before the next data packet.
    bool dropsConnection(quint64 dataPacketsSent) const;
    // True once, when a packet of an unknown kind is to go before the next data packet.
    bool takeCorruptPacket(quint64 dataPacketsSent);
    // Counts one UDP datagram; true if it is to be lost.
    bool losesDatagram();
    quint64 datagramCount() const { return m_datagrams; }
    // Whether TCP output goes one byte per write.
    bool drips() const { return m_drip; }
    // How many bytes of a data packet go out: all, or without its trailing zeros when padding is stripped.
    quint32 sentBytes(const char *packet, quint32 size) const;
    // True once, when the stream is to change to a new entry before the next data packet.
    bool takeStreamChange(quint64 dataPacketsSent);
    // Whether a metadata chunk goes before the next data packet.
    bool metadataDue(quint64 dataPacketsSent) const;

private:
    const QMap<ClientCommand, quint32> m_errorOn;
    const std::optional<quint64> m_dropAfter;
    const std::optional<quint64> m_corruptAfter;
    const quint32 m_udpDropEvery;
    const bool m_drip;
    const bool m_stripPadding;
    const std::optional<quint64> m_streamChangeAfter;
    const quint64 m_metadataEvery;
    bool m_corruptSent = false;
    bool m_streamChanged = false;
    quint64 m_datagrams = 0;
};

} // namespace mmsserver
