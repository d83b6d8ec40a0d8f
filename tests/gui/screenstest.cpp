// Every window laid out with its real texts: nothing cut off. With LUMO_SCREENSHOT_DIR set,
// each window is also saved there as a PNG for a look by eye.

#include "desktopfixture.h"

#include "shell/language.h"
#include "shell/tasklog.h"
#include "ui/mainwindow.h"
#include "ui/openwindow.h"
#include "ui/passworddialog.h"
#include "ui/propertieswindow.h"
#include "ui/resumedialog.h"
#include "ui/settingswindow.h"
#include "ui/webloginwindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

namespace lumo::test {
namespace {

// Labels, buttons and check boxes whose text needs more room than they got.
QStringList cutOff(QWidget *window)
{
    QStringList found;
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->isVisibleTo(window) || label->wordWrap() || label->text().isEmpty() ||
            label->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored)
            continue;
        if (label->width() < label->minimumSizeHint().width())
            found.append(label->objectName() + QStringLiteral(": ") + label->text());
    }
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (button->isVisibleTo(window) && !button->text().isEmpty() &&
            button->width() < button->sizeHint().width())
            found.append(button->objectName() + QStringLiteral(": ") + button->text());
    }
    return found;
}

class ScreensTest : public DesktopFixture
{
protected:
    // Shows every window in the language installed; pictures are named with `prefix`.
    void checkEveryWindow(const QString &prefix)
    {
        startProgram();
        MainWindow &main = m_desktop->mainWindow();
        m_desktop->log().append(QStringLiteral("------- 记录开始 -------"));
        m_desktop->log().append(QStringLiteral("打开 :\t"));
        main.setSaveWindowText(QStringLiteral("/home/user/视频/clip.asf"));
        QCoreApplication::processEvents();
        EXPECT_EQ(cutOff(&main), QStringList());
        // Every tool-bar button has room; none is pushed into the overflow menu.
        auto *toolBar = main.findChild<QToolBar *>(QStringLiteral("toolBar"));
        ASSERT_NE(toolBar, nullptr);
        for (QAction *action : toolBar->actions())
            EXPECT_TRUE(toolBar->widgetForAction(action)->isVisible()) << action->text().toStdString();
        saveScreenshot(&main, prefix + QStringLiteral("main"));

        SettingsWindow &settings = m_desktop->settingsWindow();
        settings.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(cutOff(&settings), QStringList());
        saveScreenshot(&settings, prefix + QStringLiteral("settings"));
        settings.hide();

        PropertiesWindow &properties = m_desktop->propertiesWindow();
        properties.show();
        auto *pages = properties.findChild<QTabWidget *>();
        ASSERT_NE(pages, nullptr);
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QCoreApplication::processEvents();
            EXPECT_EQ(cutOff(pages->currentWidget()), QStringList()) << i;
            saveScreenshot(&properties, prefix + QStringLiteral("properties%1").arg(i));
        }
        properties.hide();

        ResumeDialog resume(&main);
        resume.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(cutOff(&resume), QStringList());
        saveScreenshot(&resume, prefix + QStringLiteral("resume"));

        PasswordDialog password({QStringLiteral("media.example.org"), QStringLiteral("lumo"), {}, {}}, &main);
        password.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(cutOff(&password), QStringList());
        saveScreenshot(&password, prefix + QStringLiteral("password"));

        OpenWindow open(&main);
        open.showList({QStringLiteral("http://media.example.org/list.asx")});
        open.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(cutOff(&open), QStringList());
        saveScreenshot(&open, prefix + QStringLiteral("open"));

        WebLoginWindow webLogin(&main);
        webLogin.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(cutOff(&webLogin), QStringList());
        saveScreenshot(&webLogin, prefix + QStringLiteral("weblogin"));
    }
};

TEST_F(ScreensTest, EveryWindowShowsItsTextsWhole)
{
    checkEveryWindow(QString());
}

// English texts are longer; the windows grow to hold them.
TEST_F(ScreensTest, EveryWindowShowsItsEnglishTextsWhole)
{
    ASSERT_TRUE(installLanguage(Language::English));
    checkEveryWindow(QStringLiteral("en-"));
    installLanguage(Language::Chinese);
}

// Run once more by ctest at twice the scale on a screen 800 pixels high
// (ScreensAtScale2.MainWindowFitsTheScreen).
TEST_F(ScreensTest, MainWindowFitsTheScreen)
{
    startProgram();
    MainWindow &main = m_desktop->mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main, 5000));
    const QScreen *screen = main.screen();
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == QStringLiteral("2")) {
        EXPECT_EQ(screen->geometry().height() * main.devicePixelRatio(), 800);
    }
    EXPECT_TRUE(screen->availableGeometry().contains(main.frameGeometry()))
        << main.frameGeometry().height() << " in " << screen->availableGeometry().height();
    // The log gives way, but keeps a few lines.
    EXPECT_GE(main.findChild<QPlainTextEdit *>(QStringLiteral("logView"))->height(),
              3 * main.fontMetrics().height());
    EXPECT_EQ(cutOff(&main), QStringList());
    saveScreenshot(&main, QStringLiteral("main-scale%1").arg(main.devicePixelRatio()));
}

} // namespace
} // namespace lumo::test
