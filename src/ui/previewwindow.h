#pragma once

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class QMessageBox;
class QVideoWidget;

namespace Ui {
class PreviewWindow;
}

namespace lumo {

// The preview player: plays a local media file (also the save file of a running download)
// with play, pause, stop, a position bar and a volume. Created hidden at start; its timer runs
// for the program's whole life.
class PreviewWindow final : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewWindow(QWidget *parent = nullptr);
    ~PreviewWindow() override;

    // Shows the window for `path` (the task's StreamKinds tell audio and video apart). A window
    // that is already open starts over with the new file.
    void showFile(const QString &path, quint32 streamKinds);

    QString previewFile() const { return m_previewFile; }
    // Width / height of the last video shown; 0 while none has been.
    double videoAspect() const { return m_videoAspect; }
    QMediaPlayer &player() { return m_player; }
    QAudioOutput &audioOutput() { return m_audio; }
    QWidget *picture() const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void initialiseDisplay();
    void loadPreviewFile();
    void placePicture();
    void releaseFile();
    void onVolumeChanged(int position);
    void onPositionScrolled();
    void onPositionScrollEnded();
    void onDisplayTimer();
    void onPlayClicked();
    void openFile();
    // The steps of loadPreviewFile that need the opened file: the picture's size and the length.
    void mediaLoaded();
    void showPictureSize(const QSize &size);
    bool hasVideo() const { return m_streamKinds & 0x2; }
    int barsHeight() const;

    std::unique_ptr<Ui::PreviewWindow> m_ui;
    QVideoWidget *m_picture = nullptr; // the video area's display surface
    QMediaPlayer m_player;
    QAudioOutput m_audio;
    QTimer m_displayTimer;
    QPointer<QMessageBox> m_volumeMessage;
    QString m_previewFile;
    quint32 m_streamKinds = 0;
    double m_videoAspect = 0.0; // kept when a later file has no video
    bool m_pictureSized = false;
    qint64 m_openedSize = -1; // the file's size when the player opened it
    qint64 m_resumeAt = -1;   // where to play from once the file is open again
    bool m_scrolling = false;
};

} // namespace lumo
