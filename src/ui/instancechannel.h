#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>

namespace lumo {

// One Lumo per user and settings: a second start hands its arguments to the running one (which
// holds the UDP port and the settings) and ends.
class InstanceChannel final : public QObject
{
    Q_OBJECT
public:
    explicit InstanceChannel(QObject *parent = nullptr);

    // The channel of the settings in use (a test's own configuration folder has its own).
    static QString channelName();
    // Hands `arguments` to a running Lumo; true when one took them.
    static bool handOver(const QStringList &arguments, int timeoutMs = 2000);
    // Listens for later starts; false when the channel cannot be made.
    bool listen();

Q_SIGNALS:
    void received(const QStringList &arguments);

private:
    void readFrom(QLocalSocket *socket);

    QLocalServer m_server;
};

} // namespace lumo
