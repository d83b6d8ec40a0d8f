// Desktop notifications reach whatever serves org.freedesktop.Notifications on the session bus;
// without a bus nothing happens. A private bus with a stand-in service plays the desktop here.
#include "ui/desktopnotifier.h"

#include "support/downloadfixture.h"

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

using namespace lumo;

namespace {

class StandInNotifications final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList shown; // "summary | body"
public Q_SLOTS:
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &, const QVariantMap &, int)
    {
        shown.append(summary + QStringLiteral(" | ") + body);
        return uint(shown.size());
    }
};

} // namespace

TEST(DesktopNotifier, ReachesTheDesktopsService)
{
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!bus.waitForStarted(5000))
        GTEST_SKIP() << "no dbus-daemon here";
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    {
        QDBusConnection service = QDBusConnection::connectToBus(address, QStringLiteral("stand-in"));
        ASSERT_TRUE(service.isConnected());
        StandInNotifications desktop;
        ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
        ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &desktop,
                                           QDBusConnection::ExportAllSlots));

        DesktopNotifier notifier(QDBusConnection::connectToBus(address, QStringLiteral("lumo")));
        notifier.notify(QStringLiteral("Lumo: 下载已完成"), QStringLiteral("/tmp/clip.asf"));
        ASSERT_TRUE(test::waitUntil([&] { return !desktop.shown.isEmpty(); }, 10000));
        EXPECT_EQ(desktop.shown, QStringList{QStringLiteral("Lumo: 下载已完成 | /tmp/clip.asf")});
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("stand-in"));
    QDBusConnection::disconnectFromBus(QStringLiteral("lumo"));
    bus.kill();
    bus.waitForFinished(5000);
}

TEST(DesktopNotifier, WithoutABusNothingHappens)
{
    DesktopNotifier notifier(QDBusConnection(QStringLiteral("no such bus")));
    notifier.notify(QStringLiteral("Lumo"), QStringLiteral("nothing to see"));
}

#include "desktopnotifiertest.moc"
