// The preview player on the offscreen platform: ffmpeg-made files played through the real
// media back end, without a sound card.

#include "desktopfixture.h"

#include "control/mediaopener.h"
#include "shell/previewlogic.h"
#include "support/downloadfixture.h"
#include "support/testmedia.h"
#include "ui/mainwindow.h"
#include "ui/previewwindow.h"

#include <QAction>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMediaDevices>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace lumo::test {
namespace {

void save(QWidget *window, const QString &name)
{
    const QString dir = qEnvironmentVariable("LUMO_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    // The picture is drawn in a window of its own, which only a grab of the screen shows;
    // the window must have painted what changed before the screen is read.
    const bool onScreen = QGuiApplication::platformName() == QStringLiteral("xcb");
    if (onScreen) {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        QDeadlineTimer painted(300);
        while (!painted.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    const QPixmap shot = onScreen ? window->screen()->grabWindow(window->winId()) : window->grab();
    shot.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QString makeAudioOnlyAsf(const QString &dir)
{
    const QString path = dir + QStringLiteral("/radio.asf");
    const QStringList args{
        "-loglevel", "error", "-y",   "-f",  "lavfi", "-i",  "sine=frequency=440:duration=3",
        "-c:a",      "wmav2", "-b:a", "64k", "-f",    "asf", path};
    return runProgram(QStringLiteral("ffmpeg"), args) == 0 ? path : QString();
}

class PreviewWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!haveFfmpeg())
            GTEST_SKIP() << "ffmpeg is not installed";
        ASSERT_TRUE(m_dir.isValid());
        m_video = makeSampleAsf(m_dir.path(), QStringLiteral("clip.asf"));
        ASSERT_FALSE(m_video.isEmpty());
    }

    template <typename T> T *child(const char *name) { return m_window.findChild<T *>(QLatin1String(name)); }
    QString text(const char *label) { return child<QLabel>(label)->text(); }
    QMediaPlayer &player() { return m_window.player(); }

    // Opens `path` and waits until the back end has read it. Skips the test when the media
    // back end cannot play it here, rather than fail on the machine's missing plug-ins.
    void openAndLoad(const QString &path, quint32 streamKinds)
    {
        m_window.showFile(path, streamKinds);
        ASSERT_TRUE(waitUntil(
            [&] {
                const auto status = player().mediaStatus();
                return status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::InvalidMedia;
            },
            20000))
            << "media status " << int(player().mediaStatus());
        if (player().mediaStatus() == QMediaPlayer::InvalidMedia)
            GTEST_SKIP() << "the media back end cannot play ASF here: "
                         << player().errorString().toStdString();
    }

    // Waits for `ticks` more runs of the 300 ms display timer.
    bool timerTicks(int ticks)
    {
        QSignalSpy spy(child<QTimer>("displayTimer"), &QTimer::timeout);
        return waitUntil([&] { return spy.count() >= ticks; }, 5000);
    }

    QTemporaryDir m_dir;
    QString m_video;
    PreviewWindow m_window;
};

TEST_F(PreviewWindowTest, OpensAVideoSizedToItsPictureAndWaitsForPlay)
{
    EXPECT_EQ(m_window.windowTitle(), QStringLiteral("预览播放器"));
    EXPECT_EQ(m_window.minimumSize(), QSize(372, 228));
    EXPECT_EQ(child<QStatusBar>("statusBar")->currentMessage(), QStringLiteral("Lumo Media Player v1.2.0"));
    EXPECT_EQ(text("playerState"), QStringLiteral("Not Ready"));

    openAndLoad(m_video, 0x3);
    EXPECT_EQ(m_window.previewFile(), m_video);
    EXPECT_EQ(text("mediaName"), QStringLiteral("clip"));
    EXPECT_EQ(text("positionTime"), QStringLiteral("00 : 00 : 00"));
    EXPECT_TRUE(text("videoArea").isEmpty());
    auto *bar = child<QScrollBar>("positionBar");
    EXPECT_EQ(bar->singleStep(), 1000);
    EXPECT_EQ(bar->pageStep(), 10000);
    EXPECT_NEAR(bar->maximum(), 3000, 200);
    EXPECT_EQ(bar->value(), 0);
    // 320 x 240: the window takes the picture's height above its bars (its width stays at
    // the minimum), and the picture is centred in the video area at its own size.
    EXPECT_DOUBLE_EQ(m_window.videoAspect(), 320.0 / 240.0);
    auto *videoArea = child<QLabel>("videoArea");
    ASSERT_TRUE(waitUntil([&] { return videoArea->height() == 240; }, 5000)) << videoArea->height();
    EXPECT_EQ(m_window.picture()->geometry(), QRect((videoArea->width() - 320) / 2, 0, 320, 240));
    // Nothing plays until Play is pressed.
    ASSERT_TRUE(timerTicks(2));
    EXPECT_EQ(text("playerState"), QStringLiteral("Stopped"));
    EXPECT_EQ(player().position(), 0);
}

TEST_F(PreviewWindowTest, PicturePlaysAndTheBarSeeks)
{
    openAndLoad(m_video, 0x3);
    child<QToolButton>("playButton")->click();
    ASSERT_TRUE(waitUntil([&] { return text("playerState") == QStringLiteral("Playing"); }, 10000));
    // The time moves while playing.
    ASSERT_TRUE(waitUntil([&] { return text("positionTime") == QStringLiteral("00 : 00 : 01"); }, 10000))
        << text("positionTime").toStdString();
    if (auto *message = m_window.findChild<QMessageBox *>())
        message->close();
    save(&m_window, QStringLiteral("preview-video"));

    // Paused: the player may move (a seek), the display does not.
    child<QToolButton>("pauseButton")->click();
    ASSERT_TRUE(waitUntil([&] { return text("playerState") == QStringLiteral("Paused"); }, 10000));
    auto *bar = child<QScrollBar>("positionBar");
    const int barAtPause = bar->value();
    const QString timeAtPause = text("positionTime");
    player().setPosition(2500);
    ASSERT_TRUE(waitUntil([&] { return player().position() >= 2400; }, 10000));
    ASSERT_TRUE(timerTicks(2));
    EXPECT_EQ(bar->value(), barAtPause);
    EXPECT_EQ(text("positionTime"), timeAtPause);

    // Pause again resumes.
    child<QToolButton>("pauseButton")->click();
    ASSERT_TRUE(waitUntil([&] { return text("playerState") == QStringLiteral("Playing"); }, 10000));

    // A drag stops playback at once and plays from where it ends.
    bar->setSliderDown(true);
    bar->setSliderPosition(500);
    bar->triggerAction(QAbstractSlider::SliderMove);
    EXPECT_NE(player().playbackState(), QMediaPlayer::PlayingState);
    bar->setSliderDown(false);
    EXPECT_EQ(player().playbackState(), QMediaPlayer::PlayingState);
    ASSERT_TRUE(waitUntil([&] { return text("playerState") == QStringLiteral("Playing"); }, 10000));
    EXPECT_LT(player().position(), 2000);

    // A click on the right arrow: stopped while pressed, one step on, playing after release.
    child<QToolButton>("pauseButton")->click();
    ASSERT_TRUE(waitUntil([&] { return player().playbackState() == QMediaPlayer::PausedState; }, 10000));
    bar->setValue(int(player().position()));
    const int before = bar->value();
    const QPoint arrow(bar->width() - 4, bar->height() / 2);
    QTest::mousePress(bar, Qt::LeftButton, {}, arrow);
    EXPECT_NE(player().playbackState(), QMediaPlayer::PlayingState);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, arrow);
    EXPECT_EQ(bar->value(), before + 1000);
    ASSERT_TRUE(waitUntil([&] { return player().playbackState() == QMediaPlayer::PlayingState; }, 5000));
    EXPECT_GE(player().position(), before + 900);

    // Played to the end, the player stops by itself.
    ASSERT_TRUE(waitUntil([&] { return text("playerState") == QStringLiteral("Stopped"); }, 15000));

    // Closing lets go of the file.
    m_window.close();
    EXPECT_TRUE(player().source().isEmpty());
    ASSERT_TRUE(waitUntil([&] { return text("playerState") == QStringLiteral("Not Ready"); }, 5000));
}

TEST_F(PreviewWindowTest, PictureKeepsItsAspectWhenTheWindowChanges)
{
    openAndLoad(m_video, 0x3);
    auto *videoArea = child<QLabel>("videoArea");
    ASSERT_TRUE(waitUntil([&] { return videoArea->height() == 240; }, 5000));
    // The video area at 400 x 200: the 320 x 240 picture becomes 266 x 200 at left 67, top 0.
    m_window.resize(400, 200 + m_window.height() - videoArea->height());
    ASSERT_TRUE(waitUntil([&] { return videoArea->size() == QSize(400, 200); }, 5000)) << videoArea->width();
    EXPECT_EQ(m_window.picture()->geometry(), QRect(67, 0, 266, 200));
    // Larger: the picture grows to the video area's height.
    m_window.resize(800, 600 + m_window.height() - videoArea->height());
    ASSERT_TRUE(waitUntil([&] { return videoArea->size() == QSize(800, 600); }, 5000));
    EXPECT_EQ(m_window.picture()->geometry(), QRect(0, 0, 800, 600));
}

TEST_F(PreviewWindowTest, AudioOnlyShrinksToTheMinimumAndSaysSo)
{
    const QString radio = makeAudioOnlyAsf(m_dir.path());
    ASSERT_FALSE(radio.isEmpty());
    // After a video: the aspect stays, the picture is not shown.
    openAndLoad(m_video, 0x3);
    m_window.resize(600, 500);
    m_window.showFile(radio, 0x1);
    EXPECT_EQ(m_window.size(), QSize(372, 228));
    EXPECT_EQ(text("videoArea"), QStringLiteral("Radio Broadcast"));
    EXPECT_EQ(text("mediaName"), QStringLiteral("radio"));
    EXPECT_FALSE(m_window.picture()->isVisible());
    EXPECT_DOUBLE_EQ(m_window.videoAspect(), 320.0 / 240.0);
    save(&m_window, QStringLiteral("preview-audio"));

    // A fresh window: no aspect known, so resizing moves no picture.
    PreviewWindow fresh;
    fresh.showFile(radio, 0x5);
    EXPECT_EQ(fresh.size(), QSize(372, 228));
    const QRect picture = fresh.picture()->geometry();
    fresh.resize(500, 400);
    ASSERT_TRUE(waitUntil([&] { return fresh.size() == QSize(500, 400); }, 5000));
    EXPECT_EQ(fresh.picture()->geometry(), picture);
    EXPECT_EQ(fresh.videoAspect(), 0.0);
}

TEST_F(PreviewWindowTest, VolumeSetsBothChannelsOfTheOutput)
{
    openAndLoad(m_video, 0x3);
    auto *volume = child<QSlider>("volumeSlider");
    EXPECT_EQ(volume->maximum(), 65535);
    auto *message = m_window.findChild<QMessageBox *>();
    if (QMediaDevices::audioOutputs().isEmpty()) {
        // No sound device: said once, not modal, and the player still works.
        EXPECT_FALSE(volume->isEnabled());
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->text(), QStringLiteral("Volume control not enabled"));
        EXPECT_FALSE(message->isModal());
        // Above the player, not hidden behind it.
        EXPECT_EQ(message->parentWidget(), &m_window);
        // Shown once the player is up, as the player's transient, which the system keeps above it.
        ASSERT_TRUE(waitUntil([&] { return message->isVisible(); }, 5000));
        ASSERT_NE(message->windowHandle(), nullptr);
        EXPECT_EQ(message->windowHandle()->transientParent(), m_window.windowHandle());
    } else {
        EXPECT_TRUE(volume->isEnabled());
        EXPECT_EQ(message, nullptr);
        EXPECT_EQ(volume->value(),
                  preview::leftChannel(preview::volumeForGain(m_window.audioOutput().volume())));
    }
    volume->setValue(32768);
    EXPECT_EQ(preview::volumeForGain(m_window.audioOutput().volume()), 0x80008000u);
    volume->setValue(0);
    EXPECT_EQ(m_window.audioOutput().volume(), 0.0f);
}

