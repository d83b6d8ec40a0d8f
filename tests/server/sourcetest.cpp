// The server's own ASF pieces, checked against files ffmpeg made and against ffprobe.
#include "asf.h"
#include "mediasource.h"
#include "testclient.h"

#include <gtest/gtest.h>
#include <QFile>

using namespace servertest;
using namespace mmsserver;

TEST(SyntheticSource, IsAValidAsfStreamOfTheAskedSize)
{
    const SyntheticSpec shape{"s", 2'000'000, 3200};
    SyntheticSource source(shape);
    const AsfInfo &info = source.info();
    EXPECT_EQ(info.packetSize, 3200u);
    EXPECT_NEAR(double(info.headerSize() + qint64(info.packetCount) * 3200), 2e6, 3200);

    const QString path = Media::dir() + "/synthetic.asf";
    {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(info.header);
        std::vector<char> packet(info.packetSize);
        quint32 previous = 0;
        for (quint64 i = 0; i < info.packetCount; ++i) {
            ASSERT_TRUE(source.readPacket(i, packet.data()));
            PacketTimes times;
            ASSERT_TRUE(parsePacketTimes(ByteView(packet.data(), qsizetype(packet.size())), &times));
            ASSERT_EQ(times.presentationCount, 2);
            if (i > 0) {
                ASSERT_EQ(times.sendTime, previous + source.packetDurationMs());
            }
            previous = times.sendTime;
            out.write(packet.data(), qint64(packet.size()));
        }
        EXPECT_FALSE(source.readPacket(info.packetCount, packet.data()));
    }
    // The file reader of the server sees what the generator declared.
    QString error;
    const auto file = FileSource::open(path, &error);
    ASSERT_TRUE(file) << error.toStdString();
    EXPECT_EQ(file->info().packetCount, info.packetCount);
    EXPECT_EQ(file->info().header, info.header);
    EXPECT_EQ(file->info().bitRate, info.bitRate);

    const RunResult probe =
        run("ffprobe", {"-v", "error", "-count_packets", "-show_entries",
                        "stream=codec_type,nb_read_packets,duration", "-of", "csv=p=0", path});
    ASSERT_EQ(probe.exitCode, 0);
    EXPECT_TRUE(probe.err.isEmpty()) << probe.err.toStdString();
    const QString expected =
        QStringLiteral("%1,%2\n").arg(info.durationSeconds, 0, 'f', 6).arg(info.packetCount);
    EXPECT_TRUE(QString::fromUtf8(probe.out).contains("audio," + expected)) << probe.out.toStdString();
    EXPECT_TRUE(QString::fromUtf8(probe.out).contains("video," + expected)) << probe.out.toStdString();
}

TEST(SyntheticSource, SeeksByTime)
{
    SyntheticSource source({"t", 1'000'000, 1000});
    EXPECT_EQ(source.packetForTime(0), 0u);
    EXPECT_EQ(source.packetForTime(1.0), 1000u / source.packetDurationMs());
    EXPECT_EQ(source.packetForTime(1e9), source.info().packetCount);
}

TEST(AsfReader, ReadsAnFfmpegFileAndShiftsItsTimes)
{
    const AsfFile reference = AsfFile::load(Media::sample());
    QString error;
    const auto source = FileSource::open(Media::sample(), &error);
    ASSERT_TRUE(source) << error.toStdString();
    EXPECT_EQ(source->info().packetCount, reference.packetCount);
    EXPECT_EQ(source->info().packetSize, reference.packetSize);
    EXPECT_EQ(source->info().headerSize(), reference.headerSize);
    EXPECT_NEAR(source->info().durationSeconds, 3.0, 0.2);

    std::vector<char> bytes(source->info().packetSize);
    quint32 previous = 0;
    for (quint64 i = 0; i < reference.packetCount; ++i) {
        ASSERT_TRUE(source->readPacket(i, bytes.data()));
        ASSERT_EQ(QByteArray(bytes.data(), qsizetype(bytes.size())), reference.packet(i));
        PacketTimes times;
        ASSERT_TRUE(parsePacketTimes(ByteView(bytes.data(), qsizetype(bytes.size())), &times));
        ASSERT_GE(times.sendTime, previous);
        ASSERT_EQ(times.sendTime, packetSendTime(reference.packet(i)));
        ASSERT_GT(times.presentationCount, 0);
        previous = times.sendTime;

        std::vector<char> shifted = bytes;
        shiftPacketTimes(shifted.data(), times, 1000000);
        PacketTimes after;
        ASSERT_TRUE(parsePacketTimes(ByteView(shifted.data(), qsizetype(shifted.size())), &after));
        ASSERT_EQ(after.sendTime, times.sendTime + 1000000);
        for (int k = 0; k < times.presentationCount; ++k) {
            const auto at = times.presentation[k].offset;
            ASSERT_EQ(qFromLittleEndian<quint32>(shifted.data() + at),
                      qFromLittleEndian<quint32>(bytes.data() + at) + 1000000);
        }
    }
    EXPECT_GT(source->packetForTime(1.5), 0u);
    EXPECT_LT(source->packetForTime(1.5), reference.packetCount);
}

TEST(AsfReader, RefusesDamagedHeadersWithoutReadingPastThem)
{
    const AsfFile reference = AsfFile::load(Media::sample());
    struct Case
    {
        const char *name;
        std::function<void(QByteArray &)> damage;
    };
    const Case cases[] = {
        {"no header guid", [](QByteArray &h) { h[0] = 0; }},
        {"header size too big", [](QByteArray &h) { qToLittleEndian<quint64>(1u << 30, h.data() + 16); }},
        {"sub-object size past the header",
         [](QByteArray &h) { qToLittleEndian<quint64>(1u << 20, h.data() + 46); }},
        {"zero sub-object size", [](QByteArray &h) { qToLittleEndian<quint64>(0, h.data() + 46); }},
        {"no data object", [&](QByteArray &h) { h[reference.headerSize - 50] = 0; }},
        {"packet size zero",
         [&](QByteArray &h) { qToLittleEndian<quint32>(0, h.data() + reference.filePropertiesAt + 96); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray header = reference.header();
        c.damage(header);
        AsfInfo info;
        QString error;
        EXPECT_FALSE(parseAsfHeader(header, -1, &info, &error));
        EXPECT_FALSE(error.isEmpty());
        // A truncated copy of the file must be refused too.
        QFile out(Media::dir() + "/damaged.asf");
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(header);
        out.close();
        EXPECT_FALSE(FileSource::open(out.fileName(), &error));
    }
    // Truncated packet data: only whole packets count.
    QFile out(Media::dir() + "/truncated.asf");
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(reference.bytes.left(reference.headerSize + 3 * reference.packetSize + 17));
    out.close();
    QString error;
    const auto truncated = FileSource::open(out.fileName(), &error);
    ASSERT_TRUE(truncated);
    EXPECT_EQ(truncated->info().packetCount, 3u);
}

TEST(AsfReader, PacketParserStaysInsideShortOrHostilePackets)
{
    const AsfFile reference = AsfFile::load(Media::sample());
    const QByteArray packet = reference.packet(0);
    PacketTimes times;
    for (qsizetype size = 0; size < 40; ++size)
        EXPECT_FALSE(parsePacketTimes(ByteView(packet.constData(), size), &times)) << size;
    QByteArray hostile = packet;
    hostile[3] = char(0xFF); // every length field a DWORD
    hostile[4] = char(0xFF);
    EXPECT_FALSE(parsePacketTimes(ByteView(hostile), &times));
}
