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
#include <QVideoSink>
#include <QVideoWidget>

#include <algorithm>
#include <climits>

namespace lumo {

namespace {

constexpr int timer1IntervalMs = 300;

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
    m_ui->Play->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    m_ui->Pause->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
    m_ui->Stop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));

    // The picture is placed by hand inside Mon, so that it keeps its aspect and is centred.
    m_picture = new QVideoWidget(m_ui->Mon);
    m_picture->setObjectName(QStringLiteral("Picture"));
    m_picture->setAspectRatioMode(Qt::IgnoreAspectRatio);
    m_player.setVideoOutput(m_picture);

    connect(m_ui->Play, &QToolButton::clicked, this, &PreviewWindow::PlayClick);
    // Pause on a paused player resumes it.
    connect(m_ui->Pause, &QToolButton::clicked, this, [this] {
        if (m_player.playbackState() == QMediaPlayer::PausedState)
            m_player.play();
        else
            m_player.pause();
    });
    connect(m_ui->Stop, &QToolButton::clicked, &m_player, &QMediaPlayer::stop);
    connect(m_ui->VolumeControl, &QSlider::valueChanged, this, &PreviewWindow::VolumeControlChange);
    connect(m_ui->Bar1, &QScrollBar::actionTriggered, this, &PreviewWindow::Bar1Scroll);
    connect(m_ui->Bar1, &QScrollBar::sliderReleased, this, &PreviewWindow::Bar1EndScroll);
    m_ui->Bar1->installEventFilter(this);
    m_ui->Mon->installEventFilter(this);

    connect(&m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::LoadedMedia)
            mediaLoaded();
    });
    connect(&m_player, &QMediaPlayer::durationChanged, this,
            [this](qint64 ms) { m_ui->Bar1->setMaximum(barValue(ms)); });
    // Queued: the sink reports its size while holding a lock that videoSize() takes too.
    connect(
        m_picture->videoSink(), &QVideoSink::videoSizeChanged, this,
        [this] { showPictureSize(m_picture->videoSink()->videoSize()); }, Qt::QueuedConnection);

    m_timer1.setParent(this);
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(timer1IntervalMs);
    connect(&m_timer1, &QTimer::timeout, this, &PreviewWindow::Timer1Timer);
    m_timer1.start();

    FormCreate();
}

PreviewWindow::~PreviewWindow() = default;

QWidget *PreviewWindow::picture() const
{
    return m_picture;
}

void PreviewWindow::FormCreate()
{
    setMinimumSize(size());
    m_ui->StatusBar1->showMessage(QStringLiteral("Lumo Media Player v1.2.0"));
    Timer1Timer();
}

void PreviewWindow::showFile(const QString &path, quint32 streamKinds)
{
    m_previewFile = path;
    m_streamKinds = streamKinds;
    if (isVisible()) {
        FormShow();
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
        FormShow();
}

void PreviewWindow::FormShow()
{
    if (preview::audioOnly(m_streamKinds)) {
        resize(minimumSize());
        m_ui->Mon->setText(QStringLiteral("Radio Broadcast"));
        m_picture->hide();
    } else {
        m_ui->Mon->setText(QString());
        m_picture->setGeometry(m_ui->Mon->rect());
        m_picture->show();
    }
    m_ui->Media->setText(preview::mediaName(m_previewFile));

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
        m_ui->VolumeControl->setEnabled(true);
        m_ui->VolumeControl->setMaximum(65535);
        m_ui->VolumeControl->setValue(preview::leftChannel(preview::volumeForGain(m_audio.volume())));
    } else {
        m_ui->VolumeControl->setEnabled(false);
        // Not modal: the player works without it.
        if (!m_volumeMessage) {
            m_volumeMessage =
                new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Lumo"),
                                QStringLiteral("Volume control not enabled"), QMessageBox::Ok, this);
            m_volumeMessage->setAttribute(Qt::WA_DeleteOnClose);
            m_volumeMessage->setModal(false);
        }
        m_volumeMessage->show();
    }

    m_ui->Bar1->setValue(0);
    m_ui->TimePoint->setText(FormatDuration(0));
    m_ui->Bar1->setMaximum(barValue(m_player.duration()));
    FormResize();
    if (m_player.mediaStatus() == QMediaPlayer::LoadedMedia)
        mediaLoaded();
}

void PreviewWindow::openFile()
{
    m_openedSize = QFileInfo(m_previewFile).size();
    m_player.setSource(QUrl());
    m_player.setSource(QUrl::fromLocalFile(m_previewFile));
}

void PreviewWindow::PlayClick()
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
    m_ui->Bar1->setMaximum(barValue(m_player.duration()));
    if (hasVideo())
        showPictureSize(m_player.metaData().value(QMediaMetaData::Resolution).toSize());
    FormResize();
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
    FormResize();
}

int PreviewWindow::barsHeight() const
{
    return m_ui->Panel1->height() + m_ui->Panel2->height() + m_ui->StatusBar1->height();
}

void PreviewWindow::FormResize()
{
    if (m_videoAspect == 0.0)
        return;
    const QRect fitted = preview::fitPicture(m_picture->geometry(), m_ui->Mon->size(), m_videoAspect);
    if (hasVideo())
        m_picture->setGeometry(fitted);
}

void PreviewWindow::VolumeControlChange(int position)
{
    m_audio.setVolume(preview::outputGain(preview::bothChannels(quint16(position))));
}

void PreviewWindow::Bar1Scroll()
{
    m_scrolling = true;
    // Paused rather than stopped: a stopped player starts again from the beginning.
    if (m_player.playbackState() == QMediaPlayer::PlayingState)
        m_player.pause();
}

void PreviewWindow::Bar1EndScroll()
{
    if (!m_scrolling)
        return;
    m_scrolling = false;
    m_player.setPosition(m_ui->Bar1->value());
    m_player.play();
}

bool PreviewWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->Mon && event->type() == QEvent::Resize) {
        if (!hasVideo() && !preview::audioOnly(m_streamKinds))
            m_picture->setGeometry(m_ui->Mon->rect());
        FormResize();
    } else if (watched == m_ui->Bar1) {
        // An arrow, a page step or a key ends its scroll when released; a drag ends with
        // sliderReleased. Queued, so the bar has taken its new value first.
        const QEvent::Type type = event->type();
        const bool released =
            type == QEvent::MouseButtonRelease || type == QEvent::Wheel ||
            (type == QEvent::KeyRelease && !static_cast<QKeyEvent *>(event)->isAutoRepeat());
        if (released && !m_ui->Bar1->isSliderDown())
            QMetaObject::invokeMethod(this, &PreviewWindow::Bar1EndScroll, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void PreviewWindow::Timer1Timer()
{
    const preview::PlayerMode mode =
        preview::playerMode(playbackOf(m_player.playbackState()), mediaStateOf(m_player.mediaStatus()));
    const QString text = preview::statusText(mode);
    if (!text.isEmpty())
        m_ui->Status->setText(text);
    if (mode == preview::PlayerMode::Playing) {
        const qint64 position = m_player.position();
        m_ui->Bar1->setValue(barValue(position));
        m_ui->TimePoint->setText(FormatDuration(double(position)));
    }
}

void PreviewWindow::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void PreviewWindow::FormClose()
{
    m_scrolling = false;
    m_resumeAt = -1;
    m_player.stop();
    m_player.setSource(QUrl());
}

} // namespace lumo
