// End to end: how a task ends when the server cannot be reached, never answers, or the address
// names no usable port.

#include "control/taskendtexts.h"
#include "support/downloadfixture.h"
#include "support/testmedia.h"

#include <QFile>
#include <QTcpServer>

using namespace lumo;
using namespace lumo::test;

class Connect : public DownloadFixture
{};

// A connection the system says cannot be made ends the task at once, with its own log line
// and a message naming the host; nothing is left on disk.
TEST_F(Connect, ConnectionThatCannotBeMadeEndsAtOnce)
{
    const quint16 closedPort = closedLoopbackPort();
    ASSERT_NE(closedPort, 0);
    const QString refusedHost = QStringLiteral("127.0.0.1:%1").arg(closedPort);
    const struct
    {
        QString url;
        bool bypassDns;
        QString logLine;
        QString message;
    } cases[] = {
        {"mms://" + refusedHost + "/clip.asf", false, "-- 服务器 " + refusedHost + " 拒绝连接, 任务终止 --",
         "服务器 " + refusedHost + " 拒绝连接, 任务终止\n请检查地址和端口是否正确"},
        {"mms://not-a-number/clip.asf", true, "-- 找不到主机 not-a-number, 任务终止 --",
         "找不到服务器 not-a-number, 任务终止\n请检查你输入的地址"},
        {"mms://nowhere.invalid/clip.asf", false, "-- 找不到主机 nowhere.invalid, 任务终止 --",
         "找不到服务器 nowhere.invalid, 任务终止\n请检查你输入的地址"},
    };
    for (const auto &c : cases) {
        m_settings->setBypassDns(c.bypassDns);
        m_person.messages.clear();
        QFile::remove(outPath());
        ASSERT_TRUE(start(c.url)) << c.url.toStdString();
        // The 45 s time-out is not what ends it.
        ASSERT_TRUE(waitFinished(20000)) << c.url.toStdString();
        EXPECT_TRUE(logHasInOrder({c.logLine})) << m_log->lines().join('\n').toStdString();
        EXPECT_FALSE(m_log->lines().contains("-- TCP Socket 超时, 任务终止 --"));
        ASSERT_FALSE(m_person.messages.isEmpty());
        EXPECT_EQ(m_person.messages.last(), c.message);
        EXPECT_FALSE(QFile::exists(outPath())) << "an empty save file was left";
        EXPECT_EQ(m_controller->status().title, "Lumo");
        EXPECT_TRUE(m_controller->status().connectEnabled);
    }
}

// A Stop before anything arrived does not claim a file was saved, and leaves none behind.
TEST_F(Connect, StopBeforeAnythingArrivedSavesNothing)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    ASSERT_TRUE(start(QStringLiteral("mms://127.0.0.1:%1/clip.asf").arg(silent.serverPort())));
    ASSERT_TRUE(
        waitUntil([&] { return m_log->lines().contains("正在初始化 MMS 协议, 等待响应..."); }, 10000));
    m_controller->stop();
    ASSERT_TRUE(waitFinished(10000));
    EXPECT_EQ(m_person.messages.last(), "连接已经关闭, 没有收到任何媒体数据, 没有保存文件");
    EXPECT_FALSE(QFile::exists(outPath()));
}

// A port after the host that is not a number is refused at Start: no look-up, no save file.
TEST_F(Connect, PortThatIsNotANumberIsRefusedAtStart)
{
    EXPECT_FALSE(start("mms://127.0.0.1:445mms://127.0.0.1/clip.asf"));
    EXPECT_EQ(m_person.messages.last(), "没有 TCP 端口号   \n使用设置 -> TCP (默认 = 1755)");
    EXPECT_TRUE(m_person.fileRequests.isEmpty());
    EXPECT_TRUE(m_controller->idle());
}

// Only a server that accepts the connection and then says nothing waits for the time-out.
TEST_F(Connect, SilentServerEndsThroughTheTimeOut)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    m_controller->setConnectTimeout(300);
    ASSERT_TRUE(start(QStringLiteral("mms://127.0.0.1:%1/clip.asf").arg(silent.serverPort())));
    ASSERT_TRUE(waitFinished(10000));
    EXPECT_TRUE(logHasInOrder({"正在连接流媒体服务器... 请等待", "正在初始化 MMS 协议, 等待响应...",
                               "-- TCP Socket 超时, 任务终止 --"}));
    EXPECT_EQ(m_person.messages.last(), "服务器没有回应, 任务终止");
    EXPECT_FALSE(QFile::exists(outPath()));
}

// UDP chosen but its port could not be bound: refused at Start, naming the port.
TEST_F(Connect, UdpWithoutItsPortIsRefusedAtStart)
{
    ASSERT_FALSE(m_udp->isBound());
    m_settings->setUseUdp(true);
    EXPECT_FALSE(start("mms://127.0.0.1/clip.asf"));
    EXPECT_EQ(m_person.messages.last(), udpPortUnavailableMessage(m_settings->udpBindPort()));
    EXPECT_TRUE(m_person.fileRequests.isEmpty());
}
