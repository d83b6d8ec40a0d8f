// The server commands a download meets rarely, each through the real receive worker: what the
// log says, whether the task ends, and what the task record keeps.
#include "shell/bytereader.h"
#include "support/workerharness.h"

#include <gtest/gtest.h>

#include <functional>

using namespace lumo;

namespace {

// A server command as it comes over TCP: the fixed part, then the body padded to 8 bytes.
QByteArray serverCommand(quint8 id, QByteArray body)
{
    if (body.size() % 8)
        body.append(8 - body.size() % 8, '\0');
    const quint32 total = quint32(40 + body.size());
    QByteArray m = QByteArray::fromHex("01000000cefa0bb0") + U32ToBytes(total - 16) + QByteArray("MMS ");
    m += U32ToBytes((total - 16) / 8) + QByteArray(12, '\0');
    m += U32ToBytes((total - 32) / 8);
    m += char(id);
    m += QByteArray::fromHex("000400");
    return m + body;
}

// A media description (0x06) with the given flags and header size.
QByteArray mediaDescription(quint32 flags, quint32 headerSize = 5000)
{
    QByteArray body(112, '\0');
    body.replace(8, 4, U32ToBytes(1));           // file id (offset 48)
    body.replace(20, 4, U32ToBytes(flags));      // offset 60
    body.replace(52, 4, U32ToBytes(3200));       // packet size (92)
    body.replace(56, 4, U32ToBytes(10));         // packet count (96)
    body.replace(64, 4, U32ToBytes(128000));     // bit rate (104)
    body.replace(68, 4, U32ToBytes(headerSize)); // header size (108)
    return serverCommand(0x06, body);
}

// A login challenge (0x1A) naming `realm`.
QByteArray loginChallenge(const QString &realm)
{
    QByteArray token;
    for (QChar c : realm)
        token += char(c.unicode()) + QByteArray(1, '\0');
    token += QByteArray(2, '\0');
    return serverCommand(0x1A, U32ToBytes(1) + U32ToBytes(1) + U32ToBytes(quint32(token.size())) + token);
}

struct Case
{
    const char *name;
    QByteArray stream;
    std::function<void(test::WorkerHarness &)> prepare;
    std::function<void(test::WorkerHarness &)> check;
};

void runCase(const Case &c)
{
    SCOPED_TRACE(c.name);
    test::WorkerHarness h;
    if (c.prepare)
        c.prepare(h);
    h.worker.start();
    h.task.RecvBuffer.append(c.stream.constData(), c.stream.size());
    h.task.RecvBuffer.markClosed();
    ASSERT_TRUE(h.hooks.waitFinished(10000));
    ASSERT_TRUE(h.worker.join(10000));
    c.check(h);
}

bool logged(const test::WorkerHarness &h, const QString &line)
{
    return h.log.lines().contains(line);
}

} // namespace

TEST(CommandExchange, RareServerCommands)
{
    const Case cases[] = {
        {"transport refused (0x03): abandoned, the file left alone",
         serverCommand(0x03, U32ToBytes(0)),
         {},
         [](test::WorkerHarness &h) {
             EXPECT_TRUE(logged(h, "错误: 协议连接传输失败"));
             EXPECT_TRUE(h.task.LiveRepairDone && h.task.ResumeRecordDone);
             EXPECT_TRUE(h.task.StopRequested());
         }},
        {"unknown command: logged, dumped, the task ends",
         serverCommand(0x42, U32ToBytes(0)),
         {},
         [](test::WorkerHarness &h) {
             const QStringList lines = h.log.lines();
             const qsizetype at = lines.indexOf("当前的 MMS 命令是未知的");
             ASSERT_GE(at, 0);
             ASSERT_GT(lines.size(), at + 2); // the dump's heading and its first row
             EXPECT_TRUE(lines[at + 2].startsWith("01 00 00 00 CE FA 0B B0")) << lines[at + 2].toStdString();
             EXPECT_TRUE(h.task.StopRequested());
             EXPECT_FALSE(h.task.LiveRepairDone); // an ordinary end: the file is finished as usual
         }},
        {"media description with neither type bit: logged, the header still asked for",
         mediaDescription(0),
         {},
         [](test::WorkerHarness &h) {
             EXPECT_TRUE(logged(h, "MMS 错误 - 06 流媒体类型旗标没有处理"));
             EXPECT_TRUE(logged(h, "正请求 ASF 文件头信息... 请稍等"));
             EXPECT_EQ(h.task.StreamType.load(), StreamType::Unknown);
             EXPECT_EQ(h.task.PacketSize.load(), 3200u);
             EXPECT_EQ(h.task.HeaderSize.load(), 5000u);
             EXPECT_EQ(h.task.FileId.load(), 1u);
         }},
        {"a live stream cannot be resumed", mediaDescription(0x02000000),
         [](test::WorkerHarness &h) { h.task.ResumeMode = ResumeMode::Resume; },
         [](test::WorkerHarness &h) {
             EXPECT_TRUE(h.task.StopRequested());
             EXPECT_TRUE(h.task.LiveRepairDone);
             ASSERT_FALSE(h.person.messages.isEmpty());
             EXPECT_TRUE(h.person.messages.last().startsWith("错误 - 实况流信息已被删除!"));
         }},
        {"a header larger than any ASF header: a corrupt stream",
         mediaDescription(0x01000000, 20 << 20),
         {},
         [](test::WorkerHarness &h) {
             EXPECT_TRUE(logged(h, "服务器声明的文件头长度 20971520 字节超过上限 16777216 字节"));
             EXPECT_TRUE(logged(h, "当前的 MMS 信息包出错 - 现在关闭"));
             EXPECT_TRUE(h.task.StopRequested());
             EXPECT_FALSE(logged(h, "正请求 ASF 文件头信息... 请稍等"));
         }},
        {"a ping carrying an error code is answered, not an error",
         serverCommand(0x1B, U32ToBytes(0x80000001) + U32ToBytes(0)) +
             serverCommand(0x1B, QByteArray(8, '\0')),
         {},
         [](test::WorkerHarness &h) {
             EXPECT_EQ(h.task.PingCount.load(), 2u);
             EXPECT_FALSE(h.task.LiveRepairDone); // ended by the closed stream, not by the ping
             EXPECT_TRUE(h.person.messages.isEmpty());
         }},
        {"a second login challenge adds its realm",
         loginChallenge("realm=\"a\"") + loginChallenge("realm=\"b\""),
         [](test::WorkerHarness &h) {
             h.person.loginAnswers.push_back(LoginAnswer{"me", "pw", false});
             h.person.loginAnswers.push_back(LoginAnswer{"me", "pw", false});
         },
         [](test::WorkerHarness &h) {
             ASSERT_EQ(h.person.loginRequests.size(), 2);
             // Each realm is kept with the zero that ends it; the dialog shows it up to there.
             EXPECT_EQ(h.task.AuthRealm,
                       QStringLiteral("realm=\"a\"") + QChar(0) + QStringLiteral("realm=\"b\"") + QChar(0));
             EXPECT_EQ(h.task.Incarnation.load(), 3u);
         }},
    };
    for (const Case &c : cases)
        runCase(c);
}
