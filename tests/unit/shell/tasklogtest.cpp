#include "shell/tasklog.h"
#include "shell/textcodec.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <mutex>
#include <thread>

namespace lumo {
namespace {

class TaskLogFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    QString writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    static QByteArray readFile(const QString &filePath)
    {
        QFile file(filePath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

TEST(TaskLogLines, EntriesSplitAtCrLf)
{
    TaskLog log;
    log.append(QStringLiteral("------- 记录开始 -------"));
    log.append(QStringLiteral("a\r\nb"));
    log.append(QStringLiteral("ends\r\n"));
    log.append(QString());
    log.append(QStringLiteral("lone\ncr\r"));
    EXPECT_EQ(log.entries().size(), 5);
    EXPECT_EQ(log.lines(), QStringList({"------- 记录开始 -------", "a", "b", "ends", "", "lone\ncr\r"}));
}

TEST(TaskLogDump, TwentyBytesShowHeadingAndTwoRows)
{
    QByteArray bytes;
    for (int i = 0; i < 20; ++i)
        bytes.append(char(i * 13));
    TaskLog log;
    log.DumpBytes(bytes.constData(), bytes.size());
    ASSERT_EQ(log.entries().size(), 1);
    EXPECT_EQ(log.lines(), QStringList({" 数据转储: ", "00 0D 1A 27 34 41 4E 5B 68 75 82 8F 9C A9 B6 C3 ",
                                        "D0 DD EA F7 "}));
}

TEST(TaskLogDump, RowCountFollowsByteCount)
{
    const QByteArray bytes(64, '\xff');
    const struct
    {
        qsizetype count;
        qsizetype lines;
    } cases[] = {{0, 1}, {1, 2}, {15, 2}, {16, 2}, {17, 3}, {64, 5}};
    for (const auto &c : cases) {
        TaskLog log;
        log.DumpBytes(bytes.constData(), c.count);
        const QStringList lines = log.lines();
        EXPECT_EQ(lines.size(), c.lines) << c.count;
        EXPECT_EQ(log.entries().first().count(QStringLiteral("FF ")), c.count);
        if (c.count == 16) {
            EXPECT_TRUE(log.entries().first().endsWith(QStringLiteral("FF \r\n")));
        }
    }
}

TEST(TaskLogSignals, AppendAndClearAreAnnounced)
{
    TaskLog log;
    QStringList seen;
    int clears = 0;
    QObject::connect(&log, &TaskLog::appended, [&](const QString &entry) { seen.append(entry); });
    QObject::connect(&log, &TaskLog::cleared, [&] { ++clears; });
    log.append(QStringLiteral("one"));
    log.DumpBytes("\x01\x02", 2);
    EXPECT_EQ(seen, QStringList({"one", " 数据转储: \r\n01 02 "}));
    log.clear();
    EXPECT_EQ(clears, 1);
    EXPECT_TRUE(log.lines().isEmpty());
}

// The worker and the event thread append at once: no entry may be lost or torn, each
// thread's entries keep their order, and the signals arrive in the order the log holds.
TEST(TaskLogThreads, ConcurrentAppendsStayWholeAndConsistent)
{
    constexpr int perThread = 2000;
    TaskLog log;
    std::mutex seenMutex;
    QStringList seen;
    QObject::connect(
        &log, &TaskLog::appended, &log,
        [&](const QString &entry) {
            const std::lock_guard lock(seenMutex);
            seen.append(entry);
        },
        Qt::DirectConnection);

    auto writer = [&log](QChar tag) {
        for (int i = 0; i < perThread; ++i)
            log.append(QString(tag) + QString::number(i) + QStringLiteral("\r\n第二行"));
    };
    std::thread a(writer, u'A');
    std::thread b(writer, u'B');
    a.join();
    b.join();

    const QStringList entries = log.entries();
    ASSERT_EQ(entries.size(), 2 * perThread);
    EXPECT_EQ(seen, entries);
    int nextA = 0;
    int nextB = 0;
    for (const QString &entry : entries) {
        int &next = entry.startsWith(u'A') ? nextA : nextB;
        EXPECT_EQ(entry.mid(1), QString::number(next) + QStringLiteral("\r\n第二行"));
        ++next;
    }
    EXPECT_EQ(nextA, perThread);
    EXPECT_EQ(nextB, perThread);
    EXPECT_EQ(log.lines().size(), 4 * perThread);
}

TEST_F(TaskLogFileTest, ThreeLinesSaveAsThreeLfEndedLines)
{
    TaskLog log;
    log.append(QStringLiteral("------- 记录开始 -------"));
    log.append(QStringLiteral("打开 :\tmms://h/a.asf"));
    log.append(QStringLiteral("------- 记录关闭 -------"));
    const QString file = path(QStringLiteral("three.log"));
    EXPECT_EQ(log.saveToFile(file), QString());
    EXPECT_EQ(readFile(file),
              QByteArray("------- 记录开始 -------\n打开 :\tmms://h/a.asf\n------- 记录关闭 -------\n"));
}

TEST_F(TaskLogFileTest, SavedLogLoadsBackLineForLine)
{
    TaskLog log;
    log.append(QStringLiteral("------- 记录开始 -------"));
    log.append(QString());
    log.DumpBytes("\x82\x00\x10", 3);
    log.append(QStringLiteral("carriage\r"));
    const QString file = path(QStringLiteral("round.log"));
    ASSERT_EQ(log.saveToFile(file), QString());

    TaskLog viewer;
    viewer.append(QStringLiteral("显示 Lumo 记录文件"));
    ASSERT_TRUE(viewer.LoadLogFile(file));
    EXPECT_EQ(viewer.lines(), QStringList{"显示 Lumo 记录文件"} + log.lines());
}

TEST_F(TaskLogFileTest, SaveReplacesAnExistingFile)
{
    const QString file = writeFile(QStringLiteral("old.log"), QByteArray(1000, 'x'));
    TaskLog log;
    log.append(QStringLiteral("new"));
    EXPECT_EQ(log.saveToFile(file), QString());
    EXPECT_EQ(readFile(file), QByteArray("new\n"));
}

TEST_F(TaskLogFileTest, SaveFailuresGiveTheirMessages)
{
    TaskLog empty;
    const QString notCreated = path(QStringLiteral("empty.log"));
    EXPECT_EQ(empty.saveToFile(notCreated), QStringLiteral("没有记录数据来保存"));
    EXPECT_FALSE(QFileInfo::exists(notCreated));

    TaskLog log;
    log.append(QStringLiteral("line"));
    EXPECT_EQ(log.saveToFile(path(QStringLiteral("missing/dir/x.log"))), QStringLiteral("创建记录文件错误"));

    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full to make a write fail";
    EXPECT_EQ(log.saveToFile(QStringLiteral("/dev/full")), QStringLiteral("保存记录文件发生错误"));
}

// One empty line is something to save, unlike an empty log.
TEST_F(TaskLogFileTest, SingleEmptyLineIsSaved)
{
    TaskLog log;
    log.append(QString());
    const QString file = path(QStringLiteral("blank.log"));
    EXPECT_EQ(log.saveToFile(file), QString());
    EXPECT_EQ(readFile(file), QByteArray("\n"));
}

TEST_F(TaskLogFileTest, LoadSplitsAtLfOnly)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"plain", "a\nb\n", {"a", "b"}},
        {"unterminated", "a\nb\nlast", {"a", "b"}},
        {"crlf", "a\r\nb\r\n", {"a\r", "b\r"}},
        {"blank", "\n\nx\n", {"", "", "x"}},
        {"noLf", "only text", {}},
        {"utf8", "主机\n", {"主机"}},
        {"gbk", "\xD6\xF7\xBB\xFA\n\xBC\xC7\xC2\xBC\xBF\xAA\xCA\xBC\n", {"主机", "记录开始"}},
    };
    for (const auto &c : cases) {
        const QString file = writeFile(QString::fromLatin1(c.name), c.bytes);
        TaskLog log;
        EXPECT_TRUE(log.LoadLogFile(file)) << c.name;
        EXPECT_EQ(log.lines(), c.lines) << c.name;
    }
}

TEST_F(TaskLogFileTest, LoadFailuresAppendTheirLine)
{
    TaskLog log;
    log.append(QStringLiteral("正在更改媒体..."));
    EXPECT_FALSE(log.LoadLogFile(path(QStringLiteral("absent.log"))));
    EXPECT_FALSE(log.LoadLogFile(writeFile(QStringLiteral("empty.log"), {})));
    EXPECT_EQ(log.lines(), QStringList({"正在更改媒体...", "打开记录文件错误", "记录文件不包含任何数据"}));
}

TEST(ProposedLogFileName, SaveFileThenLocationThenDefault)
{
    const struct
    {
        const char *saveWindow;
        const char *mediaWindow;
        const char *name;
    } cases[] = {
        {"", "", "default_lumo.log"},
        {"C:\\media\\clip.asf", "", "clip.log"},
        {"", "mms://server/path/show.asf", "show.log"},
        {"/home/u/录像.part.asf", "mms://server/path/show.asf", "录像.part.log"},
        {"/home/u/noext", "", "noext.log"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(proposedLogFileName(QString::fromUtf8(c.saveWindow), QString::fromUtf8(c.mediaWindow)),
                  QString::fromUtf8(c.name))
            << c.saveWindow << " | " << c.mediaWindow;
}

TEST(TextCodec, Utf8FirstThenGbk)
{
    EXPECT_EQ(encodeGbk(QStringLiteral("记录开始")), QByteArray("\xBC\xC7\xC2\xBC\xBF\xAA\xCA\xBC"));
    EXPECT_EQ(decodeGbk("\xD6\xF7\xBB\xFA"), QStringLiteral("主机"));
    EXPECT_EQ(decodeUtf8OrGbk("主机 ok"), QStringLiteral("主机 ok"));
    EXPECT_EQ(decodeUtf8OrGbk("\xD6\xF7\xBB\xFA ok"), QStringLiteral("主机 ok"));
    // Neither encoding: still readable around the bad bytes.
    EXPECT_EQ(decodeUtf8OrGbk("ab\xFF"
                              "cd"),
              QStringLiteral("ab\uFFFDcd"));
    // A character GBK has no code for.
    EXPECT_EQ(encodeGbk(QStringLiteral("a\U0001F600b")), QByteArray("a?b"));
}

} // namespace
} // namespace lumo
