// lumo-cli as a user runs it: a real process against lumo-mms-server.

#include "shell/bytereader.h"
#include "shell/tasklog.h"
#include "support/clifixture.h"
#include "support/serverprocess.h"
#include "support/testmedia.h"

#include <gtest/gtest.h>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>

#include <csignal>
#include <vector>

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
    EXPECT_TRUE(output.contains("\ninterrupted: " + out + ", "));
    server.stop();
    ASSERT_TRUE(server.start({"--root", dir.path()}));
    ASSERT_EQ(run({"get", server.url("sample.asf"), "-o", out, "--resume"}), 0) << output.toStdString();
    EXPECT_EQ(readFile(out), asfStreamedPart(sample));
}

// A connection refused ends at once, naming it.
TEST_F(Cli, RefusedConnectionEndsAtOnce)
{
    const quint16 closedPort = closedLoopbackPort();
    ASSERT_NE(closedPort, 0);
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

namespace {

// The stdout lines of `get --json`, each parsed; an object without "event" marks a line that was
// not a JSON object.
std::vector<QJsonObject> jsonEvents(const QString &text)
{
    std::vector<QJsonObject> events;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        events.push_back(QJsonDocument::fromJson(line.toUtf8()).object());
    return events;
}

// Reads the events of a running `get --json` until one with data on disk arrives (bounded).
bool waitForPackets(QProcess &process, std::vector<QJsonObject> &events)
{
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        while (process.canReadLine()) {
            events.push_back(QJsonDocument::fromJson(process.readLine()).object());
            if (events.back()["event"] == "progress" && events.back()["packets"].toInteger() > 0)
                return true;
        }
        if (!process.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return false;
}

// Ends a running `get --json` with a signal; the events it printed are appended.
int endWith(QProcess &process, int signal, std::vector<QJsonObject> &events)
{
    ::kill(pid_t(process.processId()), signal);
    if (!process.waitForFinished(30000))
        return -1;
    for (const QJsonObject &event : jsonEvents(QString::fromUtf8(process.readAllStandardOutput())))
        events.push_back(event);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

// Scripts read one line on stdout; the task log stays on stderr. A "%2" in the file name is
// printed as it is, not filled in.
TEST_F(Cli, SummaryLineNamesTheFileItsPacketsAndSize)
{
    ASSERT_TRUE(server.start({"--root", dir.path()}));
    separateChannels = true;
    const QString out = dir.filePath("got %2.asf");
    ASSERT_EQ(run({"get", server.url("sample.asf"), "-o", out}), 0) << errors.toStdString();
    // The status word stays English for scripts; the rest is in the language of the run.
    const QRegularExpression summary("^completed: (.+), (\\d+) 个数据包, ([0-9.]+ [kM]?B), 用时 \\d+ 秒\\n$");
    const QRegularExpressionMatch match = summary.match(output);
    ASSERT_TRUE(match.hasMatch()) << output.toStdString();
    EXPECT_EQ(match.captured(1), out);
    EXPECT_EQ(match.captured(2).toUInt(), dataPacketsCount(readFile(out)));
    EXPECT_EQ(match.captured(3), QString::number(QFileInfo(out).size() / 1000.0, 'f', 1) + " kB");
    EXPECT_TRUE(errors.contains("下载已完成, 媒体文件已经写入本地磁盘"));
    EXPECT_FALSE(errors.contains('\r')) << "a progress line although stderr is no terminal";
}

// With --json, stdout holds only events; a paced download lasts long enough for progress events.
TEST_F(Cli, JsonEventsFollowACompletedDownload)
{
    ASSERT_TRUE(server.start({"--root", dir.path(), "--pace", "realtime"}));
    separateChannels = true;
    const QString out = dir.filePath("got.asf");
    ASSERT_EQ(run({"get", server.url("sample.asf"), "-o", out, "--json"}), 0) << errors.toStdString();
    const std::vector<QJsonObject> events = jsonEvents(output);
    ASSERT_GE(events.size(), 3u) << output.toStdString();
    EXPECT_EQ(events.front()["event"], "started");
    EXPECT_EQ(events.front()["url"], server.url("sample.asf"));
    EXPECT_EQ(events.front()["path"], out);
    qint64 packets = 0;
    for (size_t i = 1; i + 1 < events.size(); ++i) {
        EXPECT_EQ(events[i]["event"], "progress") << output.toStdString();
        EXPECT_GE(events[i]["packets"].toInteger(), packets);
        packets = events[i]["packets"].toInteger();
        EXPECT_FALSE(events[i]["live"].toBool());
        EXPECT_GE(events[i]["percent"].toInt(-1), 0);
        EXPECT_LE(events[i]["percent"].toInt(), 100);
    }
    const QJsonObject &ended = events.back();
    EXPECT_EQ(ended["event"], "ended");
    EXPECT_EQ(ended["status"], "completed");
    EXPECT_EQ(ended["path"], out);
    EXPECT_EQ(ended["bytes"].toInteger(), QFileInfo(out).size());
    EXPECT_EQ(ended["packets"].toInteger(), qint64(dataPacketsCount(readFile(out))));
    EXPECT_TRUE(ended["reason"].isString());
}

// A live recording that SIGTERM ends was stopped as asked: status 0, and the header is repaired.
TEST_F(Cli, SigtermStopsALiveRecordingWithStatusZero)
{
    ASSERT_TRUE(server.start({"--root", dir.path(), "--live"}));
    separateChannels = true;
    const QString out = dir.filePath("live.asf");
    QProcess process;
    startCli(process, {"get", server.url("sample.asf"), "-o", out, "--json"});
    std::vector<QJsonObject> events;
    ASSERT_TRUE(waitForPackets(process, events)) << process.readAllStandardError().toStdString();
    EXPECT_TRUE(events.back()["live"].toBool());
    EXPECT_TRUE(events.back()["percent"].isNull());
    ASSERT_EQ(endWith(process, SIGTERM, events), 0);
    EXPECT_EQ(events.back()["status"], "stopped");
    EXPECT_EQ(events.back()["bytes"].toInteger(), QFileInfo(out).size());
    const QByteArray file = readFile(out);
    EXPECT_EQ(qint64(dataPacketsCount(file)), events.back()["packets"].toInteger());
}

// Ctrl-C on a stored download is a stop as asked too; the file keeps its resume record.
TEST_F(Cli, CtrlCStopsAStoredDownloadThatResumeFinishes)
{
    ASSERT_TRUE(server.start({"--root", dir.path(), "--pace", "realtime"}));
    separateChannels = true;
    const QString out = dir.filePath("got.asf");
    QProcess process;
    startCli(process, {"get", server.url("sample.asf"), "-o", out, "--json"});
    std::vector<QJsonObject> events;
    ASSERT_TRUE(waitForPackets(process, events)) << process.readAllStandardError().toStdString();
    ASSERT_EQ(endWith(process, SIGINT, events), 0);
    EXPECT_EQ(events.back()["status"], "stopped");
    const quint32 record = dataPacketsCount(readFile(out));
    EXPECT_LT(record, dataPacketsCount(readFile(sample)));
    server.stop();
    ASSERT_TRUE(server.start({"--root", dir.path()}));
    ASSERT_EQ(run({"get", server.url("sample.asf"), "-o", out, "--resume"}), 0) << errors.toStdString();
    EXPECT_TRUE(output.startsWith("completed: "));
    EXPECT_EQ(readFile(out), asfStreamedPart(sample));
}

// The server turning the task away has its own status: an error reply, a wrong login, no login.
TEST_F(Cli, RefusalsByTheServerExitFour)
{
    ASSERT_TRUE(server.start({"--root", dir.path(), "--auth", "anna:secret"}));
    separateChannels = true;
    const QString out = dir.filePath("got.asf");
    EXPECT_EQ(run({"get", server.url("missing.asf"), "-o", out, "--user", "anna", "--password", "secret"}),
              4);
    EXPECT_TRUE(output.startsWith("refused: ")) << output.toStdString();
    EXPECT_TRUE(output.contains("文件未找到"));
    EXPECT_FALSE(QFile::exists(out));

    EXPECT_EQ(
        run({"get", server.url("sample.asf"), "-o", out, "--user", "anna", "--password", "wrong", "--json"}),
        4);
    std::vector<QJsonObject> events = jsonEvents(output);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back()["status"], "refused");
    EXPECT_TRUE(events.back()["path"].isNull());
    EXPECT_EQ(events.back()["packets"].toInteger(), 0);
    EXPECT_FALSE(events.back()["reason"].toString().isEmpty());

    EXPECT_EQ(run({"get", server.url("sample.asf"), "-o", out, "--json"}), 4);
    events = jsonEvents(output);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back()["status"], "refused");
    EXPECT_TRUE(events.back()["reason"].toString().contains("--user")) << output.toStdString();
}

// Failures and bad command lines: status 1 with a summary, status 2 with nothing on stdout.
TEST_F(Cli, FailuresSayWhyAndUsageErrorsPrintNoEvent)
{
    const quint16 closedPort = closedLoopbackPort();
    ASSERT_NE(closedPort, 0);
    separateChannels = true;
    const QString url = QStringLiteral("mms://127.0.0.1:%1/x.asf").arg(closedPort);
    EXPECT_EQ(run({"get", url, "-o", dir.filePath("x.asf")}), 1);
    EXPECT_TRUE(output.startsWith("failed: ")) << output.toStdString();
    EXPECT_TRUE(output.contains("拒绝连接"));
    EXPECT_EQ(run({"get", url, "-o", dir.filePath("x.asf"), "--json"}), 1);
    const std::vector<QJsonObject> events = jsonEvents(output);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back()["status"], "failed");

    EXPECT_EQ(run({"get", url, "--json", "--for", "0"}), 2);
    EXPECT_EQ(output, "");
    EXPECT_EQ(run({"get", "--json"}), 2);
    EXPECT_EQ(output, "");
}

// On a terminal the progress line rewrites itself on stderr; the summary still ends the output.
TEST_F(Cli, ProgressLineOnlyOnATerminal)
{
    ASSERT_TRUE(server.start({"--root", dir.path(), "--pace", "realtime"}));
    const QString out = dir.filePath("got.asf");
    const QString command = "'" LUMO_CLI_BIN "' get '" + server.url("sample.asf") + "' -o '" + out + "' -q";
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("LUMO_LANG", "en");
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    // script(1) gives lumo-cli a pseudo-terminal of its own.
    process.start("script", {"-qec", command, "/dev/null"});
    ASSERT_TRUE(process.waitForFinished(60000));
    output = QString::fromUtf8(process.readAll());
    ASSERT_EQ(process.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("\r\033[K")) << output.toStdString();
    EXPECT_TRUE(output.contains(QRegularExpression("\\d+%  ")));
    EXPECT_TRUE(output.trimmed().endsWith(" s")) << output.toStdString();
    EXPECT_TRUE(output.contains("\ncompleted: " + out + ", "));
}

// A server that speaks only HTTP: mmsh:// and mms:// both record it; an HTTP error status is a
// refusal by the server.
TEST_F(Cli, HttpOnlyServerIsRecordedFromMmshAndMmsAddresses)
{
    ASSERT_TRUE(server.start({"--root", dir.path(), "--no-mmst"}));
    const QString base = QStringLiteral("127.0.0.1:%1/sample.asf").arg(server.port());
    ASSERT_EQ(run({"get", "mmsh://" + base, "-o", dir.filePath("h.asf")}), 0) << output.toStdString();
    EXPECT_EQ(readFile(dir.filePath("h.asf")), asfStreamedPart(sample));
    ASSERT_EQ(run({"get", "mms://" + base, "-o", dir.filePath("m.asf")}), 0) << output.toStdString();
    EXPECT_EQ(readFile(dir.filePath("m.asf")), asfStreamedPart(sample));
    EXPECT_TRUE(output.contains("改用 HTTP 协议"));

    EXPECT_EQ(run({"get", QStringLiteral("mmsh://127.0.0.1:%1/none.asf").arg(server.port()), "-o",
                   dir.filePath("n.asf")}),
              4)
        << output.toStdString();
    EXPECT_TRUE(output.contains("refused: ")) << output.toStdString();
}
