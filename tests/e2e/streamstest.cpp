// Multi-rate programmes through lumo-cli and lumo-mms-server: which streams are asked for, over
// MMS (TCP and UDP) and over HTTP, what the file states, and what a resume keeps.

#include "asf/headeranalysis.h"
#include "asf/streamlist.h"
#include "support/clifixture.h"
#include "support/serverprocess.h"
#include "support/testmedia.h"

#include <gtest/gtest.h>
#include <QRegularExpression>

using namespace lumo;
using namespace lumo::test;

namespace {

struct Protocol
{
    const char *name;
    const char *scheme;
    QStringList options;
};

const QList<Protocol> protocols = {
    {"tcp", "mmst", {}},
    {"udp", "mmst", {"--udp", "--udp-port", "0"}},
    {"http", "mmsh", {}},
};

class Streams : public CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        if (IsSkipped())
            return;
        three = makeThreeRateAsf(dir.path(), "three.asf");
        ASSERT_FALSE(three.isEmpty());
        ASSERT_TRUE(server.start({"--root", dir.path()}));
    }

    QString url(const Protocol &p) const
    {
        return QStringLiteral("%1://127.0.0.1:%2/three.asf").arg(p.scheme).arg(server.port());
    }

    // Records with the given options; returns the file's path.
    QString record(const Protocol &p, const QString &name, const QStringList &options)
    {
        const QString out = dir.filePath(QStringLiteral("%1-%2.asf").arg(p.name, name));
        EXPECT_EQ(run(QStringList{"get", url(p), "-o", out} + p.options + options), 0)
            << output.toStdString();
        return out;
    }

    StreamList streamsOf(const QString &path) const
    {
        return AnalyseAsfHeader(path, LocalHeaderSize(path), StreamType::Unknown, path).streams;
    }

    // ffmpeg decodes the whole file and reports nothing.
    static bool decodesCleanly(const QString &path)
    {
        QByteArray out;
        return runProgram("ffmpeg", {"-v", "error", "-i", path, "-map", "0", "-f", "null", "-"}, &out) == 0 &&
               out.trimmed().isEmpty();
    }

    QString three;
    ServerProcess server;
};

// Which streams a recording left out, as its header states them.
QList<quint8> cleared(const StreamList &list)
{
    QList<quint8> out;
    for (const AsfStream &s : list.streams) {
        if (s.rateCleared)
            out.append(s.number);
    }
    return out;
}

} // namespace

TEST_F(Streams, BestAndMaxBitRateAreAskedForAndStatedOverEveryProtocol)
{
    for (const Protocol &p : protocols) {
        SCOPED_TRACE(p.name);
        const QString best = record(p, "best", {"--streams", "best"});
        EXPECT_TRUE(output.contains("- 流的选择: 最佳")) << output.toStdString();
        EXPECT_TRUE(output.contains("- 录制的流: 3, 4 (632 kbit/s)"));
        EXPECT_TRUE(output.contains("- 不录制的流: 1, 2"));
        const StreamList bestList = streamsOf(best);
        EXPECT_EQ(cleared(bestList), (QList<quint8>{1, 2}));
        EXPECT_EQ(bestList.maxBitrate, 632000u);
        EXPECT_TRUE(decodesCleanly(best));

        const QString fitting = record(p, "max", {"--max-bitrate", "400k"});
        EXPECT_TRUE(output.contains("- 录制的流: 2, 4 (332 kbit/s)")) << output.toStdString();
        EXPECT_EQ(cleared(streamsOf(fitting)), (QList<quint8>{1, 3}));
        EXPECT_TRUE(decodesCleanly(fitting));

        // The header names groups, so the automatic choice is the best; all is the served file.
        record(p, "auto", {});
        EXPECT_TRUE(output.contains("- 流的选择: 自动")) << output.toStdString();
        EXPECT_TRUE(output.contains("- 录制的流: 3, 4 (632 kbit/s)"));
        const QString all = record(p, "all", {"--streams", "all"});
        EXPECT_TRUE(output.contains("- 录制的流: 1, 2, 3, 4 (1032 kbit/s)")) << output.toStdString();
        EXPECT_FALSE(output.contains("- 不录制的流"));
        EXPECT_EQ(readFile(all), asfStreamedPart(three));
    }
    // Over HTTP the selection travels as switch entries, level 2 for a dropped stream.
    EXPECT_TRUE(server.waitForLog("stream selection"));
    EXPECT_TRUE(server.logText().contains(QRegularExpression("stream selection.*\\b1 (at level 2|off)")))
        << server.logText().toStdString();
}

