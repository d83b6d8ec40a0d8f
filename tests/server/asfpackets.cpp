#include "asfpackets.h"

#include "testclient.h"

namespace servertest {

namespace {

int width(int type)
{
    static const int widths[4] = {0, 1, 2, 4};
    return widths[type & 3];
}

quint32 readWidth(const QByteArray &b, qsizetype at, int w)
{
    if (w == 0)
        return 0;
    if (at + w > b.size())
        return 0xFFFFFFFF;
    if (w == 1)
        return quint8(b.at(at));
    return w == 2 ? u16(b, at) : u32(b, at);
}

} // namespace

PacketLook lookAtPacket(const QByteArray &p)
{
    PacketLook look;
    if (p.isEmpty())
        return look;
    qsizetype at = (quint8(p.at(0)) & 0x80) ? 1 + (quint8(p.at(0)) & 0x0F) : 0;
    if (at + 2 > p.size())
        return look;
    const quint8 lengthFlags = quint8(p.at(at));
    const quint8 propertyFlags = quint8(p.at(at + 1));
    at += 2 + width(lengthFlags >> 5) + width(lengthFlags >> 1);
    look.multiple = lengthFlags & 1;
    look.paddingWidth = width(lengthFlags >> 3);
    look.padding = readWidth(p, at, look.paddingWidth);
    at += look.paddingWidth;
    look.sendTime = u32(p, at);
    look.duration = u16(p, at + 4);
    at += 6;
    int count = 1;
    int lengthWidth = 0;
    if (look.multiple) {
        if (at >= p.size())
            return look;
        count = quint8(p.at(at)) & 0x3F;
        lengthWidth = width(quint8(p.at(at)) >> 6);
        ++at;
    }
    const qsizetype paddingAt = p.size() - qsizetype(look.padding);
    for (int i = 0; i < count; ++i) {
        PayloadSpan span;
        span.at = at;
        if (at >= p.size())
            return look;
        span.stream = quint8(p.at(at)) & 0x7F;
        at += width(propertyFlags >> 6) + width(propertyFlags >> 4) + width(propertyFlags >> 2);
        const quint32 replicated = readWidth(p, at, width(propertyFlags));
        at += width(propertyFlags) + qsizetype(replicated);
        if (look.multiple) {
            const quint32 length = readWidth(p, at, lengthWidth);
            at += lengthWidth + qsizetype(length);
        } else {
            at = paddingAt;
        }
        if (at > p.size() || at < span.at)
            return look;
        span.end = at;
        look.payloads.push_back(span);
    }
    look.usedBytes = at;
    look.ok = at == paddingAt;
    return look;
}

QList<QByteArray> PacketLook::payloadBytes(const QByteArray &packet, const QList<int> &streams) const
{
    QList<QByteArray> out;
    for (const PayloadSpan &span : payloads) {
        if (streams.contains(span.stream))
            out.append(packet.mid(span.at, span.end - span.at));
    }
    return out;
}

QList<HeaderObject> headerObjects(const QByteArray &header)
{
    QList<HeaderObject> objects;
    const quint32 count = u32(header, 24);
    qsizetype at = 30;
    for (quint32 i = 0; i < count && at + 24 <= header.size(); ++i) {
        const qsizetype size = qsizetype(u64(header, at + 16));
        if (size < 24 || at + size > header.size())
            break;
        objects.append({header.mid(at, 16), header.mid(at, size)});
        at += size;
    }
    return objects;
}

} // namespace servertest
