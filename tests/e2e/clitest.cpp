// lumo-cli as a user runs it: a real process against lumo-mms-server.

#include "shell/bytereader.h"
#include "shell/tasklog.h"
#include "support/clifixture.h"
#include "support/serverprocess.h"
#include "support/testmedia.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>

using namespace lumo;
using namespace lumo::test;

namespace {

class Cli : public CliFixture
{
protected:
    ServerProcess server;
};

} // namespace

TEST_F(Cli, GetRecordsTheStreamAndExitsZero)
{
    ASSERT_TRUE(server.start({"--root", dir.path()}));
    const QString out = dir.filePath("got.asf");
    ASSERT_EQ(run({"get", server.url("sample.asf"), "-o", out, "--log", dir.filePath("task.log")}), 0)
        << output.toStdString();
    EXPECT_EQ(readFile(out), asfStreamedPart(sample));
    EXPECT_TRUE(output.contains("下载已完成, 媒体文件已经写入本地磁盘"));
    const QByteArray log = readFile(dir.filePath("task.log"));
    EXPECT_TRUE(log.startsWith("------- 记录开始 -------\n"));
    EXPECT_TRUE(log.endsWith("------- 记录关闭 -------\n"));
    EXPECT_FALSE(log.contains('\r'));
}

TEST_F(Cli, ExistingFileNeedsAnAnswerAndServerErrorsFail)
{
    ASSERT_TRUE(server.start({"--root", dir.path()}));
    const QString out = dir.filePath("got.asf");
    QFile existing(out);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("data");
    existing.close();
    EXPECT_NE(run({"get", server.url("sample.asf"), "-o", out}), 0);
    EXPECT_TRUE(output.contains("请使用 --resume 或 --overwrite"));
    EXPECT_EQ(readFile(out), "data");

    EXPECT_NE(run({"get", server.url("missing.asf"), "-o", out, "--overwrite"}), 0);
    EXPECT_TRUE(output.contains("文件未找到"));

    EXPECT_EQ(run({"get", "http://example.org/x.asx"}), 1);
    EXPECT_TRUE(output.contains("MMS://"));
    EXPECT_EQ(run({"get"}), 2);
    EXPECT_EQ(run({"frobnicate"}), 2);
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_TRUE(output.contains("get URL"));
}

// A full disk (here a file-size limit) ends the task with a clear message and a resume record;
// once space is back, --resume completes the same bytes.
TEST_F(Cli, FailingWriteLeavesAResumableFile)
{
    ASSERT_TRUE(server.start({"--root", dir.path()}));
    const QString out = dir.filePath("limited.asf");
    EXPECT_NE(run({"get", server.url("sample.asf"), "-o", out}, "ulimit -f 100; trap '' XFSZ;"), 0);
    EXPECT_TRUE(output.contains("无法写入本地文件, 任务终止")) << output.toStdString();
    EXPECT_TRUE(output.contains("- 写入媒体数据失败"));
    const QByteArray partial = readFile(out);
    EXPECT_LE(partial.size(), 100 * 1024);
    const quint32 record = dataPacketsCount(partial);
    EXPECT_GT(record, 0u);
    EXPECT_LT(record, 54u);

    ASSERT_EQ(run({"get", server.url("sample.asf"), "-o", out, "--resume"}), 0) << output.toStdString();
    EXPECT_TRUE(server.waitForLog(QStringLiteral("start packet %1").arg(record)))
        << server.logText().toStdString();
    EXPECT_EQ(readFile(out), asfStreamedPart(sample));
}

TEST_F(Cli, InfoPrintsTheProperties)
{
    ASSERT_EQ(run({"info", sample}), 0);
    EXPECT_TRUE(output.contains("[视频] [音频]"));
    EXPECT_TRUE(output.contains("320 x 240"));
    EXPECT_TRUE(output.contains("Lumo sample"));
    EXPECT_NE(run({"info", dir.filePath("none.asf")}), 0);
    EXPECT_TRUE(output.contains("无法打开文件来展开"));
}

// A stored download the server cuts off ends with its own exit status and says how to go on.
TEST_F(Cli, InterruptedDownloadExitsThreeAndResumes)
{
    ASSERT_TRUE(server.start({"--root", dir.path(), "--drop-after", "10"}));
    const QString out = dir.filePath("got.asf");
    EXPECT_EQ(run({"get", server.url("sample.asf"), "-o", out}), 3) << output.toStdString();
    EXPECT_TRUE(output.contains("下载被中断: 服务器关闭了连接"));
    EXPECT_TRUE(output.contains("--resume"));
    server.stop();
    ASSERT_TRUE(server.start({"--root", dir.path()}));
    ASSERT_EQ(run({"get", server.url("sample.asf"), "-o", out, "--resume"}), 0) << output.toStdString();
    EXPECT_EQ(readFile(out), asfStreamedPart(sample));
}

