#include "asf/packettimes.h"

#include "shell/tasklog.h"

#include <QCoreApplication>
#include <QtEndian>

namespace lumo {

namespace {

int sendTimeOffset(quint8 lengthTypeFlags)
{
    switch (lengthTypeFlags) {
    case 0x00:
    case 0x01:
        return 5;
    case 0x08:
    case 0x09:
        return 6;
    case 0x10:
    case 0x11:
    case 0x40:
    case 0x41:
        return 7;
    case 0x48:
    case 0x49:
        return 8;
    case 0x50:
    case 0x51:
        return 9;
    default:
        return 0;
    }
}

QString hex2(quint8 value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

// A time field of `width` bytes (1 to 4) at `at`: v becomes (v - firstTime) mod 2^32, of which
// the field keeps its low bytes.
void rebaseField(char *packet, qsizetype at, int width, quint32 firstTime)
{
    quint32 value = 0;
    for (int i = 0; i < width; ++i)
        value |= quint32(quint8(packet[at + i])) << (8 * i);
    const quint32 rebased = value - firstTime;
    for (int i = 0; i < width; ++i)
        packet[at + i] = char((rebased >> (8 * i)) & 0xFF);
}

} // namespace

int TimestampOffset(QByteArrayView packet)
{
    if (packet.size() < 4)
        return 0;
    const int offset = sendTimeOffset(quint8(packet[3]));
    return offset != 0 && packet.size() >= offset + 4 ? offset : 0;
}

bool RebasePacketTimes(QByteArray &packet, quint32 firstTime, TaskLog &log)
{
    return RebasePacketTimes(packet.data(), packet.size(), firstTime, log);
}

namespace {

// One walk over a data packet's payloads; each step logs why it stops.
class PayloadWalk
{
public:
    PayloadWalk(char *packet, qsizetype size, quint32 firstTime, TaskLog &log)
        : m_packet(packet), m_size(size), m_firstTime(firstTime), m_log(log)
    {}

    // The packet's own send time; then `position()` is the first payload (or its flags).
    bool rebaseSendTime()
    {
        if (m_size < 3 || quint8(m_packet[0]) != 0x82 || m_packet[1] != 0 || m_packet[2] != 0) {
            m_log.append(QCoreApplication::translate("PacketTimes", "媒体信息包文件头出错, 开始 0x82 丢失"));
            return false;
        }
        if (m_size < 5)
            return truncated();
        const quint8 lengthType = quint8(m_packet[3]);
        const int sendTime = sendTimeOffset(lengthType);
        if (sendTime == 0) {
            m_log.append(QCoreApplication::translate("PacketTimes", "ASF 解析 - 负载解析错误. 旗标 = ") +
                         hex2(lengthType));
            return false;
        }
        if (m_size < sendTime + 6)
            return truncated();
        rebaseField(m_packet, sendTime, 4, m_firstTime);
        m_at = sendTime + 6;
        m_several = lengthType & 0x01;
        if (m_several) {
            if (m_at >= m_size)
                return truncated();
            m_payloadFlags = quint8(m_packet[m_at++]);
        }
        return true;
    }

    // The presentation time of every payload.
    bool rebasePayloads()
    {
        const quint8 propertyFlags = quint8(m_packet[4]);
        for (int k = 1;; ++k) {
            if (!rebasePayload(propertyFlags))
                return false;
            if (!m_several || (m_payloadFlags & 0x3F) <= k)
                return true;
        }
    }

private:
    bool truncated()
    {
        m_log.append(QCoreApplication::translate("PacketTimes", "信息包错误, 数据超出信息包长度"));
        return false;
    }

