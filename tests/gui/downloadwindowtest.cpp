// Whole downloads from lumo-mms-server driven through the main window.

#include "desktopfixture.h"

#include "control/downloadcontroller.h"
#include "shell/settings.h"
#include "shell/tasklog.h"
#include "support/downloadfixture.h"
#include "support/testmedia.h"
#include "ui/completionsound.h"
#include "ui/mainwindow.h"
#include "ui/propertieswindow.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>

namespace lumo::test {
namespace {

const QString clipSource = QStringLiteral("clip.asf:600000:2000");

class DownloadWindowTest : public DesktopFixture
{
protected:
    void SetUp() override
    {
        DesktopFixture::SetUp();
        startProgram();
        connect();
    }

    void connect()
    {
        QObject::connect(&m_desktop->controller(), &DownloadController::finished, m_desktop.get(),
                         [this](bool completed) {
                             m_finished = true;
                             m_completed = completed;
                         });
        MainWindow *main = &m_desktop->mainWindow();
        QObject::connect(main, &QWidget::windowTitleChanged, main, [this, main](const QString &title) {
            m_titles.append(title);
            if (!child<QLabel>(main, "preRecordedLabel")->isHidden())
                m_sawPreRec = true;
        });
    }

    bool startTask(const QString &url)
    {
        m_finished = m_completed = false;
        m_desktop->mainWindow().setUrl({}, url);
        m_desktop->onConnectTriggered();
        return !m_desktop->controller().idle();
    }

    QWidget *main() { return &m_desktop->mainWindow(); }

    // The properties window was fed from the header and the progress display.
    void expectPropertiesOfTheCompletedClip()
    {
        PropertiesWindow &properties = m_desktop->propertiesWindow();
        EXPECT_FALSE(child<QLabel>(&properties, "type")->text().isEmpty());
        EXPECT_TRUE(child<QLabel>(&properties, "fileSize")
                        ->text()
                        .endsWith(QStringLiteral(" KB,  (当下载完成后的总大小)")));
        EXPECT_EQ(child<QLineEdit>(&properties, "packetSize")->text(), QStringLiteral("2000"));
        const QString shots = qEnvironmentVariable("LUMO_SCREENSHOT_DIR");
        if (shots.isEmpty())
            return;
        main()->grab().save(shots + QStringLiteral("/main-completed.png"));
        properties.show();
        auto *pages = properties.findChild<QTabWidget *>();
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            properties.grab().save(shots + QStringLiteral("/properties-completed%1.png").arg(i));
        }
    }

