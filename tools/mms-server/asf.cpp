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

int fieldWidth(int type)
{
    static constexpr int widths[4] = {0, 1, 2, 4};
    return widths[type & 3];
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
} // namespace guid

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
            const quint16 count = v.u16(at + 24).value_or(0);
            for (quint16 k = 0; k < count && quint64(26 + 6 * (k + 1)) <= size; ++k)
                streamBitrateSum += v.u32(at + 26 + 6 * k + 2).value_or(0);
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

bool parsePacketTimes(ByteView p, PacketTimes *t)
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
    at += 2;
    const bool multiple = *lengthFlags & 0x01;
    at += fieldWidth(*lengthFlags >> 5); // packet length
    at += fieldWidth(*lengthFlags >> 1); // sequence
    const auto padding = readVar(p, at, fieldWidth(*lengthFlags >> 3));
    if (!padding)
        return false;
    at += fieldWidth(*lengthFlags >> 3);
    const auto sendTime = p.u32(at);
    const auto duration = p.u16(at + 4);
    if (!sendTime || !duration)
        return false;
    t->sendTimeOffset = quint16(at);
    t->sendTime = *sendTime;
    t->duration = *duration;
    t->presentationCount = 0;
    at += 6;

    const int replicatedWidth = fieldWidth(*propertyFlags);
    const int offsetWidth = fieldWidth(*propertyFlags >> 2);
    const int objectWidth = fieldWidth(*propertyFlags >> 4);
    const int streamWidth = fieldWidth(*propertyFlags >> 6);
    int payloads = 1;
    int lengthWidth = 0;
    if (multiple) {
        const auto payloadFlags = p.u8(at++);
        if (!payloadFlags)
            return false;
        payloads = *payloadFlags & 0x3F;
        lengthWidth = fieldWidth(*payloadFlags >> 6);
    }
    for (int i = 0; i < payloads; ++i) {
        at += streamWidth + objectWidth;
        const qsizetype offsetAt = at;
        at += offsetWidth;
        const auto replicated = readVar(p, at, replicatedWidth);
        if (!replicated)
            return false;
        at += replicatedWidth;
        if (!p.has(at, *replicated))
            return false;
        if (t->presentationCount < int(t->presentation.size())) {
            if (*replicated >= 8)
                t->presentation[t->presentationCount++] = {quint16(at + 4), 4};
            else if (*replicated == 1 && offsetWidth > 0) // compressed: the offset field is the time
                t->presentation[t->presentationCount++] = {quint16(offsetAt), quint8(offsetWidth)};
        }
        at += *replicated;
        if (multiple) {
            const auto length = readVar(p, at, lengthWidth);
            if (!length)
                return false;
            at += lengthWidth + *length;
        } else {
            if (*padding > quint32(p.size()))
                return false;
            at = p.size() - *padding;
        }
        if (at > p.size())
            return false;
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
