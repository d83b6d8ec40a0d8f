#pragma once

#include "bytes.h"

#include <array>
#include <QByteArray>
#include <QList>
#include <QString>

namespace mmsserver {

using Guid = std::array<char, 16>;

// ASF GUIDs in their on-disk (little-endian) byte order.
namespace guid {
extern const Guid header;
extern const Guid data;
extern const Guid fileProperties;
extern const Guid streamProperties;
extern const Guid streamBitrateProperties;
extern const Guid headerExtension;
extern const Guid headerExtensionReserved;
extern const Guid audioMedia;
extern const Guid videoMedia;
extern const Guid noErrorCorrection;
extern const Guid bitrateMutualExclusion;
extern const Guid mutexBitrate;
} // namespace guid

bool guidAt(ByteView bytes, qsizetype offset, const Guid &guid);

enum class StreamKind
{
    Audio,
    Video,
    Other
};

// A stream the header lists in a Stream Properties Object.
struct AsfStream
{
    quint16 number = 0;
    StreamKind kind = StreamKind::Other;
};

// What MMS needs to know about an ASF file, read from its Header Object and Data Object header.
struct AsfInfo
{
    QByteArray header;               // Header Object + the first 50 bytes of the Data Object
    quint64 headerObjectSize = 0;    // H; header.size() == H + 50
    qsizetype filePropertiesAt = -1; // offset of the File Properties Object inside header
    quint32 packetSize = 0;
    quint64 packetCount = 0;
    quint32 bitRate = 0;
    double durationSeconds = 0; // play duration minus preroll
    quint64 prerollMs = 0;
    QList<AsfStream> streams;
    bool hasStreamBitrates = false;   // a Stream Bitrate Properties Object is there
    bool hasBitrateExclusion = false; // a Bitrate Mutual Exclusion Object is there

    qint64 headerSize() const { return header.size(); }
};

constexpr qsizetype dataObjectHeaderBytes = 50;
// The u16 length of a media packet counts its 8-byte prefix.
constexpr quint32 maxMmsPacketSize = 65535 - 8;

// Parses `header` (Header Object + 50 bytes). `bytesAfterHeader` is how many packet bytes really follow
// it, or -1 if unknown; it caps the packet count of a truncated file.
bool parseAsfHeader(QByteArray header, qint64 bytesAfterHeader, AsfInfo *info, QString *error);

// The header of the same content served as a live broadcast: Broadcast flag set, Seekable clear, and
// the fields a broadcast cannot know zeroed.
QByteArray makeBroadcastHeader(const AsfInfo &info);

// Where the fields and payloads of one ASF data packet lie, as byte offsets into the packet.
struct PacketLayout
{
    struct Payload
    {
        quint8 stream = 0; // without the key-frame bit
        qsizetype at = 0;  // the payload's first byte (its stream number)
        qsizetype dataAt = 0;
        qsizetype end = 0; // one past its data
        qsizetype offsetAt = 0;
        int offsetWidth = 0; // media object offset, or the presentation time of a compressed payload
        qsizetype replicatedAt = 0;
        quint32 replicatedBytes = 0;
    };
    qsizetype lengthFlagsAt = 0; // after the error correction data
    quint8 lengthFlags = 0;
    quint8 propertyFlags = 0;
    qsizetype paddingAt = 0;
    int paddingWidth = 0;
    quint32 padding = 0;
    qsizetype sendTimeAt = 0; // send time (u32) and duration (u16)
    bool multiple = false;
    quint8 payloadFlags = 0; // of a multiple-payload packet
    int payloadCount = 0;
    std::array<Payload, 63> payloads{}; // the payload count has 6 bits
};

// False if the packet is too short for the fields it announces.
bool parsePacketLayout(ByteView packet, PacketLayout *layout);
// The bytes of a field whose length type is the two low bits of `type`: 0, 1, 2 or 4.
int widthOfLengthType(int type);

// Where the times sit inside one ASF data packet, so that a looped live source can shift them.
struct PacketTimes
{
    struct Field
    {
        quint16 offset;
        quint8 width;
    };
    quint32 sendTime = 0;
    quint16 duration = 0;
    quint16 sendTimeOffset = 0;
    int presentationCount = 0;
    std::array<Field, 64> presentation{};
};

bool parsePacketTimes(ByteView packet, PacketTimes *times);
void shiftPacketTimes(char *packet, const PacketTimes &times, quint32 deltaMs);

} // namespace mmsserver
