#include "messages.h"

#include <cmath>
#include <QRandomGenerator>

namespace mmsserver {

namespace {

QByteArray command(ServerReply id, quint16 seq, const QByteArray &body)
{
    const qsizetype total = (commandHeaderBytes + body.size() + 7) / 8 * 8;
    QByteArray m;
    m.reserve(total);
    ByteWriter w(m);
    w.u8(1).u8(0).u8(0).u8(0).u32(sessionSignature);
    w.u32(quint32(total - 16)).u32(mmsSeal);
    // chunkCount as every client writes it: (total - 16) / 8.
    w.u32(quint32((total - 16) / 8)).u16(seq).u16(0).u64(0);
    w.u32(quint32((total - 32) / 8)).u16(quint16(id)).u16(serverDirection);
    w.bytes(body);
    m.append(total - m.size(), '\0');
    return m;
}

QByteArray utf16z(const QString &text)
{
    QByteArray out;
    ByteWriter w(out);
    for (QChar c : text)
        w.u16(c.unicode());
    w.u16(0);
    return out;
}

} // namespace

namespace reply {

QByteArray connectedEx(quint16 seq, quint32 hr, quint32 pi, bool offerBasic)
{
    const QString version = QStringLiteral("9.1.1.1");
    QByteArray body;
    ByteWriter w(body);
    w.u32(hr).u32(pi).u32(0x0004000B).u32(0x0003001C).f64(1.0).u32(1).u32(1).u32(0x8000).u32(10000000);
    w.u32(quint32(version.size() + 1)).u32(0).u32(0).u32(offerBasic ? 6 : 0);
    w.bytes(utf16z(version));
    if (offerBasic)
        w.bytes(utf16z(QStringLiteral("BASIC")));
    return command(ServerReply::ConnectedEx, seq, body);
}

QByteArray connectedFunnel(quint16 seq)
{
    QByteArray body;
    ByteWriter(body).u32(0).u32(0).u32(0).bytes(utf16z(QStringLiteral("Funnel Of The Gods")));
    return command(ServerReply::ConnectedFunnel, seq, body);
}

QByteArray disconnectedFunnel(quint16 seq, quint32 hr)
{
    QByteArray body;
    ByteWriter(body).u32(hr).u32(0);
    return command(ServerReply::DisconnectedFunnel, seq, body);
}

QByteArray startedPlaying(quint16 seq, quint32 hr, quint32 pi)
{
    QByteArray body;
    ByteWriter(body).u32(hr).u32(pi).u32(hr ? 0 : 1).u32(0).zeros(12);
    return command(ServerReply::StartedPlaying, seq, body);
}

QByteArray openFile(quint16 seq, quint32 hr, quint32 pi, const FileReport &f)
{
    QByteArray body;
    ByteWriter w(body);
    w.u32(hr).u32(pi);
    if (hr != 0) {
        // Clients read a non-zero openFileId or attributes as success, so an error leaves them zero.
        w.zeros(112 - 8);
        return command(ServerReply::OpenFile, seq, body);
    }
    const quint32 blocks = quint32(std::ceil(f.durationSeconds));
    w.u32(1).u32(0).u32(0).u32(f.attributes).f64(f.durationSeconds).u32(blocks).zeros(16);
    w.u32(f.packetSize).u64(f.packetCount).u32(f.bitRate).u32(f.headerSize).zeros(36);
    return command(ServerReply::OpenFile, seq, body);
}

QByteArray readBlock(quint16 seq, quint32 hr, quint32 pi)
{
    QByteArray body;
    ByteWriter(body).u32(hr).u32(pi).u32(0);
    return command(ServerReply::ReadBlock, seq, body);
}

QByteArray funnelInfo(quint16 seq, quint32 hr, quint32 pi, quint32 clientId, qsizetype totalBytes)
{
    QByteArray body;
    ByteWriter(body).u32(hr).u32(pi).u32(0x8).u32(1).u32(0x10000).u32(clientId).u32(0).u32(1).u32(0).u32(0);
    auto *random = QRandomGenerator::global();
    while (commandHeaderBytes + body.size() < totalBytes)
        ByteWriter(body).u32(random->generate());
    return command(ServerReply::FunnelInfo, seq, body);
}

QByteArray securityChallenge(quint16 seq, quint32 pi, const QString &realm)
{
    const QByteArray token = utf16z(QStringLiteral("realm=\"%1\"").arg(realm));
    QByteArray body;
    ByteWriter(body).u32(pi).u32(1).u32(quint32(token.size())).bytes(token);
    return command(ServerReply::SecurityChallenge, seq, body);
}

QByteArray ping(quint16 seq)
{
    QByteArray body;
    ByteWriter(body).u32(0).u32(0);
    return command(ServerReply::Ping, seq, body);
}

QByteArray endOfStream(quint16 seq, quint32 hr, quint32 pi)
{
    QByteArray body;
    ByteWriter(body).u32(hr).u32(pi);
    return command(ServerReply::EndOfStream, seq, body);
}

QByteArray streamSwitch(quint16 seq, quint32 hr)
{
    QByteArray body;
    ByteWriter(body).u32(hr);
    return command(ServerReply::StreamSwitch, seq, body);
}

QByteArray startStriding(quint16 seq, quint32 hr, quint32 pi)
{
    QByteArray body;
    ByteWriter(body).u32(hr).u32(pi).u32(0);
    return command(ServerReply::StartStriding, seq, body);
}

} // namespace reply

FrameStatus nextClientMessage(const QByteArray &buffer, qsizetype *length, QString *why)
{
    const ByteView v(buffer);
    if (v.size() < 8)
        return FrameStatus::NeedMore;
    if (*v.u32(4) != sessionSignature) {
        *why = QStringLiteral("no session signature");
        return FrameStatus::Malformed;
    }
    if (v.size() < 16)
        return FrameStatus::NeedMore;
    const quint64 total = quint64(*v.u32(8)) + 16;
    if (total < quint64(commandHeaderBytes) || total > quint64(maxClientMessageBytes)) {
        *why = QStringLiteral("message length %1").arg(total);
        return FrameStatus::Malformed;
    }
    if (*v.u32(12) != mmsSeal) {
        *why = QStringLiteral("no MMS seal");
        return FrameStatus::Malformed;
    }
    if (quint64(v.size()) < total)
        return FrameStatus::NeedMore;
    if (*v.u16(38) != clientDirection) {
        *why = QStringLiteral("direction %1").arg(*v.u16(38));
        return FrameStatus::Malformed;
    }
    *length = qsizetype(total);
    return FrameStatus::Complete;
}

QString utf16At(ByteView message, qsizetype offset, qsizetype maxBytes)
{
    QString out;
    qsizetype end = message.size();
    if (maxBytes >= 0 && offset + maxBytes < end)
        end = offset + maxBytes;
    for (qsizetype at = offset; at + 2 <= end; at += 2) {
        const quint16 unit = *message.u16(at);
        if (unit == 0)
            break;
        out.append(QChar(unit));
    }
    return out;
}

} // namespace mmsserver
