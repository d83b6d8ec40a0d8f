// The About and player-notes windows: texts, picture, behaviour, and the menu items that open them.

#include "desktopfixture.h"

#include "ui/aboutwindow.h"
#include "ui/mainwindow.h"
#include "ui/playeraboutwindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace lumo::test {
namespace {

// Fixed size, above other windows, not modal.
void expectInfoWindow(QDialog &window)
{
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window.isModal());
}

using AboutWindowTest = DesktopFixture;

TEST_F(AboutWindowTest, AboutShowsVersionsOverThePicture)
{
    startProgram();
    AboutWindow &about = m_desktop->aboutWindow();
    EXPECT_FALSE(about.isVisible());
    child<QAction>(&m_desktop->mainWindow(), "aboutAction")->trigger();
    ASSERT_TRUE(about.isVisible());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于"));
    expectInfoWindow(about);
    EXPECT_EQ(child<QPlainTextEdit>(&about, "versionView")->toPlainText(),
              QStringLiteral("Lumo 版本信息与说明:\n\n"
                             "Lumo 程序版本:\t\t1.8.0\n"
                             "Lumo 播放器版本:\t\t1.2.0\n"
                             "MMS 协议版本:\t\tNSPlayer/7.0.0.1956\n"
                             "发布日期:\t\t2002.10.2\n"
                             "软件作者:\t\tLumo 开发组\n"
                             "汉化作者:\t\tLumo 开发组 (中文界面与说明)"));
    auto *image = child<QLabel>(&about, "pictureLabel");
    ASSERT_FALSE(image->pixmap().isNull());
    EXPECT_EQ(image->size(), QSize(105, 89));
    EXPECT_TRUE(image->hasScaledContents());
    EXPECT_EQ(child<QLabel>(&about, "titleLabel")->text(), QStringLiteral("Lumo"));
    EXPECT_EQ(child<QLabel>(&about, "subtitleLabel")->text(), QStringLiteral("Multimedia"));
    // The words lie on the picture.
    EXPECT_TRUE(image->geometry().contains(child<QLabel>(&about, "titleLabel")->geometry()));
    EXPECT_TRUE(image->geometry().contains(child<QLabel>(&about, "subtitleLabel")->geometry()));
    auto *ok = child<QPushButton>(&about, "okButton");
    EXPECT_EQ(ok->text(), QStringLiteral("确定(&O)"));
    EXPECT_EQ(about.focusWidget(), ok);
    saveScreenshot(&about, QStringLiteral("about"));

    // Modeless: the main window's menu still works while it is open.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ok->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(m_answers->unexpected.isEmpty()) << m_answers->unexpected.join(u'/').toStdString();
}

TEST_F(AboutWindowTest, PlayerNotesAreWholeAndScroll)
{
    startProgram();
    PlayerAboutWindow &notes = m_desktop->playerAboutWindow();
    child<QAction>(&m_desktop->mainWindow(), "aboutPlayerAction")->trigger();
    ASSERT_TRUE(notes.isVisible());
    EXPECT_EQ(notes.windowTitle(), QStringLiteral("关于预览播放器"));
    expectInfoWindow(notes);
    EXPECT_EQ(child<QLabel>(&notes, "titleLabel")->text(), QStringLiteral("关于 Lumo 预览播放器"));
    EXPECT_FALSE(child<QLabel>(&notes, "iconLabel")->pixmap().isNull());

    auto *view = child<QPlainTextEdit>(&notes, "notesView");
    EXPECT_TRUE(view->isReadOnly());
    EXPECT_EQ(view->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // One paragraph per line, an empty line between paragraphs; nine notes, then our lines.
    const QStringList paragraphs = view->toPlainText().split(QStringLiteral("\n\n"));
    ASSERT_EQ(paragraphs.size(), 10);
    EXPECT_EQ(paragraphs[0], QStringLiteral("欢迎使用第一个正式版的 Lumo 多媒体播放器 1.2"));
    EXPECT_EQ(paragraphs[2], QStringLiteral("此播放器中共有两个主要的限制:"));
    EXPECT_EQ(paragraphs[3],
              QStringLiteral(
                  "1) 此播放器完全依赖你机器中已安装的各种音视频解码器来播放文件.当你使用 Windows Media "
                  "Player 播放网络上的流媒体文件时将会自动下载对应的视频解码程序.当然在您的计算机中可能已"
                  "经安装了某些解码程序.当你的计算机中安装了 MS Media Player 就一定会出现这类情况.所以这就"
                  "意味着并非所有的媒体文件都能在 Lumo 播放器上播放,除非已经安装了合适的解码程序.如果你没有"
                  "安装的话,你将会收到一个 MCI 错误信息,告诉你这个文件无法被播放."));
    EXPECT_EQ(paragraphs[6],
              QStringLiteral("解决办法 - 按下“停止”键后等待10到20秒(允许文件增加大小)后,再次按下“播放”键"
                             "重新开始预览."));
    EXPECT_EQ(paragraphs[7], QStringLiteral("请记住: Lumo 播放器是能够直接访问正在下载中的文件的."));
    EXPECT_TRUE(paragraphs[8].endsWith(QStringLiteral("但是我们还是希望 Lumo 能够证明它还是值得大家一用的")));
    for (const QString &paragraph : paragraphs)
        EXPECT_FALSE(paragraph.contains(u'\n') && &paragraph != &paragraphs.last())
            << paragraph.toStdString();
    // The notes need more room than the view has.
    EXPECT_GT(view->verticalScrollBar()->maximum(), 0);
    saveScreenshot(&notes, QStringLiteral("player-about"));

    child<QPushButton>(&notes, "okButton")->click();
    EXPECT_FALSE(notes.isVisible());
}

} // namespace
} // namespace lumo::test
