#include "asf/packettimes.h"
#include "shell/bytereader.h"
#include "shell/tasklog.h"

#include <gtest/gtest.h>
#include <QSet>

using namespace lumo;
using lumo::unchecked::le32;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A single-payload packet: 82 00 00, length type, property flags, [fields], send time, duration.
QByteArray singlePayload(quint8 lengthType, quint8 propertyFlags, quint32 sendTime, quint8 replicated,
                         const QByteArray &afterOffset)
{
    QByteArray p = hex("820000");
    p.append(char(lengthType));
    p.append(char(propertyFlags));
    if (lengthType & 0x40)
        p.append(2, '\0'); // packet length
    if (lengthType & 0x08)
        p.append(1, '\0'); // padding length, one byte
    if (lengthType & 0x10)
        p.append(2, '\0'); // padding length, two bytes
    p += U32ToBytes(sendTime) + hex("6400");
    p += hex("81 07"); // stream 1 (key frame), media object 7
    const int offsetSize = propertyFlags == 0x55 ? 1 : propertyFlags == 0x59 ? 2 : 4;
    p.append(offsetSize, '\x11'); // offset into the media object
    p.append(char(replicated));
    p += afterOffset;
    return p;
}

} // namespace

TEST(PacketTimes, SendTimeOffsetsByLayout)
{
    for (const auto &[flags, offset] : std::initializer_list<std::pair<int, int>>{{0x00, 5},
                                                                                  {0x01, 5},
                                                                                  {0x08, 6},
                                                                                  {0x09, 6},
                                                                                  {0x10, 7},
                                                                                  {0x11, 7},
                                                                                  {0x40, 7},
                                                                                  {0x41, 7},
                                                                                  {0x48, 8},
                                                                                  {0x49, 8},
                                                                                  {0x50, 9},
                                                                                  {0x51, 9},
                                                                                  {0x20, 0},
                                                                                  {0x02, 0},
                                                                                  {0x5D, 0}}) {
        QByteArray packet(32, '\0');
        packet[3] = char(flags);
        EXPECT_EQ(TimestampOffset(packet), offset) << flags;
    }
    EXPECT_EQ(TimestampOffset(hex("820000")), 0);
    EXPECT_EQ(TimestampOffset(hex("82000000 00 000000")), 0); // too short for its send time
}

TEST(PacketTimes, RebasesSendAndPresentationTime)
{
    TaskLog log;
    QByteArray packet =
        singlePayload(0x00, 0x5D, 1002500, 8, U32ToBytes(4000) + U32ToBytes(1003000) + "data");
    ASSERT_TRUE(RebasePacketTimes(packet, 1000000, log));
    EXPECT_EQ(le32(packet.constData() + 5), 2500u);
    EXPECT_EQ(le32(packet.constData() + 11 + 2 + 4 + 1 + 4), 3000u);
    EXPECT_TRUE(log.lines().isEmpty());

    // Packets sent before the first one wrap around.
    QByteArray early = singlePayload(0x00, 0x5D, 999, 8, U32ToBytes(1) + U32ToBytes(1000));
    EXPECT_TRUE(RebasePacketTimes(early, 1000, log));
    EXPECT_EQ(le32(early.constData() + 5), 0xFFFFFFFFu);
}

TEST(PacketTimes, PaddingFieldsMoveTheSendTime)
{
    TaskLog log;
    QByteArray packet = singlePayload(0x50, 0x5D, 7000, 8, U32ToBytes(1) + U32ToBytes(7500));
    ASSERT_TRUE(RebasePacketTimes(packet, 7000, log));
    EXPECT_EQ(le32(packet.constData() + 9), 0u);
}

TEST(PacketTimes, CompressedPayloadKeepsTheLowBytes)
{
    TaskLog log;
    // Property flags 0x59: a 2-byte offset field holding the presentation time.
    QByteArray packet = hex("820000 00 59") + U32ToBytes(70000) + hex("6400") + hex("81 07") +
                        U32ToBytes(70123).left(2) + hex("01 10");
    ASSERT_TRUE(RebasePacketTimes(packet, 70000, log));
    EXPECT_EQ(quint8(packet[13]), 123);
    EXPECT_EQ(quint8(packet[14]), 0);
}

TEST(PacketTimes, SeveralPayloadsAreAllRewritten)
{
    TaskLog log;
    QByteArray packet = hex("820000 01 5D") + U32ToBytes(5000) + hex("6400") + hex("83"); // three payloads
    for (quint32 t : {5000u, 5040u, 5080u})
        packet +=
            hex("82 01") + U32ToBytes(0) + hex("08") + U32ToBytes(100) + U32ToBytes(t) + hex("0300") + "abc";
    ASSERT_TRUE(RebasePacketTimes(packet, 5000, log));
    qsizetype at = 12;
    for (quint32 expected : {0u, 40u, 80u}) {
        EXPECT_EQ(le32(packet.constData() + at + 2 + 4 + 1 + 4), expected);
        at += 2 + 4 + 1 + 8 + 2 + 3;
    }
}