// The save file of a running download: the writer holds it open and appends while the
// player reads it. Played past what was written, the player stops; Stop and Play again go on
// with what has arrived meanwhile.
TEST_F(PreviewWindowTest, PlaysAFileThatIsStillBeingWritten)
{
    const QByteArray whole = readFile(m_video);
    const QString growing = m_dir.path() + QStringLiteral("/growing.asf");
    QFile writer(growing);
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
    const qsizetype first = whole.size() / 3;
    ASSERT_EQ(writer.write(whole.left(first)), first);
    ASSERT_TRUE(writer.flush());

    openAndLoad(growing, 0x3);
    EXPECT_NEAR(child<QScrollBar>("positionBar")->maximum(), 3000, 200);
    child<QToolButton>("playButton")->click();
    ASSERT_TRUE(waitUntil([&] { return player().mediaStatus() == QMediaPlayer::EndOfMedia; }, 15000));
    EXPECT_LT(player().position(), 2000);

    ASSERT_EQ(writer.write(whole.mid(first)), whole.size() - first);
    ASSERT_TRUE(writer.flush());
    child<QToolButton>("stopButton")->click();
    child<QToolButton>("playButton")->click();
    ASSERT_TRUE(waitUntil([&] { return player().position() >= 2500; }, 15000)) << player().position();
    // Opened again at the same size: no picture-size change.
    EXPECT_EQ(m_window.videoAspect(), 320.0 / 240.0);
}

