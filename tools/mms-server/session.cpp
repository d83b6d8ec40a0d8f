#include "session.h"

#include "messages.h"
#include "server.h"

#include <chrono>
#include <QRandomGenerator>

namespace mmsserver {

namespace {

constexpr int datagramsPerTurn = 64;
constexpr quint8 unknownPacketKind = 0x09;

} // namespace

Session::Session(int number, QTcpSocket *socket, Server &server)
    : QObject(&server), m_number(number), m_socket(socket), m_server(server), m_live(server.options().live),
      m_clientId(QRandomGenerator::system()->generate()), m_faults(server.options()),
      m_output(*socket, m_faults.drips()), m_feed(server.options(), m_faults)
{
    m_socket->setParent(this);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_peer = m_socket->peerAddress();
    bool isV4 = false;
    const quint32 v4 = m_peer.toIPv4Address(&isV4);
    if (isV4)
        m_peer = QHostAddress(v4);
    connect(m_socket, &QTcpSocket::readyRead, this, &Session::readMessages);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &Session::bytesWritten);
    connect(m_socket, &QTcpSocket::disconnected, this, &Session::disconnected);
    m_pingTimer.setSingleShot(true);
    if (const quint32 seconds = server.options().pingEverySeconds) {
        m_pingTimer.setInterval(std::chrono::seconds(seconds));
        connect(&m_pingTimer, &QTimer::timeout, this, [this] {
            log(QStringLiteral("ping"));
            sendCommand(reply::ping(nextSeq()));
        });
        m_pingTimer.start();
    }
    m_pumpTimer.setSingleShot(true);
    m_pumpTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pumpTimer, &QTimer::timeout, this, &Session::pump);
    log(QStringLiteral("connection from %1:%2").arg(m_peer.toString()).arg(m_socket->peerPort()));
    if (m_socket->bytesAvailable() > 0)
        QTimer::singleShot(0, this, &Session::readMessages);
}

Session::~Session() = default;

void Session::log(const QString &text) const
{
    m_server.log(m_number, text);
}

void Session::readMessages()
{
    if (m_closed)
        return;
    m_in.append(m_socket->readAll());
    if (m_server.options().pingEverySeconds)
        m_pingTimer.start();
    while (!m_closed) {
        qsizetype length = 0;
        QString why;
        const FrameStatus status = nextClientMessage(m_in, &length, &why);
        if (status == FrameStatus::NeedMore)
            return;
        if (status == FrameStatus::Malformed) {
            closeNow(QStringLiteral("malformed message (%1)").arg(why));
            return;
        }
        const QByteArray message = m_in.left(length);
        m_in.remove(0, length);
        const ByteView v(message);
        const quint16 id = *v.u16(36);
        if (!dispatch(ClientCommand(id), v))
            closeNow(QStringLiteral("malformed message (command 0x%1 too short)")
                         .arg(id, 2, 16, QLatin1Char('0')));
    }
}

void Session::sendCommand(const QByteArray &message)
{
    if (m_closed)
        return;
    m_output.append(message);
    m_output.flush();
    if (m_server.options().pingEverySeconds)
        m_pingTimer.start();
}

void Session::bytesWritten()
{
    m_output.bytesWritten();
    pump();
}

void Session::sendDatagram(const QByteArray &datagram, std::optional<quint32> sequence)
{
    if (sequence)
        m_resendCache.store(*sequence, datagram);
    if (m_faults.losesDatagram()) {
        log(QStringLiteral("dropped datagram %1").arg(m_faults.datagramCount()));
        return;
    }
    m_server.udp().writeDatagram(datagram, m_peer, m_udpPort);
}

void Session::resend(const QList<quint32> &sequences)
{
    if (m_server.options().noResend) {
        log(QStringLiteral("resend of %1 packets ignored").arg(sequences.size()));
        return;
    }
    for (quint32 sequence : sequences) {
        const QByteArray *datagram = m_resendCache.find(sequence);
        if (!datagram) {
            log(QStringLiteral("resend of packet %1 refused: no longer cached").arg(sequence));
            continue;
        }
        log(QStringLiteral("resend packet %1").arg(sequence));
        m_server.udp().writeDatagram(*datagram, m_peer, m_udpPort);
    }
}

