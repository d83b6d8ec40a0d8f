#pragma once

#include <QObject>
#include <QSoundEffect>
#include <QTimer>

namespace lumo {

// The completion sound "Done.wav": played now and repeated by a timer until stopped. Playing
// never blocks; a missing sound file or audio device just stays silent.
class CompletionSound final : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultIntervalMs = 10000;

    explicit CompletionSound(QObject *parent = nullptr);

    void start(int intervalSeconds);
    void stop();
    // Each repeat, and the settings window's sound test.
    void playOnce();

    bool repeating() const { return m_repeatTimer.isActive(); }
    int intervalMs() const { return m_repeatTimer.interval(); }
    int playCount() const { return m_plays; }
    QString soundFile() const { return m_file; }

    // Done.wav beside the executable, in the installed data folder, or in the current folder;
    // "" when none exists.
    static QString findSoundFile();

private:
    QTimer m_repeatTimer;
    QSoundEffect m_effect;
    QString m_file;
    int m_plays = 0;
};

} // namespace lumo
