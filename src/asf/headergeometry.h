#pragma once

#include <QByteArrayView>

#include <optional>

namespace lumo {

// What a stream needs to know of an ASF header before the data packets come: how long the
// header is, and how the packets are laid out. Read from the header bytes alone, so a
// protocol that announces none of it (MMS over HTTP) learns it from the header itself.
struct HeaderGeometry
{
    quint32 headerSize = 0;  // the Header Object and the Data Object's fields
    quint32 packetSize = 0;  // the File Properties' fixed packet size
    quint32 packetCount = 0; // 0 (or 0xFFFFFFFF) for a broadcast
    quint32 maxBitRate = 0;
    bool broadcast = false;
};

// The header's size as its first bytes state it (the Header Object's size plus the Data
// Object's fields); nullopt until 30 bytes are there or when they are not an ASF header.
std::optional<quint32> AnnouncedHeaderSize(QByteArrayView firstBytes);

// Reads the whole header (AnnouncedHeaderSize bytes). nullopt when it is not an ASF header or
// its File Properties state no usable fixed packet size.
std::optional<HeaderGeometry> ReadHeaderGeometry(QByteArrayView header);

} // namespace lumo
