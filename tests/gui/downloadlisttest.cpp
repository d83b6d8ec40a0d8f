// The download list: several recordings at once from real servers, each row on its own.

#include "desktopfixture.h"

#include "control/downloadcontroller.h"
#include "control/downloadlist.h"
#include "control/downloadlistfile.h"
#include "control/listtasks.h"
#include "shell/tasklog.h"
#include "support/downloadfixture.h"
#include "support/testmedia.h"
#include "ui/downloadlistwindow.h"
#include "ui/mainwindow.h"
#include "ui/passworddialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>

#include <map>

namespace lumo::test {
namespace {

class DownloadListTest : public DesktopFixture
{
protected:
    void SetUp() override
    {
        DesktopFixture::SetUp();
        if (!haveFfmpeg())
            GTEST_SKIP() << "ffmpeg is needed to make the test media";
        // Copies of one clip under several names: each row's file must equal what was served.
        m_media = path(QStringLiteral("media"));
        ASSERT_TRUE(QDir().mkpath(m_media));
        m_sample = makeSampleAsf(m_media, QStringLiteral("sample.asf"));
        ASSERT_FALSE(m_sample.isEmpty());
        for (const char *name : {"a.asf", "b.asf", "c.asf", "d.asf", "e.asf"})
            ASSERT_TRUE(QFile::copy(m_sample, m_media + QLatin1Char('/') + QLatin1String(name)));
        m_served = asfStreamedPart(m_sample);
        ASSERT_GT(m_served.size(), 0);
        m_out = path(QStringLiteral("out"));
        ASSERT_TRUE(QDir().mkpath(m_out));
        startProgram();
        list().setFolder(m_out);
    }

    DownloadList &list() { return m_desktop->downloadList(); }
    ListTasks &tasks() { return m_desktop->listTasks(); }
    DownloadListWindow &window() { return m_desktop->downloadListWindow(); }
    QPushButton *button(const char *name) { return child<QPushButton>(&window(), name); }

    // A pace at which the clip takes some seconds: the rows are seen running side by side.
    QStringList slowly() const
    {
        return {QStringLiteral("--root"), m_media, QStringLiteral("--rate"),
                QString::number(qMax<qsizetype>(m_served.size() / 6, 4000))};
    }

    quint64 add(const QString &address)
    {
        const DownloadList::Added added = list().add(address);
        EXPECT_TRUE(added.id) << added.problem.toStdString();
        return added.id.value_or(0);
    }
    RowState state(quint64 id) { return list().row(id)->state; }
    QByteArray saved(quint64 id) { return readFile(list().row(id)->saveFile); }
    bool allIn(const QList<quint64> &ids, const std::function<bool(RowState)> &holds)
    {
        return std::all_of(ids.cbegin(), ids.cend(), [&](quint64 id) { return holds(state(id)); });
    }
    bool ended(quint64 id) { return !isActive(state(id)) && state(id) != RowState::Waiting; }
    // The dialogs a row's task would have shown in the main window: none may appear.
    void expectNoDialog()
    {
        EXPECT_TRUE(m_answers->seen.isEmpty()) << m_answers->seen.join('\n').toStdString();
    }

