#include "session.h"

#include "messages.h"
#include "server.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <QRandomGenerator>

namespace mmsserver {

namespace {

constexpr qint64 highWaterBytes = 1024 * 1024;
constexpr std::size_t chunkBytes = 256 * 1024;
constexpr int datagramsPerTurn = 64;
constexpr std::size_t resendCacheSize = 1024;
constexpr quint32 storedAttributes = 0x01800000; // can seek, can stride
constexpr quint32 broadcastAttributes = 0x02000000;
constexpr quint8 unknownPacketKind = 0x09;
constexpr quint8 headerPieceFlag = 0x04;
constexpr quint8 lastHeaderPieceFlag = 0x0C;
constexpr qsizetype maxHeaderPieceBytes = 8192;

QString hex(quint32 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

// Credentials from a BASIC token: base64("user:password"), NUL-terminated, perhaps after "Basic ".
std::optional<std::pair<QString, QString>> basicCredentials(ByteView token)
{
    QByteArray text(token.data(), token.size());
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    text = text.trimmed();
    if (text.startsWith("Basic "))
        text = text.mid(6).trimmed();
    const auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    const QString plain = QString::fromUtf8(*decoded);
    const qsizetype colon = plain.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    return std::make_pair(plain.left(colon), plain.mid(colon + 1));
}

} // namespace

Session::Session(int number, QTcpSocket *socket, Server &server)
    : QObject(&server), m_number(number), m_socket(socket), m_server(server), m_live(server.options().live),
      m_clientId(QRandomGenerator::system()->generate())
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
        handle(*v.u16(36), v);
    }
}

void Session::handle(quint16 id, ByteView m)
{
    bool ok = true;
    switch (id) {
    case 0x01:
        ok = connectCommand(m);
        break;
    case 0x18:
        ok = funnelInfo(m);
        break;
    case 0x02:
        ok = connectFunnel(m);
        break;
    case 0x05:
        ok = openFile(m);
        break;
    case 0x1A:
        ok = securityResponse(m);
        break;
    case 0x15:
        ok = readBlock(m);
        break;
    case 0x33:
        ok = streamSwitch(m);
        break;
    case 0x07:
        ok = startPlaying(m);
        break;
    case 0x09:
        ok = stopPlaying(m);
        break;
    case 0x28:
        ok = startStriding(m);
        break;
    case 0x1B:
        log(QStringLiteral("pong"));
        break;
    case 0x0D:
        log(QStringLiteral("close file"));
        closeAfterFlush();
        break;
    case 0x25:
        log(QStringLiteral("cancel read block"));
        break;
    case 0x32:
        log(QStringLiteral("client log of %1 bytes").arg(m.size()));
        break;
    default:
        log(QStringLiteral("ignored command 0x%1").arg(id, 2, 16, QLatin1Char('0')));
        break;
    }
    if (!ok)
        closeNow(
            QStringLiteral("malformed message (command 0x%1 too short)").arg(id, 2, 16, QLatin1Char('0')));
}

std::optional<quint32> Session::injectedError(quint16 command) const
{
    const auto &errors = m_server.options().errorOn;
    const auto it = errors.constFind(command);
    if (it == errors.constEnd())
        return std::nullopt;
    return *it;
}

void Session::errorReply(const QByteArray &message, quint16 replyId, quint32 hr, const QString &why)
{
    log(QStringLiteral("error reply 0x%1 hr %2 (%3)")
            .arg(replyId, 2, 16, QLatin1Char('0'))
            .arg(hex(hr), why));
    sendCommand(message);
}

bool Session::connectCommand(ByteView m)
{
    const auto pi = m.u32(40);
    if (!pi)
        return false;
    log(QStringLiteral("connect %1").arg(utf16At(m, 52, 1024)));
    const bool basic = m_server.options().user.has_value();
    const quint32 replyPi = *pi == pi::usePacketPair ? pi::usePacketPair : pi::noPacketPair;
    if (const auto hr = injectedError(0x01)) {
        errorReply(reply::connectedEx(nextSeq(), *hr, replyPi, basic), 0x01, *hr, QStringLiteral("injected"));
        return true;
    }
    sendCommand(reply::connectedEx(nextSeq(), 0, replyPi, basic));
    return true;
}

