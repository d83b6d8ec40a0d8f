// Questions open above the window that asked, and windows that stay on top open clear of the
// main window's controls; the open window refuses new media while a task runs.

#include "desktopfixture.h"

#include "control/downloadcontroller.h"
#include "shell/settings.h"
#include "shell/tasklog.h"
#include "support/downloadfixture.h"
#include "ui/mainwindow.h"
#include "ui/openwindow.h"
#include "ui/propertieswindow.h"
#include "ui/settingswindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace lumo::test {
namespace {

class DialogParentTest : public DesktopFixture
{
protected:
    void SetUp() override
    {
        DesktopFixture::SetUp();
        startProgram();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main(), 5000));
    }

    MainWindow *main() { return &m_desktop->mainWindow(); }

    // A handler that records where the dialog opened, waiting (bounded) until it has the
    // keyboard, then dismisses it.
    DialogAnswerer::Handler record(QWidget **parent, bool *active, bool *onTop, QString *text = nullptr,
                                   const QString &shot = {})
    {
        return [=, this](QWidget *dialog) {
            const QString shots = qEnvironmentVariable("LUMO_SCREENSHOT_DIR");
            if (!shot.isEmpty() && !shots.isEmpty()) {
                // The screen drawn from the windows, bottom up, to show where each opened.
                QPixmap screen(dialog->screen()->geometry().size());
                screen.fill(Qt::darkGray);
                QPainter painter(&screen);
                for (QWidget *window : {static_cast<QWidget *>(main()), dialog->parentWidget(), dialog})
                    painter.drawPixmap(window->geometry().topLeft(), window->grab());
                painter.end();
                screen.save(shots + QLatin1Char('/') + shot + QStringLiteral(".png"));
            }
            *parent = dialog->parentWidget();
            *active = waitUntil([&] { return QApplication::activeWindow() == dialog; }, 5000) &&
                      QApplication::activeModalWidget() == dialog;
            *onTop = dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            DialogAnswerer::clickMessageButton(QMessageBox::Ok, text)(dialog);
        };
    }
};

TEST_F(DialogParentTest, QuestionsOpenAboveTheWindowThatAsked)
{
    struct Case
    {
        const char *name;
        QWidget *asking;
        std::function<void()> ask;
        QString shot;
    };
    SettingsWindow *settings = &m_desktop->settingsWindow();
    OpenWindow *open = &m_desktop->openWindow();
    PropertiesWindow *properties = &m_desktop->propertiesWindow();
    const Case cases[] = {
        {"关于 UDP in the settings", settings,
         [&] {
             m_desktop->onViewSetupTriggered();
             child<QPushButton>(settings, "aboutUdpButton")->click();
         },
         QStringLiteral("settings-about-udp")},
        {"browse in the open window",
         open,
         [&] {
             m_desktop->onOpenTriggered();
             child<QPushButton>(open, "browseButton")->click();
         },
         {}},
        // A message of the core goes above whichever window is active.
        {"start refused over the properties",
         properties,
         [&] {
             m_desktop->onShowPropertiesTriggered();
             properties->activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(properties, 5000));
             main()->setUrl({}, QString());
             m_desktop->onConnectTriggered();
         },
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QWidget *parent = nullptr;
        bool active = false, onTop = false;
        m_answers->expect(record(&parent, &active, &onTop, nullptr, c.shot));
        c.ask();
        EXPECT_EQ(m_answers->pending(), 0);
        EXPECT_EQ(parent, c.asking);
        EXPECT_TRUE(active);
        EXPECT_TRUE(onTop); // each of these windows stays on top, so must its dialog
        c.asking->hide();
    }
    QCoreApplication::sendPostedEvents(); // the settings window's queued close handler
    EXPECT_TRUE(m_answers->unexpected.isEmpty()) << m_answers->unexpected.join('\n').toStdString();
}

TEST_F(DialogParentTest, WindowsOnTopOpenClearOfTheMainWindowsControls)
{
    const std::vector<SmallWindow> cases = smallWindows(true);
    const QRect screen = main()->screen()->availableGeometry();
    // Where the main window stands: at the corner, and in the middle, where a window centred
    // on the screen would open over it.
    const QPoint places[] = {screen.topLeft(), screen.center() - main()->rect().center()};
    for (const QPoint &place : places) {
        main()->move(place);
        QCoreApplication::processEvents();
        for (const SmallWindow &c : cases) {
            SCOPED_TRACE(std::string(c.name) + " with the main window at " + std::to_string(place.x()) + "," +
                         std::to_string(place.y()));
            (m_desktop.get()->*c.open)();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(c.window, 5000));
            EXPECT_FALSE(c.window->frameGeometry().intersects(main()->controlsArea()));
            EXPECT_TRUE(screen.contains(c.window->frameGeometry()));
            c.window->hide();
        }
    }
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(m_answers->unexpected.isEmpty()) << m_answers->unexpected.join('\n').toStdString();
}

TEST_F(DialogParentTest, OkInTheOpenWindowIsRefusedWhileATaskRuns)
{
    // The open window is not modal: it stays open while 开始 is pressed.
    m_desktop->onOpenTriggered();
    OpenWindow *open = &m_desktop->openWindow();
    ASSERT_TRUE(open->isVisible());
    child<QComboBox>(open, "locationBox")->setEditText(QStringLiteral("mms://server/other.asf"));

    ASSERT_TRUE(m_server.start(
        {QStringLiteral("--synthetic"), QStringLiteral("clip.asf:600000:2000"), QStringLiteral("--live")}));
    const QString out = path(QStringLiteral("live.asf"));
    m_answers->expect(DialogAnswerer::chooseFile(out));
    main()->setUrl({}, m_server.url(QStringLiteral("clip.asf")));
    m_desktop->onConnectTriggered();
    ASSERT_FALSE(m_desktop->controller().idle());
    ASSERT_TRUE(waitUntil([&] { return !child<QLabel>(main(), "liveLabel")->isHidden(); }, 20000));
    const QStringList logBefore = m_desktop->log().lines();

    QWidget *parent = nullptr;
    bool active = false, onTop = false;
    QString told;
    m_answers->expect(record(&parent, &active, &onTop, &told));
    child<QPushButton>(open, "okButton")->click();
    EXPECT_EQ(told, QStringLiteral("当连接时无法更改媒体"));
    EXPECT_EQ(parent, open);
    // The task goes on as it was: nothing reset, nothing opened.
    EXPECT_FALSE(m_desktop->controller().idle());
    EXPECT_TRUE(open->isVisible());
    EXPECT_EQ(child<QLabel>(main(), "savePath")->text(), out);
    EXPECT_EQ(m_desktop->log().lines().mid(0, logBefore.size()), logBefore);
    EXPECT_EQ(m_desktop->controller().mediaWindowText(), QString());
    EXPECT_FALSE(m_desktop->settings().recentLocations().contains(QStringLiteral("mms://server/other.asf")));
    EXPECT_TRUE(m_answers->unexpected.isEmpty()) << m_answers->unexpected.join('\n').toStdString();
}

} // namespace
} // namespace lumo::test