    bool m_finished = false;
    bool m_completed = false;
    bool m_sawPreRec = false;
    QStringList m_titles;
};

TEST_F(DownloadWindowTest, InterruptedDownloadIsResumedAndCompletes)
{
    m_desktop->settings().setSoundInterval(QStringLiteral("1"));
    const QString out = path(QStringLiteral("clip.asf"));

    // A server that drops the connection part-way leaves a partial file.
    ASSERT_TRUE(m_server.start(
        {QStringLiteral("--synthetic"), clipSource, QStringLiteral("--drop-after"), QStringLiteral("40")}));
    QString dialogTitle, proposed, interruptedText;
    m_answers->expect(DialogAnswerer::chooseFile(out, &dialogTitle, &proposed));
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &interruptedText));
    ASSERT_TRUE(startTask(m_server.url(QStringLiteral("clip.asf"))));
    EXPECT_EQ(dialogTitle, QStringLiteral("创建 / 续传 保存文件"));
    EXPECT_EQ(proposed, QStringLiteral("clip.asf"));
    EXPECT_EQ(child<QLabel>(main(), "savePath")->text(), out);
    EXPECT_FALSE(child<QAction>(main(), "connectAction")->isEnabled());
    EXPECT_TRUE(child<QAction>(main(), "disconnectAction")->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return m_finished; }, 30000));
    EXPECT_FALSE(m_completed);
    const qint64 partialSize = QFileInfo(out).size();
    EXPECT_GT(partialSize, 0);
    // Someone who looked away learns that it ended early, and how to go on.
    ASSERT_TRUE(waitUntil([&] { return !interruptedText.isEmpty(); }, 10000));
    EXPECT_TRUE(interruptedText.startsWith(QStringLiteral("下载被中断: 服务器关闭了连接")))
        << interruptedText.toStdString();
    EXPECT_TRUE(interruptedText.contains(QStringLiteral("40 个数据包"))) << interruptedText.toStdString();
    EXPECT_EQ(main()->windowTitle(), QStringLiteral("Lumo - 下载中断 -"));
    m_server.stop();

    // The same file again: the resume question, then the rest at a pace the display can follow.
    ASSERT_TRUE(m_server.start(
        {QStringLiteral("--synthetic"), clipSource, QStringLiteral("--rate"), QStringLiteral("300000")}));
    CompletionSound &sound = m_desktop->sound();
    QString doneText;
    bool repeatingWhileOpen = false;
    m_answers->expect(DialogAnswerer::chooseFile(out));
    m_answers->expect(DialogAnswerer::answerResume(ResumeChoice::Resume));
    m_answers->expect(m_answers->clickOkWhen(
        [&] {
            repeatingWhileOpen = sound.repeating();
            return sound.playCount() >= 2;
        },
        &doneText));
    m_titles.clear();
    ASSERT_TRUE(startTask(m_server.url(QStringLiteral("clip.asf"))));
    ASSERT_TRUE(waitUntil([&] { return m_finished; }, 60000));
    EXPECT_TRUE(m_completed);
    EXPECT_TRUE(m_answers->unexpected.isEmpty()) << m_answers->unexpected.join('\n').toStdString();

    EXPECT_TRUE(m_sawPreRec);
    EXPECT_TRUE(m_titles.contains(QStringLiteral("Lumo 激活中")));
    const QRegularExpression progress(QStringLiteral("^进度 (\\d+)%$"));
    EXPECT_TRUE(std::any_of(m_titles.begin(), m_titles.end(), [&](const QString &t) {
        const auto match = progress.match(t);
        return match.hasMatch() && match.captured(1).toInt() < 100;
    })) << m_titles.join(", ").toStdString();
    EXPECT_EQ(main()->windowTitle(), QStringLiteral("Lumo 已完成"));
    EXPECT_EQ(child<QProgressBar>(main(), "progressBar")->value(), 100);
    EXPECT_TRUE(child<QProgressBar>(main(), "progressBar")->isTextVisible());
    EXPECT_EQ(doneText, QStringLiteral("下载已完成, 媒体文件已经写入本地磁盘"));
    EXPECT_TRUE(repeatingWhileOpen);
    EXPECT_GE(sound.playCount(), 2);
    EXPECT_EQ(sound.intervalMs(), 1000);
    EXPECT_FALSE(sound.repeating());
    EXPECT_GT(QFileInfo(out).size(), partialSize);

    const QStringList log = m_desktop->log().lines();
    EXPECT_TRUE(log.contains(QStringLiteral("- ** 下载已经完成 **")));
    EXPECT_EQ(log.last(), QStringLiteral("------- 记录关闭 -------"));
    EXPECT_FALSE(child<QLabel>(main(), "standbyLabel")->isHidden());
    EXPECT_TRUE(child<QAction>(main(), "connectAction")->isEnabled());

    expectPropertiesOfTheCompletedClip();
}

TEST_F(DownloadWindowTest, ServerLoginAndLogSavedAtCompletion)
{
    m_desktop->settings().setAutoSaveLog(true);
    ASSERT_TRUE(m_server.start({QStringLiteral("--synthetic"), QStringLiteral("small.asf:60000:2000"),
                                QStringLiteral("--auth"), QStringLiteral("ann:s3cret"),
                                QStringLiteral("--realm"), QStringLiteral("lumo")}));
    QString site, realm, logTitle;
    bool repeatingAtLogSave = true;
    const QString logFile = path(QStringLiteral("small.log"));
    m_answers->expect(DialogAnswerer::chooseFile(path(QStringLiteral("small.asf"))));
    m_answers->expect([&](QWidget *dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("输入网络密码"));
        site = child<QLabel>(dialog, "site")->text();
        realm = child<QLabel>(dialog, "realm")->text();
        child<QLineEdit>(dialog, "userEdit")->setText(QStringLiteral("ann"));
        child<QLineEdit>(dialog, "passwordEdit")->setText(QStringLiteral("s3cret"));
        child<QPushButton>(dialog, "okButton")->click();
    });
    m_answers->expect([&](QWidget *dialog) {
        // The sound repeat is stopped before the log is offered.
        repeatingAtLogSave = m_desktop->sound().repeating();
        QString proposed;
        DialogAnswerer::chooseFile(logFile, &logTitle, &proposed)(dialog);
        EXPECT_EQ(proposed, QStringLiteral("small.log"));
    });
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok));
    ASSERT_TRUE(startTask(m_server.url(QStringLiteral("small.asf"))));
    ASSERT_TRUE(waitUntil([&] { return m_finished; }, 30000));
    EXPECT_TRUE(m_completed);
    EXPECT_EQ(site, QStringLiteral("127.0.0.1:%1").arg(m_server.port()));
    EXPECT_EQ(realm, QStringLiteral("\"lumo\"")); // as the server words it
    EXPECT_EQ(logTitle, QStringLiteral("保存记录文件"));
    EXPECT_FALSE(repeatingAtLogSave);
    EXPECT_EQ(m_desktop->sound().playCount(), 1);
    const QByteArray saved = readFile(logFile);
    EXPECT_TRUE(saved.startsWith("------- 记录开始 -------\n")) << saved.left(80).toStdString();
    EXPECT_FALSE(saved.contains('\r'));
    EXPECT_FALSE(m_desktop->settings().serverLogin().isEmpty()); // "save password" was ticked
    EXPECT_TRUE(m_answers->unexpected.isEmpty()) << m_answers->unexpected.join('\n').toStdString();
}