// The server leaves the dropped streams' payloads out, so a recording holds packets of the chosen
// streams only, and every stream's packets when all are asked for.
TEST_F(Streams, OnlyTheChosenStreamsHavePackets)
{
    for (const Protocol &p : protocols) {
        SCOPED_TRACE(p.name);
        const QList<int> best = packetsPerStream(record(p, "best", {"--streams", "best"}));
        ASSERT_EQ(best.size(), 4);
        EXPECT_EQ(best[0], 0);
        EXPECT_EQ(best[1], 0);
        EXPECT_GT(best[2], 0);
        EXPECT_GT(best[3], 0);

        const QList<int> fitting = packetsPerStream(record(p, "max", {"--max-bitrate", "400000"}));
        ASSERT_EQ(fitting.size(), 4);
        EXPECT_EQ(fitting[0], 0);
        EXPECT_GT(fitting[1], 0);
        EXPECT_EQ(fitting[2], 0);
        EXPECT_GT(fitting[3], 0);
        EXPECT_EQ(packetsPerStream(record(p, "all", {"--streams", "all"})), packetsPerStream(three));
    }
}

// A resume goes on with the streams the recording began with, whatever is asked now.
TEST_F(Streams, ResumeKeepsTheChoiceItBeganWith)
{
    const Protocol &tcp = protocols.first();
    const QString whole = record(tcp, "whole", {"--streams", "best"});

    ServerProcess dropping;
    ASSERT_TRUE(dropping.start({"--root", dir.path(), "--drop-after", "10"}));
    const QString out = dir.filePath("resumed.asf");
    const QString address = QStringLiteral("mmst://127.0.0.1:%1/three.asf").arg(dropping.port());
    ASSERT_EQ(run({"get", address, "-o", out, "--streams", "best"}), 3) << output.toStdString();
    ASSERT_EQ(run({"get", url(tcp), "-o", out, "--resume", "--streams", "all"}), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("- 续传: 沿用文件开始录制时的流选择")) << output.toStdString();
    EXPECT_TRUE(output.contains("- 录制的流: 3, 4 (632 kbit/s)"));
    EXPECT_EQ(readFile(out), readFile(whole));
}

TEST_F(Streams, ExplicitListAndItsMistakes)
{
    const Protocol &http = protocols.last();
    const QString sound = record(http, "sound", {"--streams", "4"});
    EXPECT_TRUE(output.contains("- 录制的流: 4 (32 kbit/s)")) << output.toStdString();
    EXPECT_EQ(cleared(streamsOf(sound)), (QList<quint8>{1, 2, 3}));

    // A list of streams the programme does not have ends the task, saying which it has.
    EXPECT_EQ(run({"get", url(http), "-o", dir.filePath("none.asf"), "--streams", "8,9"}), 1);
    EXPECT_TRUE(output.contains("所选的流 (8, 9) 不在这个节目中")) << output.toStdString();

    for (const QStringList &wrong :
         {QStringList{"--streams", "fastest"}, QStringList{"--streams", "0"},
          QStringList{"--max-bitrate", "lots"}, QStringList{"--streams", "best", "--max-bitrate", "1000"}}) {
        EXPECT_EQ(run(QStringList{"get", url(http), "-o", dir.filePath("x.asf")} + wrong), 2)
            << wrong.join(' ').toStdString();
        EXPECT_TRUE(output.contains("lumo-cli: --")) << output.toStdString();
    }
}

TEST_F(Streams, InfoListsTheStreamsAndWhatARecordingHolds)
{
    ASSERT_EQ(run({"info", three}), 0);
    EXPECT_TRUE(output.contains("[流]")) << output.toStdString();
    EXPECT_TRUE(
        output.contains(QRegularExpression("\\n +3 +视频 +600 kbit/s +160 x 120 +- +1 \\(速率\\) +是\\n")))
        << output.toStdString();
    EXPECT_TRUE(output.contains(QRegularExpression("\\n +4 +音频 +32 kbit/s +- +- +- +是\\n")));
    EXPECT_TRUE(output.contains("互斥组 1 (速率): 1, 2, 3"));

    const QString best = record(protocols.first(), "best", {"--streams", "best"});
    ASSERT_EQ(run({"info", best}), 0);
    EXPECT_TRUE(output.contains(QRegularExpression("\\n +1 +视频 +- +160 x 120 +- +1 \\(速率\\) +否\\n")))
        << output.toStdString();
    EXPECT_TRUE(output.contains(QRegularExpression("\\n +3 +视频 +600 kbit/s .* 是\\n")));
}
