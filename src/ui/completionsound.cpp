#include "ui/completionsound.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QStandardPaths>
#include <QUrl>

namespace lumo {

namespace {
const QString soundName = QStringLiteral("Done.wav");
}

CompletionSound::CompletionSound(QObject *parent) : QObject(parent)
{
    m_repeatTimer.setInterval(defaultIntervalMs);
    connect(&m_repeatTimer, &QTimer::timeout, this, &CompletionSound::playOnce);
    m_file = findSoundFile();
}

CompletionSound::~CompletionSound() = default;

void CompletionSound::makePlayer()
{
    m_player.reset();
    m_output = std::make_unique<QAudioOutput>();
    m_player = std::make_unique<QMediaPlayer>();
    m_player->setAudioOutput(m_output.get());
    m_failed = false;
    connect(m_player.get(), &QMediaPlayer::errorOccurred, this, [this] { m_failed = true; });
    connect(m_player.get(), &QMediaPlayer::playbackStateChanged, this,
            [this](QMediaPlayer::PlaybackState state) {
                if (state == QMediaPlayer::PlayingState)
                    ++m_started;
            });
    m_player->setSource(QUrl::fromLocalFile(m_file));
}

QString CompletionSound::findSoundFile()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    // Beside the executable, then the data folder of the prefix it was installed into.
    QStringList candidates{exeDir + QLatin1Char('/') + soundName,
                           exeDir + QStringLiteral("/../share/lumo/") + soundName};
#ifdef LUMO_DATA_DIR
    candidates.append(QStringLiteral(LUMO_DATA_DIR "/") + soundName);
#endif
    const QString installed =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("lumo/") + soundName);
    if (!installed.isEmpty())
        candidates.append(installed);
    candidates.append(QDir::current().absoluteFilePath(soundName));
    for (const QString &path : candidates) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

void CompletionSound::start(int intervalSeconds)
{
    m_repeatTimer.setInterval(intervalSeconds * 1000);
    m_repeatTimer.start();
    playOnce();
}

void CompletionSound::stop()
{
    m_repeatTimer.stop();
}

void CompletionSound::playOnce()
{
    ++m_plays;
    if (m_file.isEmpty())
        return;
    if (!m_player || m_failed)
        makePlayer();
    // From the start each time, also when the last play has not finished.
    m_player->stop();
    m_player->setPosition(0);
    m_player->play();
}

} // namespace lumo
