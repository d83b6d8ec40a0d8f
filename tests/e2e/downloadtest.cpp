// End to end: the download core against lumo-mms-server over loopback sockets.

#include "control/statustext.h"
#include "shell/bytereader.h"
#include "support/downloadfixture.h"
#include "support/testmedia.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTcpServer>

using namespace lumo;
using namespace lumo::test;

class Download : public DownloadFixture
{};

TEST_F(Download, StoredSampleIsByteIdenticalAndLogged)
{
    REQUIRE_SERVER({});
    ASSERT_TRUE(download(m_server.url("sample.asf")));
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
    // The header of an audio+video sample comes in several pieces.
    EXPECT_FALSE(m_server.logText().contains("header sent in 1 piece"));

    EXPECT_TRUE(logHasInOrder({"------- 记录开始 -------",
                               "打开 :\t",
                               "保存 :\t" + outPath(),
                               "地址 :\t",
                               "解析 DNS 服务器...",
                               "正在连接流媒体服务器... 请等待",
                               "连接时间: \t",
                               "服务器地址 \t127.0.0.1",
                               "服务器端口 \t",
                               "本地地址 \t127.0.0.1",
                               "本地 TCP 端口 \t",
                               "正在初始化 MMS 协议, 等待响应...",
                               "TCP 网络计时信息包已收到",
                               "正请求 ASF 文件头信息... 请稍等",
                               "接收文件头信息...",
                               "- 文件头信息已经收到并保存",
                               "- 正在展开文件头信息...",
                               "- 数据展开已完成, 等待接收流媒体信息...",
                               "- 正在接收流信息 - TCP 信息 -",
                               "- ASF 写入结束",
                               "- ** 下载已经完成 **",
                               "------- 记录关闭 -------"}));
    EXPECT_EQ(m_log->lines().last(), "------- 记录关闭 -------");
    EXPECT_EQ(m_person.messages.last(), "下载已完成, 媒体文件已经写入本地磁盘");
    EXPECT_EQ(m_person.statuses.last().title, "Lumo 已完成");
    EXPECT_EQ(m_person.statuses.last().progress, 100);
    EXPECT_EQ(m_person.statuses.last().label, TaskLabel::Standby);
    EXPECT_TRUE(m_person.statuses.last().connectEnabled);

    const auto &task = m_controller->task();
    EXPECT_EQ(task.StreamType.load(), StreamType::Stored);
    EXPECT_EQ(task.StreamCount.load(), 2u);
    EXPECT_TRUE(m_controller->analysis().ok);
    // Started from an address, nothing was opened: the location shown is the file written.
    EXPECT_EQ(m_controller->analysis().properties.Location, outPath());

    QByteArray probe;
    EXPECT_EQ(runProgram("ffprobe",
                         {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", outPath()},
                         &probe),
              0);
    EXPECT_GT(probe.trimmed().toDouble(), 2.5);
}

TEST_F(Download, SyntheticStreamOfSomeMebibytes)
{
    REQUIRE_SERVER({"--synthetic", "synth.asf:4000000:8000"});
    ASSERT_TRUE(download(m_server.url("synth.asf")));
    const QByteArray file = readFile(outPath());
    EXPECT_GT(file.size(), 3900000);
    EXPECT_EQ(dataPacketsCount(file), m_controller->task().PacketCount.load());
    EXPECT_EQ(file.size(), qint64(m_controller->task().HeaderSize) +
                               qint64(m_controller->task().PacketCount) * m_controller->task().PacketSize);
}

TEST_F(Download, DroppedDownloadResumesToTheSameBytes)
{
    REQUIRE_SERVER({"--drop-after", "20"});
    EXPECT_FALSE(download(m_server.url("sample.asf")));
    EXPECT_TRUE(logHasInOrder({"- 正在接收流信息 - TCP 信息 -", "连接关闭: ", "- ASF 续传/结束数据已写入"}));
    // The record names the last packet received, where the next task starts again.
    EXPECT_EQ(dataPacketsCount(readFile(outPath())), 19u);
    m_server.stop();

    ServerProcess full;
    ASSERT_TRUE(full.start({"--root", sampleDir()}));
    m_person.resumeAnswers.push_back(ResumeChoice::Resume);
    ASSERT_TRUE(download(full.url("sample.asf")));
    EXPECT_TRUE(full.logText().contains("start packet 19"));
    EXPECT_TRUE(logHasInOrder({"- 文件头信息已经收到但尚未保存, 正在继续操作", "- ASF 写入结束"}));
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
}

// Names in any script, with blanks, or percent-encoded as browsers hand them over, reach the
// server as the names they are; the save dialog proposes the name itself.
TEST_F(Download, NonLatinAndEncodedNamesAreFound)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is needed to make the test media";
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    for (const QString &name : {QStringLiteral("节目.asf"), QStringLiteral("a b.asf")})
        ASSERT_TRUE(QFile::copy(samplePath(), root.filePath(name)));
    ASSERT_TRUE(m_server.start({"--root", root.path()}));
    const QByteArray expected = asfStreamedPart(samplePath());
    const struct
    {
        QString path;
        QString proposed;
    } cases[] = {
        {QStringLiteral("节目.asf"), QStringLiteral("节目.asf")},
        {QStringLiteral("%E8%8A%82%E7%9B%AE.asf"), QStringLiteral("节目.asf")},
        {QStringLiteral("a%20b.asf"), QStringLiteral("a b.asf")},
        {QStringLiteral("a b.asf"), QStringLiteral("a b.asf")},
    };
    for (const auto &c : cases) {
        QFile::remove(outPath());
        m_person.fileRequests.clear();
        ASSERT_TRUE(download(m_server.url(c.path))) << c.path.toStdString() << "\n"
                                                    << m_log->lines().join('\n').toStdString();
        EXPECT_EQ(readFile(outPath()), expected) << c.path.toStdString();
        ASSERT_FALSE(m_person.fileRequests.isEmpty());
        EXPECT_EQ(m_person.fileRequests.first().proposedName, c.proposed);
    }
}

