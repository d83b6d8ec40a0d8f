#pragma once

#include "asf/streamchoice.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lumo {

// MMS command message framing: a 40-byte fixed part, then the body, zero-padded to a
// multiple of 8 bytes. All integers little-endian.
namespace mms {

constexpr qsizetype FixedPartSize = 40;
constexpr qsizetype MinCommandSize = 48; // a received command is not looked at before this
constexpr qsizetype MediaPrefixSize = 8;
constexpr char Signature[4] = {char(0xCE), char(0xFA), char(0x0B), char(0xB0)};

enum class Placement
{
    Before = 1, // prefix before the stream list and text
    After = 2,
};

// Media packet kinds (byte 4 of the 8-byte prefix).
constexpr quint8 KindHeader = 0x02;
constexpr quint8 KindData = 0x04;

// Server commands, by the id at CommandIdOffset.
enum class ServerCommand : quint8
{
    ConnectReply = 0x01,      // answers the connect: the client sends its timing request
    TransportReply = 0x02,    // the transport is accepted: open the file
    TransportFailed = 0x03,   // the protocol could not be set up
    StreamStarting = 0x05,    // media packets follow
    MediaDescription = 0x06,  // answers the open: stream type, packet size and count, header size
    HeaderFollows = 0x11,     // header packets follow
    TimingReply = 0x15,       // one of the three timing replies; carries the client id
    LoginRequest = 0x1A,      // the server wants a login
    Ping = 0x1B,              // answered with a pong
    EndOfMedia = 0x1E,        // the whole media has been sent
    StreamSelectReply = 0x21, // the stream selection is accepted: start playing
};

// Where the fields of a received command lie (0-based, from the start of the TCP message).
constexpr qsizetype LengthOffset = 8; // the message length less 16
constexpr qsizetype CommandIdOffset = 36;
constexpr qsizetype ResultOffset = 40;     // an HRESULT; the top bit set is an error
constexpr qsizetype ClientIdOffset = 60;   // TimingReply
constexpr qsizetype FileIdOffset = 48;     // MediaDescription
constexpr qsizetype MediaFlagsOffset = 60; // MediaDescription: the top byte holds the stream type
constexpr qsizetype PacketSizeOffset = 92;
constexpr qsizetype PacketCountOffset = 96;
constexpr qsizetype BitRateOffset = 104;
constexpr qsizetype HeaderSizeOffset = 108;
constexpr qsizetype RealmLengthOffset = 48; // LoginRequest: the realm's length in bytes
constexpr qsizetype RealmOffset = 52;

// Client commands.
constexpr quint8 CmdConnect = 0x01;
constexpr quint8 CmdTransport = 0x02;
constexpr quint8 CmdOpenFile = 0x05;
constexpr quint8 CmdStartPlaying = 0x07;
constexpr quint8 CmdHeaderRequest = 0x15;
constexpr quint8 CmdTiming = 0x18;
constexpr quint8 CmdLogin = 0x1A;
constexpr quint8 CmdPong = 0x1B;
constexpr quint8 CmdStreamSelect = 0x33;
// Actions of a stream in 0x33.
constexpr quint8 StreamWanted = 0;
constexpr quint8 StreamNotWanted = 2;
constexpr quint8 CmdCancelHeaderRequest = 0x25;

} // namespace mms

// Builds one command message. `seq` is SendSeq (its low 16 bits are sent). `streamList` holds
// 2 bytes per stream: stream number, action. `text` bytes are widened to 16-bit units as they
// are (byte, 00), with no character-set conversion.
QByteArray encodeCommand(quint32 seq, quint8 commandId, QByteArrayView prefix, mms::Placement placement,
                         quint32 streamCount, QByteArrayView streamList, QByteArrayView text);

// The same with a text already in 16-bit units.
QByteArray encodeWideCommand(quint32 seq, quint8 commandId, QByteArrayView prefix, mms::Placement placement,
                             quint32 streamCount, QByteArrayView streamList, QByteArrayView wideText);

// Widens each byte to the unit (byte, 00): for the fixed ASCII texts of the protocol.
QByteArray WidenText(QByteArrayView text);
// A text as UTF-16LE, which is what servers decode names with.
QByteArray Utf16Text(QStringView text);

// One builder per client command.
namespace mms {

// 0x01: guid in its braced upper-case form; the host goes in only when sendHost is on.
QByteArray buildConnect(quint32 seq, const QByteArray &guid, bool sendHost, const QString &hostName);
QByteArray buildTiming(quint32 seq);
// 0x02: udp selects \UDP\ (Transport 2); port is decimal text.
QByteArray buildTransport(quint32 seq, const QByteArray &localAddress, bool udp, const QByteArray &port);
// 0x05: the path as UTF-16LE, so that names in any script reach the server as they are.
QByteArray buildOpenFile(quint32 seq, quint32 incarnation, const QString &mediaPath);
QByteArray buildHeaderRequest(quint32 seq, quint32 incarnation);
// 0x25: drops the header pieces not yet sent, before the header is asked for again (UDP).
QByteArray buildCancelHeaderRequest(quint32 seq, quint32 incarnation);
// 0x33: every stream listed with action 0 (wanted) ...
QByteArray buildStreamSelect(quint32 seq, const quint8 *streamNumbers, quint32 streamCount);
// ... or each with 0 when chosen and 2 (not wanted) when dropped.
QByteArray buildStreamSelect(quint32 seq, const QList<StreamPick> &picks);
QByteArray buildStartPlaying(quint32 seq, quint32 incarnation, quint32 startPacket);
QByteArray buildLogin(quint32 seq, quint32 incarnation, const QByteArray &authData);
QByteArray buildPong(quint32 seq, quint32 incarnation);

// A new client GUID in the 38-character registry form, e.g. {0A1B...}.
QByteArray newClientGuid();

// The bytes of "; 主机: " as the wire carries them (GBK).
QByteArray hostLabelBytes();

// Whether bytes 4..7 of a unit hold the command signature.
inline bool isCommand(const char *unit)
{
    return unit[4] == Signature[0] && unit[5] == Signature[1] && unit[6] == Signature[2] &&
           unit[7] == Signature[3];
}

struct MediaPrefix
{
    quint32 location = 0;
    quint8 kind = 0;
    quint8 flags = 0;
    quint16 length = 0; // whole packet, prefix included
};

// Reads the 8-byte media packet prefix; `p` must hold at least 8 bytes.
MediaPrefix readMediaPrefix(const char *p);

} // namespace mms
} // namespace lumo