using PreviewMenuTest = DesktopFixture;

TEST_F(PreviewMenuTest, PreviewOpensTheLocalFileAndNewMediaClosesIt)
{
    startProgram();
    QAction *preview = child<QAction>(&m_desktop->mainWindow(), "previewAction");
    ASSERT_TRUE(preview->isEnabled());
    EXPECT_TRUE(child<QAction>(&m_desktop->mainWindow(), "previewToolAction")->isEnabled());

    // Nothing local to play.
    QString said;
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &said));
    preview->trigger();
    EXPECT_EQ(said, QStringLiteral("没有可用的媒体类型来打开预览播放器"));
    EXPECT_FALSE(m_desktop->previewWindow().isVisible());

    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    const QString clip = makeSampleAsf(m_dir.path(), QStringLiteral("opened.asf"));
    ASSERT_FALSE(clip.isEmpty());
    m_desktop->mediaOpener().acceptLocation(clip);
    child<QAction>(&m_desktop->mainWindow(), "previewToolAction")->trigger();
    PreviewWindow &window = m_desktop->previewWindow();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.previewFile(), clip);
    EXPECT_EQ(child<QLabel>(&window, "mediaName")->text(), QStringLiteral("opened"));

    // Opening other media closes the player.
    m_desktop->mediaOpener().acceptLocation(clip);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.player().source().isEmpty());
}

} // namespace
} // namespace lumo::test
