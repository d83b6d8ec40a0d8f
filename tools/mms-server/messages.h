#pragma once

#include "bytes.h"
#include "commandids.h"

#include <QByteArray>
#include <QString>

namespace mmsserver {

namespace hresult {
constexpr quint32 fileNotFound = 0xC00D001A;
constexpr quint32 invalidName = 0xC00D001C;
constexpr quint32 fileOpenFailed = 0xC00D001D;
constexpr quint32 fileRead = 0xC00D0019;
constexpr quint32 accessDenied = 0x80070005;
constexpr quint32 invalidRequest = 0xC00D002B;
constexpr quint32 strideRefused = 0xC00D0045;
constexpr quint32 invalidPort = 0xC00D0043;
} // namespace hresult

namespace pi {
constexpr quint32 usePacketPair = 0xF0F0F0F0;
constexpr quint32 tcpPacketPair = 0xF0F0F0F1;
constexpr quint32 udpPacketPair = 0xF0F0F901;
constexpr quint32 noPacketPair = 0xF0F0F0EF;
} // namespace pi

constexpr quint32 sessionSignature = 0xB00BFACE;
constexpr quint32 mmsSeal = 0x20534D4D; // "MMS "
// The high 16 bits of a MID.
constexpr quint16 clientDirection = 0x0003;
constexpr quint16 serverDirection = 0x0004;
constexpr qsizetype commandHeaderBytes = 40;
constexpr qsizetype maxClientMessageBytes = 64 * 1024;

// Server -> client commands. Each returns the whole TCP message, zero-padded to a multiple of 8.
namespace reply {
QByteArray connectedEx(quint16 seq, quint32 hr, quint32 pi, bool offerBasic);
QByteArray connectedFunnel(quint16 seq);
QByteArray disconnectedFunnel(quint16 seq, quint32 hr);
QByteArray startedPlaying(quint16 seq, quint32 hr, quint32 pi);
struct FileReport
{
    quint32 attributes = 0;
    double durationSeconds = 0;
    quint32 packetSize = 0;
    quint64 packetCount = 0;
    quint32 bitRate = 0;
    quint32 headerSize = 0;
};
QByteArray openFile(quint16 seq, quint32 hr, quint32 pi, const FileReport &file);
QByteArray readBlock(quint16 seq, quint32 hr, quint32 pi);
// totalBytes 80 for the plain reply, 512 or 1056 for a packet-pair reply with a random tail.
QByteArray funnelInfo(quint16 seq, quint32 hr, quint32 pi, quint32 clientId, qsizetype totalBytes);
QByteArray securityChallenge(quint16 seq, quint32 pi, const QString &realm);
QByteArray ping(quint16 seq);
QByteArray endOfStream(quint16 seq, quint32 hr, quint32 pi);
QByteArray streamSwitch(quint16 seq, quint32 hr);
QByteArray startStriding(quint16 seq, quint32 hr, quint32 pi);
} // namespace reply

// Splits the next client command off the front of a receive buffer.
enum class FrameStatus
{
    NeedMore,
    Complete,
    Malformed
};
FrameStatus nextClientMessage(const QByteArray &buffer, qsizetype *length, QString *why);

// A NUL-terminated UTF-16LE string from `offset` to the end of the message at most.
QString utf16At(ByteView message, qsizetype offset, qsizetype maxBytes = -1);

} // namespace mmsserver
