#include "session.h"

#include "messages.h"
#include "server.h"

#include <chrono>
#include <QRandomGenerator>

namespace mmsserver {

namespace {

constexpr qint64 highWaterBytes = 1024 * 1024;
constexpr std::size_t chunkBytes = 256 * 1024;
constexpr int datagramsPerTurn = 64;
constexpr quint8 unknownPacketKind = 0x09;

} // namespace

Session::Session(int number, QTcpSocket *socket, Server &server)
    : QObject(&server), m_number(number), m_socket(socket), m_server(server), m_live(server.options().live),
      m_clientId(QRandomGenerator::system()->generate()), m_faults(server.options()),
      m_pacer(server.options().pace, server.options().rateBytesPerSecond), m_drip(*socket)
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
    flushChunk();
    sendTcp(message.constData(), message.size());
    if (m_server.options().pingEverySeconds)
        m_pingTimer.start();
}

void Session::sendTcp(const char *data, qsizetype size)
{
    if (m_closed)
        return;
    if (m_faults.drips())
        m_drip.write(data, size);
    else
        m_socket->write(data, size);
}

qint64 Session::pendingTcpBytes() const
{
    return m_socket->bytesToWrite() + m_drip.queuedBytes();
}

void Session::bytesWritten()
{
    if (!m_closed)
        m_drip.writeNext();
    if (m_closeWhenDrained && m_drip.queuedBytes() == 0) {
        m_closeWhenDrained = false;
        closeAfterFlush();
        return;
    }
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
    if (m_chunk.capacity() < qsizetype(chunkBytes))
        m_chunk.reserve(qsizetype(chunkBytes) + size + 8);
    m_chunk.append(prefix, 8).append(payload, size);
}

void Session::flushChunk()
{
    if (m_chunk.isEmpty())
        return;
    if (m_faults.drips() || m_closed) {
        sendTcp(m_chunk.constData(), m_chunk.size());
        m_chunk.clear();
        return;
    }
    // Handed over whole, Qt keeps the block itself instead of copying it.
    m_socket->write(m_chunk);
    m_chunk = QByteArray();
}

bool Session::stagePacket()
{
    if (m_staged)
        return true;
    const AsfInfo &info = m_source->info();
    if (!m_live && m_next >= info.packetCount)
        return false;
    const quint64 index = m_live ? m_next % info.packetCount : m_next;
    if (!m_source->readPacket(index, m_packet.data())) {
        log(QStringLiteral("cannot read packet %1").arg(index));
        return false;
    }
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
    m_staged = true;
    return true;
}

void Session::pump()
{
    if (!m_streaming || m_closed || !m_source)
        return;
    const ServerOptions &options = m_server.options();
    const quint32 packetSize = m_source->info().packetSize;
    int datagramBudget = datagramsPerTurn;
    while (m_streaming && !m_closed) {
        if (!m_udp && pendingTcpBytes() + qint64(m_chunk.size()) >= highWaterBytes)
            break; // bytesWritten resumes
        if (m_udp && datagramBudget-- == 0) {
            m_pumpTimer.start(1);
            break;
        }
        if (!stagePacket()) {
            const bool complete = m_next >= m_source->info().packetCount;
            finishStream(complete ? 0 : hresult::fileRead);
            break;
        }
        const qint64 mediaMs = m_pacer.mediaMs(m_stagedTimeMs);
        if (m_live && options.liveSeconds && mediaMs >= qint64(*options.liveSeconds) * 1000) {
            finishStream(0);
            break;
        }
        if (const qint64 waitMs = m_pacer.waitMs(mediaMs); waitMs > 0) {
            flushChunk();
            m_pumpTimer.start(std::chrono::milliseconds(waitMs));
            break;
        }
        if (m_faults.dropsConnection(m_dataSent)) {
            closeNow(QStringLiteral("dropping the connection after %1 data packets").arg(m_dataSent));
            break;
        }
        if (m_faults.takeCorruptPacket(m_dataSent)) {
            log(QStringLiteral("corrupt packet after %1 data packets").arg(m_dataSent));
            std::vector<char> junk(packetSize, char(0xEE));
            appendPacket(quint32(m_next), unknownPacketKind, 0, junk.data(), packetSize);
        }
        const quint64 location = m_live ? liveLocationBase + m_next : m_next;
        ++m_sequence;
        quint32 sent = packetSize;
        if (options.stripPadding)
            while (sent > 0 && m_packet[sent - 1] == 0)
                --sent;
        appendPacket(quint32(location), quint8(m_playPi), quint8(m_sequence - 1), m_packet.data(), sent,
                     true);
        m_staged = false;
        ++m_next;
        ++m_dataSent;
        m_pacer.sent(packetSize + 8);
        if (m_chunk.size() >= qsizetype(chunkBytes))
            flushChunk();
    }
    flushChunk();
}

void Session::finishStream(quint32 hr)
{
    flushChunk();
    m_streaming = false;
    m_pumpTimer.stop();
    if (hr)
        errorReply(reply::endOfStream(nextSeq(), hr, m_playPi), QStringLiteral("read error"));
    else
        sendCommand(reply::endOfStream(nextSeq(), 0, m_playPi));
    log(QStringLiteral("end of stream after %1 data packets").arg(m_dataSent));
    if (m_server.options().closeAfterEnd)
        closeAfterFlush();
}

void Session::closeAfterFlush()
{
    flushChunk();
    if (m_closed)
        return;
    if (m_drip.queuedBytes() > 0) {
        m_closeWhenDrained = true;
        return;
    }
    m_streaming = false;
    m_socket->disconnectFromHost();
}

void Session::closeNow(const QString &why)
{
    if (m_closed)
        return;
    log(why);
    flushChunk();
    m_streaming = false;
    m_pumpTimer.stop();
    m_socket->disconnectFromHost();
    m_closed = true;
}

void Session::disconnected()
{
    m_pingTimer.stop();
    m_pumpTimer.stop();
    m_streaming = false;
    m_closed = true;
    log(QStringLiteral("closed"));
    deleteLater();
}

} // namespace mmsserver
