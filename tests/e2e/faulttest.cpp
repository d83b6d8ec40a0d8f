// Fault recovery with lumo-cli as a real process: killed mid-download, dropped connections,
// lost datagrams. Each recovery must end in the same bytes the server holds.

#include "shell/bytereader.h"
#include "support/clifixture.h"
#include "support/serverprocess.h"
#include "support/testmedia.h"

#include <gtest/gtest.h>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <csignal>

using namespace lumo;
using namespace lumo::test;

namespace {

constexpr int PacketSize = 3200; // ffmpeg's ASF packets

class Faults : public CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        expected = asfStreamedPart(sample);
        out = dir.filePath("got.asf");
    }

    QByteArray expected;
    QString out;
};

} // namespace

// SIGKILL leaves no resume record: the header still states the server's whole packet count.
// Resuming from that count would ask for nothing and call a truncated file complete; the
// resume starts after the last whole packet on disk instead.
TEST_F(Faults, KilledMidDownloadResumesToTheSameBytes)
{
    ServerProcess slow;
    ASSERT_TRUE(slow.start({"--root", dir.path(), "--rate", "60000"}));
    QProcess cli;
    startCli(cli, {"get", slow.url("sample.asf"), "-o", out});
    ASSERT_TRUE(cli.waitForStarted(10000));
    // Killed once some packets are on disk, well before the end.
    const qint64 headerBytes = expected.size() - (expected.size() / PacketSize) * PacketSize;
    const QDeadlineTimer deadline(30000);
    while (QFileInfo(out).size() < headerBytes + 4 * PacketSize && !deadline.hasExpired() &&
           cli.state() == QProcess::Running)
        cli.waitForFinished(10); // a bounded tick; the condition is the file's size
    ASSERT_EQ(cli.state(), QProcess::Running) << cli.readAll().toStdString();
    ::kill(pid_t(cli.processId()), SIGKILL);
    ASSERT_TRUE(cli.waitForFinished(10000));
    slow.stop();

    const QByteArray partial = readFile(out);
    ASSERT_LT(partial.size(), expected.size());
    EXPECT_EQ(dataPacketsCount(partial), dataPacketsCount(expected)) << "no resume record after SIGKILL";

    ServerProcess full;
    ASSERT_TRUE(full.start({"--root", dir.path()}));
    ASSERT_EQ(run({"get", full.url("sample.asf"), "-o", out, "--resume"}), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("- 文件只保存了 ")) << output.toStdString();
    EXPECT_EQ(readFile(out), expected);
}

// A stop writes its record, so the restart point comes from it, not from the file's length.
TEST_F(Faults, ServerDroppingEveryConnectionStillEndsInTheSameBytes)
{
    ServerProcess server;
    ASSERT_TRUE(server.start({"--root", dir.path(), "--drop-after", "12"}));
    int drops = 0;
    int code = run({"get", server.url("sample.asf"), "-o", out});
    while (code != 0 && drops < 40) {
        ++drops;
        ASSERT_NE(code, -1) << output.toStdString();
        EXPECT_TRUE(output.contains("- ASF 续传/结束数据已写入")) << output.toStdString();
        code = run({"get", server.url("sample.asf"), "-o", out, "--resume"});
    }
    EXPECT_EQ(code, 0) << output.toStdString();
    EXPECT_GE(drops, 3);
    EXPECT_EQ(readFile(out), expected);
    EXPECT_TRUE(server.waitForLog("dropping the connection after 12 data packets"));
}

// Lost datagrams are not asked for again: the download still completes, every packet that
// came is in its place, and each lost one is a blank packet-sized gap.
// Lost datagrams are asked for again and placed by their packet number: the file is whole.
// Every third datagram lost takes the first data packet; every seventh, the last of the stream.
TEST_F(Faults, UdpWithDroppedDatagramsIsMadeWholeByResends)
{
    for (const char *every : {"7", "3"}) {
        ServerProcess server;
        ASSERT_TRUE(server.start({"--root", dir.path(), "--udp-drop-every", every, "--rate", "2000000"}));
        ASSERT_EQ(
            run({"get", server.url("sample.asf"), "-o", out, "--udp", "--udp-port", "0", "--overwrite"}), 0)
            << every << ": " << output.toStdString();
        EXPECT_TRUE(output.contains("- ** 下载已经完成 **"));
        ASSERT_TRUE(server.waitForLog("end of stream after"));
        EXPECT_GE(server.logText().count("dropped datagram"), 3) << every;
        EXPECT_GE(server.logText().count("resend packet"), 3) << every;
        EXPECT_EQ(readFile(out), expected) << every;
    }
}

// Over UDP a lost header piece is not resent: the header is asked for again, a bounded number of
// times. Every second datagram lost takes the second piece each time: the task ends, it does
// not wait for ever.
TEST_F(Faults, UdpHeaderThatNeverComesWholeEndsTheTask)
{
    ServerProcess server;
    ASSERT_TRUE(server.start({"--root", dir.path(), "--udp-drop-every", "2"}));
    EXPECT_EQ(run({"get", server.url("sample.asf"), "-o", out, "--udp", "--udp-port", "0"}), 1)
        << output.toStdString();
    EXPECT_TRUE(output.contains("- 文件头信息不完整, 重新请求 (第 4 次)")) << output.toStdString();
    EXPECT_TRUE(output.contains("服务器发送的文件头信息不完整, 任务终止"));
    ASSERT_TRUE(server.waitForLog("closed"));
    EXPECT_EQ(server.logText().count("cancel read block"), 4);
}

// Datagrams that never come, even when asked for again, end the task as interrupted: nothing
// claims to be complete, and the resume record points at the first missing packet.
TEST_F(Faults, UdpPacketsThatNeverComeEndAsInterrupted)
{
    ServerProcess server;
    ASSERT_TRUE(
        server.start({"--root", dir.path(), "--udp-drop-every", "9", "--no-resend", "--rate", "2000000"}));
    EXPECT_EQ(run({"get", server.url("sample.asf"), "-o", out, "--udp", "--udp-port", "0"}), 3)
        << output.toStdString();
    EXPECT_FALSE(output.contains("- ** 下载已经完成 **"));
    EXPECT_TRUE(output.contains("个数据包没有收到")) << output.toStdString();
    EXPECT_TRUE(output.contains("--resume"));
    // Datagram 9 is at most the 9th data packet: the first gap, where a resume starts.
    const quint32 restart = dataPacketsCount(readFile(out));
    EXPECT_LE(restart, 8u);

    ServerProcess whole;
    ASSERT_TRUE(whole.start({"--root", dir.path()}));
    ASSERT_EQ(run({"get", whole.url("sample.asf"), "-o", out, "--resume"}), 0) << output.toStdString();
    EXPECT_EQ(readFile(out), expected);
}
