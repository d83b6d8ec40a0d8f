#include "ui/lumoapplication.h"

#include <exception>

namespace lumo {

LumoApplication::LumoApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Lumo"));
    // The preview player decodes ASF through the system's GStreamer plug-ins; the choice must
    // be made before the first media object exists. A person's own choice stays.
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

void LumoApplication::setExceptionHandler(std::function<void(const QString &)> handler)
{
    m_handler = std::move(handler);
}

bool LumoApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        handle(QString::fromUtf8(error.what()));
    } catch (...) {
        handle(QString());
    }
    return false;
}

void LumoApplication::handle(const QString &message)
{
    if (m_handler)
        m_handler(message);
    else
        qCritical("unhandled exception: %s", qPrintable(message));
}

} // namespace lumo
