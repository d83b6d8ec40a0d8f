#include "ui/previewwindow.h"

#include "ui_previewwindow.h"

#include "asf/duration.h"
#include "shell/previewlogic.h"

#include <QAudioDevice>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMediaDevices>
#include <QMediaMetaData>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QVideoSink>
#include <QVideoWidget>

#include <algorithm>
#include <climits>

namespace lumo {

namespace {

constexpr int displayIntervalMs = 300;

// The bar counts milliseconds in an int: 24 days, far beyond any recording.
int barValue(qint64 ms)
{
    return int(std::clamp<qint64>(ms, 0, INT_MAX));
}

preview::Playback playbackOf(QMediaPlayer::PlaybackState state)
{
    switch (state) {
    case QMediaPlayer::PlayingState:
        return preview::Playback::Playing;
    case QMediaPlayer::PausedState:
        return preview::Playback::Paused;
    case QMediaPlayer::StoppedState:
        break;
    }
    return preview::Playback::Stopped;
}

preview::MediaState mediaStateOf(QMediaPlayer::MediaStatus status)
{
    using preview::MediaState;
    switch (status) {
    case QMediaPlayer::NoMedia:
        return MediaState::NoMedia;
    case QMediaPlayer::LoadingMedia:
        return MediaState::Loading;
    case QMediaPlayer::LoadedMedia:
        return MediaState::Loaded;
    case QMediaPlayer::StalledMedia:
        return MediaState::Stalled;
    case QMediaPlayer::BufferingMedia:
        return MediaState::Buffering;
    case QMediaPlayer::BufferedMedia:
        return MediaState::Buffered;
    case QMediaPlayer::EndOfMedia:
        return MediaState::EndOfMedia;
    case QMediaPlayer::InvalidMedia:
        break;
    }
    return MediaState::Invalid;
}

} // namespace

PreviewWindow::PreviewWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::PreviewWindow>())
{
    m_ui->setupUi(this);
    m_ui->playButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    m_ui->pauseButton->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
    m_ui->stopButton->setIcon(style()->standardIcon(QStyle::SP_MediaStop));

    // The picture is placed by hand inside the video area, so that it keeps its aspect and is centred.
    m_picture = new QVideoWidget(m_ui->videoArea);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setAspectRatioMode(Qt::IgnoreAspectRatio);
    m_player.setVideoOutput(m_picture);

    connect(m_ui->playButton, &QToolButton::clicked, this, &PreviewWindow::onPlayClicked);
    // Pause on a paused player resumes it.
    connect(m_ui->pauseButton, &QToolButton::clicked, this, [this] {
        if (m_player.playbackState() == QMediaPlayer::PausedState)
            m_player.play();
        else
            m_player.pause();
    });
    connect(m_ui->stopButton, &QToolButton::clicked, &m_player, &QMediaPlayer::stop);
    connect(m_ui->volumeSlider, &QSlider::valueChanged, this, &PreviewWindow::onVolumeChanged);
    connect(m_ui->positionBar, &QScrollBar::actionTriggered, this, &PreviewWindow::onPositionScrolled);
    connect(m_ui->positionBar, &QScrollBar::sliderReleased, this, &PreviewWindow::onPositionScrollEnded);
    m_ui->positionBar->installEventFilter(this);
    m_ui->videoArea->installEventFilter(this);

    connect(&m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::LoadedMedia)
            mediaLoaded();
    });
    connect(&m_player, &QMediaPlayer::durationChanged, this,
            [this](qint64 ms) { m_ui->positionBar->setMaximum(barValue(ms)); });
    // Queued: the sink reports its size while holding a lock that videoSize() takes too.
    connect(
        m_picture->videoSink(), &QVideoSink::videoSizeChanged, this,
        [this] { showPictureSize(m_picture->videoSink()->videoSize()); }, Qt::QueuedConnection);

    m_displayTimer.setParent(this);
    m_displayTimer.setObjectName(QStringLiteral("displayTimer"));
    m_displayTimer.setInterval(displayIntervalMs);
    connect(&m_displayTimer, &QTimer::timeout, this, &PreviewWindow::onDisplayTimer);
    m_displayTimer.start();

    initialiseDisplay();
}

PreviewWindow::~PreviewWindow() = default;

QWidget *PreviewWindow::picture() const
{
    return m_picture;
}

void PreviewWindow::initialiseDisplay()
{
    setMinimumSize(size());
    m_ui->statusBar->showMessage(tr("Lumo Media Player v1.2.0"));
    onDisplayTimer();
}

