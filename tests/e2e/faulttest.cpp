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
TEST_F(Faults, UdpWithDroppedDatagramsCompletesWithWhatCame)
{
    ServerProcess server;
    ASSERT_TRUE(server.start({"--root", dir.path(), "--udp-drop-every", "5", "--rate", "2000000"}));
    ASSERT_EQ(run({"get", server.url("sample.asf"), "-o", out, "--udp", "--udp-port", "0"}), 0)
        << output.toStdString();
    EXPECT_TRUE(output.contains("- 正在接收流信息 - UDP 信息 -"));
    EXPECT_TRUE(output.contains("- ** 下载已经完成 **"));
    ASSERT_TRUE(server.waitForLog("end of stream after"));
    const int dropped = int(server.logText().count("dropped datagram"));
    ASSERT_GE(dropped, 5);

    const QByteArray got = readFile(out);
    const qsizetype packets = expected.size() / PacketSize;
    const qsizetype header = expected.size() - packets * PacketSize;
    EXPECT_EQ(got.left(header), expected.left(header));
    int same = 0, blank = 0;
    for (qsizetype i = 0; i < packets; ++i) {
        const QByteArray mine = got.mid(header + i * PacketSize, PacketSize);
        if (mine == expected.mid(header + i * PacketSize, PacketSize))
            ++same;
        else if (mine.count('\0') == PacketSize || mine.isEmpty())
            ++blank;
    }
    EXPECT_EQ(same + blank, packets) << "a packet landed in the wrong place";
    EXPECT_EQ(blank, dropped);
}
