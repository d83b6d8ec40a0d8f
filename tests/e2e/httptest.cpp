// End to end over HTTP: the download core against lumo-mms-server's MMS-over-HTTP answers, over
// loopback sockets.

#include "support/downloadfixture.h"
#include "support/testmedia.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

using namespace lumo;
using namespace lumo::test;

namespace {

QString httpUrl(const ServerProcess &server, const QString &path,
                const QString &scheme = QStringLiteral("mmsh"))
{
    return QStringLiteral("%1://127.0.0.1:%2/%3").arg(scheme).arg(server.port()).arg(path);
}

// The probe of a recording: where it starts and how long it is.
struct Probe
{
    double start = -1;
    double duration = 0;
};
Probe probe(const QString &path)
{
    QByteArray out;
    if (runProgram("ffprobe",
                   {"-v", "error", "-show_entries", "format=start_time,duration", "-of",
                    "default=noprint_wrappers=1", path},
                   &out) != 0)
        return {};
    const auto value = [&](const QByteArray &key) {
        const qsizetype at = out.indexOf(key + '=');
        return at < 0 ? -1.0 : out.mid(at + key.size() + 1).split('\n').first().toDouble();
    };
    return {value("start_time"), value("duration")};
}

} // namespace

class OverHttp : public DownloadFixture
{};

TEST_F(OverHttp, StoredProgrammeIsByteIdenticalAndLogged)
{
    REQUIRE_SERVER({});
    ASSERT_TRUE(download(httpUrl(m_server, "sample.asf")));
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
    EXPECT_TRUE(logHasInOrder({"地址 :\t" + httpUrl(m_server, "sample.asf"),
                               QStringLiteral("使用 HTTP 协议 (端口 %1)").arg(m_server.port()),
                               "HTTP: 请求文件头信息 (Describe)...", "HTTP: 200 OK", "HTTP: 点播节目",
                               "- 文件头信息已经收到并保存", "- 数据展开已完成, 等待接收流媒体信息...",
                               "HTTP: 请求媒体流 (Play)...", "- 正在接收流信息 - HTTP 信息 -",
                               "- ASF 写入结束", "- ** 下载已经完成 **"}));
    EXPECT_EQ(m_person.messages.last(), "下载已完成, 媒体文件已经写入本地磁盘");
    const auto &task = m_controller->task();
    EXPECT_EQ(task.Transport.load(), Transport::Http);
    EXPECT_EQ(task.StreamType.load(), StreamType::Stored);
    EXPECT_EQ(task.StreamCount.load(), 2u);
    EXPECT_GT(task.PacketCount.load(), 0u);
    EXPECT_EQ(task.PacketIndex.load() + 1, task.PacketCount.load());
    // Every stream of the header is asked for, by its number in hexadecimal.
    EXPECT_TRUE(m_server.logText().contains("stream selection (count 2)"));
}

// What servers do that a recorder must survive, each against the plain download: a header in
// many small $H chunks, metadata chunks between the packets, padding left out, one byte at a time.
TEST_F(OverHttp, ServerQuirksGiveTheSameBytes)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is needed to make the test media";
    const QByteArray expected = asfStreamedPart(samplePath());
    const QList<QStringList> quirks = {{"--header-chunk", "100"},
                                       {"--metadata-every", "3"},
                                       {"--strip-padding"},
                                       {"--drip", "--rate", "400000"}};
    for (const QStringList &args : quirks) {
        SCOPED_TRACE(args.join(' ').toStdString());
        ServerProcess server;
        ASSERT_TRUE(server.start(QStringList{"--root", sampleDir()} + args));
        const QString name = args.first().mid(2) + ".asf";
        m_person.saveFileAnswers.push_back(outPath(name));
        ASSERT_TRUE(download(httpUrl(server, "sample.asf")));
        EXPECT_EQ(readFile(outPath(name)), expected);
    }
}

// An mms:// address rolls over to HTTP when the server refuses MMS over TCP; mmst:// does not.
TEST_F(OverHttp, MmsAddressRollsOverWhenTheServerSpeaksOnlyHttp)
{
    REQUIRE_SERVER({"--no-mmst"});
    ASSERT_TRUE(download(httpUrl(m_server, "sample.asf", "mms")));
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
    EXPECT_TRUE(logHasInOrder({"正在初始化 MMS 协议, 等待响应...", "- 服务器关闭了 MMS 连接, 改用 HTTP 协议",
                               QStringLiteral("使用 HTTP 协议 (端口 %1)").arg(m_server.port()),
                               "- ** 下载已经完成 **"}));

    // With UDP ticked the roll-over still records over HTTP, and UDP is not set up for it.
    ASSERT_TRUE(m_udp->bind(0));
    m_settings->setUseUdp(true);
    m_person.saveFileAnswers.push_back(outPath("udp.asf"));
    ASSERT_TRUE(download(httpUrl(m_server, "sample.asf", "mms")));
    EXPECT_EQ(readFile(outPath("udp.asf")), asfStreamedPart(samplePath()));
    EXPECT_EQ(m_log->lines().filter("本地 UDP 端口").size(), 1); // the MMS attempt's only
    m_settings->setUseUdp(false);

    m_person.saveFileAnswers.push_back(outPath("mmst.asf"));
    EXPECT_FALSE(download(httpUrl(m_server, "sample.asf", "mmst")));
    EXPECT_FALSE(m_log->lines().join('\n').contains("HTTP"));
    EXPECT_FALSE(QFile::exists(outPath("mmst.asf")));
}

