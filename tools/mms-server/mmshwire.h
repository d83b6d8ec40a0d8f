#pragma once

#include <array>
#include <QByteArray>
#include <QList>
#include <utility>

namespace mmsserver {

// The chunks of an MMS-over-HTTP body: a 4-byte framing header ('$', type, u16 length of what
// follows); $H, $D and $M go on with the 8-byte MMS data packet header, then their payload.
namespace chunk {

constexpr char header = 'H';
constexpr char data = 'D';
constexpr char end = 'E';
constexpr char change = 'C';
constexpr char metadata = 'M';

constexpr quint8 headerPieceFlag = 0x04;
constexpr quint8 lastHeaderPieceFlag = 0x0C;
constexpr quint32 endOfContent = 0; // $E reason: the stream is over
constexpr quint32 endOfEntry = 1;   // $E reason: a $C and a new header follow
constexpr quint32 maxPayloadBytes = 0xFFFF - 8;
constexpr qsizetype packetPrefixBytes = 12;

// Framing and MMS data packet header for a payload of `payloadBytes`; PacketSize repeats the framing
// length, as players check.
std::array<char, packetPrefixBytes> packetPrefix(char type, quint32 location, quint8 incarnation,
                                                 quint8 flags, quint32 payloadBytes);
QByteArray endOfStream(quint32 reason);
QByteArray streamChange();
// Framing that no player accepts: the first byte is neither '$' nor 0xA4.
QByteArray brokenFraming(quint32 bytesAfter);

} // namespace chunk

using HttpHeaders = QList<std::pair<QByteArray, QByteArray>>;

// "HTTP/1.0 <status> <reason>", the headers and the blank line.
QByteArray httpAnswerHead(int status, const HttpHeaders &headers);
QByteArray reasonPhrase(int status);

} // namespace mmsserver
