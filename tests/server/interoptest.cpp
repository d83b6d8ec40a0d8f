// ffmpeg's own MMS clients (over TCP and over HTTP) as independent peers: what they download must probe
// like the source.
#include "mediasource.h"
#include "testclient.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>

using namespace servertest;

namespace {

QByteArray probe(const QString &path, const QString &entries = "stream=codec_type,nb_read_packets,duration")
{
    const RunResult r =
        run("ffprobe", {"-v", "error", "-count_packets", "-show_entries", entries, "-of", "csv=p=0", path});
    if (r.exitCode != 0)
        return "ffprobe failed: " + r.err;
    // A remux may renumber the streams, so compare them in a fixed order.
    QList<QByteArray> lines = r.out.split('\n');
    std::sort(lines.begin(), lines.end());
    return lines.join('\n');
}

QByteArray downloadWithFfmpeg(const QString &scheme, quint16 port, const QString &name, const QString &out)
{
    const RunResult r = run("ffmpeg",
                            {"-v", "error", "-y", "-i",
                             QStringLiteral("%1://127.0.0.1:%2/%3").arg(scheme).arg(port).arg(name), "-map",
                             "0", "-c", "copy", "-f", "asf", out},
                            180000);
    return r.finished && r.exitCode == 0 ? QByteArray() : QByteArray("ffmpeg failed: " + r.err);
}

} // namespace

TEST(FfmpegInterop, DownloadsAnFfmpegFileAndASyntheticStreamOverTcpAndHttp)
{
    // The synthetic stream written out by the same generator is its source to compare with.
    const mmsserver::SyntheticSpec shape{"synthetic.asf", 4'000'000, 3200};
    mmsserver::SyntheticSource source(shape);
    const QString syntheticSource = Media::dir() + "/synthetic-source.asf";
    {
        QFile out(syntheticSource);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(source.info().header);
        std::vector<char> packet(source.info().packetSize);
        for (quint64 i = 0; i < source.info().packetCount; ++i) {
            source.readPacket(i, packet.data());
            out.write(packet.data(), qint64(packet.size()));
        }
    }

    ServerProcess server;
    ASSERT_TRUE(server.start({"--root", Media::dir(), "-v", "--synthetic", "synthetic.asf:4000000:3200"}));
    const std::pair<QString, QString> cases[] = {{"sample.asf", Media::sample()},
                                                 {"synthetic.asf", syntheticSource}};
    for (const QString scheme : {"mmst", "mmsh"}) {
        for (const auto &[name, original] : cases) {
            SCOPED_TRACE((scheme + "://" + name).toStdString());
            const QString out = Media::dir() + "/ffmpeg-" + scheme + "-" + name;
            ASSERT_EQ(downloadWithFfmpeg(scheme, server.port(), name, out), QByteArray());
            const QByteArray expected = probe(original);
            EXPECT_TRUE(expected.contains("audio,") && expected.contains("video,")) << expected.toStdString();
            EXPECT_EQ(probe(out), expected);
        }
    }
    const QString log = server.stop();
    EXPECT_EQ(log.count("end of stream"), 4) << log.toStdString();
    EXPECT_EQ(log.count("described"), 2) << "ffmpeg asks for the header, then plays";
}

TEST(FfmpegInterop, DownloadsEveryStreamOfAMultiRateProgrammeOverTcpAndHttp)
{
    // ffmpeg selects every stream, so the video streams' exclusion changes nothing for it.
    ServerProcess server;
    ASSERT_TRUE(server.start({"--root", Media::dir(), "-v", "--exclusive-video"}));
    // A remux of several video streams rounds their durations apart by a millisecond: counts only.
    const QString entries = "stream=codec_type,nb_read_packets";
    const QByteArray expected = probe(Media::threeRates(), entries);
    EXPECT_EQ(expected.count("video,"), 3) << expected.toStdString();
    for (const QString scheme : {"mmst", "mmsh"}) {
        SCOPED_TRACE(scheme.toStdString());
        const QString out = Media::dir() + "/ffmpeg-" + scheme + "-three-rates.asf";
        ASSERT_EQ(downloadWithFfmpeg(scheme, server.port(), "three-rates.asf", out), QByteArray());
        EXPECT_EQ(probe(out, entries), expected);
    }
    const QString log = server.stop();
    EXPECT_TRUE(log.contains("stream selection: 1 on, 2 on, 3 on, 4 on")) << log.toStdString();
    EXPECT_TRUE(log.contains("stream selection (count 4): 1 on, 2 on, 3 on, 4 on")) << log.toStdString();
}

// Not run by default: streams 1 GiB at full speed and prints how long the server took.
TEST(Throughput, DISABLED_SyntheticGigabyteAtFullSpeed)
{
    const quint32 packetSize = qEnvironmentVariableIntValue("LUMO_BENCH_PACKET") > 0
                                   ? quint32(qEnvironmentVariableIntValue("LUMO_BENCH_PACKET"))
                                   : 3200;
    ServerProcess server;
    ASSERT_TRUE(server.start({"--synthetic", QStringLiteral("big:1073741824:%1").arg(packetSize)}));
    ScriptedClient client(60000);
    ASSERT_TRUE(client.connectTo(server.port()));
    client.socket().setReadBufferSize(0);
    ASSERT_TRUE(client.open("big"));
    ASSERT_TRUE(client.readHeader());
    QElapsedTimer clock;
    clock.start();
    client.startPlaying(0xFFFFFFFF);
    ASSERT_TRUE(client.expect(fromServer::startedPlaying));
    // Walk the stream in large reads until EndOfStream, without keeping it.
    QTcpSocket &s = client.socket();
    QByteArray buffer = client.takeBuffered();
    qint64 total = buffer.size();
    bool ended = false;
    std::vector<char> scratch(4 * 1024 * 1024);
    const QDeadlineTimer deadline(120000);
    for (;;) {
        qsizetype at = 0;
        while (!ended && buffer.size() - at >= 16) {
            const bool command = u32(buffer, at + 4) == sessionSignature;
            const qsizetype length = command ? qsizetype(u32(buffer, at + 8)) + 16 : u16(buffer, at + 6);
            if (buffer.size() - at < length)
                break;
            ended = command && u16(buffer, at + 36) == fromServer::endOfStream;
            at += length;
        }
        buffer.remove(0, at);
        if (ended || deadline.hasExpired())
            break;
        if (s.bytesAvailable() == 0 && !s.waitForReadyRead(10000))
            break;
        const qint64 n = s.read(scratch.data(), qint64(scratch.size()));
        buffer.append(scratch.data(), n);
        total += n;
    }
    const qint64 ms = clock.elapsed();
    ASSERT_TRUE(ended);
    QFile status(QStringLiteral("/proc/%1/status").arg(server.pid()));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM"))
                std::printf("server peak memory: %s\n", line.mid(6).trimmed().constData());
    }
    std::printf("1 GiB synthetic, packets of %u bytes: %lld bytes in %lld ms (%.0f MB/s)\n", packetSize,
                static_cast<long long>(total), static_cast<long long>(ms), double(total) / 1e3 / double(ms));
}
