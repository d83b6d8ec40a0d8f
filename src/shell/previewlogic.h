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

// The volume word of both channels (left in the low 16 bits, right in the high 16 bits).
inline quint32 bothChannels(quint16 level)
{
    return quint32(level) | (quint32(level) << 16);
}
inline quint16 leftChannel(quint32 volume)
{
    return quint16(volume & 0xFFFF);
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
