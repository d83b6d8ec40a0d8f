#include "shell/previewlogic.h"

#include "shell/pathtext.h"

#include <algorithm>
#include <cmath>
#include <QCoreApplication>

namespace lumo::preview {

QRect fitPicture(const QRect &current, const QSize &area, double aspect)
{
    if (aspect == 0.0)
        return current;
    int w = current.width();
    int h = current.height();
    const int W = area.width();
    const int H = area.height();
    if (H > h && W > w) {
        h = H;
        w = int(h * aspect);
    }
    if (H < h) {
        h = H;
        w = int(h * aspect);
    }
    if (W < w) {
        w = W;
        h = int(w / aspect);
    }
    return QRect(W / 2 - w / 2, H / 2 - h / 2, w, h);
}

QString statusText(PlayerMode mode)
{
    switch (mode) {
    case PlayerMode::NotReady:
        return QCoreApplication::translate("PreviewLogic", "Not Ready");
    case PlayerMode::Stopped:
        return QCoreApplication::translate("PreviewLogic", "Stopped");
    case PlayerMode::Playing:
        return QCoreApplication::translate("PreviewLogic", "Playing");
    case PlayerMode::Recording:
        return QString();
    case PlayerMode::Seeking:
        return QCoreApplication::translate("PreviewLogic", "Seeking");
    case PlayerMode::Paused:
        return QCoreApplication::translate("PreviewLogic", "Paused");
    case PlayerMode::Open:
        return QCoreApplication::translate("PreviewLogic", "Open");
    }
    return QString();
}

PlayerMode playerMode(Playback playback, MediaState media)
{
    switch (media) {
    case MediaState::NoMedia:
    case MediaState::Invalid:
        return PlayerMode::NotReady;
    case MediaState::Loading:
        return playback == Playback::Stopped ? PlayerMode::Open : PlayerMode::Seeking;
    case MediaState::Stalled:
    case MediaState::Buffering:
        if (playback == Playback::Playing)
            return PlayerMode::Seeking;
        break;
    case MediaState::Loaded:
    case MediaState::Buffered:
    case MediaState::EndOfMedia:
        break;
    }
    switch (playback) {
    case Playback::Playing:
        return PlayerMode::Playing;
    case Playback::Paused:
        return PlayerMode::Paused;
    case Playback::Stopped:
        break;
    }
    return PlayerMode::Stopped;
}

float outputGain(quint32 volume)
{
    return float(leftChannel(volume)) / 65535.0f;
}

quint32 volumeForGain(float gain)
{
    return bothChannels(quint16(std::lround(std::clamp(gain, 0.0f, 1.0f) * 65535.0f)));
}

QString mediaName(const QString &path)
{
    return StripExtension(FileNameOf(path));
}

} // namespace lumo::preview
