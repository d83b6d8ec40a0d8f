#pragma once

#include "bytes.h"
#include "commandids.h"
#include "faultinjector.h"
#include "mediasource.h"
#include "packetfeed.h"
#include "resendcache.h"
#include "tcpoutput.h"

#include <memory>
#include <QHostAddress>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

namespace mmsserver {

class Server;

// One binary MMS connection: answers its commands and streams its header and data packets.
class Session final : public QObject
{
    Q_OBJECT
public:
    Session(int number, QTcpSocket *socket, Server &server);
    ~Session() override;

    quint32 clientId() const { return m_clientId; }
    // Sends the named data packets again, unchanged, if they are still cached.
    void resend(const QList<quint32> &sequences);

private:
    // One handler per client command, in sessioncommands.cpp. Each returns false if the message is too
    // short for its fields.
    bool dispatch(ClientCommand command, ByteView m);
    bool connectCommand(ByteView m);
    bool funnelInfo(ByteView m);
    bool connectFunnel(ByteView m);
    bool openFile(ByteView m);
    bool securityResponse(ByteView m);
    bool readBlock(ByteView m);
    bool streamSwitch(ByteView m);
    bool startPlaying(ByteView m);
    bool stopPlaying(ByteView m);
    bool startStriding(ByteView m);
    void openPath(const QString &path, quint32 pi);
    void sendUdpPacketPair();
    void sendHeader(quint8 pi);
    quint64 startPacket(double position, quint32 asfOffset, quint32 location);
    // Sends a reply that carries an error hr, and logs it.
    void errorReply(const QByteArray &message, const QString &why);

    void readMessages();
    void sendCommand(const QByteArray &message);
    void sendTcp(const char *data, qsizetype size);
    // Sends one datagram to the client's UDP port; a data packet is kept for resends under `sequence`.
    void sendDatagram(const QByteArray &datagram, std::optional<quint32> sequence);
    void bytesWritten();

    void pump();
    void appendPacket(quint32 location, quint8 kind, quint8 flags, const char *payload, quint32 size,
                      bool isData = false);
    void finishStream(quint32 hr);
    void closeAfterFlush();
    void closeNow(const QString &why);
    void disconnected();
    void log(const QString &text) const;
    quint16 nextSeq() { return m_seq++; }

    const int m_number;
    QTcpSocket *m_socket;
    Server &m_server;
    const bool m_live;
    quint32 m_clientId;
    QByteArray m_in;
    quint16 m_seq = 0;
    bool m_closed = false;
    QTimer m_pingTimer;
    QTimer m_pumpTimer;
    FaultInjector m_faults;
    TcpOutput m_output;
    PacketFeed m_feed;

    // Transport
    bool m_udp = false;
    bool m_udpPacketPair = false;
    QHostAddress m_peer;
    quint16 m_udpPort = 0;
    ResendCache m_resendCache;

    // The open file
    std::unique_ptr<MediaSource> m_source;
    QByteArray m_header;
    bool m_authenticated = false;
    QString m_pendingPath;

    // Streaming
    bool m_streaming = false;
    quint32 m_playPi = 0;
    quint32 m_sequence = 0;
};

} // namespace mmsserver
