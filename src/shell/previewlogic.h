#pragma once

#include <QRect>
#include <QSize>
#include <QString>

namespace lumo {

// The preview player's arithmetic, apart from its window: where the picture goes, what the
// state label says, how the volume is packed.
namespace preview {

// The picture rectangle inside a display area, keeping `aspect` (width / height): it grows to
// the area's height when the area is larger, shrinks to fit when smaller, and is centred.
// An aspect of 0 (unknown) leaves `current` as it is.
QRect fitPicture(const QRect &current, const QSize &area, double aspect);

enum class PlayerMode
{
    NotReady,
    Stopped,
    Playing,
    Recording,
    Seeking,
    Paused,
    Open,
};

// The state label's text; empty for a mode that leaves the label as it was.
QString statusText(PlayerMode mode);

// What a media player reports, apart from any particular player library.
enum class Playback
{
    Stopped,
    Playing,
    Paused,
};
enum class MediaState
{
    NoMedia,
    Loading,
    Loaded,
    Stalled, // waiting for data (a growing file, a seek)
    Buffering,
    Buffered,
    EndOfMedia,
    Invalid,
};

// The mode shown for a player's state: no usable file is "not ready", a file being opened is
// "open", a player that waits for data while playing is "seeking".
PlayerMode playerMode(Playback playback, MediaState media);

// The volume word of both channels (left in the low 16 bits, right in the high 16 bits).
inline quint32 bothChannels(quint16 level)
{
    return quint32(level) | (quint32(level) << 16);
}
inline quint16 leftChannel(quint32 volume)
{
    return quint16(volume & 0xFFFF);
}

// The volume word and an output gain (0.0 .. 1.0, linear): the gain follows the left channel.
float outputGain(quint32 volume);
quint32 volumeForGain(float gain);

// The window's client size for a picture the player reports at `display`, above bars of
// `barsHeight` pixels in total: the picture's size less its offset.
inline QSize clientSizeForPicture(const QRect &display, int barsHeight)
{
    return QSize(display.width() - display.x(), display.height() - display.y() + barsHeight);
}

// The name shown for the file: no folder, no extension.
QString mediaName(const QString &path);

// Media with audio and without video (StreamKinds bits 0x1 and 0x2).
inline bool audioOnly(quint32 streamKinds)
{
    return (streamKinds & 0x1) && !(streamKinds & 0x2);
}

} // namespace preview
} // namespace lumo
