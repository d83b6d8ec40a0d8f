// Several tasks in one process: each its own controller, log and person, sharing the settings
// and the UDP port, against one lumo-mms-server and against several.

#include "support/downloadfixture.h"
#include "support/testmedia.h"

#include <QFile>

#include <memory>
#include <vector>

using namespace lumo;
using namespace lumo::test;

namespace {

// One task beside the fixture's own.
struct Task
{
    TaskLog log;
    ScriptedPerson person;
    std::unique_ptr<DownloadController> controller;
    bool finished = false;
    bool completed = false;
};

class ManyTasks : public DownloadFixture
{
protected:
    void SetUp() override
    {
        DownloadFixture::SetUp();
        if (!haveFfmpeg())
            GTEST_SKIP() << "ffmpeg is needed to make the test media";
        ASSERT_TRUE(m_udp->bind(0));
    }

    Task &add(const QString &fileName)
    {
        auto task = std::make_unique<Task>();
        task->person.defaultSaveFile = outPath(fileName);
        task->controller = std::make_unique<DownloadController>(task->log, *m_settings, task->person, *m_udp);
        Task *t = task.get();
        QObject::connect(t->controller.get(), &DownloadController::finished, t->controller.get(),
                         [t](bool completed) {
                             t->finished = true;
                             t->completed = completed;
                         });
        m_tasks.push_back(std::move(task));
        return *t;
    }

    // Starts a task; over UDP when `udp` (the setting is read at Start).
    bool start(Task &task, const QString &url, bool udp = false)
    {
        m_settings->setUseUdp(udp);
        task.finished = task.completed = false;
        const bool started = task.controller->start(url);
        m_settings->setUseUdp(false);
        return started;
    }

    bool waitAll(int timeoutMs = 60000)
    {
        return waitUntil(
            [this] {
                for (const auto &t : m_tasks) {
                    if (!t->finished)
                        return false;
                }
                return true;
            },
            timeoutMs);
    }

    void TearDown() override
    {
        m_tasks.clear();
        DownloadFixture::TearDown();
    }

    std::vector<std::unique_ptr<Task>> m_tasks;
};

QString urlOf(const ServerProcess &server, const QString &scheme = QStringLiteral("mms"))
{
    return QStringLiteral("%1://127.0.0.1:%2/sample.asf").arg(scheme).arg(server.port());
}

} // namespace

// Stored over TCP and over HTTP, live, and UDP tasks at once, two of them UDP from the same
// server: every file is what was served.
TEST_F(ManyTasks, StoredLiveAndUdpTasksSideBySide)
{
    ServerProcess stored, live, udpServer;
    ASSERT_TRUE(stored.start({"--root", sampleDir(), "--rate", "1500000"}));
    ASSERT_TRUE(live.start({"--root", sampleDir(), "--live", "--live-seconds", "3"}));
    ASSERT_TRUE(udpServer.start({"--root", sampleDir(), "--rate", "1500000"}));

    Task &tcp = add("tcp.asf");
    Task &http = add("http.asf");
    Task &onAir = add("live.asf");
    Task &udpA = add("udp-a.asf");
    Task &udpB = add("udp-b.asf");
    Task &udpOther = add("udp-other.asf");
    ASSERT_TRUE(start(tcp, urlOf(stored)));
    ASSERT_TRUE(start(http, urlOf(stored, "mmsh")));
    ASSERT_TRUE(start(onAir, urlOf(live)));
    ASSERT_TRUE(start(udpA, urlOf(udpServer), true));
    ASSERT_TRUE(start(udpB, urlOf(udpServer), true));
    ASSERT_TRUE(start(udpOther, urlOf(stored), true));
    ASSERT_TRUE(waitAll());

    const QByteArray expected = asfStreamedPart(samplePath());
    for (Task *t : {&tcp, &http, &udpA, &udpB, &udpOther}) {
        SCOPED_TRACE(t->person.defaultSaveFile.toStdString());
        EXPECT_TRUE(t->completed) << t->log.lines().join('\n').toStdString();
        EXPECT_EQ(readFile(t->person.defaultSaveFile), expected);
    }
    EXPECT_TRUE(onAir.completed);
    EXPECT_GT(readFile(outPath("live.asf")).size(), 0);

    // The second task from the same server took a port of its own; the others shared one.
    const auto ownPort = [](const Task &t) {
        return !t.log.lines().filter("这个任务使用自己的端口").isEmpty();
    };
    EXPECT_NE(ownPort(udpA), ownPort(udpB));
    EXPECT_FALSE(ownPort(udpOther));
    for (Task *t : {&udpA, &udpB, &udpOther})
        EXPECT_TRUE(t->log.lines().filter("警告, 删除来自").isEmpty())
            << t->log.lines().join('\n').toStdString();
}

// One server drops its connection, one asks for a login, one task is stopped: each ends its own
// way and the others finish untouched.
TEST_F(ManyTasks, EachTaskEndsItsOwnWay)
{
    ServerProcess dropping, guarded, onAir, plain;
    ASSERT_TRUE(dropping.start({"--root", sampleDir(), "--drop-after", "20"}));
    ASSERT_TRUE(guarded.start({"--root", sampleDir(), "--auth", "anna:secret", "--rate", "1000000"}));
    ASSERT_TRUE(onAir.start({"--root", sampleDir(), "--live"}));
    ASSERT_TRUE(plain.start({"--root", sampleDir(), "--rate", "1000000"}));

    Task &dropped = add("dropped.asf");
    Task &login = add("login.asf");
    login.person.loginAnswers.push_back(LoginAnswer{"anna", "secret", false});
    Task &stopped = add("stopped.asf");
    Task &whole = add("whole.asf");
    ASSERT_TRUE(start(dropped, urlOf(dropping)));
    ASSERT_TRUE(start(login, urlOf(guarded, "mmsh")));
    ASSERT_TRUE(start(stopped, urlOf(onAir)));
    ASSERT_TRUE(start(whole, urlOf(plain)));

    ASSERT_TRUE(waitUntil([&] { return stopped.controller->task().DataPacketSeen.load(); }, 20000));
    stopped.controller->stop();
    ASSERT_TRUE(waitAll());

    EXPECT_TRUE(dropped.controller->interrupted());
    EXPECT_EQ(stopped.controller->lastEnd(), TaskEnd::StoppedByPerson);
    const QByteArray expected = asfStreamedPart(samplePath());
    EXPECT_TRUE(login.completed);
    EXPECT_EQ(readFile(outPath("login.asf")), expected);
    EXPECT_EQ(login.person.loginRequests.size(), 1);
    EXPECT_TRUE(whole.completed);
    EXPECT_EQ(readFile(outPath("whole.asf")), expected);
    // Nobody else was asked anything.
    for (Task *t : {&dropped, &stopped, &whole})
        EXPECT_TRUE(t->person.loginRequests.isEmpty());
}