// A connection refused ends at once, naming it.
TEST_F(Cli, RefusedConnectionEndsAtOnce)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(
        run({"get", QStringLiteral("mms://127.0.0.1:%1/x.asf").arg(closedPort), "-o", dir.filePath("x.asf")}),
        1);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(output.contains(QStringLiteral("拒绝连接"))) << output.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("x.asf")));
}

TEST_F(Cli, LiveRecordingForSomeSecondsEndsAsAsked)
{
    ASSERT_TRUE(server.start({"--root", dir.path(), "--live"}));
    const QString out = dir.filePath("live.asf");
    ASSERT_EQ(run({"get", server.url("sample.asf"), "-o", out, "--for", "2"}), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("- 为实况节目修复 ASF 文件头"));
    const QByteArray file = readFile(out);
    const qsizetype fp = file.indexOf(QByteArray::fromHex("A1DCAB8C47"));
    ASSERT_GT(fp, 0);
    EXPECT_EQ(ByteReader(file).u64(fp + 40), quint64(file.size()));
    EXPECT_EQ(run({"get", server.url("sample.asf"), "-o", out, "--for", "x"}), 2);
}

TEST_F(Cli, InfoShowsANonLatinTitle)
{
    const QString path = dir.filePath("titled.asf");
    ASSERT_EQ(runProgram("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=1",
                                    "-c:a", "wmav2", "-metadata", "title=中文标题", "-metadata",
                                    "author=作者名", "-f", "asf", path}),
              0);
    ASSERT_EQ(run({"info", path}), 0);
    EXPECT_TRUE(output.contains("中文标题")) << output.toStdString();
    EXPECT_TRUE(output.contains("作者名"));
    EXPECT_TRUE(output.contains("[音频]"));
    EXPECT_TRUE(output.contains("不可用"));
}

TEST_F(Cli, ScanListsTheAddressesOfARedirectFile)
{
    QFile asx(dir.filePath("list.asx"));
    ASSERT_TRUE(asx.open(QIODevice::WriteOnly));
    asx.write("<ASX>\r\n<ref href=\"mms://a/b.asf\"/>\r\nmmsu://c/d and Mms://not/this\r\n</ASX>");
    asx.close();
    ASSERT_EQ(run({"scan", "list.asx"}), 0);
    EXPECT_EQ(output, "mms://a/b.asf\nmmsu://c/d\n");
    QFile none(dir.filePath("none.asx"));
    ASSERT_TRUE(none.open(QIODevice::WriteOnly));
    none.write("<ASX/>");
    none.close();
    EXPECT_EQ(run({"scan", "none.asx"}), 1);
    EXPECT_TRUE(output.contains("重定向文件出错 - 未找到任何一个"));
    EXPECT_EQ(run({"scan", "absent.asx"}), 1);
}

TEST_F(Cli, EnglishRunPrintsAndSavesItsLogInEnglish)
{
    language = QStringLiteral("en");
    ASSERT_TRUE(server.start({"--root", dir.path()}));
    const QString out = dir.filePath("out.asf");
    const QString logPath = dir.filePath("task.log");
    ASSERT_EQ(run({"get", server.url("sample.asf"), "-o", out, "--log", logPath}), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("Download complete. The media file has been written to disk."));
    const QString log = QString::fromUtf8(readFile(logPath));
    EXPECT_TRUE(log.startsWith("------- Log start -------\n")) << log.toStdString();
    EXPECT_TRUE(log.endsWith("------- Log end -------\n"));
    EXPECT_FALSE(log.contains(QRegularExpression(QStringLiteral("\\p{Han}"))));

    // This test runs in Chinese; the log loader takes the English log line for line.
    TaskLog loaded;
    ASSERT_TRUE(loaded.LoadLogFile(logPath));
    EXPECT_EQ(loaded.lines(), log.split(u'\n').mid(0, loaded.lines().size()));
    EXPECT_EQ(loaded.lines().size(), log.count(u'\n'));

    ASSERT_NE(run({"info", dir.filePath("none.asf")}), 0);
    EXPECT_TRUE(output.contains("Cannot open the file to read its header")) << output.toStdString();
    ASSERT_EQ(run({"info", sample}), 0);
    EXPECT_TRUE(output.contains("[Video] [Audio]")) << output.toStdString();
    EXPECT_TRUE(output.contains("Video size:"));
    ASSERT_EQ(run({"get", "--help"}), 0);
    EXPECT_TRUE(output.contains("Continue a file that already holds data."));
}

TEST_F(Cli, ChineseRunHelpIsChinese)
{
    ASSERT_EQ(run({"--help"}), 0);
    EXPECT_TRUE(output.startsWith("用法: lumo-cli <命令> [选项]")) << output.toStdString();
    ASSERT_EQ(run({"get", "--help"}), 0);
    EXPECT_TRUE(output.contains("--resume")) << output.toStdString();
    EXPECT_TRUE(output.contains("续传已包含数据的文件."));
    EXPECT_EQ(run({"get", "a", "--for", "0"}), 2);
    EXPECT_TRUE(output.contains("--for 需要一个大于 0 的整数秒数"));
}
