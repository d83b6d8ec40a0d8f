#include "asf/packettimes.h"

#include "shell/tasklog.h"

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

int RebasePacketTimes(QByteArray &packet, quint32 firstTime, TaskLog &log)
{
    return RebasePacketTimes(packet.data(), packet.size(), firstTime, log);
}

int RebasePacketTimes(char *packet, qsizetype size, quint32 firstTime, TaskLog &log)
{
    const auto truncated = [&] {
        log.append(QStringLiteral("信息包错误, 数据超出信息包长度"));
        return 0;
    };
    if (size < 3 || quint8(packet[0]) != 0x82 || packet[1] != 0 || packet[2] != 0) {
        log.append(QStringLiteral("媒体信息包文件头出错, 开始 0x82 丢失"));
        return 0;
    }
    if (size < 5)
        return truncated();
    const quint8 lengthType = quint8(packet[3]);
    const int sendTime = sendTimeOffset(lengthType);
    if (sendTime == 0) {
        log.append(QStringLiteral("ASF 解析 - 负载解析错误. 旗标 = ") + hex2(lengthType));
        return 0;
    }
    if (size < sendTime + 6)
        return truncated();
    rebaseField(packet, sendTime, 4, firstTime);
    qsizetype p = sendTime + 6;

    const bool several = lengthType & 0x01;
    quint8 payloadFlags = 0;
    if (several) {
        if (p >= size)
            return truncated();
        payloadFlags = quint8(packet[p++]);
    }
    // Steps over a payload's data by its length field, 1 or 2 bytes by the payload flags.
    const auto skipPayloadData = [&] {
        const int lengthSize = (payloadFlags & 0x40) ? 1 : 2;
        if (p + lengthSize > size)
            return truncated();
        const quint16 length = lengthSize == 1 ? quint8(packet[p]) : qFromLittleEndian<quint16>(packet + p);
        p += lengthSize + length;
        if (p > size) {
            log.append(QStringLiteral("信息包错误, 非分组指针越界"));
            return 0;
        }
        return 1;
    };
    const quint8 propertyFlags = quint8(packet[4]);
    for (int k = 0;;) {
        p += 2; // stream number, media object number
        int offsetSize = 0;
        switch (propertyFlags) {
        case 0x55:
            offsetSize = 1;
            break;
        case 0x59:
            offsetSize = 2;
            break;
        case 0x5D:
            offsetSize = 4;
            break;
        default:
            log.append(QStringLiteral("非法的区段类型 ID, 未知类型 ") + hex2(propertyFlags));
            return 0;
        }
        if (p + offsetSize >= size)
            return truncated();
        const quint8 replicated = quint8(packet[p + offsetSize]);
        if (replicated & 0x01) {
            // Compressed payload: the offset field holds the presentation time.
            rebaseField(packet, p, offsetSize, firstTime);
            p += offsetSize + 1;
            if (several) {
                if (p + 3 > size)
                    return truncated();
                const quint16 length = qFromLittleEndian<quint16>(packet + p + 1);
                p += 3 + length;
                if (p > size) {
                    log.append(QStringLiteral("信息包错误, 分组指针越界"));
                    return 0;
                }
            }
        } else if (replicated & 0x08) {
            const qsizetype replicatedStart = p + offsetSize + 1;
            if (replicatedStart + 8 > size)
                return truncated();
            rebaseField(packet, replicatedStart + 4, 4, firstTime);
            // Longer replicated data (extensions after the time) is passed over whole.
            p = replicatedStart + replicated;
            if (several && !skipPayloadData())
                return 0;
        } else if (replicated != 0) {
            log.append(QStringLiteral("信息包错误, 区段旗标未知 ") + hex2(replicated));
            return 0;
        } else {
            // No replicated data: step over the payload as its length says.
            p += offsetSize + 1;
            if (several && !skipPayloadData())
                return 0;
        }
        ++k;
        if (!several || (payloadFlags & 0x3F) <= k)
            break;
    }
    return 1;
}

} // namespace lumo
