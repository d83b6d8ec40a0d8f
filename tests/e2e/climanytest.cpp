// lumo-cli with several addresses: each a task of its own in one process, against real
// lumo-mms-server processes.

#include "support/clifixture.h"
#include "support/serverprocess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>

using namespace lumo::test;

namespace {

class CliMany : public CliFixture
{
protected:
    QStringList summaries() const { return output.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

    // Waits (bounded) until each file holds more than its header.
    bool waitForData(const QStringList &paths, QProcess &process)
    {
        const qint64 header = asfStreamedPart(sample).indexOf(QByteArray::fromHex("3626B2758E")) + 50;
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            bool all = true;
            for (const QString &path : paths)
                all = all && QFileInfo(path).size() > header;
            if (all)
                return true;
            process.waitForFinished(50);
            if (process.state() == QProcess::NotRunning)
                return false;
        }
        return false;
    }

    ServerProcess server;
};

} // namespace

// The same address twice and another: three files, named as the address proposes, made unique.
TEST_F(CliMany, SeveralAddressesAtOnceUnderUniqueNames)
{
    ASSERT_TRUE(server.start({"--root", dir.path()}));
    separateChannels = true;
    const QString out = dir.filePath("out");
    const QString http = QStringLiteral("mmsh://127.0.0.1:%1/sample.asf").arg(server.port());
    ASSERT_EQ(
        run({"get", server.url("sample.asf"), server.url("sample.asf"), http, "-d", out, "--jobs", "2"}), 0)
        << errors.toStdString();
    ASSERT_EQ(summaries().size(), 3) << output.toStdString();
    for (const QString &line : summaries())
        EXPECT_TRUE(line.startsWith("completed: ")) << line.toStdString();
    const QByteArray expected = asfStreamedPart(sample);
    for (const char *name : {"sample.asf", "sample (2).asf", "sample (3).asf"})
        EXPECT_EQ(readFile(QDir(out).filePath(name)), expected) << name;
    EXPECT_TRUE(errors.contains("[2] ")) << "each task's lines carry its number";

    EXPECT_EQ(run({"get", server.url("sample.asf"), server.url("sample.asf"), "-o", dir.filePath("x.asf")}),
              2);
    EXPECT_EQ(run({"get", server.url("sample.asf"), server.url("sample.asf"), "--jobs", "0"}), 2);
}

// Addresses from a list file; one the server refuses: the others complete, the exit status
// says a task was refused.
TEST_F(CliMany, AddressesFromAListAndOneRefusal)
{
    ASSERT_TRUE(server.start({"--root", dir.path()}));
    separateChannels = true;
    QFile list(dir.filePath("list.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(
        ("# tonight\n" + server.url("sample.asf") + "\n\n" + server.url("missing.asf") + "\n").toUtf8());
    list.close();
    const QString out = dir.filePath("out");
    EXPECT_EQ(run({"get", "--from", list.fileName(), "-d", out}), 4) << errors.toStdString();
    const QStringList lines = summaries();
    ASSERT_EQ(lines.size(), 2) << output.toStdString();
    EXPECT_EQ(lines.filter(QRegularExpression("^completed: ")).size(), 1);
    EXPECT_EQ(lines.filter(QRegularExpression("^refused: ")).size(), 1);
    EXPECT_EQ(readFile(QDir(out).filePath("sample.asf")), asfStreamedPart(sample));

    EXPECT_EQ(run({"get", "--from", dir.filePath("absent.txt")}), 1);
}

// Killed with five tasks running, the same command with --resume finishes every file.
TEST_F(CliMany, KilledWithFiveTasksRunningResumesEveryFile)
{
    ASSERT_TRUE(server.start({"--root", dir.path(), "--rate", "60000"}));
    const QString out = dir.filePath("out");
    QStringList args{"get", "-d", out, "--jobs", "5", "-q"};
    QStringList paths;
    for (int i = 0; i < 5; ++i) {
        args << server.url("sample.asf");
        paths << QDir(out).filePath(i == 0 ? QStringLiteral("sample.asf")
                                           : QStringLiteral("sample (%1).asf").arg(i + 1));
    }
    QProcess process;
    startCli(process, args);
    ASSERT_TRUE(waitForData(paths, process)) << process.readAll().toStdString();
    ::kill(pid_t(process.processId()), SIGKILL);
    ASSERT_TRUE(process.waitForFinished(10000));
    const QByteArray expected = asfStreamedPart(sample);
    for (const QString &path : paths)
        ASSERT_LT(QFileInfo(path).size(), expected.size()) << path.toStdString();

    server.stop();
    ASSERT_TRUE(server.start({"--root", dir.path()}));
    args.replaceInStrings(QRegularExpression(":\\d+/sample"),
                          QStringLiteral(":%1/sample").arg(server.port()));
    ASSERT_EQ(run(args + QStringList{"--resume"}), 0) << output.toStdString();
    for (const QString &path : paths)
        EXPECT_EQ(readFile(path), expected) << path.toStdString();
}

// Ctrl-C stops every task as Stop does: live recordings get their headers repaired. A second
// Ctrl-C right after it ends the program without waiting.
TEST_F(CliMany, CtrlCStopsEveryTaskAndASecondOneAtOnce)
{
    ASSERT_TRUE(server.start({"--root", dir.path(), "--live"}));
    separateChannels = true;
    const QString out = dir.filePath("out");
    const QStringList paths{QDir(out).filePath("sample.asf"), QDir(out).filePath("sample (2).asf")};
    QProcess process;
    startCli(process, {"get", server.url("sample.asf"), server.url("sample.asf"), "-d", out});
    ASSERT_TRUE(waitForData(paths, process));
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    const QStringList lines =
        QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.filter(QRegularExpression("^stopped: ")).size(), 2) << lines.join('\n').toStdString();
    for (const QString &path : paths) {
        QByteArray probe;
        EXPECT_EQ(runProgram("ffprobe",
                             {"-v", "error", "-show_entries", "format=start_time", "-of", "csv=p=0", path},
                             &probe),
                  0);
        EXPECT_EQ(probe.trimmed().toDouble(), 0.0) << path.toStdString();
    }

    QDir(out).removeRecursively();
    QProcess twice;
    startCli(twice, {"get", server.url("sample.asf"), server.url("sample.asf"), "-d", out});
    ASSERT_TRUE(waitForData(paths, twice));
    ::kill(pid_t(twice.processId()), SIGINT);
    ::kill(pid_t(twice.processId()), SIGINT);
    ASSERT_TRUE(twice.waitForFinished(30000));
    // When the first stop has already wound everything down, the program may end normally first.
    EXPECT_TRUE(twice.exitCode() == 128 + SIGINT || twice.exitCode() == 0) << twice.exitCode();
    for (const QString &path : paths)
        EXPECT_EQ(runProgram("ffprobe", {"-v", "error", path}), 0) << path.toStdString();
}