// A resumed task that ends before any data packet arrives leaves the restart point the file has,
// instead of writing the index it never reached.
TEST_F(Download, ResumeThatReceivesNothingKeepsTheRecord)
{
    REQUIRE_SERVER({"--drop-after", "20"});
    EXPECT_FALSE(download(m_server.url("sample.asf")));
    ASSERT_EQ(dataPacketsCount(readFile(outPath())), 19u);
    m_server.stop();

    ServerProcess silent;
    ASSERT_TRUE(silent.start({"--root", sampleDir(), "--drop-after", "0"}));
    m_person.resumeAnswers.push_back(ResumeChoice::Resume);
    EXPECT_FALSE(download(silent.url("sample.asf")));
    EXPECT_FALSE(m_controller->task().DataPacketSeen);
    EXPECT_EQ(dataPacketsCount(readFile(outPath())), 19u);
}

TEST_F(Download, UdpDataGivesTheSameBytes)
{
    REQUIRE_SERVER({"--rate", "2000000"});
    ASSERT_TRUE(m_udp->bind(0));
    m_settings->setUseUdp(true);
    ASSERT_TRUE(download(m_server.url("sample.asf")));
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
    EXPECT_TRUE(logHasInOrder(
        {"本地 UDP 端口 \t" + QString::number(m_udp->localPort()), "- 正在接收流信息 - UDP 信息 -"}));
    EXPECT_TRUE(m_server.logText().contains("UDP"));
}

