// The Session's answers to each client command.
#include "session.h"

#include "basiclogin.h"
#include "messages.h"
#include "server.h"

#include <cmath>
#include <limits>
#include <QRandomGenerator>

namespace mmsserver {

namespace {

constexpr quint32 storedAttributes = 0x01800000; // can seek, can stride
constexpr quint32 broadcastAttributes = 0x02000000;
constexpr quint8 headerPieceFlag = 0x04;
constexpr quint8 lastHeaderPieceFlag = 0x0C;
constexpr qsizetype maxHeaderPieceBytes = 8192;
// The two UDP packet-pair datagrams, each with a random payload.
constexpr quint32 packetPairLocation = 0xF0F0F000;
constexpr quint8 packetPairKind = 0xFF;
constexpr quint8 packetPairFlags = 0x10;
constexpr quint16 packetPairDatagramBytes = 1472;
constexpr quint16 streamNotWanted = 2;

QString hex(quint32 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

} // namespace

bool Session::dispatch(ClientCommand command, ByteView m)
{
    switch (command) {
    case ClientCommand::Connect:
        return connectCommand(m);
    case ClientCommand::FunnelInfo:
        return funnelInfo(m);
    case ClientCommand::ConnectFunnel:
        return connectFunnel(m);
    case ClientCommand::OpenFile:
        return openFile(m);
    case ClientCommand::SecurityResponse:
        return securityResponse(m);
    case ClientCommand::ReadBlock:
        return readBlock(m);
    case ClientCommand::StreamSwitch:
        return streamSwitch(m);
    case ClientCommand::StartPlaying:
        return startPlaying(m);
    case ClientCommand::StopPlaying:
        return stopPlaying(m);
    case ClientCommand::StartStriding:
        return startStriding(m);
    case ClientCommand::Pong:
        log(QStringLiteral("pong"));
        return true;
    case ClientCommand::CloseFile:
        log(QStringLiteral("close file"));
        closeAfterFlush();
        return true;
    case ClientCommand::CancelReadBlock:
        log(QStringLiteral("cancel read block"));
        return true;
    case ClientCommand::Logging:
        log(QStringLiteral("client log of %1 bytes").arg(m.size()));
        return true;
    }
    log(QStringLiteral("ignored command 0x%1").arg(quint16(command), 2, 16, QLatin1Char('0')));
    return true;
}

void Session::errorReply(const QByteArray &message, const QString &why)
{
    const ByteView v(message);
    log(QStringLiteral("error reply 0x%1 hr %2 (%3)")
            .arg(*v.u16(36), 2, 16, QLatin1Char('0'))
            .arg(hex(*v.u32(40)), why));
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
    if (const auto hr = m_faults.injectedError(ClientCommand::Connect)) {
        errorReply(reply::connectedEx(nextSeq(), *hr, replyPi, basic), QStringLiteral("injected"));
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
    if (const auto hr = m_faults.injectedError(ClientCommand::FunnelInfo)) {
        errorReply(reply::funnelInfo(nextSeq(), *hr, pi::noPacketPair, m_clientId, 80),
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
    if (const auto hr = m_faults.injectedError(ClientCommand::ConnectFunnel)) {
        errorReply(reply::disconnectedFunnel(nextSeq(), *hr), QStringLiteral("injected"));
        return true;
    }
    const QStringList parts = funnel.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.size() >= 3 && parts[1].compare(QLatin1String("UDP"), Qt::CaseInsensitive) == 0) {
        bool ok = false;
        const uint port = parts[2].toUInt(&ok);
        if (!ok || port == 0 || port > 65535) {
            errorReply(reply::disconnectedFunnel(nextSeq(), hresult::invalidPort),
                       QStringLiteral("bad UDP port in %1").arg(funnel));
            return true;
        }
        // The address in the text is often a dummy: data goes to the TCP peer.
        m_udp = true;
        m_udpPort = quint16(port);
        m_resendCache.reset();
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
    if (const auto hr = m_faults.injectedError(ClientCommand::OpenFile)) {
        errorReply(reply::openFile(nextSeq(), *hr, *pi, {}), QStringLiteral("injected"));
        return true;
    }
    const auto &options = m_server.options();
    if (options.user && !m_authenticated && *tokenBytes > 0) {
        m_authenticated =
            loginMatches(options, basicCredentials(m.mid(56 + qsizetype(*tokenOffset), *tokenBytes)));
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
    if (!loginMatches(options, credentials)) {
        errorReply(
            reply::openFile(nextSeq(), hresult::accessDenied, *pi, {}),
            QStringLiteral("login refused for user '%1'").arg(credentials ? credentials->user : QString()));
        return true;
    }
    log(QStringLiteral("login accepted for user '%1'").arg(credentials->user));
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
        errorReply(reply::openFile(nextSeq(), hr, pi, {}), QStringLiteral("%1: %2").arg(path, why));
        return;
    }
    m_source = std::move(source);
    const AsfInfo &info = m_source->info();
    m_feed.setSource(m_source.get(), m_live);
    m_feed.setSelection({}); // a new file: every stream until the client selects
    if (m_live)
        m_feed.startAt(0, PacketFeed::liveLocationBase);
    reply::FileReport report;
    report.packetSize = info.packetSize;
    report.bitRate = info.bitRate;
    report.headerSize = quint32(info.headerSize());
    if (m_live) {
        m_header = makeBroadcastHeader(info);
        report.attributes = broadcastAttributes;
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
    if (const auto hr = m_faults.injectedError(ClientCommand::ReadBlock)) {
        errorReply(reply::readBlock(nextSeq(), *hr, *pi), QStringLiteral("injected"));
        return true;
    }
    if (!m_source) {
        errorReply(reply::readBlock(nextSeq(), hresult::invalidRequest, *pi), QStringLiteral("no open file"));
        return true;
    }
    if (m_udp && m_udpPacketPair)
        sendUdpPacketPair();
    sendCommand(reply::readBlock(nextSeq(), 0, *pi));
    sendHeader(quint8(*pi));
    return true;
}

// Two datagrams of random bytes back to back, from which the client estimates its bandwidth.
void Session::sendUdpPacketPair()
{
    for (quint32 i = 0; i < 2; ++i) {
        QByteArray datagram;
        ByteWriter w(datagram);
        w.u32(packetPairLocation + i).u8(packetPairKind).u8(packetPairFlags).u16(packetPairDatagramBytes);
        for (int k = 0; k < (packetPairDatagramBytes - 8) / 4; ++k)
            w.u32(QRandomGenerator::global()->generate());
        sendDatagram(datagram, std::nullopt);
    }
}

void Session::sendHeader(quint8 pi)
{
    // At least two pieces, so that every client meets a piece flag before the last-piece flag.
    const qsizetype total = m_header.size();
    const qsizetype limit = std::min<qsizetype>(maxHeaderPieceBytes, m_source->info().packetSize);
    const qsizetype pieces = std::max<qsizetype>(2, (total + limit - 1) / limit);
    const qsizetype pieceBytes = (total + pieces - 1) / pieces;
    qsizetype at = 0;
    for (quint32 index = 0; at < total; ++index) {
        const qsizetype size = std::min(pieceBytes, total - at);
        const bool last = at + size == total;
        appendPacket(index, pi, last ? lastHeaderPieceFlag : headerPieceFlag, m_header.constData() + at,
                     quint32(size));
        at += size;
    }
    m_output.flush();
    log(QStringLiteral("header sent in %1 pieces").arg(pieces));
}

// Entries of {source stream (0xFFFF), stream, action}: action 2 drops the stream; 0 (every packet) and 1
// (key frames only) both send it whole.
bool Session::streamSwitch(ByteView m)
{
    constexpr qsizetype entryBytes = 6;
    const auto count = m.u32(40);
    if (!count || !m.has(44, qsizetype(*count) * entryBytes))
        return false;
    if (const auto hr = m_faults.injectedError(ClientCommand::StreamSwitch)) {
        errorReply(reply::streamSwitch(nextSeq(), *hr), QStringLiteral("injected"));
        return true;
    }
    StreamSelection selection;
    for (quint32 i = 0; i < *count; ++i) {
        const qsizetype at = 44 + qsizetype(i) * entryBytes;
        selection.choose(*m.u16(at + 2), *m.u16(at + 4) != streamNotWanted);
    }
    m_feed.setSelection(selection);
    log(QStringLiteral("stream selection: %1")
            .arg(selection.describe(m_source ? m_source->info().streams : QList<AsfStream>())));
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
    if (const auto hr = m_faults.injectedError(ClientCommand::StartPlaying)) {
        errorReply(reply::startedPlaying(nextSeq(), *hr, *pi), QStringLiteral("injected"));
        return true;
    }
    if (!m_source) {
        errorReply(reply::startedPlaying(nextSeq(), hresult::invalidRequest, *pi),
                   QStringLiteral("no open file"));
        return true;
    }
    // Live content goes on where it is, and so does a stream that is already playing.
    if (!m_live && !m_streaming)
        m_feed.startAt(startPacket(*position, *asfOffset, *location), 0);
    m_playPi = *pi;
    m_streaming = true;
    m_feed.restartPacing();
    sendCommand(reply::startedPlaying(nextSeq(), 0, *pi));
    log(QStringLiteral("start packet %1").arg(m_feed.location()));
    pump();
    return true;
}

// The first of the start fields in use decides, in this order; 0 and 0xFFFFFFFF mean not in use.
quint64 Session::startPacket(double position, quint32 asfOffset, quint32 location)
{
    const AsfInfo &info = m_source->info();
    auto unset = [](quint32 v) { return v == 0 || v == 0xFFFFFFFF; };
    if (!unset(location))
        return location;
    if (!unset(asfOffset))
        return asfOffset > info.headerSize() ? (asfOffset - info.headerSize()) / info.packetSize : 0;
    if (std::isfinite(position) && position > 0 && position < std::numeric_limits<double>::max())
        return m_source->packetForTime(position);
    return 0;
}

bool Session::stopPlaying(ByteView m)
{
    const auto pi = m.u32(44);
    if (!pi)
        return false;
    log(QStringLiteral("stop playing"));
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
    errorReply(reply::startStriding(nextSeq(), hresult::strideRefused, *pi),
               QStringLiteral("fast forward and rewind are not offered"));
    return true;
}

} // namespace mmsserver