TEST_F(DownloadWindowTest, LiveRecordingShowsLiveStateAndStopAsksFirst)
{
    ASSERT_TRUE(m_server.start({QStringLiteral("--synthetic"), clipSource, QStringLiteral("--live")}));
    m_answers->expect(DialogAnswerer::chooseFile(path(QStringLiteral("live.asf"))));
    ASSERT_TRUE(startTask(m_server.url(QStringLiteral("clip.asf"))));
    ASSERT_TRUE(waitUntil([&] { return !child<QLabel>(main(), "liveLabel")->isHidden(); }, 20000));
    ASSERT_TRUE(waitUntil([&] { return main()->windowTitle() == QStringLiteral("Lumo - 实况 -"); }, 5000));
    EXPECT_TRUE(child<QLabel>(main(), "standbyLabel")->isHidden());
    EXPECT_TRUE(child<QLabel>(main(), "preRecordedLabel")->isHidden());
    EXPECT_EQ(child<QLineEdit>(main(), "timeLeft")->text(), QStringLiteral("实况"));
    EXPECT_FALSE(child<QProgressBar>(main(), "progressBar")->isTextVisible());

    // No: the task goes on.
    QString question;
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::No, &question));
    child<QAction>(main(), "disconnectAction")->trigger();
    EXPECT_EQ(question, QStringLiteral("你确定要终止这个任务吗?"));
    EXPECT_FALSE(m_desktop->controller().idle());
    EXPECT_FALSE(m_finished);

    // Yes: it ends, the header is repaired, and the person is told.
    QString told;
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Yes));
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &told));
    child<QAction>(main(), "disconnectAction")->trigger();
    EXPECT_EQ(told, QStringLiteral("连接已经关闭, 你所下载的媒体文件已经被保存"));
    ASSERT_TRUE(waitUntil([&] { return m_finished; }, 10000));
    EXPECT_EQ(main()->windowTitle(), QStringLiteral("Lumo"));
    EXPECT_FALSE(child<QLabel>(main(), "standbyLabel")->isHidden());
    EXPECT_TRUE(m_desktop->log().lines().contains(QStringLiteral("- 为实况节目修复 ASF 文件头")));
    EXPECT_TRUE(m_answers->unexpected.isEmpty()) << m_answers->unexpected.join('\n').toStdString();
}

TEST_F(DownloadWindowTest, ExceptionEndsTheTaskWithoutRepairingTheFile)
{
    ASSERT_TRUE(m_server.start({QStringLiteral("--synthetic"), clipSource, QStringLiteral("--live")}));
    m_answers->expect(DialogAnswerer::chooseFile(path(QStringLiteral("live.asf"))));
    ASSERT_TRUE(startTask(m_server.url(QStringLiteral("clip.asf"))));
    ASSERT_TRUE(waitUntil([&] { return !child<QLabel>(main(), "liveLabel")->isHidden(); }, 20000));

    QString text;
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &text));
    QTimer::singleShot(0, m_desktop.get(), [] { throw std::runtime_error("boom"); });
    ASSERT_TRUE(waitUntil([&] { return m_finished; }, 10000));
    EXPECT_EQ(text, QStringLiteral("发生了一个异常错误\nboom"));
    EXPECT_FALSE(m_desktop->log().lines().contains(QStringLiteral("- 为实况节目修复 ASF 文件头")));
    EXPECT_TRUE(child<QAction>(main(), "connectAction")->isEnabled());
    EXPECT_FALSE(main()->isHidden());
}

TEST_F(DownloadWindowTest, ClosingTheWindowEndsARunningTask)
{
    ASSERT_TRUE(m_server.start({QStringLiteral("--synthetic"), clipSource, QStringLiteral("--live")}));
    m_answers->expect(DialogAnswerer::chooseFile(path(QStringLiteral("live.asf"))));
    ASSERT_TRUE(startTask(m_server.url(QStringLiteral("clip.asf"))));
    ASSERT_TRUE(waitUntil([&] { return !child<QLabel>(main(), "liveLabel")->isHidden(); }, 20000));
    main()->close();
    EXPECT_TRUE(m_quitRequested);
    EXPECT_TRUE(m_desktop->controller().idle());
    const QStringList log = m_desktop->log().lines();
    EXPECT_TRUE(log.contains(QStringLiteral("******* 正在关闭 *******")));
    EXPECT_TRUE(log.contains(QStringLiteral("- 为实况节目修复 ASF 文件头")));
}

} // namespace
} // namespace lumo::test