void PreviewWindow::showFile(const QString &path, quint32 streamKinds)
{
    m_previewFile = path;
    m_streamKinds = streamKinds;
    if (isVisible()) {
        loadPreviewFile();
        raise();
        activateWindow();
        return;
    }
    // Centred on the screen, as the window first opens.
    if (!testAttribute(Qt::WA_Moved)) {
        if (const QScreen *screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
    show();
}

void PreviewWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A window restored from the task bar is shown again by the system: the file stays.
    if (!event->spontaneous())
        loadPreviewFile();
}

void PreviewWindow::loadPreviewFile()
{
    if (preview::audioOnly(m_streamKinds)) {
        resize(minimumSize());
        m_ui->videoArea->setText(tr("Radio Broadcast"));
        m_picture->hide();
    } else {
        m_ui->videoArea->setText(QString());
        m_picture->setGeometry(m_ui->videoArea->rect());
        m_picture->show();
    }
    m_ui->mediaName->setText(preview::mediaName(m_previewFile));

    // Without an output device the player's audio sink fails and takes the video with it.
    const bool haveAudio = !QMediaDevices::audioOutputs().isEmpty();
    if (haveAudio) {
        m_audio.setDevice(QMediaDevices::defaultAudioOutput());
        m_player.setAudioOutput(&m_audio);
    } else {
        m_player.setAudioOutput(nullptr);
    }
    m_pictureSized = false;
    m_resumeAt = -1;
    openFile();

    if (haveAudio) {
        m_ui->volumeSlider->setEnabled(true);
        m_ui->volumeSlider->setMaximum(65535);
        m_ui->volumeSlider->setValue(preview::leftChannel(preview::volumeForGain(m_audio.volume())));
    } else {
        m_ui->volumeSlider->setEnabled(false);
        // Not modal: the player works without it.
        if (!m_volumeMessage) {
            m_volumeMessage = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Lumo"),
                                              tr("Volume control not enabled"), QMessageBox::Ok, this);
            m_volumeMessage->setAttribute(Qt::WA_DeleteOnClose);
            m_volumeMessage->setModal(false);
        }
        // Once the player is up, or the player would open over it.
        QTimer::singleShot(0, m_volumeMessage.data(), [message = m_volumeMessage] {
            message->show();
            message->raise();
            message->activateWindow();
        });
    }

    m_ui->positionBar->setValue(0);
    m_ui->positionTime->setText(FormatDuration(0));
    m_ui->positionBar->setMaximum(barValue(m_player.duration()));
    placePicture();
    if (m_player.mediaStatus() == QMediaPlayer::LoadedMedia)
        mediaLoaded();
}

void PreviewWindow::openFile()
{
    m_openedSize = QFileInfo(m_previewFile).size();
    m_player.setSource(QUrl());
    m_player.setSource(QUrl::fromLocalFile(m_previewFile));
}

void PreviewWindow::onPlayClicked()
{
    // The player reads only as far as the file reached when it was opened: a save file that
    // has grown since (a download still running) is opened again and played on from where
    // the player stopped.
    if (m_player.playbackState() != QMediaPlayer::PlayingState && !m_previewFile.isEmpty() &&
        QFileInfo(m_previewFile).size() != m_openedSize) {
        m_resumeAt = m_player.position();
        openFile();
        return;
    }
    m_player.play();
}

void PreviewWindow::mediaLoaded()
{
    if (m_resumeAt >= 0) {
        m_player.setPosition(m_resumeAt);
        m_resumeAt = -1;
        m_player.play();
    }
    m_ui->positionBar->setMaximum(barValue(m_player.duration()));
    if (hasVideo())
        showPictureSize(m_player.metaData().value(QMediaMetaData::Resolution).toSize());
    placePicture();
}

void PreviewWindow::showPictureSize(const QSize &size)
{
    if (m_pictureSized || !hasVideo() || size.isEmpty())
        return;
    m_pictureSized = true;
    const QRect display(QPoint(0, 0), size);
    m_picture->setGeometry(display);
    resize(preview::clientSizeForPicture(display, barsHeight()));
    m_videoAspect = double(size.width()) / double(size.height());
    placePicture();
}

int PreviewWindow::barsHeight() const
{
    return m_ui->topPanel->height() + m_ui->controlPanel->height() + m_ui->statusBar->height();
}

void PreviewWindow::placePicture()
{
    if (m_videoAspect == 0.0)
        return;
    const QRect fitted = preview::fitPicture(m_picture->geometry(), m_ui->videoArea->size(), m_videoAspect);
    if (hasVideo())
        m_picture->setGeometry(fitted);
}

void PreviewWindow::onVolumeChanged(int position)
{
    m_audio.setVolume(preview::outputGain(preview::bothChannels(quint16(position))));
}

void PreviewWindow::onPositionScrolled()
{
    m_scrolling = true;
    // Paused rather than stopped: a stopped player starts again from the beginning.
    if (m_player.playbackState() == QMediaPlayer::PlayingState)
        m_player.pause();
}

void PreviewWindow::onPositionScrollEnded()
{
    if (!m_scrolling)
        return;
    m_scrolling = false;
    m_player.setPosition(m_ui->positionBar->value());
    m_player.play();
}

bool PreviewWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->videoArea && event->type() == QEvent::Resize) {
        if (!hasVideo() && !preview::audioOnly(m_streamKinds))
            m_picture->setGeometry(m_ui->videoArea->rect());
        placePicture();
    } else if (watched == m_ui->positionBar) {
        // An arrow, a page step or a key ends its scroll when released; a drag ends with
        // sliderReleased. Queued, so the bar has taken its new value first.
        const QEvent::Type type = event->type();
        const bool released =
            type == QEvent::MouseButtonRelease || type == QEvent::Wheel ||
            (type == QEvent::KeyRelease && !static_cast<QKeyEvent *>(event)->isAutoRepeat());
        if (released && !m_ui->positionBar->isSliderDown())
            QMetaObject::invokeMethod(this, &PreviewWindow::onPositionScrollEnded, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void PreviewWindow::onDisplayTimer()
{
    const preview::PlayerMode mode =
        preview::playerMode(playbackOf(m_player.playbackState()), mediaStateOf(m_player.mediaStatus()));
    const QString text = preview::statusText(mode);
    if (!text.isEmpty())
        m_ui->playerState->setText(text);
    if (mode == preview::PlayerMode::Playing) {
        const qint64 position = m_player.position();
        m_ui->positionBar->setValue(barValue(position));
        m_ui->positionTime->setText(FormatDuration(double(position)));
    }
}

void PreviewWindow::closeEvent(QCloseEvent *event)
{
    releaseFile();
    event->accept();
}

void PreviewWindow::releaseFile()
{
    m_scrolling = false;
    m_resumeAt = -1;
    m_player.stop();
    m_player.setSource(QUrl());
}

} // namespace lumo
