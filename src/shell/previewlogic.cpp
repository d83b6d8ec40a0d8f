#include "shell/previewlogic.h"

#include "control/address.h"

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
        return QStringLiteral("Not Ready");
    case PlayerMode::Stopped:
        return QStringLiteral("Stopped");
    case PlayerMode::Playing:
        return QStringLiteral("Playing");
    case PlayerMode::Recording:
        return QString();
    case PlayerMode::Seeking:
        return QStringLiteral("Seeking");
    case PlayerMode::Paused:
        return QStringLiteral("Paused");
    case PlayerMode::Open:
        return QStringLiteral("Open");
    }
    return QString();
}

QString mediaName(const QString &path)
{
    return StripExtension(FileNameOf(path));
}

} // namespace lumo::preview
