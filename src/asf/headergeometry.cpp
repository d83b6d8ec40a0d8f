#include "asf/headergeometry.h"

#include "asf/asfids.h"
#include "asf/savefilewriter.h"
#include "shell/bytereader.h"

namespace lumo {

namespace fp = asflayout::fileProperties;

std::optional<quint32> AnnouncedHeaderSize(QByteArrayView firstBytes)
{
    // The Header Object's identifier, size and object count come first.
    constexpr qsizetype headerObjectFields = 30;
    const ByteReader reader(firstBytes);
    if (firstBytes.size() < headerObjectFields || !reader.matches(0, asfid::headerObject))
        return std::nullopt;
    const quint64 objectSize = reader.u64(asflayout::objectSize).value_or(0);
    const quint64 total = objectSize + quint64(asflayout::dataObject::end);
    if (objectSize < quint64(headerObjectFields) || total > SaveFileWriter::LargestHeaderSize)
        return std::nullopt;
    return quint32(total);
}

std::optional<HeaderGeometry> ReadHeaderGeometry(QByteArrayView header)
{
    const std::optional<quint32> size = AnnouncedHeaderSize(header);
    if (!size || header.size() < qsizetype(*size))
        return std::nullopt;
    const ByteReader reader(header.first(*size));
    const qint64 at = reader.find(asfid::fileProperties);
    if (at < 0)
        return std::nullopt;
    const auto minPacket = reader.u32(at + fp::minPacketSize);
    const auto maxPacket = reader.u32(at + fp::maxPacketSize);
    // Fixed-size packets are what the save file's layout and the resume rely on.
    if (!minPacket || !maxPacket || *minPacket != *maxPacket || *maxPacket == 0 ||
        *maxPacket > SaveFileWriter::LargestPacketSize)
        return std::nullopt;
    HeaderGeometry geometry;
    geometry.headerSize = *size;
    geometry.packetSize = *maxPacket;
    const quint64 count = reader.u64(at + fp::dataPacketsCount).value_or(0);
    geometry.packetCount = count > 0xFFFFFFFFu ? 0xFFFFFFFFu : quint32(count);
    geometry.maxBitRate = reader.u32(at + fp::maxBitrate).value_or(0);
    geometry.broadcast = reader.u32(at + fp::flags).value_or(0) & 0x01;
    return geometry;
}

} // namespace lumo
