// Start-up, shut-down and the address checks of the main window.

#include "desktopfixture.h"

#include "control/downloadcontroller.h"
#include "shell/settings.h"
#include "shell/tasklog.h"
#include "support/downloadfixture.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>

namespace lumo::test {
namespace {

const QSize designedSize(345, 463);

using StartCloseTest = DesktopFixture;

TEST_F(StartCloseTest, FirstStartOpensAtDesignedSizeWithEmptyAddressBox)
{
    startProgram();
    MainWindow &main = m_desktop->mainWindow();
    EXPECT_EQ(main.size(), designedSize);
    // Narrower it may not be; lower, for a small screen, the log giving way.
    EXPECT_EQ(main.minimumWidth(), designedSize.width());
    EXPECT_LT(main.minimumHeight(), designedSize.height());
    EXPECT_EQ(main.urlText(), QString());
    EXPECT_TRUE(main.urlItems().isEmpty());
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Lumo"));
    EXPECT_FALSE(child<QLabel>(&main, "standbyLabel")->isHidden());
    EXPECT_TRUE(child<QLabel>(&main, "liveLabel")->isHidden());
    EXPECT_TRUE(child<QLabel>(&main, "preRecordedLabel")->isHidden());
    EXPECT_TRUE(child<QAction>(&main, "connectAction")->isEnabled());
    EXPECT_FALSE(child<QAction>(&main, "disconnectAction")->isEnabled());
    EXPECT_TRUE(child<QLabel>(&main, "statusText")->text().startsWith(QStringLiteral(" 请访问 ")));
    EXPECT_TRUE(child<QLabel>(&main, "statusText")->text().endsWith(QStringLiteral(" 获取帮助")));
}

TEST_F(StartCloseTest, RestartRestoresGeometryAndAddressListInOrder)
{
    startProgram();
    MainWindow &main = m_desktop->mainWindow();
    const QStringList items{QStringLiteral("mms://b.example/two.asf"),
                            QStringLiteral("mms://a.example/one.asf"),
                            QStringLiteral("mms://c.example/三.asf")};
    main.setUrl(items, QStringLiteral("mms://typed.example/x.asf"));
    main.resize(400, 520);
    main.move(37, 59);
    main.close();
    EXPECT_TRUE(m_quitRequested);
    EXPECT_EQ(m_desktop->log().lines().last(), QStringLiteral("******* 正在关闭 *******"));
    EXPECT_EQ(storedValue(QStringLiteral("URLList")),
              items.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    m_desktop.reset();

    startProgram();
    MainWindow &again = m_desktop->mainWindow();
    EXPECT_EQ(again.size(), QSize(400, 520));
    EXPECT_EQ(again.pos(), QPoint(37, 59));
    EXPECT_EQ(again.urlItems(), items);
    EXPECT_EQ(again.urlText(), QStringLiteral("mms://typed.example/x.asf"));
}

TEST_F(StartCloseTest, ExitMenuStoresWhatTheFrameButtonStores)
{
    startProgram();
    m_desktop->mainWindow().setUrl({QStringLiteral("mms://h/a.asf")}, QStringLiteral("mms://h/a.asf"));
    child<QAction>(&m_desktop->mainWindow(), "exitToolAction")->trigger();
    EXPECT_TRUE(m_quitRequested);
    EXPECT_TRUE(m_desktop->mainWindow().isHidden());
    for (const char *name : {"URLList", "URLSelected", "Height", "Width", "FormLeft", "FormTop"})
        EXPECT_FALSE(storedValue(QLatin1String(name)).isEmpty()) << name;
    EXPECT_EQ(storedValue(QStringLiteral("Height")), QStringLiteral("463"));
}

TEST_F(StartCloseTest, StoredSizeBelowTheMinimumIsRaisedToIt)
{
    {
        Settings settings;
        settings.setWindowHeight(100);
        settings.setWindowWidth(50);
        settings.setWindowLeft(12);
    }
    startProgram();
    EXPECT_EQ(m_desktop->mainWindow().size(),
              QSize(designedSize.width(), m_desktop->mainWindow().minimumHeight()));
    EXPECT_EQ(m_desktop->mainWindow().x(), 12);
}

TEST_F(StartCloseTest, StartRefusesBadAddressesWithTheirMessages)
{
    startProgram();
    MainWindow &main = m_desktop->mainWindow();
    m_desktop->log().append(QStringLiteral("earlier line"));
    QString text;

    // Nothing typed: the log keeps its lines because the reset comes later.
    main.setUrl({}, QString());
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &text));
    m_desktop->onConnectTriggered();
    EXPECT_EQ(text, QStringLiteral("没有给出 URL\n使用 文件 -> 打开 命令来输入一个媒体文件地址"));
    EXPECT_EQ(m_desktop->log().lines(), QStringList{QStringLiteral("earlier line")});