// A web server on the port answers the MMS connect in HTTP: the task rolls over and gets the
// web server's answer to its Describe.
TEST_F(OverHttp, HttpAnswerToTheMmsConnectRollsOver)
{
    QTcpServer web;
    ASSERT_TRUE(web.listen(QHostAddress::LocalHost));
    QStringList requests;
    QObject::connect(&web, &QTcpServer::newConnection, &web, [&] {
        QTcpSocket *client = web.nextPendingConnection();
        QObject::connect(client, &QTcpSocket::readyRead, client, [&requests, client] {
            requests.append(QString::fromLatin1(client->readAll().left(4)));
            client->write("HTTP/1.0 400 Bad Request\r\nContent-Type: text/html\r\n\r\n<html></html>");
            client->disconnectFromHost();
        });
    });
    const QString url = QStringLiteral("mms://127.0.0.1:%1/sample.asf").arg(web.serverPort());
    EXPECT_FALSE(download(url));
    EXPECT_TRUE(logHasInOrder({"- 服务器的回答不是 MMS 协议, 改用 HTTP 协议", "HTTP: 400 Bad Request"}));
    EXPECT_EQ(m_person.messages.last(), "服务器回答 HTTP 400 Bad Request, 任务终止");
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[1], "GET ");
}

TEST_F(OverHttp, DroppedDownloadResumesToTheSameBytes)
{
    REQUIRE_SERVER({"--drop-after", "20"});
    EXPECT_FALSE(download(httpUrl(m_server, "sample.asf")));
    EXPECT_TRUE(m_controller->interrupted());
    EXPECT_EQ(dataPacketsCount(readFile(outPath())), 19u);
    m_server.stop();

    ServerProcess full;
    ASSERT_TRUE(full.start({"--root", sampleDir()}));
    m_person.resumeAnswers.push_back(ResumeChoice::Resume);
    ASSERT_TRUE(download(httpUrl(full, "sample.asf")));
    EXPECT_TRUE(full.logText().contains("is packet 19"));
    EXPECT_TRUE(logHasInOrder({"- 文件头信息已经收到但尚未保存, 正在继续操作", "- ASF 写入结束"}));
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
}

TEST_F(OverHttp, LiveRecordingStartsAtZeroAndIsRepaired)
{
    REQUIRE_SERVER({"--live", "--live-seconds", "3", "--pace", "full"});
    ASSERT_TRUE(download(httpUrl(m_server, "sample.asf")));
    EXPECT_TRUE(logHasInOrder({"HTTP: 实况广播", "- 正在接收流信息 - HTTP 信息 -",
                               "- 为实况节目修复 ASF 文件头", "- ** 下载已经完成 **"}));
    EXPECT_EQ(m_controller->task().StreamType.load(), StreamType::Live);
    const Probe p = probe(outPath());
    EXPECT_EQ(p.start, 0.0);
    EXPECT_GT(p.duration, 2.5);
    // A broadcast is not resumed.
    m_person.resumeAnswers.push_back(ResumeChoice::Resume);
    EXPECT_FALSE(download(httpUrl(m_server, "sample.asf")));
    EXPECT_TRUE(m_person.messages.last().startsWith("错误 - 实况流信息已被删除!"));
}

// The encoder restarts: the same streams go on into the same file, other streams end the
// recording with the file repaired.
TEST_F(OverHttp, StreamChangeGoesOnOrEndsCleanly)
{
    REQUIRE_SERVER({"--live", "--live-seconds", "3", "--pace", "full", "--stream-change-after", "10"});
    ASSERT_TRUE(download(httpUrl(m_server, "sample.asf")));
    EXPECT_TRUE(logHasInOrder({"- 服务器结束了当前的节目条目", "- 服务器通知流已改变, 等待新的文件头...",
                               "- 新的文件头与已保存的相同, 继续录制", "- ** 下载已经完成 **"}));
    EXPECT_GT(m_controller->task().PacketIndex.load(), 10u);
    EXPECT_EQ(probe(outPath()).start, 0.0);
    m_server.stop();

    // The next entry holds only sound, in packets of another size.
    const QString other = m_dir.filePath(QStringLiteral("other.asf"));
    ASSERT_EQ(
        runProgram("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=220:duration=2",
                              "-c:a", "wmav2", "-b:a", "32k", "-packet_size", "2000", "-f", "asf", other}),
        0);
    ServerProcess changing;
    ASSERT_TRUE(changing.start({"--root", sampleDir(), "--live", "--pace", "full", "--stream-change-after",
                                "10", "--stream-change-header", other}));
    m_person.saveFileAnswers.push_back(outPath("changed.asf"));
    EXPECT_FALSE(download(httpUrl(changing, "sample.asf")));
    EXPECT_TRUE(logHasInOrder({"- 服务器通知流已改变, 等待新的文件头...",
                               "- 新的文件头与已保存的不同 (流或数据包长度已改变), 录制结束",
                               "- 为实况节目修复 ASF 文件头"}));
    EXPECT_EQ(m_person.messages.last(), "节目的流已经改变, 无法继续写入同一个文件\n已经收到的内容已被保存");
    EXPECT_EQ(probe(outPath("changed.asf")).start, 0.0);
}