TEST(PacketTimes, RefusalsAreLoggedAndStopSafely)
{
    TaskLog log;
    QByteArray bad = hex("830000 00 5D 00000000");
    EXPECT_FALSE(RebasePacketTimes(bad, 0, log));
    EXPECT_EQ(log.lines().last(), "媒体信息包文件头出错, 开始 0x82 丢失");

    QByteArray sequence = hex("820000 02 5D 0000000000000000");
    EXPECT_FALSE(RebasePacketTimes(sequence, 0, log));
    EXPECT_EQ(log.lines().last(), "ASF 解析 - 负载解析错误. 旗标 = 02");

    QByteArray property = singlePayload(0x00, 0x5D, 10, 8, U32ToBytes(1) + U32ToBytes(20));
    property[4] = char(0x5E);
    EXPECT_FALSE(RebasePacketTimes(property, 10, log));
    EXPECT_EQ(log.lines().last(), "非法的区段类型 ID, 未知类型 5E");
    EXPECT_EQ(le32(property.constData() + 5), 0u); // the send time was already rewritten

    QByteArray replicated = singlePayload(0x00, 0x5D, 10, 6, QByteArray(8, '\0'));
    EXPECT_FALSE(RebasePacketTimes(replicated, 0, log));
    EXPECT_EQ(log.lines().last(), "信息包错误, 区段旗标未知 06");

    // A payload length past the end of the packet.
    QByteArray overrun = hex("820000 01 5D") + U32ToBytes(50) + hex("6400") + hex("82") + hex("82 01") +
                         U32ToBytes(0) + hex("08") + U32ToBytes(100) + U32ToBytes(60) + hex("FF00") + "ab";
    EXPECT_FALSE(RebasePacketTimes(overrun, 50, log));
    EXPECT_EQ(log.lines().last(), "信息包错误, 非分组指针越界");
    EXPECT_EQ(le32(overrun.constData() + 5), 0u);
    EXPECT_EQ(le32(overrun.constData() + 12 + 2 + 4 + 1 + 4), 10u);

    // Every cut of a valid packet is refused or walked without reading past its end.
    const QByteArray whole = singlePayload(0x41, 0x5D, 10, 8, U32ToBytes(1) + U32ToBytes(20));
    for (qsizetype n = 0; n < whole.size(); ++n) {
        QByteArray cut = whole.left(n);
        const QByteArray before = cut;
        if (!RebasePacketTimes(cut, 10, log) && n < 11) {
            EXPECT_EQ(cut, before) << n;
        }
    }
}

#include "support/testmedia.h"

#include <QTemporaryDir>

namespace {

// The data packets of an ffmpeg-made file.
QList<QByteArray> ffmpegPackets()
{
    QTemporaryDir dir;
    const QString path = test::makeSampleAsf(dir.path(), "p.asf", 2);
    const QByteArray all = test::readFile(path);
    QList<QByteArray> packets;
    if (all.size() < 30)
        return packets;
    const qint64 dataObject = qint64(test::littleEndianAt<quint64>(all, 16));
    const qsizetype fp = all.indexOf(QByteArray::fromHex("A1DCAB8C47"));
    const quint32 size = test::littleEndianAt<quint32>(all, fp + 96);
    const quint64 count = test::littleEndianAt<quint64>(all, dataObject + 40);
    for (quint64 i = 0; i < count; ++i)
        packets.append(all.mid(dataObject + 50 + qint64(i) * size, size));
    return packets;
}

QList<qsizetype> changedBytes(const QByteArray &a, const QByteArray &b)
{
    QList<qsizetype> at;
    for (qsizetype i = 0; i < qMin(a.size(), b.size()); ++i) {
        if (a[i] != b[i])
            at.append(i);
    }
    return at;
}

} // namespace

// Real packets: every one is walked, the send time counts from the first packet, the rewrite
// undoes exactly, and a packet cut anywhere changes nothing the whole packet would not.
TEST(PacketTimes, FfmpegPacketsRebaseAndCutsStayInside)
{
    if (!test::haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is needed";
    const QList<QByteArray> packets = ffmpegPackets();
    ASSERT_GT(packets.size(), 10);
    TaskLog log;
    const int at = TimestampOffset(packets[0]);
    ASSERT_GT(at, 0);
    const quint32 first = le32(packets[0].constData() + at) + 123456; // as if the server shifted it
    QSet<int> layouts;
    for (const QByteArray &original : packets) {
        layouts.insert(quint8(original[3]));
        QByteArray shifted = original;
        ASSERT_TRUE(RebasePacketTimes(shifted, quint32(-123456), log))
            << log.lines().join('\n').toStdString();
        QByteArray rebased = shifted;
        ASSERT_TRUE(RebasePacketTimes(rebased, first, log));
        const int t = TimestampOffset(original);
        EXPECT_EQ(le32(rebased.constData() + t), le32(original.constData() + t) - (first - 123456));
        QByteArray back = rebased;
        ASSERT_TRUE(RebasePacketTimes(back, quint32(-(first - 123456)), log));
        EXPECT_EQ(back, original);

        const QList<qsizetype> allowed = changedBytes(shifted, rebased);
        for (qsizetype n = 0; n <= shifted.size(); n += qMax<qsizetype>(1, shifted.size() / 97)) {
            QByteArray cut = shifted.left(n);
            RebasePacketTimes(cut, first, log);
            ASSERT_EQ(cut.size(), n);
            for (qsizetype i : changedBytes(shifted.left(n), cut))
                EXPECT_TRUE(allowed.contains(i)) << "byte " << i << " of a packet cut at " << n;
        }
    }
    EXPECT_FALSE(layouts.isEmpty());
}