bool Session::funnelInfo(ByteView m)
{
    const auto pi = m.u32(40);
    if (!pi)
        return false;
    if (const auto hr = injectedError(0x18)) {
        errorReply(reply::funnelInfo(nextSeq(), *hr, pi::noPacketPair, m_clientId, 80), 0x15, *hr,
                   QStringLiteral("injected"));
        return true;
    }
    if (*pi == pi::usePacketPair || *pi == pi::tcpPacketPair) {
        log(QStringLiteral("funnel info with TCP packet pair"));
        sendCommand(reply::funnelInfo(nextSeq(), 0, pi::tcpPacketPair, m_clientId, 512));
        sendCommand(reply::funnelInfo(nextSeq(), 0, pi::tcpPacketPair, m_clientId, 512));
        sendCommand(reply::funnelInfo(nextSeq(), 0, pi::tcpPacketPair, m_clientId, 1056));
    } else if (*pi == pi::udpPacketPair) {
        log(QStringLiteral("funnel info with UDP packet pair"));
        m_udpPacketPair = true;
        sendCommand(reply::funnelInfo(nextSeq(), 0, pi::udpPacketPair, m_clientId, 80));
    } else {
        log(QStringLiteral("funnel info"));
        sendCommand(reply::funnelInfo(nextSeq(), 0, pi::noPacketPair, m_clientId, 80));
    }
    return true;
}

bool Session::connectFunnel(ByteView m)
{
    if (!m.has(0, 62))
        return false;
    const QString funnel = utf16At(m, 60);
    if (const auto hr = injectedError(0x02)) {
        errorReply(reply::disconnectedFunnel(nextSeq(), *hr), 0x03, *hr, QStringLiteral("injected"));
        return true;
    }
    const QStringList parts = funnel.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.size() >= 3 && parts[1].compare(QLatin1String("UDP"), Qt::CaseInsensitive) == 0) {
        bool ok = false;
        const uint port = parts[2].toUInt(&ok);
        if (!ok || port == 0 || port > 65535) {
            errorReply(reply::disconnectedFunnel(nextSeq(), 0xC00D0043), 0x03, 0xC00D0043,
                       QStringLiteral("bad UDP port in %1").arg(funnel));
            return true;
        }
        // The address in the text is often a dummy: data goes to the TCP peer.
        m_udp = true;
        m_udpPort = quint16(port);
        m_resendCache.assign(resendCacheSize, QByteArray());
        m_resendSequence.assign(resendCacheSize, 0);
        log(QStringLiteral("funnel %1: data by UDP to %2:%3").arg(funnel, m_peer.toString()).arg(port));
    } else {
        m_udp = false;
        log(QStringLiteral("funnel %1: data by TCP").arg(funnel));
    }
    sendCommand(reply::connectedFunnel(nextSeq()));
    return true;
}

bool Session::openFile(ByteView m)
{
    const auto pi = m.u32(40);
    const auto tokenOffset = m.u32(48);
    const auto tokenBytes = m.u32(52);
    if (!pi || !tokenOffset || !tokenBytes)
        return false;
    const qsizetype nameBytes = *tokenBytes > 0 && *tokenOffset > 0 ? qsizetype(*tokenOffset) : -1;
    const QString path = utf16At(m, 56, nameBytes);
    log(QStringLiteral("open %1").arg(path));
    if (const auto hr = injectedError(0x05)) {
        errorReply(reply::openFile(nextSeq(), *hr, *pi, {}), 0x06, *hr, QStringLiteral("injected"));
        return true;
    }
    const auto &options = m_server.options();
    if (options.user && !m_authenticated && *tokenBytes > 0) {
        const auto credentials = basicCredentials(m.mid(56 + qsizetype(*tokenOffset), *tokenBytes));
        m_authenticated =
            credentials && credentials->first == *options.user && credentials->second == options.password;
    }
    if (options.user && !m_authenticated) {
        m_pendingPath = path;
        log(QStringLiteral("login challenge, realm %1").arg(options.realm));
        sendCommand(reply::securityChallenge(nextSeq(), *pi, options.realm));
        return true;
    }
    openPath(path, *pi);
    return true;
}