TEST_F(OverHttp, LoginIsAskedAndRedirectsFollowed)
{
    REQUIRE_SERVER(
        {"--auth", "anna:se:cret", "--realm", "Studio", "--http-redirect", "/old.asf=/sample.asf"});
    m_person.loginAnswers.push_back(LoginAnswer{"anna", "wrong", false});
    m_person.loginAnswers.push_back(LoginAnswer{"anna", "se:cret", true});
    ASSERT_TRUE(download(httpUrl(m_server, "old.asf")));
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
    EXPECT_TRUE(
        logHasInOrder({"HTTP: 302 Found",
                       "HTTP: 重定向到 http://127.0.0.1:" + QString::number(m_server.port()) + "/sample.asf",
                       "HTTP: 401 Unauthorized", "HTTP: 401 Unauthorized", "HTTP: 200 OK"}));
    ASSERT_EQ(m_person.loginRequests.size(), 2);
    EXPECT_EQ(m_person.loginRequests[0].realm, "Studio");
    EXPECT_EQ(QByteArray::fromBase64(m_settings->serverLogin().toLatin1()), "anna:se:cret");

    // No answer: the task ends and leaves no file.
    m_settings->setServerLogin(QString());
    m_person.saveFileAnswers.push_back(outPath("cancelled.asf"));
    EXPECT_FALSE(download(httpUrl(m_server, "sample.asf")));
    EXPECT_EQ(m_person.messages.last(), "任务终止, 连接已关闭");
    EXPECT_FALSE(QFile::exists(outPath("cancelled.asf")));
}

TEST_F(OverHttp, ErrorStatusesAndRedirectLoopsEndWithAMessage)
{
    REQUIRE_SERVER({"--http-redirect", "/a.asf=/b.asf", "--http-redirect", "/b.asf=/a.asf"});
    EXPECT_FALSE(download(httpUrl(m_server, "a.asf")));
    EXPECT_EQ(m_person.messages.last(), "服务器重定向的次数太多, 任务终止");
    EXPECT_EQ(m_log->lines().filter("HTTP: 302 Found").size(), 6);

    m_person.saveFileAnswers.push_back(outPath("missing.asf"));
    EXPECT_FALSE(download(httpUrl(m_server, "missing.asf")));
    EXPECT_EQ(m_person.messages.last(), "服务器回答 HTTP 404 Not Found, 任务终止");
    EXPECT_FALSE(QFile::exists(outPath("missing.asf")));
    m_server.stop();

    ServerProcess busy;
    ASSERT_TRUE(busy.start({"--root", sampleDir(), "--http-status", "503"}));
    m_person.saveFileAnswers.push_back(outPath("busy.asf"));
    EXPECT_FALSE(download(httpUrl(busy, "sample.asf")));
    EXPECT_EQ(m_person.messages.last(), "服务器回答 HTTP 503 Service Unavailable, 任务终止");
}

// An http:// address is asked with the player's agent: a stream is recorded.
TEST_F(OverHttp, HttpAddressThatIsAStreamIsRecorded)
{
    REQUIRE_SERVER({});
    ASSERT_TRUE(download(httpUrl(m_server, "sample.asf", "http")));
    EXPECT_EQ(readFile(outPath()), asfStreamedPart(samplePath()));
}

// Nothing listens: the refused MMS connection rolls over at once, and the refused HTTP one ends
// the task with the refusal.
TEST_F(OverHttp, RefusedConnectionRollsOverAtOnceAndThenEnds)
{
    const quint16 port = closedLoopbackPort();
    ASSERT_NE(port, 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(download(QStringLiteral("mms://127.0.0.1:%1/a.asf").arg(port)));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(logHasInOrder({"- MMS 连接被拒绝, 改用 HTTP 协议",
                               QStringLiteral("使用 HTTP 协议 (端口 %1)").arg(port),
                               QStringLiteral("-- 服务器 127.0.0.1:%1 拒绝连接, 任务终止 --").arg(port)}));
    EXPECT_EQ(m_log->lines().filter("改用 HTTP 协议").size(), 1);
}