    // Not an MMS address: the address box is emptied, list and text.
    main.setUrl({QStringLiteral("mms://h/a.asf"), QStringLiteral("http://h/b.asx")},
                QStringLiteral("http://h/b.asx"));
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &text));
    m_desktop->onConnectTriggered();
    EXPECT_EQ(text, QStringLiteral("你只能够直接在 URL 窗口中输入 MMS:// 开头的地址                \n"
                                   "请使用 文件 -> 打开 命令"));
    EXPECT_TRUE(main.urlItems().isEmpty());
    EXPECT_EQ(main.urlText(), QString());

    // No TCP port: its message comes before the reset, so the log stays.
    m_desktop->settings().setTcpPort(QString());
    main.setUrl({}, QStringLiteral("mms://server"));
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &text));
    m_desktop->onConnectTriggered();
    EXPECT_EQ(text, QStringLiteral("没有 TCP 端口号   \n使用设置 -> TCP (默认 = 1755)"));
    EXPECT_EQ(m_desktop->log().lines(), QStringList{QStringLiteral("earlier line")});

    // A host that is not valid, found after the reset: the log is emptied first.
    m_desktop->settings().setTcpPort(QStringLiteral("1755"));
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &text));
    m_desktop->onConnectTriggered();
    EXPECT_EQ(text, QStringLiteral("请检查你输入的 URL 地址, 非法的 IP/主机"));
    EXPECT_TRUE(m_desktop->log().lines().isEmpty());
    EXPECT_TRUE(child<QPlainTextEdit>(&main, "logView")->toPlainText().isEmpty());

    // A host but no path.
    main.setUrl({}, QStringLiteral("mms://server/x"));
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &text));
    m_desktop->onConnectTriggered();
    EXPECT_EQ(text, QStringLiteral("请检查你输入的 URL 地址, 非法的文件名或路径"));

    EXPECT_TRUE(m_answers->unexpected.isEmpty()) << m_answers->unexpected.join('\n').toStdString();
    EXPECT_TRUE(m_desktop->controller().idle());
    EXPECT_TRUE(child<QAction>(&main, "connectAction")->isEnabled());
}

TEST_F(StartCloseTest, UncaughtExceptionsShowTheirMessageAndTheProgramGoesOn)
{
    startProgram();
    QString text;
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &text));
    QTimer::singleShot(0, m_desktop.get(), [] { throw std::runtime_error("磁盘坏了"); });
    ASSERT_TRUE(waitUntil([&] { return !text.isEmpty(); }, 5000));
    EXPECT_EQ(text, QStringLiteral("发生了一个异常错误\n磁盘坏了"));

    text.clear();
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &text));
    QTimer::singleShot(0, m_desktop.get(), [] { throw std::runtime_error("Windows Socket 错误 10061"); });
    ASSERT_TRUE(waitUntil([&] { return !text.isEmpty(); }, 5000));
    EXPECT_EQ(text, QStringLiteral("Lumo 网络连接失败"));
    EXPECT_FALSE(m_desktop->mainWindow().isHidden());
}

} // namespace
} // namespace lumo::test