// Servers leave out a packet's padding; the client pads it back, over TCP (whole runs of
// packets written straight from the receive buffer) and over UDP (one packet at a time).
TEST_F(Download, PacketsSentWithoutPaddingArePaddedBack)
{
    REQUIRE_SERVER({"--strip-padding"});
    ASSERT_TRUE(download(m_server.url("sample.asf")));
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
    m_server.stop();

    // The made-up stream ends every packet in padding; the same stream sent whole is the reference.
    const QString synthetic = QStringLiteral("synth.asf:3000000:4000");
    ServerProcess whole, stripped;
    ASSERT_TRUE(whole.start({"--synthetic", synthetic}));
    ASSERT_TRUE(stripped.start({"--synthetic", synthetic, "--strip-padding"}));
    m_person.saveFileAnswers.push_back(outPath("whole.asf"));
    ASSERT_TRUE(download(whole.url("synth.asf")));
    m_person.saveFileAnswers.push_back(outPath("stripped.asf"));
    ASSERT_TRUE(download(stripped.url("synth.asf")));
    const QByteArray reference = readFile(outPath("whole.asf"));
    EXPECT_GT(reference.size(), 2900000);
    EXPECT_EQ(readFile(outPath("stripped.asf")), reference);
}

TEST_F(Download, PacketsSentWithoutPaddingArePaddedBackOverUdp)
{
    REQUIRE_SERVER({"--strip-padding", "--rate", "2000000"});
    ASSERT_TRUE(m_udp->bind(0));
    m_settings->setUseUdp(true);
    ASSERT_TRUE(download(m_server.url("sample.asf")));
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
}

TEST_F(Download, PingsAreAnswered)
{
    REQUIRE_SERVER({"--pace", "realtime", "--ping-every", "1"});
    ASSERT_TRUE(download(m_server.url("sample.asf")));
    EXPECT_GT(m_controller->task().PingCount.load(), 0u);
    EXPECT_TRUE(m_server.logText().contains("pong"));
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
}

TEST_F(Download, LoginChallengeIsAnsweredWithTheGivenCredentials)
{
    REQUIRE_SERVER({"--auth", "anna:se:cret", "--realm", "Studio"});
    m_person.loginAnswers.push_back(LoginAnswer{"anna", "se:cret", true});
    ASSERT_TRUE(download(m_server.url("sample.asf")));
    ASSERT_EQ(m_person.loginRequests.size(), 1);
    EXPECT_EQ(m_person.loginRequests[0].host, QStringLiteral("127.0.0.1:%1").arg(m_server.port()));
    EXPECT_EQ(m_person.loginRequests[0].realm.left(8), "\"Studio\"");
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
    // The login was saved for next time.
    EXPECT_EQ(QByteArray::fromBase64(m_settings->serverLogin().toLatin1()), "anna:se:cret");
}

TEST_F(Download, WrongPasswordEndsWithTheServersError)
{
    REQUIRE_SERVER({"--auth", "anna:secret"});
    m_person.loginAnswers.push_back(LoginAnswer{"anna", "wrong", false});
    EXPECT_FALSE(download(m_server.url("sample.asf")));
    EXPECT_TRUE(logHasInOrder({"服务器错误信息读取:", "你无法访问地址或文件"}));
    EXPECT_EQ(m_settings->serverLogin(), ""); // not saved: the box was unticked
}

TEST_F(Download, CancelledLoginEndsTheTaskWithoutTouchingTheFile)
{
    REQUIRE_SERVER({"--auth", "anna:secret"});
    EXPECT_FALSE(download(m_server.url("sample.asf")));
    ASSERT_FALSE(m_person.messages.isEmpty());
    EXPECT_EQ(m_person.messages.last(), "任务终止, 连接已关闭");
    EXPECT_TRUE(m_controller->task().LiveRepairDone.load());
    EXPECT_EQ(readFile(outPath()).size(), 0);
}

struct ErrorCase
{
    const char *hresult;
    QStringList logLines;
    QString message;
};

class ServerError : public DownloadFixture, public ::testing::WithParamInterface<ErrorCase>
{};