bool Session::securityResponse(ByteView m)
{
    const auto pi = m.u32(40);
    const auto tokenBytes = m.u32(48);
    if (!pi || !tokenBytes)
        return false;
    const qsizetype available = std::min<qsizetype>(qsizetype(*tokenBytes), m.size() - 52);
    const auto credentials = basicCredentials(m.mid(52, std::max<qsizetype>(0, available)));
    const auto &options = m_server.options();
    if (!options.user) {
        log(QStringLiteral("login answer while no login is required"));
        openPath(m_pendingPath, *pi);
        return true;
    }
    if (!credentials || credentials->first != *options.user || credentials->second != options.password) {
        errorReply(
            reply::openFile(nextSeq(), hresult::accessDenied, *pi, {}), 0x06, hresult::accessDenied,
            QStringLiteral("login refused for user '%1'").arg(credentials ? credentials->first : QString()));
        return true;
    }
    log(QStringLiteral("login accepted for user '%1'").arg(credentials->first));
    m_authenticated = true;
    openPath(m_pendingPath, *pi);
    return true;
}

void Session::openPath(const QString &path, quint32 pi)
{
    m_streaming = false;
    m_pumpTimer.stop();
    quint32 hr = 0;
    QString why;
    auto source = m_server.openSource(path, &hr, &why);
    if (source && m_live && source->info().packetCount == 0) {
        source.reset();
        hr = hresult::fileOpenFailed;
        why = QStringLiteral("no packets to loop");
    }
    if (!source) {
        m_source.reset();
        errorReply(reply::openFile(nextSeq(), hr, pi, {}), 0x06, hr, QStringLiteral("%1: %2").arg(path, why));
        return;
    }
    m_source = std::move(source);
    const AsfInfo &info = m_source->info();
    m_packet.assign(info.packetSize, '\0');
    m_next = 0;
    m_staged = false;
    reply::FileReport report;
    report.packetSize = info.packetSize;
    report.bitRate = info.bitRate;
    report.headerSize = quint32(info.headerSize());
    if (m_live) {
        m_header = makeBroadcastHeader(info);
        report.attributes = broadcastAttributes;
        // One loop lasts from the first send time to the end of the last packet.
        PacketTimes first, last;
        std::vector<char> bytes(info.packetSize);
        const qsizetype size = qsizetype(bytes.size());
        const bool firstOk =
            m_source->readPacket(0, bytes.data()) && parsePacketTimes(ByteView(bytes.data(), size), &first);
        const bool lastOk = m_source->readPacket(info.packetCount - 1, bytes.data()) &&
                            parsePacketTimes(ByteView(bytes.data(), size), &last);
        m_loopMs = firstOk && lastOk ? qint64(last.sendTime) + last.duration - first.sendTime : 0;
        if (m_loopMs <= 0)
            m_loopMs = std::max<qint64>(1, qint64(info.durationSeconds * 1000));
    } else {
        m_header = info.header;
        report.attributes = storedAttributes;
        report.durationSeconds = info.durationSeconds;
        report.packetCount = info.packetCount;
    }
    log(QStringLiteral("opened %1: %2 packets of %3 bytes, header %4 bytes%5")
            .arg(path)
            .arg(info.packetCount)
            .arg(info.packetSize)
            .arg(info.headerSize())
            .arg(m_live ? QStringLiteral(", live") : QString()));
    sendCommand(reply::openFile(nextSeq(), 0, pi, report));
}

