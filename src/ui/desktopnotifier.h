#pragma once

#include <QDBusConnection>
#include <QString>

namespace lumo {

// Desktop notifications (org.freedesktop.Notifications): a completed or failed task is shown
// besides the sound, for someone who looked away. Silently nothing where no session bus runs.
class DesktopNotifier
{
public:
    explicit DesktopNotifier(const QDBusConnection &bus = QDBusConnection::sessionBus());

    // Asks the desktop to show the notice; does not wait for it.
    void notify(const QString &summary, const QString &body);

private:
    QDBusConnection m_bus;
};

} // namespace lumo