    QString m_media, m_sample, m_out;
    QByteArray m_served;
};

// Three rows from two servers record at once over UDP, two of them from one server; Stop of one
// ends only that one, and the main window's own task is not touched by any of it.
TEST_F(DownloadListTest, RowsRecordSideBySideAndStopEndsOnlyItsOwn)
{
    ServerProcess live;
    ASSERT_TRUE(m_server.start(slowly()));
    ASSERT_TRUE(live.start({QStringLiteral("--root"), m_media, QStringLiteral("--live")}));
    m_desktop->settings().setUseUdp(true);
    m_desktop->onDownloadListTriggered();
    ASSERT_TRUE(window().isVisible());

    // One typed into the window, the others as a redirect list would bring them.
    child<QLineEdit>(&window(), "addressEdit")->setText(m_server.url(QStringLiteral("a.asf")));
    button("addButton")->click();
    window().addAddresses({m_server.url(QStringLiteral("b.asf")), live.url(QStringLiteral("sample.asf"))});
    ASSERT_EQ(list().rowCount(), 3);
    const quint64 a = list().rows().at(0).id, b = list().rows().at(1).id, onAir = list().rows().at(2).id;
    EXPECT_EQ(list().row(onAir)->saveFile, m_out + QStringLiteral("/sample.asf"));

    ASSERT_TRUE(button("startAllButton")->isEnabled());
    button("startAllButton")->click();
    ASSERT_TRUE(waitUntil(
        [&] {
            return allIn({a, b, onAir}, [](RowState s) { return s == RowState::Recording; });
        },
        20000));
    EXPECT_FALSE(button("startAllButton")->isEnabled());
    EXPECT_TRUE(button("stopAllButton")->isEnabled());
    // Several rows of one address and of one server, each with its own log.
    window().selectRow(onAir);
    const auto *logView = child<QPlainTextEdit>(&window(), "logView");
    EXPECT_TRUE(
        logView->toPlainText().contains(QStringLiteral("地址 :\t") + live.url(QStringLiteral("sample.asf"))));
    EXPECT_FALSE(logView->toPlainText().contains(m_server.url(QStringLiteral("a.asf"))));
    saveScreenshot(&window(), QStringLiteral("download-list-running"));

    ASSERT_TRUE(waitUntil([&] { return list().row(onAir)->timeMs.value_or(0) > 0; }, 10000));
    ASSERT_TRUE(button("stopButton")->isEnabled());
    button("stopButton")->click();
    ASSERT_TRUE(waitUntil([&] { return state(onAir) == RowState::Stopped; }, 10000));
    EXPECT_EQ(state(a), RowState::Recording);
    EXPECT_EQ(state(b), RowState::Recording);
    EXPECT_EQ(list().row(onAir)->note, QStringLiteral("连接已经关闭, 你所下载的媒体文件已经被保存"));
    EXPECT_TRUE(tasks().log(onAir)->lines().contains(QStringLiteral("- 为实况节目修复 ASF 文件头")));

    ASSERT_TRUE(waitUntil([&] { return ended(a) && ended(b); }, 60000));
    EXPECT_EQ(state(a), RowState::Completed);
    EXPECT_EQ(state(b), RowState::Completed);
    EXPECT_EQ(saved(a), m_served);
    EXPECT_EQ(saved(b), m_served);
    EXPECT_EQ(list().row(a)->progress, 100);
    for (const quint64 id : {a, b, onAir})
        EXPECT_TRUE(tasks().log(id)->lines().contains(QStringLiteral("- 正在接收流信息 - UDP 信息 -"))) << id;
    EXPECT_GT(QFileInfo(list().row(onAir)->saveFile).size(), 0);
    expectNoDialog();
    // The main window's task never started.
    EXPECT_TRUE(m_desktop->controller().idle());
    EXPECT_EQ(m_desktop->mainWindow().windowTitle(), QStringLiteral("Lumo"));
    EXPECT_FALSE(m_desktop->log().lines().join('\n').contains(QStringLiteral("a.asf")));
}

// A server that drops one row and an address nobody answers end their own rows only; the
// person is told in each row, not by a message box that would hold up the others.
TEST_F(DownloadListTest, OneRowFailingLeavesTheOthersToFinish)
{
    ServerProcess dropping, closed;
    ASSERT_TRUE(m_server.start(slowly()));
    ASSERT_TRUE(dropping.start(
        {QStringLiteral("--root"), m_media, QStringLiteral("--drop-after"), QStringLiteral("5")}));
    ASSERT_TRUE(closed.start({QStringLiteral("--root"), m_media}));
    const QString nobody = closed.url(QStringLiteral("c.asf"));
    closed.stop();

    const quint64 good = add(m_server.url(QStringLiteral("a.asf")));
    const quint64 cut = add(dropping.url(QStringLiteral("b.asf")));
    const quint64 refused = add(nobody);
    tasks().startAll();
    ASSERT_TRUE(waitUntil([&] { return ended(good) && ended(cut) && ended(refused); }, 60000));
    EXPECT_EQ(state(good), RowState::Completed);
    EXPECT_EQ(state(cut), RowState::Interrupted);
    EXPECT_EQ(state(refused), RowState::Failed);
    EXPECT_EQ(saved(good), m_served);
    EXPECT_TRUE(list().row(cut)->note.startsWith(QStringLiteral("下载被中断")))
        << list().row(cut)->note.toStdString();
    EXPECT_FALSE(list().row(refused)->note.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(list().row(refused)->saveFile)); // nothing arrived, nothing left
    expectNoDialog();
}

// A login asked by one row names that row's address, and the other rows go on receiving while
// the question is open.
TEST_F(DownloadListTest, LoginOfOneRowNamesItsAddressWhileOthersGoOn)
{
    ServerProcess guarded;
    ASSERT_TRUE(m_server.start(slowly()));
    ASSERT_TRUE(guarded.start(
        {QStringLiteral("--root"), m_media, QStringLiteral("--auth"), QStringLiteral("anna:se:cret")}));
    const quint64 open = add(m_server.url(QStringLiteral("a.asf")));
    const quint64 locked = add(guarded.url(QStringLiteral("b.asf")));

    QString site;
    qint64 bytesWhenAsked = -1;
    bool othersWentOn = false;
    m_answers->expect([&](QWidget *dialog) {
        auto *login = qobject_cast<PasswordDialog *>(dialog);
        ASSERT_NE(login, nullptr);
        site = dialog->findChild<QLabel *>(QStringLiteral("site"))->text();
        bytesWhenAsked = list().row(open)->bytes;
        // Still inside the question: the other row's file grows meanwhile.
        othersWentOn = waitUntil([&] { return list().row(open)->bytes > bytesWhenAsked; }, 10000);
        dialog->findChild<QLineEdit *>(QStringLiteral("userEdit"))->setText(QStringLiteral("anna"));
        dialog->findChild<QLineEdit *>(QStringLiteral("passwordEdit"))->setText(QStringLiteral("se:cret"));
        login->accept();
    });
    ASSERT_TRUE(tasks().start(open));
    ASSERT_TRUE(waitUntil([&] { return state(open) == RowState::Recording; }, 20000));
    ASSERT_TRUE(tasks().start(locked));
    ASSERT_TRUE(waitUntil([&] { return ended(open) && ended(locked); }, 60000));
    EXPECT_EQ(site, guarded.url(QStringLiteral("b.asf")));
    EXPECT_TRUE(othersWentOn);
    EXPECT_EQ(state(open), RowState::Completed);
    EXPECT_EQ(state(locked), RowState::Completed);
    EXPECT_EQ(saved(locked), m_served);
    EXPECT_EQ(m_answers->seen.size(), 1) << m_answers->seen.join('\n').toStdString();
}

// The list, its finished rows and its folder come back at the next start; a row is removed
// only once it has ended.
TEST_F(DownloadListTest, ListIsRememberedBetweenRuns)
{
    ASSERT_TRUE(m_server.start(slowly()));
    const quint64 done = add(m_server.url(QStringLiteral("a.asf")));
    const quint64 waiting = add(m_server.url(QStringLiteral("b.asf")));
    const quint64 gone = add(m_server.url(QStringLiteral("c.asf")));
    ASSERT_TRUE(tasks().start(done));
    ASSERT_TRUE(waitUntil([&] { return state(done) == RowState::Recording; }, 20000));
    window().selectRow(done);
    EXPECT_FALSE(button("removeButton")->isEnabled());
    EXPECT_FALSE(tasks().remove(done));
    ASSERT_TRUE(waitUntil([&] { return ended(done); }, 60000));
    window().selectRow(gone);
    ASSERT_TRUE(button("removeButton")->isEnabled());
    button("removeButton")->click();
    EXPECT_EQ(list().row(gone), nullptr);
    const QString doneFile = list().row(done)->saveFile;
    const QString waitingFile = list().row(waiting)->saveFile;

    closeProgram();
    EXPECT_EQ(QFile::permissions(downloadListFilePath()) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              0);
    startProgram();
    ASSERT_EQ(list().rowCount(), 2);
    EXPECT_EQ(list().folder(), m_out);
    EXPECT_EQ(list().rows().at(0).address, m_server.url(QStringLiteral("a.asf")));
    EXPECT_EQ(list().rows().at(0).saveFile, doneFile);
    EXPECT_EQ(list().rows().at(0).state, RowState::Completed);
    EXPECT_EQ(list().rows().at(0).progress, 100);
    EXPECT_EQ(list().rows().at(1).saveFile, waitingFile);
    EXPECT_EQ(list().rows().at(1).state, RowState::Waiting);
    EXPECT_EQ(readFile(doneFile), m_served);
}

// A list file that cannot be read is set aside, said so in the log, and the list starts empty.
TEST_F(DownloadListTest, DamagedListFileIsSetAsideAndSaidInTheLog)
{
    add(QStringLiteral("mms://127.0.0.1/a.asf"));
    closeProgram();
    QFile file(downloadListFilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("{\"version\": 1, \"rows\": [{\"address\": ");
    file.close();

    startProgram();
    EXPECT_EQ(list().rowCount(), 0);
    const QStringList lines = m_desktop->log().lines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("下载列表文件已损坏, 已移到 ")))
        << lines.last().toStdString();
    const QString aside =
        lines.last().section(QStringLiteral("已移到 "), 1).section(QStringLiteral(", "), 0, 0);
    EXPECT_EQ(readFile(aside), QByteArray("{\"version\": 1, \"rows\": [{\"address\": "));
    EXPECT_FALSE(QFileInfo::exists(downloadListFilePath()));
}

// The menu item opens the list; the address box's addresses (a redirect list's) are offered and
// added once; every letter of the window is claimed once.
TEST_F(DownloadListTest, MenuOpensTheListAndTheAddressBoxIsOffered)
{
    MainWindow &main = m_desktop->mainWindow();
    auto *item = child<QAction>(&main, "downloadListAction");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
    const QStringList entries{QStringLiteral("mms://127.0.0.1/one.asf"),
                              QStringLiteral("mms://127.0.0.1/two"),
                              QStringLiteral("mms://127.0.0.1/three.wma")};
    main.setUrl(entries, entries.first());
    item->trigger();
    ASSERT_TRUE(window().isVisible());
    ASSERT_TRUE(button("addBoxButton")->isEnabled());
    button("addBoxButton")->click();
    ASSERT_EQ(list().rowCount(), 3);
    EXPECT_EQ(list().rows().at(1).saveFile, m_out + QStringLiteral("/two_live.asf"));
    EXPECT_EQ(child<QLabel>(&window(), "noteLabel")->text(), QStringLiteral("已加入 3 个地址"));
    button("addBoxButton")->click();
    EXPECT_EQ(list().rowCount(), 3);
    EXPECT_TRUE(child<QLabel>(&window(), "noteLabel")
                    ->text()
                    .startsWith(QStringLiteral("已加入 0 个地址\n这个地址已经在列表中")));
    // Nothing of it reached the main window's task.
    EXPECT_EQ(main.urlItems(), entries);
    EXPECT_TRUE(m_desktop->controller().idle());
    expectNoDialog();

    std::map<QString, QString> owners;
    for (const QWidget *widget : window().findChildren<QWidget *>()) {
        const auto *label = qobject_cast<const QLabel *>(widget);
        const auto *pushed = qobject_cast<const QPushButton *>(widget);
        const QString text = label ? label->text() : pushed ? pushed->text() : QString();
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (key.isEmpty())
            continue;
        const auto [at, added] = owners.emplace(key.toString(), text);
        EXPECT_TRUE(added) << key.toString().toStdString() << ": " << text.toStdString() << " and "
                           << at->second.toStdString();
    }
    EXPECT_EQ(owners.size(), 10u);
}

// The states the running program last wrote, as they stand in its file.
QStringList writtenStates()
{
    QFile file(downloadListFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList states;
    for (const QJsonValue &row : QJsonDocument::fromJson(file.readAll()).object().value("rows").toArray())
        states.append(row.toObject().value("state").toString());
    return states;
}

// `lumo` killed with five rows running, then started again with the same addresses: every row
// resumes where its file stops and ends with the bytes served.
TEST_F(DownloadListTest, KilledProgramResumesEveryRowToTheSameBytes)
{
    closeProgram();
    // The folder the rows save into, set as the window would.
    DownloadList prepared;
    prepared.setFolder(m_out);
    ASSERT_EQ(writeDownloadList(prepared, downloadListFilePath()), QString());
    ASSERT_TRUE(m_server.start(slowly()));
    QStringList addresses;
    for (const char *name : {"a.asf", "b.asf", "c.asf", "d.asf", "e.asf"})
        addresses.append(m_server.url(QLatin1String(name)));
    const QStringList five(5, QStringLiteral("recording")), done(5, QStringLiteral("completed"));
    const auto sizes = [&] {
        QList<qint64> result;
        for (const char *name : {"a.asf", "b.asf", "c.asf", "d.asf", "e.asf"})
            result.append(QFileInfo(m_out + QLatin1Char('/') + QLatin1String(name)).size());
        return result;
    };

    QProcess lumo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    lumo.setProcessEnvironment(env);
    lumo.start(QStringLiteral(LUMO_GUI_BIN), addresses + QStringList{QStringLiteral("--start")});
    ASSERT_TRUE(lumo.waitForStarted(10000));
    // Killed part-way: every file holds some of its packets.
    const bool running = waitUntil(
        [&] {
            const QList<qint64> now = sizes();
            return writtenStates() == five && std::all_of(now.cbegin(), now.cend(), [&](qint64 size) {
                       return size > m_served.size() / 4;
                   });
        },
        30000);
    lumo.kill();
    ASSERT_TRUE(lumo.waitForFinished(10000));
    ASSERT_TRUE(running) << writtenStates().join(' ').toStdString();
    const QList<qint64> partial = sizes();
    EXPECT_TRUE(
        std::any_of(partial.cbegin(), partial.cend(), [&](qint64 size) { return size < m_served.size(); }));

    lumo.start(QStringLiteral(LUMO_GUI_BIN), addresses + QStringList{QStringLiteral("--start")});
    ASSERT_TRUE(lumo.waitForStarted(10000));
    const bool completed = waitUntil([&] { return writtenStates() == done; }, 60000);
    lumo.kill();
    lumo.waitForFinished(10000);
    ASSERT_TRUE(completed) << writtenStates().join(' ').toStdString();
    for (const char *name : {"a.asf", "b.asf", "c.asf", "d.asf", "e.asf"})
        EXPECT_EQ(readFile(m_out + QLatin1Char('/') + QLatin1String(name)), m_served) << name;
}

} // namespace
} // namespace lumo::test