TEST_P(ServerError, EndsTheTaskWithItsText)
{
    REQUIRE_SERVER({"--error-on", QStringLiteral("0x05:") + GetParam().hresult});
    EXPECT_FALSE(download(m_server.url("sample.asf")));
    EXPECT_TRUE(logHasInOrder(GetParam().logLines));
    ASSERT_FALSE(m_person.messages.isEmpty());
    EXPECT_EQ(m_person.messages.last(), GetParam().message);
    EXPECT_TRUE(m_person.statuses.last().connectEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ServerError,
    ::testing::Values(
        ErrorCase{"0x8007274D",
                  {"服务器错误信息读取:", "在 WinSock 中遇到错误, 代码 = 10061"},
                  "服务器错误信息读取:\n\n在 WinSock 中遇到错误, 代码 = 10061"},
        ErrorCase{"0xC00D001A", {"服务器错误信息读取:", "文件未找到"}, "服务器错误信息读取:\n\n文件未找到"},
        ErrorCase{"0xC00D0011",
                  {"服务器错误信息读取:", "0xC00D0011"},
                  "服务器错误信息读取:\n\n## 未知的服务器错误码 ##\n请向 Lumo 报告这个号码\n0xC00D0011"}));

TEST_F(Download, MissingFileIsReportedByTheServer)
{
    REQUIRE_SERVER({});
    EXPECT_FALSE(download(m_server.url("nothing-here.asf")));
    EXPECT_TRUE(logHasInOrder({"服务器错误信息读取:", "文件未找到"}));
}

TEST_F(Download, OneByteAtATimeGivesTheSameFile)
{
    REQUIRE_SERVER({"--drip"});
    ASSERT_TRUE(download(m_server.url("sample.asf"), 120000));
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
}

TEST_F(Download, CorruptPacketKindEndsTheTaskCleanly)
{
    REQUIRE_SERVER({"--corrupt-after", "10"});
    EXPECT_FALSE(download(m_server.url("sample.asf")));
    EXPECT_TRUE(
        logHasInOrder({"当前的 MMS 信息包出错 - 现在关闭", " 数据转储: ", "- ASF 续传/结束数据已写入"}));
    EXPECT_EQ(m_person.messages.last(), "一个错误的 MMS 信息包已被删除    \n你可以尝试继续执行任务");
    EXPECT_EQ(dataPacketsCount(readFile(outPath())), 9u);
}

TEST_F(Download, ServerClosingRightAfterTheEndStillCompletes)
{
    REQUIRE_SERVER({"--close-after-end"});
    ASSERT_TRUE(download(m_server.url("sample.asf"))) << m_log->lines().join('\n').toStdString();
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
    EXPECT_EQ(m_log->lines().last(), "------- 记录关闭 -------");
}

TEST_F(Download, StopWritesTheResumeRecordAndEndsTheWorker)
{
    REQUIRE_SERVER({"--pace", "realtime"});
    ASSERT_TRUE(start(m_server.url("sample.asf")));
    ASSERT_TRUE(waitUntil([this] { return m_controller->task().PacketIndex >= 5; }, 20000));
    m_person.yesNoAnswers.push_back(true);
    m_controller->confirmStop();
    ASSERT_TRUE(waitFinished(10000));
    EXPECT_FALSE(m_completed);
    EXPECT_EQ(m_person.messages.last(), "连接已经关闭, 你所下载的媒体文件已经被保存");
    EXPECT_EQ(m_person.statuses.last().title, "Lumo");
    const quint32 index = m_controller->task().PacketIndex;
    EXPECT_EQ(dataPacketsCount(readFile(outPath())), index);
    EXPECT_FALSE(m_controller->task().SaveFile.isOpen());
    // Our own close ends the connection too, and the log says so once.
    EXPECT_TRUE(logHasInOrder({"- ASF 续传/结束数据已写入", "连接关闭: "}));
    EXPECT_EQ(m_log->lines().filter(QRegularExpression("^连接关闭: ")).size(), 1);

    // A second end repeats nothing.
    const qsizetype lines = m_log->lines().size();
    m_controller->CloseTask();
    EXPECT_EQ(m_log->lines().size(), lines);
}

TEST_F(Download, StopAnsweredNoLeavesTheTaskRunning)
{
    REQUIRE_SERVER({"--pace", "realtime"});
    ASSERT_TRUE(start(m_server.url("sample.asf")));
    ASSERT_TRUE(waitUntil([this] { return m_controller->task().PacketIndex >= 2; }, 20000));
    m_person.yesNoAnswers.push_back(false);
    m_controller->confirmStop();
    EXPECT_FALSE(m_finished);
    EXPECT_TRUE(waitFinished(30000));
    EXPECT_TRUE(m_completed);
}

TEST_F(Download, StartRefusesBadAddressesAndPorts)
{
    EXPECT_FALSE(start(""));
    EXPECT_EQ(m_person.messages.last(), "没有给出 URL\n使用 文件 -> 打开 命令来输入一个媒体文件地址");
    EXPECT_FALSE(start("http://server/list.asx"));
    EXPECT_TRUE(m_person.messages.last().startsWith("你只能够直接在 URL 窗口中输入 MMS:// 开头的地址"));
    m_log->append("kept");
    EXPECT_FALSE(start("mms://server"));
    EXPECT_EQ(m_person.messages.last(), "请检查你输入的 URL 地址, 非法的 IP/主机");
    EXPECT_TRUE(m_log->lines().isEmpty()); // the reset came before this rule
    EXPECT_FALSE(start("mms://server/a"));
    EXPECT_EQ(m_person.messages.last(), "请检查你输入的 URL 地址, 非法的文件名或路径");
    EXPECT_FALSE(start("mms://server/list.asx"));
    EXPECT_EQ(m_person.messages.last(), "文件的类型是非法的, 请检查你的地址输入");
    m_settings->setTcpPort("");
    EXPECT_FALSE(start("mms://server/clip.asf"));
    EXPECT_EQ(m_person.messages.last(), "没有 TCP 端口号   \n使用设置 -> TCP (默认 = 1755)");
}

TEST_F(Download, SaveFileProposalAndCancel)
{
    m_person.saveFileAnswers.push_back(std::nullopt);
    EXPECT_FALSE(start("mms://127.0.0.1:9/dir/clip.asf?id=7"));
    ASSERT_EQ(m_person.fileRequests.size(), 1);
    EXPECT_EQ(m_person.fileRequests[0].proposedName, "clip.asf");
    EXPECT_EQ(m_person.fileRequests[0].title, "创建 / 续传 保存文件");
    m_person.saveFileAnswers.push_back(std::nullopt);
    EXPECT_FALSE(start("mms://127.0.0.1:9/live"));
    EXPECT_EQ(m_person.fileRequests[1].proposedName, "live_live.asf");
}

TEST_F(Download, ExistingFileCancelledIsLeftAlone)
{
    QFile existing(outPath());
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep me");
    existing.close();
    m_person.resumeAnswers.push_back(ResumeChoice::Cancel);
    EXPECT_FALSE(start("mms://127.0.0.1:9/clip.asf"));
    EXPECT_EQ(readFile(outPath()), "keep me");
    EXPECT_EQ(m_settings->saveFolder(), m_dir.path() + "/");
}

// The person chose a file, but the task cannot use it: the choice stays on show.
TEST_F(Download, ChosenSaveFileStaysWhenTheTaskCannotStart)
{
    struct Case
    {
        const char *name;
        QString chosen;
        std::optional<ResumeChoice> resume; // the question is expected
        QString message;                    // empty: none expected
    };
    const QString existing = outPath();
    const QString folder = outPath("folder.asf");
    const QString missing = outPath("no-such-folder/clip.asf");
    const Case cases[] = {
        {"resume cancelled", existing, ResumeChoice::Cancel, {}},
        {"resume dialog closed", existing, ResumeChoice::NoChoice, {}},
        {"resume of a folder", folder, ResumeChoice::Resume, "创建保存文件时发生问题"},
        {"new file in a missing folder", missing, std::nullopt, "创建保存文件时发生问题"},
    };
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.asf"));

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_person.messages.clear();
        m_person.calls.clear();
        m_person.saveFileAnswers.push_back(c.chosen);
        if (c.resume)
            m_person.resumeAnswers.push_back(*c.resume);
        EXPECT_FALSE(start("mms://127.0.0.1:9/clip.asf"));
        EXPECT_EQ(m_controller->saveWindowText(), c.chosen);
        EXPECT_EQ(m_person.calls.filter(QRegularExpression("^resume: ")).size(), c.resume ? 1 : 0);
        EXPECT_EQ(m_person.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_TRUE(m_controller->idle());
    }
    EXPECT_EQ(readFile(existing), "keep me");

    // A save dialog closed without a choice shows no file.
    m_person.saveFileAnswers.push_back(std::nullopt);
    EXPECT_FALSE(start("mms://127.0.0.1:9/clip.asf"));
    EXPECT_EQ(m_controller->saveWindowText(), QString());
}

// An empty file of that name holds nothing to resume: no question, a new download.
TEST_F(Download, EmptyExistingFileIsNotOfferedForResume)
{
    REQUIRE_SERVER({});
    QFile empty(outPath());
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    ASSERT_TRUE(download(m_server.url("sample.asf")));
    EXPECT_TRUE(m_person.calls.filter(QRegularExpression("^resume: ")).isEmpty());
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
}

namespace {

struct LiveHeader
{
    quint64 fileSizeField = 0, packets = 0, playDuration = 0, sendDuration = 0, preroll = 0;
    quint8 flags = 0;
    quint64 dataObjectSize = 0, dataPackets = 0;
    qint64 fileSize = 0, dataOffset = 0, packetSize = 0;
};

LiveHeader readLiveHeader(const QByteArray &b)
{
    LiveHeader h;
    h.fileSize = b.size();
    const qsizetype fp = b.indexOf(QByteArray::fromHex("A1DCAB8C47"));
    const qsizetype data = b.indexOf(QByteArray::fromHex("3626B2758E"));
    if (fp < 0 || data < 0 || fp + 100 > b.size() || data + 48 > b.size())
        return h;
    h.fileSizeField = test::littleEndianAt<quint64>(b, fp + 40);
    h.packets = test::littleEndianAt<quint64>(b, fp + 56);
    h.playDuration = test::littleEndianAt<quint64>(b, fp + 64);
    h.sendDuration = test::littleEndianAt<quint64>(b, fp + 72);
    h.preroll = test::littleEndianAt<quint64>(b, fp + 80);
    h.flags = quint8(b[fp + 88]);
    h.packetSize = test::littleEndianAt<quint32>(b, fp + 96);
    h.dataOffset = data;
    h.dataObjectSize = test::littleEndianAt<quint64>(b, data + 16);
    h.dataPackets = test::littleEndianAt<quint64>(b, data + 40);
    return h;
}

} // namespace

TEST_F(Download, LiveRecordingIsRepairedAndStartsAtZero)
{
    REQUIRE_SERVER({"--live", "--live-seconds", "3"});
    ASSERT_TRUE(download(m_server.url("sample.asf")));
    EXPECT_TRUE(
        logHasInOrder({"- 正在接收流信息 - TCP 信息 -", "- ASF 写入结束", "- 为实况节目修复 ASF 文件头",
                       "- ** 下载已经完成 **", "------- 记录关闭 -------"}));
    const auto &task = m_controller->task();
    EXPECT_EQ(task.StreamType.load(), StreamType::Live);
    const bool sawLive =
        std::any_of(m_person.statuses.begin(), m_person.statuses.end(), [](const TaskStatus &s) {
            return s.label == TaskLabel::Live && s.title == "Lumo - 实况 -" && timeLeftText(s) == "实况" &&
                   !s.showPercentText;
        });
    EXPECT_TRUE(sawLive);

    const LiveHeader h = readLiveHeader(readFile(outPath()));
    const quint64 packets = quint64(h.fileSize - h.dataOffset - 50) / quint64(h.packetSize);
    EXPECT_EQ(h.packets, packets);
    EXPECT_EQ(h.packets, quint64(task.PacketIndex) + 1);
    EXPECT_EQ(h.dataPackets, packets);
    EXPECT_EQ(h.fileSizeField, quint64(h.fileSize));
    EXPECT_EQ(h.dataObjectSize, quint64(h.fileSize - h.dataOffset));
    EXPECT_EQ(h.sendDuration, quint64(task.PacketTime) * 10000);
    EXPECT_EQ(h.playDuration, (quint64(task.PacketTime) + h.preroll) * 10000);
    EXPECT_EQ(h.flags & 0x03, 0x02);

    QByteArray probe;
    ASSERT_EQ(runProgram("ffprobe",
                         {"-v", "error", "-show_entries", "format=start_time,duration", "-of",
                          "default=noprint_wrappers=1", outPath()},
                         &probe),
              0);
    EXPECT_TRUE(probe.contains("start_time=0.000000")) << probe.constData();
    const double duration = probe.mid(probe.indexOf("duration=") + 9).trimmed().toDouble();
    EXPECT_GT(duration, 2.5);
    EXPECT_LT(duration, 4.5);
}

TEST_F(Download, LiveRecordingStoppedByThePersonIsRepaired)
{
    REQUIRE_SERVER({"--live"});
    ASSERT_TRUE(start(m_server.url("sample.asf")));
    ASSERT_TRUE(waitUntil([this] { return m_controller->task().PacketIndex >= 10; }, 20000));
    m_controller->stop();
    ASSERT_TRUE(waitFinished(10000));
    EXPECT_FALSE(m_completed);
    EXPECT_TRUE(logHasInOrder({"- 为实况节目修复 ASF 文件头"}));
    const LiveHeader h = readLiveHeader(readFile(outPath()));
    EXPECT_EQ(h.packets, quint64(h.fileSize - h.dataOffset - 50) / quint64(h.packetSize));
    EXPECT_EQ(h.packets, quint64(m_controller->task().PacketIndex) + 1);
}

// Stopped while a packet is half here, a live recording states only the packets wholly on disk.
TEST_F(Download, LiveRecordingStoppedMidPacketCountsOnlyWholePackets)
{
    REQUIRE_SERVER({"--live", "--drip"});
    ASSERT_TRUE(start(m_server.url("sample.asf")));
    // Bytes trickle in one at a time: the stop almost always finds a packet half here.
    ASSERT_TRUE(waitUntil([this] { return m_controller->task().PacketIndex >= 2; }, 30000));
    m_controller->stop();
    ASSERT_TRUE(waitFinished(10000));
    const LiveHeader h = readLiveHeader(readFile(outPath()));
    ASSERT_GT(h.packetSize, 0);
    EXPECT_EQ(quint64(h.fileSize - h.dataOffset - 50) % quint64(h.packetSize), 0u);
    EXPECT_EQ(h.packets, quint64(h.fileSize - h.dataOffset - 50) / quint64(h.packetSize));
    EXPECT_EQ(h.dataPackets, h.packets);
}

TEST_F(Download, LiveStreamIsNotResumed)
{
    REQUIRE_SERVER({"--live"});
    QFile existing(outPath());
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("partial recording");
    existing.close();
    m_person.resumeAnswers.push_back(ResumeChoice::Resume);
    EXPECT_FALSE(download(m_server.url("sample.asf")));
    EXPECT_EQ(m_person.messages.last(),
              "错误 - 实况流信息已被删除!   \n实况流的下载不能够使用续传命令 \n请再试一次");
    EXPECT_EQ(readFile(outPath()), "partial recording");
    EXPECT_FALSE(m_log->lines().join('\n').contains("修复"));
}

TEST_F(Download, ExceptionDuringALiveRecordingLeavesTheFileAlone)
{
    REQUIRE_SERVER({"--live"});
    ASSERT_TRUE(start(m_server.url("sample.asf")));
    ASSERT_TRUE(waitUntil([this] { return m_controller->task().PacketIndex >= 5; }, 20000));
    m_controller->OnException("Windows Socket 错误 10054");
    ASSERT_TRUE(waitFinished(10000));
    EXPECT_EQ(m_person.messages.last(), "Lumo 网络连接失败");
    const LiveHeader h = readLiveHeader(readFile(outPath()));
    EXPECT_EQ(h.packets, 0u); // as the server sent it: not repaired
    EXPECT_FALSE(m_log->lines().join('\n').contains("修复"));

    m_controller->OnException("disk on fire");
    EXPECT_EQ(m_person.messages.last(), "发生了一个异常错误\ndisk on fire");
}