void Session::appendPacket(quint32 location, quint8 kind, quint8 flags, const char *payload, quint32 size,
                           bool isData)
{
    char prefix[8];
    putU32(prefix, location);
    putU8(prefix + 4, kind);
    putU8(prefix + 5, flags);
    putU16(prefix + 6, quint16(size + 8));
    if (m_udp) {
        QByteArray datagram;
        datagram.reserve(size + 8);
        datagram.append(prefix, 8).append(payload, size);
        // Only data packets can be asked for again, by their sequence number.
        sendDatagram(datagram, isData ? std::optional<quint32>(m_sequence - 1) : std::nullopt);
        return;
    }
    m_output.append(prefix, 8);
    m_output.append(payload, size);
}

void Session::pump()
{
    if (!m_streaming || m_closed || !m_source)
        return;
    const quint32 packetSize = m_source->info().packetSize;
    int datagramBudget = datagramsPerTurn;
    while (m_streaming && !m_closed) {
        if (!m_udp && m_output.isFull())
            break; // bytesWritten resumes
        if (m_udp && datagramBudget-- == 0) {
            m_pumpTimer.start(1);
            break;
        }
        qint64 waitMs = 0;
        const PacketFeed::Step step = m_feed.next(&waitMs);
        if (step == PacketFeed::Step::End || step == PacketFeed::Step::ReadError) {
            if (step == PacketFeed::Step::ReadError)
                log(QStringLiteral("cannot read packet %1").arg(m_feed.nextIndex()));
            finishStream(step == PacketFeed::Step::End ? 0 : hresult::fileRead);
            break;
        }
        if (step == PacketFeed::Step::Wait) {
            m_output.flush();
            m_pumpTimer.start(std::chrono::milliseconds(waitMs));
            break;
        }
        if (step == PacketFeed::Step::Drop) {
            closeNow(QStringLiteral("dropping the connection after %1 data packets").arg(m_feed.dataSent()));
            break;
        }
        if (m_faults.takeCorruptPacket(m_feed.dataSent())) {
            log(QStringLiteral("corrupt packet after %1 data packets").arg(m_feed.dataSent()));
            std::vector<char> junk(packetSize, char(0xEE));
            appendPacket(quint32(m_feed.location()), unknownPacketKind, 0, junk.data(), packetSize);
        }
        ++m_sequence;
        appendPacket(quint32(m_feed.location()), quint8(m_playPi), quint8(m_sequence - 1), m_feed.packet(),
                     m_feed.sendBytes(), true);
        m_feed.sent();
    }
    m_output.flush();
}

void Session::finishStream(quint32 hr)
{
    m_streaming = false;
    m_pumpTimer.stop();
    if (hr)
        errorReply(reply::endOfStream(nextSeq(), hr, m_playPi), QStringLiteral("read error"));
    else
        sendCommand(reply::endOfStream(nextSeq(), 0, m_playPi));
    log(QStringLiteral("end of stream after %1 data packets").arg(m_feed.dataSent()));
    if (m_feed.selection().dropsAny())
        log(m_feed.selectionReport());
    if (m_server.options().closeAfterEnd)
        closeAfterFlush();
}

void Session::closeAfterFlush()
{
    if (m_closed)
        return;
    m_streaming = false;
    m_output.closeWhenSent();
}

void Session::closeNow(const QString &why)
{
    if (m_closed)
        return;
    log(why);
    m_streaming = false;
    m_pumpTimer.stop();
    m_output.closeNow();
    m_closed = true;
}

void Session::disconnected()
{
    m_pingTimer.stop();
    m_pumpTimer.stop();
    m_streaming = false;
    m_closed = true;
    m_output.stop();
    log(QStringLiteral("closed"));
    deleteLater();
}

} // namespace mmsserver