    bool rebasePayload(quint8 propertyFlags)
    {
        m_at += 2; // stream number, media object number
        const int offsetSize = propertyFlags == 0x55   ? 1
                               : propertyFlags == 0x59 ? 2
                               : propertyFlags == 0x5D ? 4
                                                       : 0;
        if (offsetSize == 0) {
            m_log.append(QCoreApplication::translate("PacketTimes", "非法的区段类型 ID, 未知类型 ") +
                         hex2(propertyFlags));
            return false;
        }
        if (m_at + offsetSize >= m_size)
            return truncated();
        const quint8 replicated = quint8(m_packet[m_at + offsetSize]);
        if (replicated & 0x01)
            return rebaseCompressed(offsetSize);
        if (replicated & 0x08) {
            const qsizetype replicatedStart = m_at + offsetSize + 1;
            if (replicatedStart + 8 > m_size)
                return truncated();
            rebaseField(m_packet, replicatedStart + 4, 4, m_firstTime);
            // Longer replicated data (extensions after the time) is passed over whole.
            m_at = replicatedStart + replicated;
            return !m_several || skipPayloadData();
        }
        if (replicated != 0) {
            m_log.append(QCoreApplication::translate("PacketTimes", "信息包错误, 区段旗标未知 ") +
                         hex2(replicated));
            return false;
        }
        // No replicated data: step over the payload as its length says.
        m_at += offsetSize + 1;
        return !m_several || skipPayloadData();
    }

    // A compressed payload: the offset field holds the presentation time.
    bool rebaseCompressed(int offsetSize)
    {
        rebaseField(m_packet, m_at, offsetSize, m_firstTime);
        m_at += offsetSize + 1;
        if (!m_several)
            return true;
        if (m_at + 3 > m_size)
            return truncated();
        m_at += 3 + qFromLittleEndian<quint16>(m_packet + m_at + 1);
        if (m_at > m_size) {
            m_log.append(QCoreApplication::translate("PacketTimes", "信息包错误, 分组指针越界"));
            return false;
        }
        return true;
    }

    // Steps over a payload's data by its length field, 1 or 2 bytes by the payload flags.
    bool skipPayloadData()
    {
        const int lengthSize = (m_payloadFlags & 0x40) ? 1 : 2;
        if (m_at + lengthSize > m_size)
            return truncated();
        const quint16 length =
            lengthSize == 1 ? quint8(m_packet[m_at]) : qFromLittleEndian<quint16>(m_packet + m_at);
        m_at += lengthSize + length;
        if (m_at > m_size) {
            m_log.append(QCoreApplication::translate("PacketTimes", "信息包错误, 非分组指针越界"));
            return false;
        }
        return true;
    }

    char *m_packet;
    qsizetype m_size;
    quint32 m_firstTime;
    TaskLog &m_log;
    qsizetype m_at = 0;
    bool m_several = false;
    quint8 m_payloadFlags = 0;
};

} // namespace

bool RebasePacketTimes(char *packet, qsizetype size, quint32 firstTime, TaskLog &log)
{
    PayloadWalk walk(packet, size, firstTime, log);
    return walk.rebaseSendTime() && walk.rebasePayloads();
}

bool RestorePaddingLength(char *packet, qsizetype size, qsizetype packetSize)
{
    // Error correction present (0x82, two bytes of it), then the length-type flags.
    if (size < 5 || size >= packetSize || quint8(packet[0]) != 0x82)
        return false;
    const quint8 lengthType = quint8(packet[3]);
    const auto width = [](int type) { return type == 3 ? 4 : type; };
    const int packetLengthWidth = width((lengthType >> 5) & 0x03);
    const int sequenceWidth = width((lengthType >> 1) & 0x03);
    const int paddingWidth = width((lengthType >> 3) & 0x03);
    const qsizetype at = 5 + packetLengthWidth + sequenceWidth;
    if (paddingWidth == 0 || at + paddingWidth > size)
        return false;
    quint32 padding = 0;
    for (int i = 0; i < paddingWidth; ++i)
        padding |= quint32(quint8(packet[at + i])) << (8 * i);
    const quint64 added = quint64(packetSize - size);
    if (padding != 0 || (paddingWidth < 4 && added >> (8 * paddingWidth) != 0))
        return false;
    for (int i = 0; i < paddingWidth; ++i)
        packet[at + i] = char((added >> (8 * i)) & 0xFF);
    return true;
}

} // namespace lumo
