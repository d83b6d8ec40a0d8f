#include "control/taskendtexts.h"

#include <gtest/gtest.h>
#include <QAbstractSocket>

using namespace lumo;

// Which ends are worth a notification, and what it says.
TEST(TaskEndTexts, NoticesOfEachEnd)
{
    const auto completed = taskEndNotice(TaskEnd::Completed, "/d/clip.asf", "- ** 下载已经完成 **");
    ASSERT_TRUE(completed);
    EXPECT_EQ(completed->summary, "Lumo: 下载已完成");
    EXPECT_EQ(completed->body, "/d/clip.asf");
    const auto interrupted = taskEndNotice(TaskEnd::Interrupted, "/d/clip.asf", "");
    ASSERT_TRUE(interrupted);
    EXPECT_TRUE(interrupted->body.startsWith("/d/clip.asf\n"));
    const auto failed = taskEndNotice(TaskEnd::Failed, "", "-- 找不到主机 x, 任务终止 --");
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->body, "-- 找不到主机 x, 任务终止 --");
    EXPECT_FALSE(taskEndNotice(TaskEnd::StoppedByPerson, "/d/clip.asf", ""));
}

// Only the errors the system reports at once end a connection early; others wait for the time-out.
TEST(TaskEndTexts, ConnectionFailures)
{
    EXPECT_TRUE(connectionFailureTexts(QAbstractSocket::ConnectionRefusedError, "h"));
    EXPECT_TRUE(connectionFailureTexts(QAbstractSocket::HostNotFoundError, "h"));
    EXPECT_TRUE(connectionFailureTexts(QAbstractSocket::NetworkError, "h"));
    EXPECT_FALSE(connectionFailureTexts(QAbstractSocket::SocketTimeoutError, "h"));
    EXPECT_FALSE(connectionFailureTexts(QAbstractSocket::UnknownSocketError, "h"));
    EXPECT_EQ(interruptedMessage("服务器关闭了连接", 421, 1000),
              "下载被中断: 服务器关闭了连接\n本地文件中已经保存了 421 个数据包 (共 1000 个, 42%)\n"
              "在同一个保存文件上再次开始, 即可续传这个文件");
}