bool Session::readBlock(ByteView m)
{
    const auto pi = m.u32(80);
    if (!pi)
        return false;
    if (const auto hr = injectedError(0x15)) {
        errorReply(reply::readBlock(nextSeq(), *hr, *pi), 0x11, *hr, QStringLiteral("injected"));
        return true;
    }
    if (!m_source) {
        errorReply(reply::readBlock(nextSeq(), hresult::invalidRequest, *pi), 0x11, hresult::invalidRequest,
                   QStringLiteral("no open file"));
        return true;
    }
    if (m_udp && m_udpPacketPair) {
        for (quint32 i = 0; i < 2; ++i) {
            QByteArray datagram;
            ByteWriter w(datagram);
            w.u32(0xF0F0F000 + i).u8(0xFF).u8(0x10).u16(1472);
            for (int k = 0; k < 1464 / 4; ++k)
                w.u32(QRandomGenerator::global()->generate());
            sendDatagram(datagram, false, 0);
        }
    }
    sendCommand(reply::readBlock(nextSeq(), 0, *pi));
    // At least two pieces, so that every client meets the 0x04 .. 0x0C sequence.
    const qsizetype total = m_header.size();
    const qsizetype limit = std::min<qsizetype>(maxHeaderPieceBytes, m_source->info().packetSize);
    const qsizetype pieces = std::max<qsizetype>(2, (total + limit - 1) / limit);
    const qsizetype pieceBytes = (total + pieces - 1) / pieces;
    qsizetype at = 0;
    for (quint32 index = 0; at < total; ++index) {
        const qsizetype size = std::min(pieceBytes, total - at);
        const bool last = at + size == total;
        appendPacket(index, quint8(*pi), last ? lastHeaderPieceFlag : headerPieceFlag,
                     m_header.constData() + at, quint32(size));
        at += size;
    }
    flushChunk();
    log(QStringLiteral("header sent in %1 pieces").arg(pieces));
    return true;
}

bool Session::streamSwitch(ByteView m)
{
    const auto count = m.u32(40);
    if (!count)
        return false;
    if (const auto hr = injectedError(0x33)) {
        errorReply(reply::streamSwitch(nextSeq(), *hr), 0x21, *hr, QStringLiteral("injected"));
        return true;
    }
    log(QStringLiteral("stream switch of %1 entries").arg(*count));
    sendCommand(reply::streamSwitch(nextSeq(), 0));
    return true;
}

bool Session::startPlaying(ByteView m)
{
    const auto position = m.f64(48);
    const auto asfOffset = m.u32(56);
    const auto location = m.u32(60);
    const auto pi = m.u32(68);
    if (!position || !asfOffset || !location || !pi)
        return false;
    if (const auto hr = injectedError(0x07)) {
        errorReply(reply::startedPlaying(nextSeq(), *hr, *pi), 0x05, *hr, QStringLiteral("injected"));
        return true;
    }
    if (!m_source) {
        errorReply(reply::startedPlaying(nextSeq(), hresult::invalidRequest, *pi), 0x05,
                   hresult::invalidRequest, QStringLiteral("no open file"));
        return true;
    }
    const AsfInfo &info = m_source->info();
    if (!m_live && !m_streaming) {
        auto unset = [](quint32 v) { return v == 0 || v == 0xFFFFFFFF; };
        if (!unset(*location))
            m_next = *location;
        else if (!unset(*asfOffset))
            m_next = *asfOffset > info.headerSize() ? (*asfOffset - info.headerSize()) / info.packetSize : 0;
        else if (std::isfinite(*position) && *position > 0 && *position < std::numeric_limits<double>::max())
            m_next = m_source->packetForTime(*position);
        else
            m_next = 0;
        m_staged = false;
    }
    m_playPi = *pi;
    m_streaming = true;
    m_firstTimeMs.reset();
    m_bytesThisPlay = 0;
    sendCommand(reply::startedPlaying(nextSeq(), 0, *pi));
    log(QStringLiteral("start packet %1").arg(m_live ? liveLocationBase + m_next : m_next));
    pump();
    return true;
}

bool Session::stopPlaying(ByteView m)
{
    const auto pi = m.u32(44);
    if (!pi)
        return false;
    log(QStringLiteral("stop playing"));
    flushChunk();
    m_streaming = false;
    m_pumpTimer.stop();
    sendCommand(reply::endOfStream(nextSeq(), 0, *pi));
    return true;
}

