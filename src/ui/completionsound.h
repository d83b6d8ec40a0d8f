#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace lumo {

// The completion sound "Done.wav": played now and repeated by a timer until stopped. Playing
// never blocks; a missing sound file or audio device just stays silent.
//
// A media player with its own audio output, not a sound effect: the sound effect of this Qt
// dropped plays (a few of ten, then every one after the first completion). A player that
// reports an error is made anew before the next play.
class CompletionSound final : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultIntervalMs = 10000;

    explicit CompletionSound(QObject *parent = nullptr);
    ~CompletionSound() override;

    void start(int intervalSeconds);
    void stop();
    // Each repeat, and the settings window's sound test.
    void playOnce();

    bool repeating() const { return m_repeatTimer.isActive(); }
    int intervalMs() const { return m_repeatTimer.interval(); }
    int playCount() const { return m_plays; }
    // Plays the player has reported starting.
    int startedCount() const { return m_started; }
    QString soundFile() const { return m_file; }

    // Done.wav beside the executable, in the installed data folder, or in the current folder;
    // "" when none exists.
    static QString findSoundFile();

private:
    void makePlayer();

    QTimer m_repeatTimer;
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
    bool m_failed = false;
    QString m_file;
    int m_plays = 0;
    int m_started = 0;
};

} // namespace lumo
