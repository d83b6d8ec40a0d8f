#include "control/downloadlist.h"
#include "control/downloadlistfile.h"
#include "shell/settingsstore.h"

#include "../shell/tempconfig.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <sys/stat.h>

using namespace lumo;

namespace {

class DownloadListTest : public lumo::test::TempConfigTest
{
protected:
    void SetUp() override
    {
        TempConfigTest::SetUp();
        m_folder = configDir() + QStringLiteral("/media");
        ASSERT_TRUE(QDir().mkpath(m_folder));
        m_list.setFolder(m_folder);
    }

    quint64 add(const QString &address)
    {
        const DownloadList::Added added = m_list.add(address);
        EXPECT_TRUE(added.id) << address.toStdString() << ": " << added.problem.toStdString();
        return added.id.value_or(0);
    }
    QString saveName(quint64 id) const { return QFileInfo(m_list.row(id)->saveFile).fileName(); }

    QString m_folder;
    DownloadList m_list;
};

mode_t fileMode(const QString &path)
{
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TaskStatus recordingStatus(quint32 packets, quint32 packetSize = 1000)
{
    TaskStatus status;
    status.label = TaskLabel::PreRec;
    status.disconnectEnabled = true;
    status.progress = 40;
    status.sendTimeMs = 5000;
    TaskStatistics statistics;
    statistics.packets = packets;
    statistics.packetSize = packetSize;
    status.statistics = statistics;
    return status;
}

} // namespace

// Each row saves into the list's folder under the name Start would propose, never onto a file
// that is there or that another row will write.
TEST_F(DownloadListTest, SaveFilesAreProposedAndMadeUnique)
{
    QFile existing(m_folder + QStringLiteral("/news.asf"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();

    const quint64 a = add(QStringLiteral("mms://one.example/clips/news.asf"));
    const quint64 b = add(QStringLiteral("mms://two.example/news.asf"));
    const quint64 c = add(QStringLiteral("mmsh://radio.example/live"));
    const quint64 d = add(QStringLiteral("mms://three.example/%E6%96%B0%E9%97%BB.wma?x=1"));
    EXPECT_EQ(saveName(a), QStringLiteral("news-2.asf"));
    EXPECT_EQ(saveName(b), QStringLiteral("news-3.asf"));
    EXPECT_EQ(saveName(c), QStringLiteral("live_live.asf"));
    EXPECT_EQ(saveName(d), QStringLiteral("新闻.wma"));
    EXPECT_EQ(QFileInfo(m_list.row(a)->saveFile).absolutePath(), m_folder);
    EXPECT_EQ(m_list.row(a)->state, RowState::Waiting);
    EXPECT_EQ(m_list.rowCount(), 4);
}

// What Start would refuse never becomes a row, and the person is told why.
TEST_F(DownloadListTest, AddressesStartWouldRefuseAreNotAdded)
{
    add(QStringLiteral("mms://host/a.asf"));
    const struct
    {
        const char *address;
        const char *problem;
    } cases[] = {
        {"  ", "没有给出 URL"},
        {"ftp://host/a.asf", "MMS://"},
        {"http://host/list.asx", "MMS://"},
        {"mms://host/", "非法的 IP/主机"},
        {"mms://host/list.asx", "文件的类型是非法的"},
        {"mms://host/a.asf", "已经在列表中"},
        {" mms://host/a.asf ", "已经在列表中"},
    };
    for (const auto &c : cases) {
        const DownloadList::Added added = m_list.add(QString::fromUtf8(c.address));
        EXPECT_FALSE(added.id) << c.address;
        EXPECT_TRUE(added.problem.contains(QString::fromUtf8(c.problem), Qt::CaseInsensitive))
            << c.address << ": " << added.problem.toStdString();
    }
    EXPECT_EQ(m_list.rowCount(), 1);
}

// A row at work cannot be removed; removing one changes the file's contents.
TEST_F(DownloadListTest, OnlyRowsNotAtWorkAreRemoved)
{
    const quint64 running = add(QStringLiteral("mms://host/a.asf"));
    const quint64 done = add(QStringLiteral("mms://host/b.asf"));
    m_list.setState(running, RowState::Recording);
    m_list.setState(done, RowState::Completed);
    int changed = 0;
    QObject::connect(&m_list, &DownloadList::listChanged, [&] { ++changed; });
    EXPECT_FALSE(m_list.remove(running));
    EXPECT_EQ(changed, 0);
    EXPECT_TRUE(m_list.remove(done));
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(m_list.rowCount(), 1);
    EXPECT_EQ(m_list.row(done), nullptr);
    EXPECT_NE(m_list.row(running), nullptr);
}

// The speed is measured over whole seconds of the task's own numbers; a new run starts afresh.
TEST_F(DownloadListTest, StatusGivesProgressSpeedAndTheRecordingState)
{
    const quint64 id = add(QStringLiteral("mms://host/a.asf"));
    // Nothing received yet: no percentage, no bar.
    EXPECT_TRUE(m_list.data(m_list.index(0, DownloadList::ProgressColumn)).toString().isEmpty());
    EXPECT_EQ(m_list.data(m_list.index(0, DownloadList::ProgressColumn), DownloadList::PercentRole).toInt(),
              -1);
    m_list.setState(id, RowState::Connecting);
    TaskStatus connecting;
    connecting.disconnectEnabled = true;
    m_list.updateStatus(id, connecting, 0);
    EXPECT_EQ(m_list.row(id)->state, RowState::Connecting);

    m_list.updateStatus(id, recordingStatus(100), 1000);
    EXPECT_EQ(m_list.row(id)->state, RowState::Recording);
    EXPECT_EQ(m_list.row(id)->speed, 100000);            // 100 packets of 1000 bytes in the first second
    m_list.updateStatus(id, recordingStatus(150), 1500); // half a second: not measured again yet
    EXPECT_EQ(m_list.row(id)->speed, 100000);
    m_list.updateStatus(id, recordingStatus(500), 3000);
    EXPECT_EQ(m_list.row(id)->speed, 200000); // 400 packets in the 2 s since
    EXPECT_EQ(m_list.row(id)->bytes, 500000);
    const QModelIndex speed = m_list.index(0, DownloadList::SpeedColumn);
    EXPECT_EQ(m_list.data(speed).toString(), QStringLiteral("195.3 KB/s"));
    EXPECT_EQ(m_list.data(m_list.index(0, DownloadList::ProgressColumn)).toString(), QStringLiteral("40%"));
    EXPECT_EQ(m_list.data(m_list.index(0, DownloadList::TimeColumn)).toString(),
              QStringLiteral("00 : 00 : 05"));
    EXPECT_EQ(m_list.data(m_list.index(0, DownloadList::StateColumn)).toString(), QStringLiteral("正在录制"));

    // A live recording shows no percentage; once stopped no speed is shown.
    TaskStatus live = recordingStatus(400);
    live.label = TaskLabel::Live;
    live.live = true;
    m_list.updateStatus(id, live, 4000);
    EXPECT_EQ(m_list.data(m_list.index(0, DownloadList::ProgressColumn), DownloadList::PercentRole).toInt(),
              -1);
    m_list.setState(id, RowState::Stopped);
    EXPECT_TRUE(m_list.data(speed).toString().isEmpty());

    // Started again: the count restarts below the last sample, and the note is cleared.
    m_list.setNote(id, QStringLiteral("连接已经关闭"));
    m_list.setState(id, RowState::Connecting);
    EXPECT_TRUE(m_list.row(id)->note.isEmpty());
    m_list.updateStatus(id, recordingStatus(10), 5000);
    m_list.updateStatus(id, recordingStatus(60), 6000);
    EXPECT_EQ(m_list.row(id)->speed, 50000);

    EXPECT_EQ(speedText(500), QStringLiteral("500 B/s"));
    EXPECT_EQ(speedText(3 * 1024 * 1024 / 2), QStringLiteral("1.5 MB/s"));
}

// A live recording that starts again must not resume into its file: it gets the next name.
TEST_F(DownloadListTest, RenewedSaveFileLeavesTheRecordingMade)
{
    const quint64 id = add(QStringLiteral("mms://host/live"));
    const QString first = m_list.row(id)->saveFile;
    m_list.renewSaveFile(id);
    EXPECT_EQ(m_list.row(id)->saveFile, first); // nothing on disk yet: the name is free
    QFile made(first);
    ASSERT_TRUE(made.open(QIODevice::WriteOnly));
    made.write("recorded");
    made.close();
    m_list.renewSaveFile(id);
    EXPECT_EQ(saveName(id), QStringLiteral("live_live-2.asf"));
}

// The list comes back as it was; a row that was at work when the program ended comes back
// interrupted, so that a start resumes it.
TEST_F(DownloadListTest, FileReadsBackTheListAndCutsShortRowsAtWork)
{
    const quint64 a = add(QStringLiteral("mms://host/a.asf"));
    const quint64 b = add(QStringLiteral("mms://host/live"));
    const quint64 c = add(QStringLiteral("mms://host/c.asf"));
    m_list.setState(a, RowState::Completed);
    m_list.updateStatus(a, recordingStatus(100), 0);
    m_list.setNote(a, QStringLiteral("下载已完成"));
    m_list.setState(b, RowState::Recording);
    TaskStatus live = recordingStatus(100);
    live.live = true;
    m_list.updateStatus(b, live, 0);
    m_list.setState(c, RowState::Failed);

    const QString path = downloadListFilePath();
    EXPECT_EQ(QFileInfo(path).absolutePath(), QFileInfo(settingsFilePath(settingsKey)).absolutePath());
    ASSERT_EQ(writeDownloadList(m_list, path), QString());
    EXPECT_EQ(fileMode(path), mode_t(0600));
    // Written whole in one step: nothing beside it.
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files), QStringList{"downloadlist.json"});

    DownloadList read;
    ASSERT_EQ(readDownloadList(read, path).result, ListFileRead::Result::Read);
    EXPECT_EQ(read.folder(), m_folder);
    ASSERT_EQ(read.rows().size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(read.rows().at(i).address, m_list.rows().at(i).address);
        EXPECT_EQ(read.rows().at(i).saveFile, m_list.rows().at(i).saveFile);
    }
    EXPECT_EQ(read.rows().at(0).state, RowState::Completed);
    EXPECT_EQ(read.rows().at(0).progress, 40);
    EXPECT_EQ(read.rows().at(0).timeMs, 5000u);
    EXPECT_EQ(read.rows().at(0).note, QStringLiteral("下载已完成"));
    EXPECT_EQ(read.rows().at(1).state, RowState::Interrupted);
    EXPECT_TRUE(read.rows().at(1).live);
    EXPECT_EQ(read.rows().at(2).state, RowState::Failed);
    // New rows go on from there, and stay unique against the rows read.
    const DownloadList::Added again = read.add(QStringLiteral("mms://other/a.asf"));
    ASSERT_TRUE(again.id);
    EXPECT_EQ(read.rows().size(), 4);
    EXPECT_EQ(QFileInfo(read.row(*again.id)->saveFile).fileName(), QStringLiteral("a-2.asf"));
}

// A file that cannot be read back whole is moved aside, not overwritten, and the list is empty.
TEST_F(DownloadListTest, DamagedFileIsSetAside)
{
    const QString path = downloadListFilePath();
    EXPECT_EQ(readDownloadList(m_list, path).result, ListFileRead::Result::Missing);

    const QJsonObject row{{"address", "mms://h/a.asf"}, {"saveFile", "/tmp/a.asf"}, {"state", "completed"}};
    const auto document = [](const QJsonObject &object) { return QJsonDocument(object).toJson(); };
    const auto withState = [](QJsonObject object, const char *state) {
        object.insert("state", state);
        return object;
    };
    const QByteArray cases[] = {
        "{\"version\": 1, \"rows\": [",
        "[]",
        document({{"version", 2}, {"rows", QJsonArray{row}}}),
        document({{"version", 1}, {"rows", row}}),
        document({{"version", 1}, {"rows", QJsonArray{QJsonObject{{"address", "mms://h/a.asf"}}}}}),
        document({{"version", 1}, {"rows", QJsonArray{withState(row, "paused")}}}),
        document({{"version", 1}, {"rows", QJsonArray{row, 3}}}),
    };
    for (const QByteArray &text : cases) {
        DownloadList list;
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        const ListFileRead read = readDownloadList(list, path);
        EXPECT_EQ(read.result, ListFileRead::Result::Damaged) << text.constData();
        EXPECT_EQ(list.rowCount(), 0) << text.constData();
        EXPECT_FALSE(QFileInfo::exists(path)) << text.constData();
        ASSERT_FALSE(read.setAsidePath.isEmpty()) << text.constData();
        QFile aside(read.setAsidePath);
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), text);
    }
    // Every damaged file is still there, under a name of its own.
    const QStringList kept = QDir(QFileInfo(path).absolutePath()).entryList({"downloadlist.json.damaged-*"});
    EXPECT_EQ(kept.size(), qsizetype(std::size(cases)));
}
