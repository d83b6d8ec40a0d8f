// --exclusive-video: the served header says that the video streams are alternatives at different rates,
// and everything else stays the file's.
#include "asfpackets.h"
#include "httpclient.h"
#include "sessionsteps.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QMap>

using namespace servertest;

namespace {

// GUIDs as stored: 7BF875CE-468D-11D1-8D82-006097C9A2B2, D6E229DC-35DA-11D1-9034-00A0C90349BE,
// D6E22A01-35DA-11D1-9034-00A0C90349BE and 8CABDCA1-A947-11CF-8EE4-00C00C205365.
const QByteArray streamBitrateGuid = QByteArray::fromHex("ce75f87b8d46d1118d82006097c9a2b2");
const QByteArray exclusionGuid = QByteArray::fromHex("dc29e2d6da35d111903400a0c90349be");
const QByteArray bitrateExclusionType = QByteArray::fromHex("012ae2d6da35d111903400a0c90349be");
const QByteArray filePropertiesGuid = QByteArray::fromHex("a1dcab8c47a9cf118ee400c00c205365");

// Bit rate of each stream from ffprobe's packet sizes over the file's play duration less its preroll.
QMap<int, double> probedRates(const AsfFile &file, const QString &path)
{
    const RunResult r =
        run("ffprobe", {"-v", "error", "-show_entries", "packet=stream_index,size", "-of", "csv=p=0", path});
    QMap<int, double> bytes;
    for (const QByteArray &line : r.out.trimmed().split('\n')) {
        const QList<QByteArray> fields = line.split(',');
        if (fields.size() >= 2)
            bytes[fields[0].toInt() + 1] += fields[1].toDouble();
    }
    const double seconds = double(u64(file.bytes, file.filePropertiesAt + 64)) / 1e7 -
                           double(u64(file.bytes, file.filePropertiesAt + 80)) / 1e3;
    QMap<int, double> rates;
    for (auto it = bytes.begin(); it != bytes.end(); ++it)
        rates[it.key()] = it.value() * 8 / seconds;
    return rates;
}

} // namespace

TEST(ExclusiveVideo, HeaderGainsMeasuredRatesAndOneExclusionOverTheVideoStreams)
{
    const AsfFile file = AsfFile::load(Media::threeRates());
    ServerProcess server;
    ASSERT_TRUE(server.start({"--root", Media::dir(), "-v", "--exclusive-video"}));
    ScriptedClient client;
    QByteArray header;
    ASSERT_TRUE(readyToPlay(client, server.port(), "three-rates.asf", &header));

    const QList<HeaderObject> original = headerObjects(file.header());
    const QList<HeaderObject> served = headerObjects(header);
    ASSERT_EQ(served.size(), original.size() + 2);
    const qsizetype added = served[served.size() - 2].bytes.size() + served.back().bytes.size();
    EXPECT_EQ(header.size(), file.headerSize + added);
    EXPECT_EQ(u64(header, 16), quint64(header.size() - 50)) << "Header Object size";
    EXPECT_EQ(u32(header, 24), u32(file.bytes, 24) + 2) << "Header Object count";
    EXPECT_EQ(header.right(50), file.header().right(50)) << "Data Object header";
    for (qsizetype i = 0; i < original.size(); ++i) {
        SCOPED_TRACE(original[i].guid.toHex().toStdString());
        EXPECT_EQ(served[i].guid, original[i].guid);
        if (served[i].guid != filePropertiesGuid) {
            EXPECT_EQ(served[i].bytes, original[i].bytes);
            continue;
        }
        // Only the file size grows, by the new objects.
        EXPECT_EQ(u64(served[i].bytes, 40), u64(original[i].bytes, 40) + quint64(added));
        EXPECT_EQ(served[i].bytes.mid(48), original[i].bytes.mid(48));
    }

    const QByteArray rates = served[served.size() - 2].bytes;
    ASSERT_EQ(served[served.size() - 2].guid, streamBitrateGuid);
    ASSERT_EQ(u16(rates, 24), 4);
    const QMap<int, double> expected = probedRates(file, Media::threeRates());
    for (int k = 0; k < 4; ++k) {
        const int stream = u16(rates, 26 + 6 * k) & 0x7F;
        SCOPED_TRACE(stream);
        EXPECT_EQ(stream, k + 1);
        EXPECT_NEAR(double(u32(rates, 28 + 6 * k)), expected.value(stream), expected.value(stream) * 0.01);
    }
    EXPECT_LT(u32(rates, 28), u32(rates, 34)) << "the three video rates differ";
    EXPECT_LT(u32(rates, 34), u32(rates, 40));

    const QByteArray exclusion = served.back().bytes;
    ASSERT_EQ(served.back().guid, exclusionGuid);
    EXPECT_EQ(exclusion.mid(24, 16), bitrateExclusionType);
    EXPECT_EQ(exclusion.mid(40), QByteArray::fromHex("0300"
                                                     "0100"
                                                     "0200"
                                                     "0300"));

    // The packets are the file's, and header and packets make a file that plays.
    ASSERT_TRUE(play(client, 0));
    const std::vector<Unit> packets = client.readData();
    expectPackets(packets, file, 0);
    QByteArray rebuilt = header;
    for (const Unit &p : packets)
        rebuilt += p.payload();
    const QString path = Media::dir() + "/exclusive-video.asf";
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(rebuilt);
    out.close();
    const RunResult played = run("ffmpeg", {"-v", "error", "-i", path, "-f", "null", "-"});
    EXPECT_EQ(played.exitCode, 0);
    EXPECT_EQ(played.err, QByteArray());

    // Over HTTP the same header.
    const HttpAnswer described = httpExchange(server.port(), playerRequest("/three-rates.asf"));
    const std::vector<Chunk> chunks = chunksOfType(splitChunks(described.body), 'H');
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks.front().payload(), header);
    EXPECT_TRUE(server.stop().contains("three-rates.asf: video streams 1, 2, 3 mutually exclusive"));
}

TEST(ExclusiveVideo, HeaderWithOneVideoStreamStaysAsItIs)
{
    const AsfFile file = AsfFile::load(Media::sample());
    ServerProcess server;
    ASSERT_TRUE(server.start({"--root", Media::dir(), "-v", "--exclusive-video"}));
    const HttpAnswer described = httpExchange(server.port(), playerRequest("/sample.asf"));
    const std::vector<Chunk> chunks = chunksOfType(splitChunks(described.body), 'H');
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks.front().payload(), file.header());
    EXPECT_TRUE(server.stop().contains("sample.asf: fewer than two video streams: header left as it is"));
}
