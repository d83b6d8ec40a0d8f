#pragma once

#include "bytes.h"

#include <array>
#include <QByteArray>
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
} // namespace guid

bool guidAt(ByteView bytes, qsizetype offset, const Guid &guid);

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
