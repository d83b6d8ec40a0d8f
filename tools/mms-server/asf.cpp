#include "asf.h"

#include <cmath>

namespace mmsserver {

namespace {

Guid makeGuid(const char *text)
{
    // "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX": the first three groups are stored little-endian.
    const QByteArray hex = QByteArray(text).replace('-', "");
    const QByteArray raw = QByteArray::fromHex(hex);
    Guid g{};
    const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    for (int i = 0; i < 16; ++i)
        g[i] = raw.at(order[i]);
    return g;
}

std::optional<quint32> readVar(ByteView v, qsizetype offset, int width)
{
    switch (width) {
    case 0:
        return 0;
    case 1:
        return v.u8(offset);
    case 2:
        if (auto x = v.u16(offset))
            return *x;
        return std::nullopt;
    default:
        return v.u32(offset);
    }
}

} // namespace

namespace guid {
const Guid header = makeGuid("75B22630-668E-11CF-A6D9-00AA0062CE6C");
const Guid data = makeGuid("75B22636-668E-11CF-A6D9-00AA0062CE6C");
const Guid fileProperties = makeGuid("8CABDCA1-A947-11CF-8EE4-00C00C205365");
const Guid streamProperties = makeGuid("B7DC0791-A9B7-11CF-8EE6-00C00C205365");
const Guid streamBitrateProperties = makeGuid("7BF875CE-468D-11D1-8D82-006097C9A2B2");
const Guid headerExtension = makeGuid("5FBF03B5-A92E-11CF-8EE3-00C00C205365");
const Guid headerExtensionReserved = makeGuid("ABD3D211-A9BA-11CF-8EE6-00C00C205365");
const Guid audioMedia = makeGuid("F8699E40-5B4D-11CF-A8FD-00805F5C442B");
const Guid videoMedia = makeGuid("BC19EFC0-5B4D-11CF-A8FD-00805F5C442B");
const Guid noErrorCorrection = makeGuid("20FB5700-5B55-11CF-A8FD-00805F5C442B");
const Guid bitrateMutualExclusion = makeGuid("D6E229DC-35DA-11D1-9034-00A0C90349BE");
const Guid mutexBitrate = makeGuid("D6E22A01-35DA-11D1-9034-00A0C90349BE");
} // namespace guid

int widthOfLengthType(int type)
{
    static constexpr int widths[4] = {0, 1, 2, 4};
    return widths[type & 3];
}

bool guidAt(ByteView bytes, qsizetype offset, const Guid &g)
{
    return bytes.has(offset, 16) && std::memcmp(bytes.data() + offset, g.data(), 16) == 0;
}

bool parseAsfHeader(QByteArray header, qint64 bytesAfterHeader, AsfInfo *info, QString *error)
{
    const ByteView v(header);
    auto fail = [error](const QString &why) {
        *error = why;
        return false;
    };
    if (!guidAt(v, 0, guid::header))
        return fail(QStringLiteral("not an ASF file (no Header Object)"));
    const quint64 h = v.u64(16).value_or(0);
    if (h < 30 || h + dataObjectHeaderBytes != quint64(header.size()))
        return fail(QStringLiteral("bad Header Object size"));
    const quint32 objectCount = v.u32(24).value_or(0);

    AsfInfo out;
    quint32 streamBitrateSum = 0;
    qsizetype at = 30;
    for (quint32 i = 0; i < objectCount && at + 24 <= qsizetype(h); ++i) {
        const quint64 size = v.u64(at + 16).value_or(0);
        if (size < 24 || size > h - quint64(at))
            return fail(QStringLiteral("bad header object size at offset %1").arg(at));
        if (guidAt(v, at, guid::fileProperties)) {
            if (size < 104)
                return fail(QStringLiteral("File Properties Object too short"));
            out.filePropertiesAt = at;
        } else if (guidAt(v, at, guid::streamBitrateProperties)) {
            out.hasStreamBitrates = true;
            const quint16 count = v.u16(at + 24).value_or(0);
            for (quint16 k = 0; k < count && quint64(26 + 6 * (k + 1)) <= size; ++k)
                streamBitrateSum += v.u32(at + 26 + 6 * k + 2).value_or(0);
        } else if (guidAt(v, at, guid::streamProperties) && size >= 74) {
            const StreamKind kind = guidAt(v, at + 24, guid::audioMedia)   ? StreamKind::Audio
                                    : guidAt(v, at + 24, guid::videoMedia) ? StreamKind::Video
                                                                           : StreamKind::Other;
            out.streams.append({quint16(*v.u16(at + 72) & 0x7F), kind});
        } else if (guidAt(v, at, guid::bitrateMutualExclusion)) {
            out.hasBitrateExclusion = true;
        }
        at += qsizetype(size);
    }
    if (out.filePropertiesAt < 0)
        return fail(QStringLiteral("no File Properties Object"));
    const qsizetype fp = out.filePropertiesAt;
    const quint64 declaredCount = *v.u64(fp + 56);
    const quint64 playDuration = *v.u64(fp + 64);
    out.prerollMs = *v.u64(fp + 80);
    out.packetSize = *v.u32(fp + 96);
    const quint32 maxBitrate = *v.u32(fp + 100);
    if (out.packetSize == 0 || out.packetSize > maxMmsPacketSize)
        return fail(QStringLiteral("packet size %1 cannot travel over MMS").arg(out.packetSize));

    if (!guidAt(v, qsizetype(h), guid::data))
        return fail(QStringLiteral("no Data Object after the header"));
    const quint64 dataSize = *v.u64(qsizetype(h) + 16);
    const quint64 totalPackets = *v.u64(qsizetype(h) + 40);
    quint64 count = totalPackets ? totalPackets : declaredCount;
    if (count == 0 && dataSize > dataObjectHeaderBytes)
        count = (dataSize - dataObjectHeaderBytes) / out.packetSize;
    if (bytesAfterHeader >= 0) {
        const quint64 present = quint64(bytesAfterHeader) / out.packetSize;
        if (count == 0 || count > present)
            count = present;
    }
    out.packetCount = count;
    out.bitRate = maxBitrate ? maxBitrate : streamBitrateSum;
    out.durationSeconds = std::max(0.0, double(playDuration) / 1e7 - double(out.prerollMs) / 1000.0);
    out.headerObjectSize = h;
    out.header = std::move(header);
    *info = std::move(out);
    return true;
}

QByteArray makeBroadcastHeader(const AsfInfo &info)
{
    QByteArray header = info.header;
    char *fp = header.data() + info.filePropertiesAt;
    putU64(fp + 40, 0); // file size
    putU64(fp + 48, 0); // creation date
    putU64(fp + 56, 0); // data packets count
    putU64(fp + 64, 0); // play duration
    putU64(fp + 72, 0); // send duration
    const quint32 flags = qFromLittleEndian<quint32>(fp + 88);
    putU32(fp + 88, (flags & ~0x2u) | 0x1u);
    char *data = header.data() + info.headerObjectSize;
    putU64(data + 16, 0);
    putU64(data + 40, 0);
    return header;
}

bool parsePacketLayout(ByteView p, PacketLayout *l)
{
    qsizetype at = 0;
    const auto first = p.u8(0);
    if (!first)
        return false;
    if (*first & 0x80)
        at = 1 + (*first & 0x0F);
    const auto lengthFlags = p.u8(at);
    const auto propertyFlags = p.u8(at + 1);
    if (!lengthFlags || !propertyFlags)
        return false;
    l->lengthFlagsAt = at;
    l->lengthFlags = *lengthFlags;
    l->propertyFlags = *propertyFlags;
    at += 2;
    l->multiple = *lengthFlags & 0x01;
    at += widthOfLengthType(*lengthFlags >> 5); // packet length
    at += widthOfLengthType(*lengthFlags >> 1); // sequence
    l->paddingAt = at;
    l->paddingWidth = widthOfLengthType(*lengthFlags >> 3);
    const auto padding = readVar(p, at, l->paddingWidth);
    if (!padding || *padding > quint32(p.size()))
        return false;
    l->padding = *padding;
    at += l->paddingWidth;
    if (!p.has(at, 6))
        return false;
    l->sendTimeAt = at;
    at += 6;

    const int replicatedWidth = widthOfLengthType(*propertyFlags);
    const int offsetWidth = widthOfLengthType(*propertyFlags >> 2);
    const int objectWidth = widthOfLengthType(*propertyFlags >> 4);
    const int streamWidth = widthOfLengthType(*propertyFlags >> 6);
    int lengthWidth = 0;
    l->payloadCount = 1;
    if (l->multiple) {
        const auto payloadFlags = p.u8(at++);
        if (!payloadFlags)
            return false;
        l->payloadFlags = *payloadFlags;
        l->payloadCount = *payloadFlags & 0x3F;
        lengthWidth = widthOfLengthType(*payloadFlags >> 6);
    }
    const qsizetype paddingStart = p.size() - qsizetype(l->padding);
    for (int i = 0; i < l->payloadCount; ++i) {
        PacketLayout::Payload &payload = l->payloads[i];
        payload.at = at;
        payload.stream = streamWidth == 1 && p.has(at, 1) ? quint8(*p.u8(at) & 0x7F) : 0;
        at += streamWidth + objectWidth;
        payload.offsetAt = at;
        payload.offsetWidth = offsetWidth;
        at += offsetWidth;
        const auto replicated = readVar(p, at, replicatedWidth);
        if (!replicated)
            return false;
        at += replicatedWidth;
        if (!p.has(at, *replicated))
            return false;
        payload.replicatedAt = at;
        payload.replicatedBytes = *replicated;
        at += *replicated;
        if (l->multiple) {
            const auto length = readVar(p, at, lengthWidth);
            if (!length)
                return false;
            at += lengthWidth;
            payload.dataAt = at;
            at += *length;
        } else {
            payload.dataAt = at;
            at = paddingStart;
        }
        payload.end = at;
        if (at > p.size() || payload.end < payload.dataAt)
            return false;
    }
    return true;
}

bool parsePacketTimes(ByteView p, PacketTimes *t)
{
    PacketLayout layout;
    if (!parsePacketLayout(p, &layout))
        return false;
    t->sendTimeOffset = quint16(layout.sendTimeAt);
    t->sendTime = *p.u32(layout.sendTimeAt);
    t->duration = *p.u16(layout.sendTimeAt + 4);
    t->presentationCount = 0;
    for (int i = 0; i < layout.payloadCount; ++i) {
        const PacketLayout::Payload &payload = layout.payloads[i];
        if (payload.replicatedBytes >= 8)
            t->presentation[t->presentationCount++] = {quint16(payload.replicatedAt + 4), 4};
        else if (payload.replicatedBytes == 1 &&
                 payload.offsetWidth > 0) // compressed: the offset is the time
            t->presentation[t->presentationCount++] = {quint16(payload.offsetAt),
                                                       quint8(payload.offsetWidth)};
    }
    return true;
}

void shiftPacketTimes(char *packet, const PacketTimes &t, quint32 deltaMs)
{
    putU32(packet + t.sendTimeOffset, t.sendTime + deltaMs);
    for (int i = 0; i < t.presentationCount; ++i) {
        char *field = packet + t.presentation[i].offset;
        switch (t.presentation[i].width) {
        case 1:
            putU8(field, quint8(quint8(*field) + deltaMs));
            break;
        case 2:
            putU16(field, quint16(qFromLittleEndian<quint16>(field) + deltaMs));
            break;
        default:
            putU32(field, qFromLittleEndian<quint32>(field) + deltaMs);
        }
    }
}

} // namespace mmsserver
