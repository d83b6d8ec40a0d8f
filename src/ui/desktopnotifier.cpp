#include "ui/desktopnotifier.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace lumo {

DesktopNotifier::DesktopNotifier(const QDBusConnection &bus) : m_bus(bus) {}

void DesktopNotifier::notify(const QString &summary, const QString &body)
{
    if (!m_bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // app name, replaces id, icon, summary, body, actions, hints, time-out (-1: the desktop's)
    call << QStringLiteral("Lumo") << 0u << QStringLiteral("lumo") << summary << body << QStringList()
         << QVariantMap() << -1;
    m_bus.send(call); // the reply (the notice's id) is not needed
}

} // namespace lumo