bool Session::startStriding(ByteView m)
{
    const auto pi = m.u32(68);
    if (!pi)
        return false;
    errorReply(reply::startStriding(nextSeq(), hresult::strideRefused, *pi), 0x0A, hresult::strideRefused,
               QStringLiteral("fast forward and rewind are not offered"));
    return true;
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
    if (!m_server.options().drip) {
        m_socket->write(data, size);
        return;
    }
    m_drip.append(data, size);
    drip();
}

void Session::drip()
{
    if (m_closed || m_socket->bytesToWrite() > 0)
        return;
    if (m_dripAt < m_drip.size()) {
        m_socket->write(m_drip.constData() + m_dripAt, 1);
        if (++m_dripAt == m_drip.size()) {
            m_drip.clear();
            m_dripAt = 0;
        }
    }
}

qint64 Session::pendingTcpBytes() const
{
    return m_socket->bytesToWrite() + (m_drip.size() - m_dripAt);
}

void Session::bytesWritten()
{
    drip();
    if (m_closeWhenDrained && m_drip.isEmpty()) {
        m_closeWhenDrained = false;
        closeAfterFlush();
        return;
    }
    pump();
}

void Session::sendDatagram(const QByteArray &datagram, bool cache, quint32 sequence)
{
    if (cache) {
        m_resendCache[sequence % resendCacheSize] = datagram;
        m_resendSequence[sequence % resendCacheSize] = sequence;
    }
    const quint32 dropEvery = m_server.options().udpDropEvery;
    if (dropEvery && ++m_datagrams % dropEvery == 0) {
        log(QStringLiteral("dropped datagram %1").arg(m_datagrams));
        return;
    }
    m_server.udp().writeDatagram(datagram, m_peer, m_udpPort);
}

void Session::resend(const QList<quint32> &sequences)
{
    for (quint32 sequence : sequences) {
        const std::size_t slot = sequence % resendCacheSize;
        if (m_resendCache.empty() || m_resendSequence[slot] != sequence || m_resendCache[slot].isEmpty()) {
            log(QStringLiteral("resend of packet %1 refused: no longer cached").arg(sequence));
            continue;
        }
        log(QStringLiteral("resend packet %1").arg(sequence));
        m_server.udp().writeDatagram(m_resendCache[slot], m_peer, m_udpPort);
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
        sendDatagram(datagram, isData, m_sequence - 1);
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
    if (m_server.options().drip || m_closed) {
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
    if (m_live || m_server.options().pace == Pace::Realtime) {
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
        if (!m_firstTimeMs) {
            m_firstTimeMs = m_stagedTimeMs;
            m_clock.start();
        }
        const qint64 mediaMs = m_stagedTimeMs - *m_firstTimeMs;
        if (m_live && options.liveSeconds && mediaMs >= qint64(*options.liveSeconds) * 1000) {
            finishStream(0);
            break;
        }
        qint64 waitMs = 0;
        if (options.pace == Pace::Realtime)
            waitMs = mediaMs - m_clock.elapsed();
        if (options.rateBytesPerSecond)
            waitMs = std::max<qint64>(waitMs, qint64(m_bytesThisPlay * 1000 / options.rateBytesPerSecond) -
                                                  m_clock.elapsed());
        if (waitMs > 0) {
            flushChunk();
            m_pumpTimer.start(std::chrono::milliseconds(waitMs));
            break;
        }
        if (options.dropAfter && m_dataSent >= *options.dropAfter) {
            closeNow(QStringLiteral("dropping the connection after %1 data packets").arg(m_dataSent));
            break;
        }
        if (options.corruptAfter && m_dataSent == *options.corruptAfter && !m_corruptSent) {
            m_corruptSent = true;
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
        m_bytesThisPlay += packetSize + 8;
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
        errorReply(reply::endOfStream(nextSeq(), hr, m_playPi), 0x1E, hr, QStringLiteral("read error"));
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
    if (m_dripAt < m_drip.size()) {
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
